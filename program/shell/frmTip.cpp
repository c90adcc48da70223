#include "program/shell/frmTip.h"

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/Random.h"
#include "platform/basic/RuntimeError.h"
#include "program/services/Mod_Registry.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ProgramPictures.h"
#include "program/shell/Mod_tallyvane_ReadAhead.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kTips[] = {
    "Once a report has been scheduled, the scheduled information can be changed from the tasks menu.",
    "To exit from Tallyvane click on the Tallyvane icon in the system tray and select QUIT.",
    "The icons which are displayed on the calendar can be modified at any time from the options menu in the MISC "
    "tab.",
    "To delete a property manager no longer in existence, find the property manager in the property management "
    "selector, right click on the specific property manager and select delete.",
    "The report heading colors can be changed by selecting Report Options->Select Heading Color on the reports "
    "screen.",
    "Change the default picture of the calendar from the options menu in the CALENDAR tab.",
};

constexpr int16_t kCloseEffectStep = 100;

} // namespace

frmTip::frmTip()
    : FormOf("frmTip")
{
    layOut();
    cmdNextTip.Click = [this] { cmdNextTip_Click(); };
    cmdOK.Click = [this] { cmdOK_Click(); };
    chkLoadTipsAtStartup.Click = [this] { chkLoadTipsAtStartup_Click(); };
}

void frmTip::layOut()
{
    SetCaption("Tip of the Day");
    SetBorderStyle(forms::vbFixedDialog);
    SetStartUpPosition(forms::vbStartUpOwner);
    SetScaleMode(forms::vbPixels);
    Move(0, 0, vb::PixelsToTwips(361), vb::PixelsToTwips(219));
    const QPixmap bulb = Mod_tallyvane::StartPicture(ProgramPictures::ShippedPictureFile(kBulb).string());
    hWnd()->setWindowIcon(QIcon(bulb));

    Picture1.SetScaleMode(forms::vbPixels);
    Picture1.Move(8, 8, 249, 181);
    Picture1.SetBackColor(forms::vbWhite);
    Picture1.SetPicture(bulb);

    QFont heading = Label1.Font();
    heading.setBold(true);
    Label1.SetFont(heading);
    Label1.SetBackStyle(forms::vbTransparent);
    Label1.SetCaption("Did you know...");
    Label1.Move(36, 12, 177, 17);

    lblTipText.SetBackColor(forms::vbWhite);
    lblTipText.SetWordWrap(true);
    lblTipText.Move(12, 56, 217, 109);

    chkLoadTipsAtStartup.SetCaption("&Show Tips at Startup");
    // Wider than designed where the desktop's font needs it, so that the
    // caption is not cut.
    const int boxWidth = std::max(137, chkLoadTipsAtStartup.Widget()->sizeHint().width());
    chkLoadTipsAtStartup.Move(8, 196, boxWidth, 21);

    // Beside the panel, OK first.
    cmdOK.Move(264, 8, 89, 25);
    cmdNextTip.Move(264, 40, 89, 25);
}

void frmTip::Form_Load()
{
    vb::ResumeNext step;
    step([this] { chkLoadTipsAtStartup.SetValue(forms::vbChecked); });
    step([] { vb::Randomize(); });
    step([this] { FillTipList(); });
    step([this] { PickRandomTip(); });
}

void frmTip::FillTipList()
{
    TipList.assign(std::begin(kTips), std::end(kTips));
    TipCount = static_cast<int32_t>(TipList.size());
}

void frmTip::PickRandomTip()
{
    TipIndex = static_cast<int32_t>(std::floor(static_cast<double>(vb::Rnd()) * TipCount + 1));
    DisplayCurrentTip();
}

void frmTip::DisplayCurrentTip()
{
    if (TipCount < 1 || TipIndex < 1 || TipIndex > static_cast<int32_t>(TipList.size()))
        return;
    lblTipText.SetCaption(TipList[TipIndex - 1]);
}

void frmTip::cmdNextTip_Click()
{
    PickRandomTip();
}

void frmTip::cmdOK_Click()
{
    Unload();
}

void frmTip::chkLoadTipsAtStartup_Click()
{
    const char* value = chkLoadTipsAtStartup.Value() == forms::vbChecked ? "True" : "False";
    vb::SaveSetting("Tallyvane", "frmTip", "ShowTips", value);
    // The start decides by the registry value, so the box sets that too.
    Mod_SpecialFunctions::SaveRegStringIfChanged(value, Mod_Registry::kProgramKey, "ShowTips");
}

void frmTip::Form_Unload(int& Cancel)
{
    (void)Cancel;
    vb::ResumeNext step;
    step([this] { Mod_SpecialFunctions::CloseEffect(*this, kCloseEffectStep); });
}
