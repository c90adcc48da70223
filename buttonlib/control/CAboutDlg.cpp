#include "buttonlib/control/CAboutDlg.h"

#include "buttonlib/control/ControlIds.h"
#include "buttonlib/control/LumvexResources.h"

#include "platform/com/UiServices.h"
#include "platform/mfc/AfxMessageBox.h"

#include <QImage>

namespace {

// The toolbox picture as a BMP file image.
QImage icon()
{
    const std::vector<BYTE> dib = LumvexResources::ToolboxBitmap();
    std::vector<BYTE> file(14, 0);
    const DWORD size = DWORD(file.size() + dib.size());
    const DWORD bits = 14 + 40; // no colour table at 24 bits
    file[0] = 'B';
    file[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        file[2 + i] = BYTE(size >> (8 * i));
        file[10 + i] = BYTE(bits >> (8 * i));
    }
    file.insert(file.end(), dib.begin(), dib.end());
    return QImage::fromData(file.data(), int(file.size()), "BMP");
}

} // namespace

CString CAboutDlg::VersionText(const char* productVersion)
{
    return productVersion && *productVersion ? CString(productVersion) : CString("?");
}

void CAboutDlg::Show(win::HWND owner)
{
    LumvexResources::Register();
    CString name;
    AfxLoadString(IDS_LUMVEX, name);
    com::AboutBoxRequest about;
    about.owner = owner;
    about.title = "About " + name;
    about.icon = icon();
    about.lines = {name, "A push button with shapes, surfaces, pictures, sounds and texts"};
    about.version = VersionText(LumvexResources::ProductVersion());
    com::Ui().ShowAboutBox(about);
}
