#include "program/reports/frmReport.h"

#include "platform/basic/App.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/report/DataReport.h"
#include "platform/report/ReportPrinter.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_Report_Builder.h"
#include "program/reports/ReportsState.h"
#include "program/reports/frmHeadingColor.h"
#include "program/reports/frmReportScheduling.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_SpecialFunctions.h"

#include <QListWidget>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace {

constexpr int kFirstYear = 1990;
constexpr int kLastYear = 2050;
constexpr int16_t kCloseEffectStep = 200;
constexpr double kSideBarLeft = 60;
constexpr double kMenuHeight = 330;
constexpr double kSideBarTop = kMenuHeight + 60;
constexpr double kSideBarWidth = 2700;
constexpr const char* kNotBuilt = "The report could not be built.";

frmReport::Builder& builder()
{
    static frmReport::Builder build;
    return build;
}

bool isPeriodReport(const std::string& key)
{
    return key == "LEASE EXPIRATION" || key == "INSURANCE REMINDER" || key == "RENEWAL REMINDER" ||
           key == "OTHER REMINDER";
}

bool isYearReport(const std::string& key)
{
    return key == "BASE RATE" || key == "PERCENTAGE RATE" || key == "CAM RATE" || key == "TAX RATE";
}

// The marker beside the report on show: a small arrow.
QPixmap markerPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 96, 192));
    const QPointF arrow[] = {{4, 3}, {13, 8}, {4, 13}};
    painter.drawPolygon(arrow, 3);
    return picture;
}

} // namespace

void frmReport::SetBuilder(Builder build)
{
    builder() = std::move(build);
}

frmReport::frmReport()
    : FormOf("frmReport")
{
    layOut();
    smuiMenuBar.ItemClick = [this](const std::string& key) { MenuCommand(key); };
    smuiOptions.ItemClick = [this](const std::string& key) { OptionsBarClick(key); };
    for (int i = 0; i < 3; ++i)
        smuiPanel(i).ItemClick = [this, i](const std::string& key) { ReportItemClick(i, key); };
    cboRptYears.Click = [this] { cboRptYears_Click(); };
    lstRptYears.Click = [this] { lstRptYears_Click(); };
}

void frmReport::layOut()
{
    SetCaption("Reports");
    smuiMenuBar.Move(0, 0, 10530, kMenuHeight);
    buildMenu();
    buildSideBar();
    lblRptYears.SetCaption("Select Report Years:");
    lblRptYears.Move(kSideBarLeft, 0, kSideBarWidth, 220);
    cboRptYears.Move(kSideBarLeft, 0, kSideBarWidth);
    lstRptYears.Move(kSideBarLeft, 0, kSideBarWidth, 2400);
    lstRptYears.SetToolTipText("Hold the CTRL key down to select multiple years.");
    WebBrowser1.Move(kSideBarLeft + kSideBarWidth + 120, kSideBarTop, 6000, 6000);
}

void frmReport::buildMenu()
{
    auto& file = smuiMenuBar.Items().Add("FILE", "File");
    file.Items().Add("REPORT", "Schedule Report");
    file.Items().AddSeparator();
    file.Items().Add("PRINT", "Print");
    file.Items().AddSeparator();
    file.Items().Add("CLOSE", "Close");
    auto& options = smuiMenuBar.Items().Add("OPTIONS", "Report Options");
    auto& sort = options.Items().Add("SORT", "Sort Order");
    sort.Items().Add("ASC", "Ascending");
    sort.Items().Add("DEC", "Decending");
    options.Items().Add("HEADING COLOR", "Select Heading Color");
    smuiMenuBar.Items().Add("HELP", "Help");
}

void frmReport::buildSideBar()
{
    smuiOptions.Move(kSideBarLeft, kSideBarTop, kSideBarWidth, 6000);
    smuiOptions.SetCaption("Select Report");
    const QPixmap marker = markerPicture();
    for (int i = 0; i < 3; ++i)
        smuiPanel(i).ListImages().Add("SHOW", marker);

    auto& dates = smuiPanel(0).Items();
    dates.Add("CAPTION", "Expriatino & Reminders", controls::smuiHeadingItem);
    dates.Add("LEASE EXPIRATION", "Lease Expiration");
    dates.Add("LEASE TERM", "Lease Term");
    dates.Add("", "Reminders", controls::smuiHeadingItem);
    dates.Add("INSURANCE REMINDER", "Insurance Reminder");
    dates.Add("RENEWAL REMINDER", "Renewal Reminder");
    dates.Add("OTHER REMINDER", "Other Reminder");

    auto& rates = smuiPanel(1).Items();
    rates.Add("CAPTION", "Rate Reports", controls::smuiHeadingItem);
    rates.Add("BASE RATE", "Base Rate");
    rates.Add("PERCENTAGE RATE", "Percentage Rate");
    rates.Add("CAM RATE", "CAM Rate");
    rates.Add("TAX RATE", "Tax Rate");

    auto& misc = smuiPanel(2).Items();
    misc.Add("CAPTION", "Miscellaneous Reports", controls::smuiHeadingItem);
    misc.Add("LANDLORD", "Landlord");
    for (auto [key, caption] : {std::pair{"LOCATION", "Location"}, std::pair{"SQUARE FOOTAGE", "Square Footage"},
                                std::pair{"SALES", "Sales"}})
        misc.Add(key, caption).SetVisible(false);
}

void frmReport::Form_Load()
{
    loading_ = true;
    tv::Reports().g_ReportScreenOpen = true;
    smuiOptions.Groups().Add("REMINDER", "Important Dates", controls::smuiGroup);
    smuiOptions.Groups().Add("RATE", "Rates", controls::smuiGroup);
    smuiOptions.Groups().Add("MISC", "Miscelleneous", controls::smuiGroup);
    for (int i = 0; i < 3; ++i)
        smuiOptions.Groups().Item(i).SetValue(smuiPanel(i).BoundName());
    smuiOptions.SelectGroup(0);

    reportKey_ = "LEASE EXPIRATION";
    RestoreSize(8550, 10530);

    cboRptYears.Clear();
    for (const auto& period : Mod_Report::kReportPeriods)
        cboRptYears.AddItem(period.text);
    lstRptYears.SetVisible(false);
    lstRptYears.Clear();
    for (int year = kFirstYear; year <= kLastYear; ++year)
        lstRptYears.AddItem(std::to_string(year));

    loadSettings();
    ShowReportOptions();

    markedKey_ = reportKey_;
    markedPanel_ = 0;
    smuiPanel(0).Items().Item(markedKey_).SetImage("SHOW");

    loading_ = false;
    Form_Resize();
    RebuildReport();
}

void frmReport::loadSettings()
{
    std::vector<std::string> values;
    try {
        values = Mod_Report::ReadReportSettings(vb::App::Path(), reportKey_);
    } catch (const vb::RuntimeError&) {
        // The schedules file is refused (the start said so): the report
        // shows as a new one would, not with what the last report left.
        Settings = Mod_Report::ToReportSettings({});
        return;
    }
    try {
        Settings = Mod_Report::ToReportSettings(values);
    } catch (const vb::RuntimeError&) {
        // A schedule that does not convert: the options the screen shows still do.
        values.resize(Mod_Report::kScheduleReport);
        Settings = Mod_Report::ToReportSettings(values);
    }
}

void frmReport::saveSettings()
{
    try {
        Mod_Report::SaveReportOptions(reportKey_, Settings);
    } catch (const vb::RuntimeError&) {
        // The file cannot be written: the report is still shown as set.
    }
}

void frmReport::ShowReportOptions()
{
    const bool periods = isPeriodReport(reportKey_);
    const bool years = isYearReport(reportKey_);
    lblRptYears.SetVisible(periods || years);
    cboRptYears.SetVisible(periods);
    lstRptYears.SetVisible(years);
    if (years)
        SelectReportYears();

    auto& ascending = *smuiMenuBar.Items().Find("ASC");
    auto& descending = *smuiMenuBar.Items().Find("DEC");
    if (Settings.SortOrder == "ASC") {
        ascending.SetChecked(true);
        descending.SetChecked(false);
    } else if (Settings.SortOrder == "DESC") {
        ascending.SetChecked(false);
        descending.SetChecked(true);
    }

    {
        // Showing the stored period is no choice of the user's.
        filling_ = true;
        int index = -1;
        for (int i = 0; i < static_cast<int>(std::size(Mod_Report::kReportPeriods)); ++i)
            if (Settings.Length == Mod_Report::kReportPeriods[i].text)
                index = i;
        cboRptYears.SetListIndex(index);
        filling_ = false;
    }

    if (!loading_) {
        Form_Resize();
        RebuildReport();
    }
}

void frmReport::SelectReportYears()
{
    filling_ = true;
    for (int i = 0; i < lstRptYears.ListCount(); ++i)
        lstRptYears.SetSelected(i, false);
    for (const std::string& part : vb::Split(Settings.Years, ";"))
        for (int i = 0; i < lstRptYears.ListCount(); ++i)
            if (lstRptYears.List(i) == part)
                lstRptYears.SetSelected(i, true);
    filling_ = false;
    // The first year chosen in sight.
    if (auto* list = qobject_cast<QListWidget*>(lstRptYears.Widget()))
        if (auto chosen = list->selectedItems(); !chosen.isEmpty())
            list->scrollToItem(*std::min_element(chosen.begin(), chosen.end(), [list](auto* a, auto* b) {
                return list->row(a) < list->row(b);
            }));
}

void frmReport::cboRptYears_Click()
{
    if (filling_)
        return;
    const int index = cboRptYears.ListIndex();
    if (index < 0 || index >= static_cast<int>(std::size(Mod_Report::kReportPeriods)))
        return;
    Settings.Length = Mod_Report::kReportPeriods[index].text;
    RebuildReport();
}

void frmReport::lstRptYears_Click()
{
    if (loading_ || busy_ || filling_)
        return;
    std::string years;
    for (int i = 0; i < lstRptYears.ListCount(); ++i) {
        if (!lstRptYears.Selected(i))
            continue;
        if (!years.empty())
            years += ";";
        years += lstRptYears.List(i);
    }
    Settings.Years = years.empty() ? std::to_string(vb::Year(vb::Now())) : years;
    RebuildReport();
}

void frmReport::ReportItemClick(int panel, const std::string& key)
{
    if (busy_ || panel < 0 || panel > 2)
        return;
    busy_ = true;
    if (markedPanel_ >= 0 && smuiPanel(markedPanel_).Items().Exists(markedKey_))
        smuiPanel(markedPanel_).Items().Item(markedKey_).SetImage("");
    smuiPanel(panel).Items().Item(key).SetImage("SHOW");

    saveSettings();
    reportKey_ = key;
    loadSettings();
    ShowReportOptions();
    if (tv::Reports().g_SchedulingOpen)
        frmReportScheduling::RefillIfOpen(key);

    markedKey_ = key;
    markedPanel_ = panel;
    busy_ = false;
}

void frmReport::OptionsBarClick(const std::string& key)
{
    barKey_ = key;
}

void frmReport::MenuCommand(const std::string& key)
{
    if (key == "ASC") {
        Settings.SortOrder = "ASC";
        ShowReportOptions();
    } else if (key == "DEC") {
        Settings.SortOrder = "DESC";
        ShowReportOptions();
    } else if (key == "REPORT") {
        frmReportScheduling::ShowReport(reportKey_);
    } else if (key == "HELP") {
        if (barKey_ == "REMINDER")
            Mod_SpecialFunctions::ShowHelpTopic("Reports\\Important_Date_Reports.htm");
        else if (barKey_ == "RATE")
            Mod_SpecialFunctions::ShowHelpTopic("Reports\\Rate_Reports.htm");
        else if (barKey_ == "MISC")
            Mod_SpecialFunctions::ShowHelpTopic("Reports\\Miscellaneous_Reports.htm");
        else
            Mod_SpecialFunctions::ShowHelpTopic("");
    } else if (key == "HEADING COLOR") {
        frmHeadingColor::Instance().Show(forms::vbModeless);
    } else if (key == "PRINT") {
        PrintReport();
    } else if (key == "CLOSE") {
        Unload();
    }
}

bool frmReport::RebuildReport()
{
    WebBrowser1.SetVisible(false);
    std::string why;
    bool built = builder() ? builder()(reportKey_, Settings, &why)
                           : Mod_Report::GenerateReport(reportKey_, Settings, &why);
    if (built) {
        try {
            WebBrowser1.Navigate(std::filesystem::path(vb::App::Path()) / Mod_Report::kTempReportFileName);
        } catch (const vb::RuntimeError& e) {
            built = false;
            why = e.Description();
        }
    }
    buildProblem_ = built ? std::string() : why.empty() ? std::string("No reason was given.") : why;
    // An empty pane would read as a report with nothing in it.
    if (!built)
        WebBrowser1.ShowProblem(kNotBuilt, buildProblem_);
    WebBrowser1.SetVisible(true);
    return built;
}

bool frmReport::PrintReport()
{
    auto failed = [](const std::string& why) {
        MBoxMod::ShowMBox("The report was not printed.\r\n" + why, 4, 0, 7, std::string("Print"), false);
        return false;
    };
    // The designers are shared with the scheduled runs: build this screen's
    // report again so that the one printed is the one on show.
    if (!RebuildReport())
        return failed(std::string(kNotBuilt) + "\r\n" + buildProblem_);
    report::DataReport* shown = tv::Reports().g_CurrentDataReport;
    if (!shown)
        return failed(kNotBuilt);
    if (shown->PrintReport(true))
        return true;
    if (shown->LastError() == report::kPrintCancelled)
        return false;
    return failed(shown->LastError());
}

void frmReport::Form_Resize()
{
    if (loading_ || unloading_)
        return;
    const double height = Height();
    const double width = Width();
    vb::ResumeNext step;
    step([&] { smuiMenuBar.SetWidth(std::max(0.0, ScaleWidth())); });
    step([&] {
        WebBrowser1.SetHeight(height - 1000);
        WebBrowser1.SetWidth(width - smuiOptions.Width() - 300);
    });
    if (lstRptYears.Visible()) {
        step([&] { smuiOptions.SetHeight(height - 3750); });
        step([&] { lstRptYears.SetHeight(2400); });
        step([&] { lblRptYears.SetTop(smuiOptions.Top() + smuiOptions.Height() + 100); });
        step([&] { lstRptYears.SetTop(lblRptYears.Top() + 220); });
    } else if (cboRptYears.Visible()) {
        step([&] { smuiOptions.SetHeight(height - 1800); });
        step([&] { lblRptYears.SetTop(smuiOptions.Top() + smuiOptions.Height() + 100); });
        step([&] { cboRptYears.SetTop(lblRptYears.Top() + 220); });
    } else {
        lblRptYears.SetVisible(false);
        cboRptYears.SetVisible(false);
        lstRptYears.SetVisible(false);
        step([&] { smuiOptions.SetHeight(height - 1000); });
    }
    for (int i = 0; i < 3; ++i)
        step([&, i] { smuiPanel(i).SetHeight(smuiOptions.Height() - 850); });
}

void frmReport::Form_Unload(int& Cancel)
{
    (void)Cancel;
    unloading_ = true;
    vb::ResumeNext step;
    step([this] { saveSettings(); });
    step([] {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(vb::App::Path()) / Mod_Report::kTempReportFileName, ignored);
    });
    step([this] {
        vb::SaveSetting("Tallyvane", "frmReport", "ReportSortOrder", Settings.SortOrder);
        vb::SaveSetting("Tallyvane", "frmReport", "ReportFont", Settings.ReportFont);
        vb::SaveSetting("Tallyvane", "frmReport", "ReportLen", Settings.Length);
        SaveSize();
    });
    step([this] { Mod_SpecialFunctions::CloseEffect(*this, kCloseEffectStep); });
    if (auto* colours = frmHeadingColor::IfLoaded())
        step([colours] { colours->Unload(); });
    unloading_ = false;
    tv::Reports().g_ReportScreenOpen = false;
}
