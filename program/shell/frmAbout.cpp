#include "program/shell/frmAbout.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"
#include "platform/win/Desktop.h"
#include "program/services/Deployment.h"
#include "program/services/ProgramPictures.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <string>

namespace {

constexpr int kInnerWidth = 380;
constexpr int kInnerHeight = 195;
constexpr forms::OLE_COLOR kYellow = forms::RGB(255, 255, 0);

// Fonts the desktop lacks are replaced by the closest one it has.
QFont font(const char* family, double points, bool underline = false)
{
    QFont f{QString::fromLatin1(family)};
    f.setPointSizeF(points);
    f.setBold(true);
    f.setUnderline(underline);
    return f;
}

} // namespace

frmAbout::frmAbout()
    : FormOf("frmAbout")
{
    layOut();
    lblURL.Click = [this] { lblURL_Click(); };
    cmdOK.Click = [this] { cmdOK_Click(); };
}

void frmAbout::layOut()
{
    SetCaption("Merrowgate Presents");
    SetBorderStyle(forms::vbFixedToolWindow);
    SetShowInTaskbar(false);
    SetStartUpPosition(forms::vbStartUpOwner);
    SetScaleMode(forms::vbPixels);
    Move(0, 0, vb::PixelsToTwips(kInnerWidth), vb::PixelsToTwips(kInnerHeight));
    SetBackColor(forms::RGB(255, 0, 0));

    for (forms::Label* l : {&lblName, &lblVersion, &lblMoreInfo, &lblURL})
        l->SetBackStyle(forms::vbTransparent);
    lblName.SetForeColor(kYellow);
    lblName.SetFont(font("Comic Sans MS", 20.25));
    lblName.Move(56, 8, 217, 41);
    lblVersion.SetForeColor(kYellow);
    lblVersion.SetFont(font("Comic Sans MS", 9.75));
    lblVersion.Move(64, 40, 185, 41);
    lblMoreInfo.SetForeColor(kYellow);
    lblMoreInfo.SetFont(font("Comic Sans MS", 9.75));
    lblMoreInfo.SetCaption("For more information visit on the web at:");
    lblMoreInfo.Move(56, 144, 273, 17);

    lblURL.SetForeColor(forms::RGB(0, 255, 255));
    lblURL.SetFont(font("Tahoma", 9.75, true));
    const std::string address = Deployment::WebAddress();
    lblURL.SetCaption(address);
    // Wide enough for the whole address, as far as the window goes.
    constexpr int kUrlLeft = 88;
    const int textWidth = QFontMetrics(lblURL.Font()).horizontalAdvance(QString::fromStdString(address)) + 2;
    lblURL.Move(kUrlLeft, 168, std::clamp(textWidth, 177, kInnerWidth - 4 - kUrlLeft), 17);

    Image1.SetPicture(ProgramPictures::ShippedPicture("AboutVane.png"));
    Image1.Move(24, 16, 16, 16);

    cmdOK.Move(292, 100, 73, 25);
}

void frmAbout::Form_Load()
{
    vb::ResumeNext step;
    step([this] { lblName.SetCaption(vb::App::Title()); });
    step([this] {
        lblVersion.SetCaption("Version " + std::to_string(vb::App::Major()) + "." + std::to_string(vb::App::Minor()) +
                              "." + std::to_string(vb::App::Revision()));
    });
}

void frmAbout::lblURL_Click()
{
    win::OpenUrl(Deployment::WebAddress());
}

void frmAbout::cmdOK_Click()
{
    Unload();
}
