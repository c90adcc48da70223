// The options window with the file and colour dialogs, the registry and the
// message boxes scripted: what a first opening shows and leaves behind, each
// calendar control on the main calendar, the switches stored at once (the
// autostart entry too), damaged settings, pages, help and size.

#include "program/shell/frmOptions.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/controls/ctCalendar.h"
#include "platform/testing/DesktopWaits.h"
#include "platform/testing/Quiescence.h"
#include "platform/win/Desktop.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_Report_Builder.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/Autostart.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/OptionsTestSupport.h"
#include "program/shell/frmTallyvane.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

using tv::testing::OptionsFixture;

class OptionsWindow : public OptionsFixture {};

TEST_F(OptionsWindow, AFirstOpeningShowsTheCalendarsDefaultsAndClosingKeepsItsColours)
{
    start();
    frmOptions& form = open();
    EXPECT_EQ(form.Caption(), "Tallyvane Options");
    for (forms::ComboBox* combo : {&form.cboIconAlign, &form.cboIconPosition, &form.cboDateAlign, &form.cboDatePos,
                                   &form.cboTextAlign, &form.cboTextPos}) {
        EXPECT_EQ(combo->ListIndex(), 0) << combo->Name();
        EXPECT_EQ(combo->ListCount(), 3) << combo->Name();
    }
    EXPECT_EQ(form.cboDateAlign.List(2), "Centered");
    EXPECT_EQ(form.cboTextPos.List(1), "Bottom");
    for (forms::CheckBox* box :
         {&form.chkSmallIcons, &form.chkGroupWeekends, &form.ChkShowWeekend, &form.chkShowDateHeadings})
        EXPECT_EQ(box->Value(), forms::vbChecked) << box->Name();
    EXPECT_EQ(form.ColorPicker1.Color(), 0x808000u);
    EXPECT_EQ(form.ColorPicker2.Color(), 0xFFFF00u);
    EXPECT_TRUE(form.ColorPicker1.Enabled());
    EXPECT_TRUE(form.ColorPicker2.Enabled());
    EXPECT_EQ(form.txtBackgroundImage.Text(), vb::App::Path() + "/DefaultBGImage.jpg");
    // The first page is on show.
    EXPECT_EQ(form.SmartTabStrip.SelectedTab(), "CALENDAR");
    EXPECT_TRUE(form.fraMainOptions.Visible());
    EXPECT_FALSE(form.fraEmail.Visible());
    EXPECT_EQ(form.HelpTopic(), frmOptions::kCalendarTopic);
    // Nothing was stored by opening.
    EXPECT_EQ(setting("WeekendColor"), "<none>");

    form.smuiSelect.Choose("CLOSE");
    EXPECT_EQ(frmOptions::IfLoaded(), nullptr);
    EXPECT_EQ(setting("WeekendColor"), "8421376");
    EXPECT_EQ(setting("DateHeadingColor"), "16776960");
    EXPECT_EQ(setting("cboTextPos"), "0");
    EXPECT_EQ(setting("chkShowDateHeadings"), "1");
    EXPECT_EQ(setting("BackGroundImage"), vb::App::Path() + "/DefaultBGImage.jpg");

    // The main calendar opened again shows the same colours as before.
    reopenCalendar();
    const controls::ctCalendar& cal = frmTallyvane::Instance().ctCalendar1;
    EXPECT_EQ(cal.DayHeadingColor(), 0xFFFF00u);
    EXPECT_EQ(cal.WeekendDayColor(), 0x808000);
    EXPECT_EQ(cal.ShowDateHeadings(), 1);
}

TEST_F(OptionsWindow, EachCalendarControlShowsOnTheMainCalendarAtOnce)
{
    start();
    frmOptions& form = open();
    controls::ctCalendar& cal = frmTallyvane::Instance().ctCalendar1;

    form.cboIconAlign.SetListIndex(2);
    form.cboIconPosition.SetListIndex(1);
    form.cboDateAlign.SetListIndex(1);
    form.cboDatePos.SetListIndex(2);
    form.cboTextAlign.SetListIndex(2);
    form.cboTextPos.SetListIndex(1);
    EXPECT_EQ(cal.IconAlignment(), 2);
    EXPECT_EQ(cal.IconPosition(), 1);
    EXPECT_EQ(cal.DateAlignment(), 1);
    EXPECT_EQ(cal.DatePosition(), 2);
    EXPECT_EQ(cal.TextAlignment(), 2);
    EXPECT_EQ(cal.TextPosition(), 1);

    form.chkSmallIcons.SetValue(0);
    form.chkGroupWeekends.SetValue(0);
    EXPECT_EQ(cal.SmallIcons(), 0);
    EXPECT_EQ(cal.GroupWeekends(), 0);

    // Weekends lose their colour, and the picker goes with the box.
    form.ChkShowWeekend.SetValue(0);
    EXPECT_EQ(cal.WeekendDayColor(), -1);
    EXPECT_FALSE(form.ColorPicker1.Enabled());
    EXPECT_FALSE(form.lblSelColor.Enabled());
    dialogs->colors = {0x0000FF};
    form.ColorPicker1.Choose();
    EXPECT_EQ(cal.WeekendDayColor(), -1) << "a disabled picker chooses nothing";
    form.ChkShowWeekend.SetValue(1);
    EXPECT_EQ(cal.WeekendDayColor(), 0x808000);
    EXPECT_TRUE(form.ColorPicker1.Enabled());
    form.ColorPicker1.Choose();
    EXPECT_EQ(cal.WeekendDayColor(), 0x0000FF);

    form.chkShowDateHeadings.SetValue(0);
    EXPECT_EQ(cal.ShowDateHeadings(), 0);
    EXPECT_FALSE(form.ColorPicker2.Enabled());
    EXPECT_FALSE(form.lblDateHeadingColor.Enabled());
    form.chkShowDateHeadings.SetValue(1);
    EXPECT_EQ(cal.ShowDateHeadings(), 1);
    dialogs->colors = {std::nullopt, 0x00FF00};
    form.ColorPicker2.Choose();
    EXPECT_EQ(cal.DayHeadingColor(), 0xFFFF00u) << "a cancelled colour dialog changes nothing";
    form.ColorPicker2.Choose();
    EXPECT_EQ(cal.DayHeadingColor(), 0x00FF00u);

    // The background: a cancelled chooser and a file that is no picture
    // change nothing; a picture shows at once.
    const auto picture = root.Path() / "beach.jpg";
    ASSERT_TRUE(QImage(40, 30, QImage::Format_RGB32).save(QString::fromStdString(picture.string()), "JPG"));
    const auto notAPicture = root.Path() / "notes.jpg";
    vb::fso::WriteAllBytesAtomic(notAPicture, "not a picture");
    const qint64 before = cal.BackgroundPicture().cacheKey();
    dialogs->files = {std::nullopt, notAPicture.string(), (root.Path() / "gone.jpg").string(), picture.string()};
    for (int i = 0; i < 3; ++i)
        form.cmdSelBkgnd.SetValue(true);
    EXPECT_EQ(cal.BackgroundPicture().cacheKey(), before);
    EXPECT_EQ(form.txtBackgroundImage.Text(), vb::App::Path() + "/DefaultBGImage.jpg");
    form.cmdSelBkgnd.SetValue(true);
    EXPECT_EQ(cal.BackgroundPicture().size(), QSize(40, 30));
    EXPECT_EQ(form.txtBackgroundImage.Text(), picture.string());
    ASSERT_FALSE(dialogs->fileRequests.empty());
    EXPECT_EQ(dialogs->fileRequests[0].filter, "All Picture Files |" + frmOptions::PicturePatterns());

    // Stored only at close, and the next main calendar takes them.
    EXPECT_EQ(setting("cboIconAlign"), "<none>");
    form.Unload();
    EXPECT_EQ(setting("cboIconAlign"), "2");
    EXPECT_EQ(setting("cboTextPos"), "1");
    EXPECT_EQ(setting("chkSmallIcons"), "0");
    EXPECT_EQ(setting("WeekendColor"), "255");
    EXPECT_EQ(setting("DateHeadingColor"), "65280");
    EXPECT_EQ(setting("BackGroundImage"), picture.string());
    reopenCalendar();
    const controls::ctCalendar& again = frmTallyvane::Instance().ctCalendar1;
    EXPECT_EQ(again.IconAlignment(), 2);
    EXPECT_EQ(again.WeekendDayColor(), 0x0000FF);
    EXPECT_EQ(again.DayHeadingColor(), 0x00FF00u);
    EXPECT_EQ(again.BackgroundPicture().size(), QSize(40, 30));
}

TEST_F(OptionsWindow, AListChangeWhileTheMainCalendarIsClosedBringsItUp)
{
    start();
    mbox->answers.push_back({0, 1});
    frmTallyvane::Instance().Unload();
    ASSERT_EQ(frmTallyvane::IfLoaded(), nullptr);
    frmOptions& form = open();
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr) << "the lists show their choice on the calendar as they load";
    EXPECT_TRUE(frmTallyvane::IfLoaded()->Visible());
    form.cboDatePos.SetListIndex(1);
    EXPECT_EQ(frmTallyvane::IfLoaded()->ctCalendar1.DatePosition(), 1);
}

TEST_F(OptionsWindow, OneDamagedSettingTakesItsDefaultAndTheOthersAreKept)
{
    save("cboIconAlign", "7");
    save("cboIconPosition", "2");
    save("cboDatePos", "1.5");
    save("cboTextAlign", "2");
    save("WeekendColor", "blue");
    save("DateHeadingColor", "255");
    save("chkSmallIcons", "x");
    save("chkGroupWeekends", "0");
    save("ChkShowWeekendColor", "0");
    save("chkShowDateHeadings", "5");
    save("BackGroundImage", "/pictures/sea.jpg");
    start();
    frmOptions& form = open();
    EXPECT_EQ(form.cboIconAlign.ListIndex(), 0);
    EXPECT_EQ(form.cboIconPosition.ListIndex(), 2);
    EXPECT_EQ(form.cboDatePos.ListIndex(), 0);
    EXPECT_EQ(form.cboTextAlign.ListIndex(), 2);
    EXPECT_EQ(form.ColorPicker1.Color(), 0x808000u);
    EXPECT_EQ(form.ColorPicker2.Color(), 255u);
    EXPECT_EQ(form.chkSmallIcons.Value(), 1);
    EXPECT_EQ(form.chkGroupWeekends.Value(), 0);
    EXPECT_EQ(form.ChkShowWeekend.Value(), 0);
    EXPECT_FALSE(form.ColorPicker1.Enabled());
    EXPECT_EQ(form.chkShowDateHeadings.Value(), 1);
    EXPECT_EQ(form.txtBackgroundImage.Text(), "/pictures/sea.jpg");

    // Closing keeps a damaged value the user left alone, and stores a
    // choice made in its place.
    form.chkSmallIcons.SetValue(0);
    form.Unload();
    EXPECT_EQ(setting("cboIconAlign"), "7");
    EXPECT_EQ(setting("cboDatePos"), "1.5");
    EXPECT_EQ(setting("WeekendColor"), "blue");
    EXPECT_EQ(setting("chkShowDateHeadings"), "5");
    EXPECT_EQ(setting("chkSmallIcons"), "0");
    EXPECT_EQ(setting("cboIconPosition"), "2");
    EXPECT_EQ(setting("cboTextAlign"), "2");
    EXPECT_EQ(setting("DateHeadingColor"), "255");
    EXPECT_EQ(setting("chkGroupWeekends"), "0");
    EXPECT_EQ(setting("ChkShowWeekendColor"), "0");
    EXPECT_EQ(setting("BackGroundImage"), "/pictures/sea.jpg");
}

TEST_F(OptionsWindow, TheMiscSwitchesAreStoredAtOnce)
{
    start();
    frmOptions& form = open();
    using Mod_Registry::kProgramKey;
    EXPECT_EQ(form.chkUseExampleDB.Value(), 1) << "the fresh install opens the example database";
    EXPECT_EQ(form.chkEnableScreenFader.Value(), 0);
    EXPECT_EQ(form.chkRunAtStartup.Value(), 0);
    EXPECT_EQ(form.chkShowTips.Value(), 0);

    form.chkEnableScreenFader.SetValue(1);
    EXPECT_EQ(reg(kProgramKey, "ScreenClose"), "True");
    form.chkUseExampleDB.SetValue(0);
    EXPECT_EQ(reg(kProgramKey, "UseExampleDB"), "False");

    // Start with the session: the setting and the desktop's autostart entry.
    const auto entry = Autostart::EntryFile();
    form.chkRunAtStartup.SetValue(1);
    EXPECT_EQ(Mod_Registry::ReadRegValue(winreg::HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue),
              Autostart::ProgramFile().string());
    ASSERT_TRUE(vb::fso::FileExists(entry));
    EXPECT_NE(vb::fso::ReadAllBytes(entry).find("Exec="), std::string::npos);
    form.chkRunAtStartup.SetValue(0);
    EXPECT_FALSE(
        Mod_Registry::RegValueExists(winreg::HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue));
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(mbox->shown.empty());

    // Tips are stored when the window closes.
    form.chkShowTips.SetValue(1);
    EXPECT_EQ(reg(kProgramKey, "ShowTips"), "False");
    form.Unload();
    EXPECT_EQ(reg(kProgramKey, "ShowTips"), "True");

    // Opened again, the boxes show what was stored.
    frmOptions& again = open();
    EXPECT_EQ(again.chkEnableScreenFader.Value(), 1);
    EXPECT_EQ(again.chkUseExampleDB.Value(), 0);
    EXPECT_EQ(again.chkShowTips.Value(), 1);
}

// The other database is taken at the next start only: the reports (and
// the scheduled runs with them) read the one the program started with.
TEST_F(OptionsWindow, TheExampleDatabaseBoxChangesNoReaderBeforeTheNextStart)
{
    start();
    ASSERT_EQ(tv::Shell().g_DatabaseFileName, Mod_tallyvane::kExampleDatabaseFileName);
    frmOptions& form = open();
    form.chkUseExampleDB.SetValue(0);
    EXPECT_EQ(tv::Shell().g_DatabaseFileName, Mod_tallyvane::kExampleDatabaseFileName);
    ASSERT_TRUE(Mod_Report::GenerateReport("LANDLORD", Mod_Report::ToReportSettings({})));
    const std::string page = vb::fso::ReadAllBytes(vb::AppPaths::ProgramFolder() / Mod_Report::kTempReportFileName);
    EXPECT_NE(page.find("Meridian Property Group"), std::string::npos) << "the report read the empty database";
    form.Unload();

    // Opened again, the box shows the choice for the next start.
    EXPECT_EQ(open().chkUseExampleDB.Value(), 0);
    EXPECT_EQ(reg(Mod_Registry::kProgramKey, "UseExampleDB"), "False");
}

TEST_F(OptionsWindow, AnAutostartEntryThatCannotBeWrittenUnticksTheBoxAndSaysWhy)
{
    start();
    // A file where the autostart folder should be.
    const auto blocked = root.Path() / "blocked";
    vb::fso::WriteAllBytesAtomic(blocked, "");
    Autostart::SetFolder(blocked / "autostart");
    frmOptions& form = open();
    form.chkRunAtStartup.SetValue(1);
    EXPECT_EQ(form.chkRunAtStartup.Value(), 0);
    EXPECT_FALSE(
        Mod_Registry::RegValueExists(winreg::HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue));
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_NE(mbox->shown[0].prompt.find("could not be set to run on startup"), std::string::npos);
    EXPECT_NE(mbox->shown[0].prompt.find((blocked / "autostart").string()), std::string::npos);
}

TEST_F(OptionsWindow, OpeningWhileTheExampleDatabaseIsInUseWritesNothing)
{
    start();
    const std::string before = vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile());
    frmOptions& form = open();
    EXPECT_EQ(form.chkUseExampleDB.Value(), 1);
    EXPECT_EQ(vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile()), before);
}

TEST_F(OptionsWindow, TheEmailBoxesShowAndStoreTheSettingTheirLabelsName)
{
    using Mod_Registry::kEMailKey;
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, kEMailKey, "OriginatorsEmail", "office@example.com",
                                winreg::REG_SZ);
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, kEMailKey, "OriginatorsName", "Lease Office",
                                winreg::REG_SZ);
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, kEMailKey, "SMTPMailServer", "mail.example.com",
                                winreg::REG_SZ);
    start();
    frmOptions& form = open();
    EXPECT_EQ(form.lblOrigEmail.Caption(), "Originators E-Mail Address");
    EXPECT_EQ(form.txtOrigEmail.Text(), "office@example.com");
    EXPECT_EQ(form.lblFromEMail.Caption(), "Originators Name");
    EXPECT_EQ(form.txtFromEMail.Text(), "Lease Office");
    EXPECT_EQ(form.txtSMTPMailServer.Text(), "mail.example.com");

    form.txtOrigEmail.SetText("rent@example.org");
    form.txtFromEMail.SetText("Rent Desk");
    form.txtSMTPMailServer.SetText("smtp.example.org");
    EXPECT_EQ(reg(kEMailKey, "OriginatorsEmail"), "rent@example.org");
    EXPECT_EQ(reg(kEMailKey, "OriginatorsName"), "Rent Desk");
    EXPECT_EQ(reg(kEMailKey, "SMTPMailServer"), "smtp.example.org");
    EXPECT_EQ(tv::Shell().g_OriginatorsEmail, "rent@example.org");
    EXPECT_EQ(tv::Shell().g_OriginatorsName, "Rent Desk");
    EXPECT_EQ(tv::Shell().g_SMTPMailServer, "smtp.example.org");

    // A click on a box whose text is stored writes nothing.
    const std::string before = vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile());
    QTest::mouseClick(form.txtSMTPMailServer.Widget(), Qt::LeftButton);
    QTest::mouseClick(form.txtFromEMail.Widget(), Qt::LeftButton);
    EXPECT_EQ(vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile()), before);
}

TEST_F(OptionsWindow, TabsShowTheirPagesAndHelpTopics)
{
    start();
    frmOptions& form = open();
    struct Expect {
        const char* key;
        forms::Frame* frame;
        const char* topic;
    };
    const Expect pages[] = {{"EMAIL", &form.fraEmail, frmOptions::kEmailTopic},
                            {"MISC", &form.fraMisc, frmOptions::kMiscTopic},
                            {"CALENDAR", &form.fraMainOptions, frmOptions::kCalendarTopic}};
    for (const Expect& page : pages) {
        form.SmartTabStrip.Choose(page.key);
        for (forms::Frame* frame : {&form.fraMainOptions, &form.fraEmail, &form.fraMisc})
            EXPECT_EQ(frame->Visible(), frame == page.frame) << page.key << " " << frame->Name();
        EXPECT_EQ(form.HelpTopic(), page.topic);
        EXPECT_EQ(form.SmartUIContainer.SelectedGroup(), page.key);
        EXPECT_EQ(form.SmartTabStrip.Tabs().Item(page.key).HotImage(), std::string(page.key) + "_HOT");
    }
    // Another key changes neither page nor topic.
    form.ShowPage("OTHER");
    EXPECT_TRUE(form.fraMainOptions.Visible());
    EXPECT_EQ(form.HelpTopic(), frmOptions::kCalendarTopic);
    EXPECT_EQ(form.SmartUIContainer.SelectedGroup(), "");

    // "Help" opens the topic of the page on show.
    const auto page = root.ProgramFolder() / "tallyvanehelp" / "Options_Screen" / "Misc_Options.htm";
    std::filesystem::create_directories(page.parent_path());
    vb::fso::WriteAllBytesAtomic(page, "<html></html>");
    auto urls = std::make_shared<win::FakeUrlOpener>();
    win::SetUrlOpener(urls);
    form.SmartTabStrip.Choose("MISC");
    form.smuiSelect.Choose("HELP");
    win::SetUrlOpener(nullptr);
    ASSERT_EQ(urls->opened.size(), 1u);
    EXPECT_EQ(urls->opened[0], win::FileUrl(page.string()));
}

TEST_F(OptionsWindow, TheWindowKeepsItsSizeAndItsPagesFollowIt)
{
    start();
    frmOptions& form = open();
    EXPECT_NEAR(form.Height(), frmOptions::kDefaultHeight, 90);
    EXPECT_NEAR(form.Width(), frmOptions::kDefaultWidth, 90);
    form.Move(form.Left(), form.Top(), 11800, 6500);
    QCoreApplication::processEvents();
    const double pageWidth = form.fraMisc.Width();
    EXPECT_NEAR(form.SmartUIContainer.Width(), form.ScaleWidth() - form.SmartUIContainer.Left() - 20, 15);
    EXPECT_NEAR(pageWidth, form.SmartUIContainer.Width() - 150, 15);
    EXPECT_NEAR(form.fraEmail.Height(), form.SmartUIContainer.Height() - 150, 15);
    // A window narrower than the container's left edge: the pages keep
    // their last size.
    form.Move(form.Left(), form.Top(), 100, 100);
    QCoreApplication::processEvents();
    EXPECT_NEAR(form.fraMisc.Width(), pageWidth, 15);
    form.Move(form.Left(), form.Top(), 11800, 6500);
    // The stored size is the window's own, without the frame around it.
    const double innerWidth = form.hWnd()->width() * 15.0;
    const double innerHeight = form.hWnd()->height() * 15.0;
    form.Unload();
    EXPECT_NEAR(std::stod(setting("Width")), innerWidth, 15);
    EXPECT_NEAR(std::stod(setting("Height")), innerHeight, 15);
    frmOptions& again = open();
    EXPECT_NEAR(again.Width(), 11800, 90);
    EXPECT_NEAR(again.Height(), 6500, 90);
}

// Each page draws every text it shows, and looks unlike the others. Under an
// X server (tools/screenshots.sh on a desktop) the pictures written also
// show the whole screen, window frame and all.
TEST_F(OptionsWindow, EachPageIsDrawnWithAllItsTexts)
{
    start();
    frmOptions& form = open();
    form.txtOrigEmail.SetText("office@example.com");
    form.txtFromEMail.SetText("Lease Office");
    form.txtSMTPMailServer.SetText("mail.example.com");
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    std::vector<QImage> pictures;
    for (const char* key : {"CALENDAR", "EMAIL", "MISC"}) {
        form.SmartTabStrip.Choose(key);
        form.SetCaption("Tallyvane Options");
        form.hWnd()->raise();
        form.hWnd()->activateWindow();
        // The window manager's frame, and the window active in it: for the
        // pictures of the screen only.
        if (x11) {
            EXPECT_TRUE(tv::testing::Framed(form.hWnd()));
            EXPECT_TRUE(tv::testing::WaitUntil([&] { return form.hWnd()->isActiveWindow(); }));
        }
        EXPECT_TRUE(tv::testing::DrainPostedEvents());
        const QString name = QStringLiteral("frmOptions_") + QString::fromLatin1(key).toLower();
        pictures.push_back(Grab(form.hWnd(), name));
        if (x11)
            GrabScreen(name + QStringLiteral("_screen"));
    }
    EXPECT_NE(pictures[0], pictures[1]);
    EXPECT_NE(pictures[1], pictures[2]);
    EXPECT_NE(pictures[0], pictures[2]);
}

} // namespace
