#include "buttonlib/control/CAboutDlg.h"

#include "buttonlib/control/ControlIds.h"
#include "buttonlib/control/LumvexResources.h"

#include "platform/com/UiServices.h"
#include "platform/mfc/AfxMessageBox.h"

#include <QImage>

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
    const std::vector<BYTE> icon = LumvexResources::BmpFile(LumvexResources::ToolboxBitmap());
    about.icon = QImage::fromData(icon.data(), int(icon.size()), "BMP");
    about.lines = {name, "A push button with shapes, surfaces, pictures, sounds and texts"};
    about.version = VersionText(LumvexResources::ProductVersion());
    com::Ui().ShowAboutBox(about);
}
