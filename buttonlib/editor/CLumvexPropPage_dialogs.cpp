// The settings dialog behind each of the page's dialog buttons. A dialog is
// made for the page (its constructor takes the page) and run through the
// page's dialog runner; a button not listed here does nothing.

#include "buttonlib/editor/CLumvexPropPage.h"

#include "buttonlib/editor/CBehaviourSettingsDlg.h"
#include "buttonlib/editor/CColorSettingsDlg.h"
#include "buttonlib/editor/CHyperlinkSettingsDlg.h"
#include "buttonlib/editor/CPictureChoiceDlg.h"
#include "buttonlib/editor/CPictureSettingsDlg.h"
#include "buttonlib/editor/CShapeSettingsDlg.h"
#include "buttonlib/editor/CSoundCursorPickerDlg.h"
#include "buttonlib/editor/CTextSettingsDlg.h"
#include "buttonlib/editor/CTextureSettingsDlg.h"

#include <algorithm>
#include <iterator>

namespace {

using MakeDialog = std::unique_ptr<CDialog> (*)(COlePropertyPageEnh& page);

template <class Dialog>
std::unique_ptr<CDialog> make(COlePropertyPageEnh& page)
{
    return std::make_unique<Dialog>(&page);
}

struct SettingsDialog {
    int buttonId;
    MakeDialog make;
};

// One line per dialog: {CLumvexPropPage::IDC_SHAPE, &make<CShapeSettingsDlg>},
const SettingsDialog kSettingsDialogs[] = {
    {CLumvexPropPage::IDC_COLORS, &make<CColorSettingsDlg>},
    {CLumvexPropPage::IDC_GRAPHIC, &make<CPictureSettingsDlg>},
    {CLumvexPropPage::IDC_TEXT, &make<CTextSettingsDlg>},
    {CLumvexPropPage::IDC_SHAPE, &make<CShapeSettingsDlg>},
    {CLumvexPropPage::IDC_HYPERLINK, &make<CHyperlinkSettingsDlg>},
    {CLumvexPropPage::IDC_BEHAVIOUR, &make<CBehaviourSettingsDlg>},
    {CLumvexPropPage::IDC_TEXTURE, &make<CTextureSettingsDlg>},
    {CLumvexPropPage::IDC_PICTURES, &make<CPictureChoiceDlg>},
    {CLumvexPropPage::IDC_SOUNDS, &make<CSoundCursorPickerDlg>},
};

} // namespace

std::unique_ptr<CDialog> CLumvexPropPage::MakeSettingsDialog(int buttonId)
{
    const auto* it = std::find_if(std::begin(kSettingsDialogs), std::end(kSettingsDialogs),
                                  [buttonId](const SettingsDialog& d) { return d.buttonId == buttonId && d.make; });
    return it == std::end(kSettingsDialogs) ? nullptr : it->make(*this);
}
