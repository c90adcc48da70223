#include "platform/com/FontDialog.h"
#include "platform/gdi/GdiTestSupport.h"
#include "platform/mfc/CColorDialog.h"
#include "platform/mfc/CFileDialog.h"
#include "platform/mfc/CFontDialog.h"
#include "platform/mfc/DialogTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include <cstring>
#include <set>

using namespace dialogtest;

namespace {

using gditest::logFont;

bool sameFont(const LOGFONT& a, const LOGFONT& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(PipeFilters, BecomeQtNameFiltersOnce)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(forms::QtNameFilters("Template files (*.kzt) |*.kzt|All files (*.*)|*.*||"),
              (V{"Template files (*.kzt)", "All files (*)"}));
    // The description's own list, with its commas, gives way to the patterns.
    EXPECT_EQ(forms::QtNameFilters("Picture files (*.bmp, *.png) |*.bmp;*.png|All files (*.*)|*.*||"),
              (V{"Picture files (*.bmp *.png)", "All files (*)"}));
    EXPECT_EQ(forms::QtNameFilters("Graphic files (*.bmp, *.png, *.avi, *.jpg, *.gif) "
                                   "|*.bmp;*.png;*.avi;*.jpg;*.gif|All files (*.*)|*.*||")
                  .front(),
              "Graphic files (*.bmp *.png *.avi *.jpg *.gif)");
    // Descriptions without a list, blanks around patterns, a missing pattern field.
    EXPECT_EQ(forms::QtNameFilters("Icons|*.ico ; *.cur|Text"), (V{"Icons (*.ico *.cur)"}));
    EXPECT_EQ(forms::QtNameFilters("Anything||"), (V{"Anything (*)"}));
    EXPECT_TRUE(forms::QtNameFilters("").empty());
    EXPECT_TRUE(forms::QtNameFilters("||").empty());
}

TEST_F(DialogTest, FileAndColourDialogsGoThroughTheDialogPortWithTheirFlags)
{
    dialogs->files.push_back("/tmp/shapes/star.kzt");
    dialogs->files.push_back("/tmp/shapes/new");
    dialogs->files.push_back(std::nullopt);
    const char* filter = "Template files (*.kzt) |*.kzt|All files (*.*)|*.*||";

    CFileDialog open(TRUE, nullptr, nullptr, 0x1804, filter);
    EXPECT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), "/tmp/shapes/star.kzt");
    EXPECT_EQ(open.GetFileExt(), "kzt");
    EXPECT_EQ(open.GetFileName(), "star.kzt");
    EXPECT_EQ(open.GetFileTitle(), "star");

    CFileDialog save(FALSE, "kzt", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, filter);
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/shapes/new.kzt");

    CFileDialog cancelled(TRUE, nullptr, nullptr, 0x1804, filter);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.GetPathName(), "");

    ASSERT_EQ(dialogs->fileRequests.size(), 3u);
    EXPECT_EQ(dialogs->fileRequests[0].flags, 0x1804u);
    EXPECT_EQ(dialogs->fileRequests[0].filter, filter);
    EXPECT_EQ(dialogs->fileRequests[1].flags, 0x0806u);
    EXPECT_EQ(dialogs->fileRequests[1].defaultExt, "kzt");

    dialogs->colors.push_back(RGB(1, 2, 3));
    CColorDialog color(RGB(200, 100, 50), CC_RGBINIT);
    EXPECT_EQ(color.DoModal(), IDOK);
    EXPECT_EQ(color.GetColor(), RGB(1, 2, 3));
    CColorDialog again(RGB(9, 9, 9), CC_RGBINIT);
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(again.GetColor(), RGB(9, 9, 9));
    EXPECT_EQ(dialogs->colorRequests, (std::vector<forms::OLE_COLOR>{RGB(200, 100, 50), RGB(9, 9, 9)}));

    // What a library asks through the services it was handed reaches the
    // same port.
    dialogs->files.push_back("/tmp/a.bmp");
    forms::FileDialogRequest request;
    request.flags = 0x1804;
    EXPECT_EQ(com::ForwardingUiServices().OpenFile(request), std::optional<std::string>("/tmp/a.bmp"));
    EXPECT_EQ(dialogs->fileRequests.back().flags, 0x1804u);
}

TEST_F(DialogTest, FontDialogRequestsCarryTheLogFontAndFlags)
{
    const LOGFONT initial = logFont("MS Sans Serif", -11);
    LOGFONT chosen = logFont("DejaVu Serif", -16, FW_BOLD);
    ui->fonts.push_back(chosen);
    CFontDialog dlg(&initial, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    LOGFONT out{};
    dlg.GetCurrentFont(&out);
    EXPECT_TRUE(sameFont(out, chosen));
    ASSERT_EQ(ui->fontRequests.size(), 1u);
    EXPECT_TRUE(sameFont(ui->fontRequests[0].font, initial));
    EXPECT_EQ(ui->fontRequests[0].flags, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT);
    CFontDialog cancelled(&initial, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

TEST(FontDialog, LogFontsRoundTripAndChoicesMapToLogFontFields)
{
    for (int dpi : {96, 120}) {
        SCOPED_TRACE(dpi);
        for (LONG height : {-11, -13, -16, -21, -37}) {
            LOGFONT in = logFont("MS Sans Serif", height);
            in.lfItalic = 1;
            in.lfUnderline = 1;
            com::FontDialog dialog(in, dpi);
            EXPECT_TRUE(sameFont(dialog.logFont(), in)) << height;
        }
        // Chosen by name, as a user picks: size, style, effects.
        com::FontDialog dialog(logFont("MS Sans Serif", -11), dpi);
        dialog.findChild<QComboBox*>("size")->setCurrentText("12");
        dialog.findChild<QComboBox*>("style")->setCurrentIndex(3);
        dialog.findChild<QCheckBox*>("strikeOut")->setChecked(true);
        dialog.findChild<QComboBox*>("family")->setCurrentText("DejaVu Serif");
        const LOGFONT out = dialog.logFont();
        EXPECT_EQ(out.lfHeight, -std::lround(12.0 * dpi / 72));
        EXPECT_EQ(out.lfWeight, FW_BOLD);
        EXPECT_EQ(out.lfItalic, 1);
        EXPECT_EQ(out.lfStrikeOut, 1);
        EXPECT_EQ(out.lfUnderline, 0);
        EXPECT_STREQ(out.lfFaceName, "DejaVu Serif");
    }
    EXPECT_EQ(com::HeightFromPoints(8, 96), -11);
    EXPECT_EQ(com::HeightFromPoints(8, 120), -13);
    EXPECT_DOUBLE_EQ(com::PointsFromLogFont(logFont("Arial", 0), 96), 8.0);
}

TEST(FontDialog, OffersNoColourOrScriptAndRefusesABadSize)
{
    com::FontDialog dialog(logFont("Arial", -13, FW_BOLD), 96);
    std::set<QString> combos;
    for (auto* c : dialog.findChildren<QComboBox*>())
        combos.insert(c->objectName());
    EXPECT_EQ(combos, (std::set<QString>{"family", "style", "size"}));
    for (auto* w : dialog.findChildren<QWidget*>()) {
        EXPECT_FALSE(w->objectName().contains("color", Qt::CaseInsensitive));
        EXPECT_FALSE(w->objectName().contains("script", Qt::CaseInsensitive));
    }
    EXPECT_EQ(dialog.findChild<QComboBox*>("family")->currentText(), "DejaVu Sans");
    EXPECT_EQ(dialog.findChild<QComboBox*>("style")->currentText(), "Bold");
    auto* ok = dialog.findChild<QPushButton*>("ok");
    dialog.findChild<QComboBox*>("size")->setCurrentText("12a");
    EXPECT_FALSE(ok->isEnabled());
    dialog.findChild<QComboBox*>("size")->setCurrentText("0");
    EXPECT_FALSE(ok->isEnabled());
    dialog.findChild<QComboBox*>("size")->setCurrentText("10");
    EXPECT_TRUE(ok->isEnabled());
    // An unchanged face keeps the name it came with.
    EXPECT_STREQ(dialog.logFont().lfFaceName, "Arial");

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(dialog.grab().save(folder + QStringLiteral("/dialog-font-%1.png").arg(QGuiApplication::platformName())));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
