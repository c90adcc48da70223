#pragma once
// "Report & Task List": the scheduled reports and the calendar reminders
// from today to the end of the chosen list length, in one list. A right
// click on a report row offers to modify its schedule. The rows are
// rebuilt whole by Mod_TaskList::FillTaskList, on every change of the view
// or the length, and from outside whenever schedules or reminders change
// while the list is open.

#include "platform/basic/DateTime.h"
#include "platform/controls/DatePicker.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/ListView.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/forms/Forms.h"

#include <cstdint>
#include <string>

class frmTaskList : public forms::FormOf<frmTaskList> {
public:
    frmTaskList();

    controls::SmartMenuBar smuiMenuBar{*this, "smuiMenuBar"};
    controls::ImageList ImageList1{*this, "ImageList1"};
    controls::ListView lvwTasks{*this, "lvwTasks"};
    forms::Label lblListLen{*this, "lblListLen"};
    forms::ComboBox cboListLength{*this, "cboListLength"};
    forms::Label lblEndDate{*this, "lblEndDate"};
    controls::DatePicker DTCustomListLen{*this, "DTCustomListLen"};
    forms::Menu mnuModify{*this, "mnuModify", "Modify"};
    forms::Menu mnuModifyReport{mnuModify, "mnuModifyReport", "Modify Report"};

    // The index of "Custom" in the list lengths: the picker's date ends the list.
    static constexpr int kCustomLength = 8;

    // The row clicked last (from 1; 0 for none) and the number of report
    // rows the last refill listed; a refill clears the first.
    int16_t SelectedRow = 0;
    int16_t ReportRows = 0;

    // The last day the reminders are listed for.
    vb::Date ListEnd() const;

    void MenuBarCommand(const std::string& key);
    void cboListLength_Click();
    void DTCustomListLen_Change();
    void lvwTasks_ItemClick(controls::ListItem& Item);
    void lvwTasks_MouseDown(int Button, int Shift, float x, float y);
    void mnuModifyReport_Click();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

private:
    void layOut();

    bool loading_ = false;
    bool unloading_ = false;
};
