#pragma once
// "Reports": the user picks one of the ten reports in the side bar, sets its
// period or years and its sort order, and sees it built as a page. The
// screen works on its own report key and record, so a scheduled run or the
// task list changing the program-wide current report never changes what
// the screen shows or saves. Its options (period, years, sort order) are
// saved when another report is picked and when the screen closes; only
// those three fields are written, so a schedule saved meanwhile stays.

#include "platform/controls/SmartMenuBar.h"
#include "platform/controls/SmartPanel.h"
#include "platform/controls/SmartSideBar.h"
#include "platform/forms/Forms.h"
#include "program/reports/ReportPageView.h"
#include "program/reports/ReportSettings.h"

#include <functional>
#include <string>
#include <string_view>

class frmReport : public forms::FormOf<frmReport> {
public:
    frmReport();

    controls::SmartMenuBar smuiMenuBar{*this, "smuiMenuBar"};
    controls::SmartSideBar smuiOptions{*this, "smuiOptions"};
    forms::ControlArray<controls::SmartPanel> smuiPanel{smuiOptions, "smuiPanel", {0, 1, 2}};
    forms::Label lblRptYears{*this, "lblRptYears"};
    forms::ComboBox cboRptYears{*this, "cboRptYears"};
    forms::ListBox lstRptYears{*this, "lstRptYears", -1, forms::vbMultiSelectExtended};
    ReportPageView WebBrowser1{*this, "WebBrowser1"};

    // The report on show and its record.
    const std::string& ReportKey() const { return reportKey_; }
    ReportSettings Settings;

    // Shows the period combo or the year list the report needs, the sort
    // order's check marks and the period; then lays out and rebuilds (not
    // while loading).
    void ShowReportOptions();
    // Selects the years of Settings.Years in the list.
    void SelectReportYears();
    // An item of panel `panel` was clicked: saves the report on show, then
    // loads and shows the clicked one.
    void ReportItemClick(int panel, const std::string& key);
    void OptionsBarClick(const std::string& key);
    void MenuCommand(const std::string& key);
    // Builds the report on show and puts its page in the browser, which is
    // hidden while the page is built. When the build fails the browser says
    // that the report could not be built and why, and the result is false.
    bool RebuildReport();
    // Why the last build failed; "" after one that worked.
    const std::string& BuildProblem() const { return buildProblem_; }
    // The print dialog, then the report on show on the printer chosen or
    // into the PDF file named there; Cancel prints nothing. A print that
    // fails says why in a message box. Whether it printed.
    bool PrintReport();

    void cboRptYears_Click();
    void lstRptYears_Click();

    // Builds a report into "temp.htm" in the program folder, saying in error
    // why it could not; tests put in their own. nullptr restores the report
    // builder.
    using Builder = std::function<bool(std::string_view key, const ReportSettings& settings, std::string* error)>;
    static void SetBuilder(Builder builder);

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

private:
    void layOut();
    void buildMenu();
    void buildSideBar();
    // Reads the record of reportKey_ into Settings: the defaults when the
    // file is refused, the stored options alone when the schedule part of
    // the record does not convert.
    void loadSettings();
    void saveSettings();

    std::string reportKey_ = "LEASE EXPIRATION";
    std::string barKey_;
    std::string markedKey_ = "LEASE EXPIRATION";
    std::string buildProblem_;
    int markedPanel_ = 0;
    bool loading_ = false;
    bool unloading_ = false;
    bool busy_ = false;
    // While the lists show stored values: their clicks are not the user's.
    bool filling_ = false;
};
