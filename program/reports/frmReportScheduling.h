#pragma once
// "Report Scheduling": whether a report runs by itself, from which day and
// time, how often, whether a box says when it has run, and where it goes
// (a printer, a file, or e-mail recipients one a line).
//
// The form works on the report key and record it was opened or refilled
// with (taken from g_CurrentReport and g_CurrentReportSettings), so a
// scheduled run loading another record meanwhile changes nothing here; it
// writes only the schedule fields of that report's stored record, so the
// options the report screen saved stay. Every change is saved at once while
// the task list is open (and the list refilled), otherwise when the form
// closes; closing also rebuilds the table of scheduled reports.

#include "platform/controls/DatePicker.h"
#include "platform/controls/RichTextBox.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/controls/TabControl.h"
#include "platform/forms/Forms.h"
#include "program/reports/ReportSettings.h"

#include <string>
#include <string_view>

class frmReportScheduling : public forms::FormOf<frmReportScheduling> {
public:
    frmReportScheduling();

    controls::SmartMenuBar smuiMenuBar{*this, "smuiMenuBar"};
    forms::Label lblReport{*this, "lblReport"};
    forms::Label lblReportName{*this, "lblReportName"};
    forms::CheckBox chkScheduleReport{*this, "chkScheduleReport"};
    controls::TabControl SSTab1{*this, "SSTab1", -1, 2};

    // "Scheduling"
    forms::Label lblStartDate{SSTab1.TabPage(0), "lblStartDate"};
    controls::DatePicker DTStartDate{SSTab1.TabPage(0), "DTStartDate"};
    forms::Label lblStartTime{SSTab1.TabPage(0), "lblStartTime"};
    controls::DatePicker DTStartTime{SSTab1.TabPage(0), "DTStartTime"};
    forms::Label lblFrequency{SSTab1.TabPage(0), "lblFrequency"};
    forms::ComboBox cboFrequency{SSTab1.TabPage(0), "cboFrequency"};
    forms::Label lblReminderType{SSTab1.TabPage(0), "lblReminderType"};
    forms::ComboBox cboReminderType{SSTab1.TabPage(0), "cboReminderType"};

    // "Destination"
    forms::Label lblDestination{SSTab1.TabPage(1), "lblDestination"};
    forms::ControlArray<forms::OptionButton> optDestination{SSTab1.TabPage(1), "optDestination", {0, 1, 2}};
    forms::Label lblDestName{SSTab1.TabPage(1), "lblDestName"};
    forms::Label lblDest{SSTab1.TabPage(1), "lblDest"};
    forms::TextBox txtFileName{SSTab1.TabPage(1), "txtFileName"};
    controls::RichTextBox txtEmailNames{SSTab1.TabPage(1), "txtEmailNames"};
    forms::CommandButton cmdShow{SSTab1.TabPage(1), "cmdShow"};
    forms::CheckBox chkSendAsAttachment{SSTab1.TabPage(1), "chkSendAsAttachment"};

    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

    // Makes key the current report, loads its record and shows the form
    // filled with it (refilling the form when it is open already).
    static void ShowReport(std::string_view key);
    // The same while the form is open, without bringing it to the front;
    // nothing when it is closed.
    static void RefillIfOpen(std::string_view key);

    // The report on show and the record the form edits.
    const std::string& ReportKey() const { return reportKey_; }
    ReportSettings Settings;

    // Takes g_CurrentReport and its record into the form and shows them.
    // When the form showed another report, that one's schedule is saved
    // first.
    void SetReportOptions();
    // After each change: saved and listed at once while the task list is open.
    void SaveSchedule();
    // 1 when the recipients refuse the closing (the user was told why), else 0.
    int CheckRecipients();
    // The same for the file a report bound for a file is written to: 1 when
    // no name is given.
    int CheckFileName();
    void MenuCommand(const std::string& key);

    void chkScheduleReport_Click();
    void DTStartDate_Change();
    void DTStartTime_Change();
    void cboFrequency_Click();
    void cboReminderType_Click();
    void optDestination_Click(int Index);
    void cmdShow_Click();
    void txtFileName_Change();
    void txtEmailNames_Change();
    void chkSendAsAttachment_Click();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

private:
    void layOut();
    // Labels, boxes and the tab height of a destination.
    void showDestination(int index);
    // Writes the schedule of the report on show, as far as the file takes
    // it. Why it kept less than was set, or "" when it kept all.
    std::string saveRecord();
    // Says why the schedule shown was not saved, once until a save works.
    void tellNotSaved(const std::string& why);
    // Whether the schedules file is refused whole; says so once per opening.
    bool scheduleFileRefused();

    std::string reportKey_;
    bool loading_ = false;
    bool unloading_ = false;
    bool resizing_ = false;
    bool emailMode_ = false;
    // What the user was last told about a save that did not keep all.
    std::string toldNotSaved_;
    bool toldRefused_ = false;
};
