#include "program/shell/frmTallyvane.h"

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"
#include "platform/controls/TrayIcon.h"
#include "program/reports/Mod_TaskList.h"
#include "program/reports/Mod_tallyvane_Runner.h"
#include "program/services/MBox.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ProgramPictures.h"
#include "program/services/ShellState.h"
#include "program/shell/Mod_tallyvane.h"
#include "program/shell/Mod_tallyvane_Calendar.h"
#include "program/shell/Mod_tallyvane_ReadAhead.h"
#include "program/shell/ScreenCommands.h"

#include <QFont>
#include <QPixmap>

#include <cmath>
#include <filesystem>
#include <utility>

namespace {

constexpr const char* kApp = "Tallyvane";
constexpr const char* kSection = "frmTallyvane";
constexpr const char* kOptions = "frmOptions";
constexpr double kDefaultHeight = 8025;
constexpr double kDefaultWidth = 12015;
constexpr const char* kHelpTopic = "Tallyvane_Control_Screen\\Tallyvane_Control_Screen.htm";

// Design positions, in twips.
constexpr double kSideBarLeft = 60;
constexpr double kSideBarTop = 420;
constexpr double kSideBarWidth = 2400;
constexpr double kCalendarLeft = 2580;
constexpr double kCalendarTop = 900;
constexpr double kChooserTop = 450;
// The year box holds four digits beside its buttons, wide ones too (under
// the pointer); the month box keeps its place to its left.
constexpr double kYearBoxWidth = 1000;
constexpr double kYearBoxRight = kYearBoxWidth + 180;
constexpr double kMonthBoxRight = kYearBoxRight + 1840;

std::string setting(const char* section, const char* key, std::string_view fallback)
{
    return vb::GetSetting(kApp, section, key, fallback);
}

// The refill and the scheduled reports trap no errors of their own. One
// that fails (a database file without its tables, say) is shown as the
// runtime shows any error nobody handled, and the window still comes up.
template <class F>
void reported(F&& call)
{
    try {
        std::forward<F>(call)();
    } catch (const vb::RuntimeError& e) {
        vb::ReportUnhandledError(e);
    } catch (const std::exception& e) {
        vb::ReportUnhandledError(vb::RuntimeError(vb::kErrInvalidCall, e.what()));
    }
}

} // namespace

const std::string frmTallyvane::kCloseHint =
    "Selecting close minimizes Tallyvane to the system tray.\r\n"
    "To exit Tallyvane please click on the Tallyvane icon in the system tray, then select Quit Tallyvane.";

frmTallyvane::frmTallyvane()
    : FormOf("frmTallyvane")
{
    SetCaption("Tallyvane");

    // The calendar's design: its names and the pictures below index 10.
    ctCalendar1.SetDayNames({"Sun.", "Mon.", "Tue.", "Wed.", "Thr.", "Fri.", "Sat."});
    ctCalendar1.SetMonthNames(
        {"Jan.", "Feb.", "Mar.", "Apr.", "May", "June", "July", "Aug.", "Sept.", "Oct.", "Nov.", "Dec."});
    for (int k = 1; k <= 9; ++k)
        ctCalendar1.AddPicture(ProgramPictures::ReminderPicture(k));

    auto& file = SmartUI1.Items().Add("FILE", "File");
    file.Items().Add("CLOSE", "Close");
    SmartUI1.Items().Add("HELP", "Help");
    SmartUI1.ItemClick = [this](const std::string& key) { SmartUI1_ItemClick(key); };

    controls::SmartPanel& launch = smuiPanel(0);
    for (const char* key : {"STORES", "REPORT", "TASKS", "SALES", "OPTIONS"})
        launch.ListImages().Add(key, ProgramPictures::CommandPicture(key));
    launch.Items().Add("STORES", "Stores", controls::smuiCommandItem, "STORES").SetToolTipText("Show the Graph Screen");
    launch.Items().Add("REPORT", "Reports", controls::smuiCommandItem, "REPORT");
    launch.Items().Add("TASKS", "Tasks", controls::smuiCommandItem, "TASKS");
    launch.Items().Add("SALES", "Sales", controls::smuiCommandItem, "SALES");
    launch.Items().AddSeparator();
    launch.Items().Add("OPTIONS", "Options", controls::smuiCommandItem, "OPTIONS")
        .SetToolTipText("Show the Options Screen");
    smuiPanel.On(&controls::SmartPanel::ItemClick,
                 [this](int Index, const std::string& key) { smuiPanel_ItemClick(Index, key); });

    // A second face that every install has: the design's face is seldom
    // there, and without one the search goes through every installed font.
    QFont dateFont;
    dateFont.setFamilies({QStringLiteral("Monotype Corsiva"), QStringLiteral("DejaVu Serif")});
    dateFont.setPointSize(16);
    dateFont.setItalic(true);
    lblDate.SetFont(dateFont);
    lblDate.SetCaption("");
    lblDate.SetBackStyle(forms::vbTransparent);

    FlatComboBox1.SetToolTipText("Sets calendar month");
    FlatSpin1.SetToolTipText("Sets calendar year");
    FlatComboBox1.Click = [this] { FlatComboBox1_Click(); };
    FlatSpin1.Change = [this] { FlatSpin1_Change(); };
    FlatSpin1.LostFocus = [this] { showYear(shownYear_); };
    FlatSpin1.KeyPress = [this](int& KeyAscii) {
        if (KeyAscii == forms::vbKeyReturn)
            showYear(shownYear_);
    };

    SmartUI1.Move(0, 0, kDefaultWidth, 330);
    smuiOptions.Move(kSideBarLeft, kSideBarTop, kSideBarWidth, kDefaultHeight - 900);
    ctCalendar1.Move(kCalendarLeft, kCalendarTop, kDefaultWidth - kSideBarWidth - 400, kDefaultHeight - 1350);
    lblDate.Move(kCalendarLeft, kChooserTop - 60, 5000, 420);
    FlatComboBox1.Move(kDefaultWidth - kMonthBoxRight, kChooserTop, 1700, 330);
    FlatSpin1.Move(kDefaultWidth - kYearBoxRight, kChooserTop, kYearBoxWidth, 330);
}

void frmTallyvane::Form_Load()
{
    tv::ShellState& shell = tv::Shell();
    vb::ResumeNext step;

    step([&] {
        smuiOptions.Groups().Add("LAUNCH", "Toolbar", controls::smuiGroup);
        for (const auto& group : smuiOptions.Groups())
            group->SetValue("smuiPanel(" + std::to_string(group->Index()) + ")");
    });
    step([&] { RestoreSize(kDefaultHeight, kDefaultWidth); });
    step([&] { shell.g_ShowCloseMenu = vb::CBool(vb::Variant(setting(kSection, "ShowCloseMenu", "True"))); });
    step([&] {
        Move((vb::Screen::Width() - Width()) / 2, (vb::Screen::Height() - Height()) / 2);
    });
    step([&] { ApplyDisplayOptions(); });
    step([&] { reported([] { Mod_tallyvane::FillCalendar(); }); });
    step([&] { Mod_tallyvane::LoadSettings(); });
    step([&] { reported([] { Mod_TaskList::BuildScheduledReports(); }); });
    step([&] { Show(); });
    step([&] { reported([] { Mod_tallyvane::RunScheduledTasks(); }); });
    const vb::Date today = vb::Today();
    step([&] { showYear(vb::Year(today)); });
    step([&] {
        for (const std::string& month : shell.g_MonthNames)
            FlatComboBox1.AddItem(month);
    });
    step([&] { FlatComboBox1.SetListIndex(vb::Month(today) - 1); });
    step([&] {
        lblDate.SetCaption(shell.g_MonthNames.at(static_cast<size_t>(vb::Month(today) - 1)) + " " +
                           std::to_string(vb::Day(today)) + ", " + std::to_string(vb::Year(today)));
    });
}

void frmTallyvane::Form_Resize()
{
    vb::ResumeNext step;
    const double w = Width();
    const double h = Height();
    step([&] { SmartUI1.SetWidth(ScaleWidth()); });
    step([&] { ctCalendar1.SetWidth(w - smuiOptions.Width() - 400); });
    step([&] { ctCalendar1.SetHeight(h - 1350); });
    step([&] { smuiOptions.SetHeight(h - 900); });
    step([&] { FlatSpin1.SetLeft(w - kYearBoxRight); });
    step([&] { FlatComboBox1.SetLeft(w - kMonthBoxRight); });
}

void frmTallyvane::Form_Unload(int& Cancel)
{
    (void)Cancel;
    tv::ShellState& shell = tv::Shell();
    vb::ResumeNext step;
    // Without a notification area there would be no way back: closing quits.
    const bool quit = !controls::TrayIcon::Available();
    step([&] {
        if (quit || !shell.g_ShowCloseMenu)
            return;
        // The box's tick means "show this message in the future": it starts
        // ticked, and only a user who clears it stops the hint.
        if (MBox* box = MBox::IfLoaded(); !box || !box->Waiting())
            MBox::Instance().chkValue.SetValue(1);
        // A box closed by the program quitting meanwhile answers nothing.
        if (MBoxMod::ShowMBox(kCloseHint, 4, 0, 2, std::nullopt, true) < 0)
            return;
        if (shell.g_MBoxCheckValue == 0) {
            vb::SaveSetting(kApp, kSection, "ShowCloseMenu", "False");
            shell.g_ShowCloseMenu = false;
        } else {
            vb::SaveSetting(kApp, kSection, "ShowCloseMenu", "True");
        }
    });
    step([&] { SaveSize(); });
    step([&] {
        if (quit)
            shell.g_ShowCloseMenu = false;
        Mod_FTPData::UnloadAllForms(quit);
    });
}

void frmTallyvane::SetCalendarStartDate(vb::Date date)
{
    // The whole range first: a date whose two years run past the last date
    // raises before the calendar has changed at all.
    const int32_t first = Mod_tallyvane::GetCalendarStartDay(date);
    const vb::Date last = vb::DateAdd("yyyy", 2, vb::Date::FromSerial(first));
    ctCalendar1.SetFirstDay(first);
    ctCalendar1.SetLastDay(last);
    ctCalendar1.SetCurrentDay(Mod_FTPData::DateToDayNumber(vb::Today()));
    shownYear_ = vb::Year(date);
}

void frmTallyvane::ApplyDisplayOptions()
{
    vb::ResumeNext step;
    auto number = [](const char* key, std::string_view fallback) {
        return vb::CLng(vb::Variant(setting(kOptions, key, fallback)));
    };
    step([&] { ctCalendar1.SetGroupWeekends(number("chkGroupWeekends", "1")); });
    step([&] { ctCalendar1.SetSmallIcons(number("chkSmallIcons", "1")); });
    step([&] { ctCalendar1.SetDateAlignment(number("cboDateAlign", "0")); });
    step([&] { ctCalendar1.SetDatePosition(number("cboDatePos", "0")); });
    step([&] { ctCalendar1.SetIconAlignment(number("cboIconAlign", "0")); });
    step([&] { ctCalendar1.SetIconPosition(number("cboIconPosition", "0")); });
    step([&] { ctCalendar1.SetTextAlignment(number("cboTextAlign", "0")); });
    step([&] { ctCalendar1.SetTextPosition(number("cboTextPos", "0")); });
    step([&] {
        ctCalendar1.SetDayHeadingColor(static_cast<forms::OLE_COLOR>(
            number("DateHeadingColor", std::to_string(Mod_tallyvane::kDefaultDateHeadingColor))));
    });
    step([&] {
        ctCalendar1.SetWeekendDayColor(number("WeekendColor", std::to_string(Mod_tallyvane::kDefaultWeekendColor)));
    });
    // The two stored switches as the options window left them.
    step([&] {
        if (number("ChkShowWeekendColor", "1") == 0)
            ctCalendar1.SetWeekendDayColor(-1);
    });
    step([&] { ctCalendar1.SetShowDateHeadings(number("chkShowDateHeadings", "1")); });
    step([&] { SetCalendarStartDate(vb::Today()); });
    step([&] {
        const QPixmap background = Mod_tallyvane::StartPicture(BackgroundPictureFile());
        if (!background.isNull())
            ctCalendar1.SetBackgroundPicture(background);
    });
}

std::string frmTallyvane::BackgroundPictureFile()
{
    return setting(kOptions, "BackGroundImage", Mod_tallyvane::DefaultBackgroundImage().string());
}

void frmTallyvane::SmartUI1_ItemClick(const std::string& key)
{
    if (key == "CLOSE")
        Unload();
    else if (key == "HELP")
        Mod_SpecialFunctions::ShowHelpTopic(kHelpTopic);
}

void frmTallyvane::smuiPanel_ItemClick(int Index, const std::string& key)
{
    (void)Index;
    if (key == "STORES")
        ScreenCommands::ShowStoreEditor();
    else if (key == "REPORT")
        ScreenCommands::ShowReportScreen();
    else if (key == "TASKS")
        ScreenCommands::ShowTaskList();
    else if (key == "SALES")
        ScreenCommands::ShowSales();
    else if (key == "OPTIONS")
        ScreenCommands::ShowOptions();
}

int frmTallyvane::yearChosen()
{
    const double year = FlatSpin1.Value();
    return year >= 1900 && year <= 9999 && year == std::floor(year) ? static_cast<int>(year) : 0;
}

void frmTallyvane::showYear(int year)
{
    if (year > 0)
        FlatSpin1.SetValue(year);
}

void frmTallyvane::FlatComboBox1_Click()
{
    // A year outside 1900 to 9999 (typed half-way, say), one whose two years
    // the calendar cannot show whole, or no month chosen yet leaves the
    // calendar where it is; the box gets the shown year back when it is left.
    const int year = yearChosen();
    const int month = FlatComboBox1.ListIndex();
    if (year == 0 || month < 0 || month > 11)
        return;
    try {
        SetCalendarStartDate(vb::DateSerial(year, month + 1, 1));
    } catch (const vb::RuntimeError&) {
    }
}

void frmTallyvane::FlatSpin1_Change()
{
    FlatComboBox1_Click();
}
