#include "program/shell/frmAbout.h"

#include "platform/win/Desktop.h"
#include "program/services/Deployment.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmMain.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class AboutBox : public tv::testing::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        std::filesystem::copy_file(std::filesystem::path(TV_DATA_DIR) / "AboutVane.png",
                                   root.InstallFolder() / "AboutVane.png");
        win::SetUrlOpener(opener);
    }
    void TearDown() override
    {
        win::SetUrlOpener(nullptr);
        ShellFixture::TearDown();
    }

    std::shared_ptr<win::FakeUrlOpener> opener = std::make_shared<win::FakeUrlOpener>();
};

TEST_F(AboutBox, TheTrayOpensItWithTheBuildsVersion)
{
    frmMain::Instance().TrayMenuCommand("ABOUT");
    frmAbout* about = frmAbout::IfLoaded();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->Visible());
    // Once only: a second "ABOUT" brings up the same window.
    frmMain::Instance().TrayMenuCommand("ABOUT");
    EXPECT_EQ(frmAbout::IfLoaded(), about);

    EXPECT_EQ(about->Caption(), "Merrowgate Presents");
    EXPECT_EQ(about->lblName.Caption(), "Tallyvane");
    EXPECT_EQ(about->lblVersion.Caption(), std::string("Version ") + TV_PROJECT_VERSION);
    EXPECT_EQ(about->lblMoreInfo.Caption(), "For more information visit on the web at:");
    EXPECT_EQ(about->lblURL.Caption(), Deployment::WebAddress());
    EXPECT_TRUE(about->lblURL.Caption().starts_with("https://"));
    EXPECT_FALSE(about->Image1.Picture().isNull());

    // A fixed tool window of the design's size, without a task-bar button.
    QWidget* window = about->hWnd();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(about->ScaleWidth(), 380);
    EXPECT_EQ(about->ScaleHeight(), 195);
    // Red behind the transparent labels, and the whole address readable.
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(4, 190), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(about->lblName.Widget()->geometry().right() - 2, 10), QColor(255, 0, 0));
    EXPECT_GE(about->lblURL.Widget()->width(),
              QFontMetrics(about->lblURL.Font()).horizontalAdvance(QString::fromStdString(Deployment::WebAddress())));
    Grab(window, QStringLiteral("frmAbout"));
}

TEST_F(AboutBox, TheAddressOpensOncePerClickAndOKCloses)
{
    frmMain::Instance().TrayMenuCommand("ABOUT");
    frmAbout& about = *frmAbout::IfLoaded();
    QTest::mouseClick(about.lblURL.Widget(), Qt::LeftButton);
    EXPECT_EQ(opener->opened, std::vector<std::string>{Deployment::WebAddress()});
    // The other texts are no links; a refused address changes nothing.
    QTest::mouseClick(about.lblMoreInfo.Widget(), Qt::LeftButton);
    QTest::mouseClick(about.lblName.Widget(), Qt::LeftButton);
    EXPECT_EQ(opener->opened.size(), 1u);
    opener->result = false;
    QTest::mouseClick(about.lblURL.Widget(), Qt::LeftButton);
    EXPECT_EQ(opener->opened.size(), 2u);
    EXPECT_EQ(frmAbout::IfLoaded(), &about);

    QTest::mouseClick(about.cmdOK.Window(), Qt::LeftButton);
    EXPECT_EQ(frmAbout::IfLoaded(), nullptr);
}

TEST_F(AboutBox, ADamagedPictureLeavesTheRestOfTheBox)
{
    const std::filesystem::path picture = root.InstallFolder() / "AboutVane.png";
    std::filesystem::resize_file(picture, std::filesystem::file_size(picture) / 2);
    frmMain::Instance().TrayMenuCommand("ABOUT");
    ASSERT_NE(frmAbout::IfLoaded(), nullptr);
    EXPECT_TRUE(frmAbout::IfLoaded()->Image1.Picture().isNull());
    EXPECT_EQ(frmAbout::IfLoaded()->lblVersion.Caption(), std::string("Version ") + TV_PROJECT_VERSION);
}

} // namespace
