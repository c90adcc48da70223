#pragma once
// The main calendar window: every reminder of every store on a month
// calendar, a launch panel that opens the other screens, a menu bar, the
// month and year choosers and today's date. Closing it hides the program in
// the notification area; the hidden main window keeps it running.

#include "platform/basic/DateTime.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/controls/SmartPanel.h"
#include "platform/controls/SmartSideBar.h"
#include "platform/controls/ctCalendar.h"
#include "platform/forms/Forms.h"
#include "program/services/FlatComboBox.h"
#include "program/services/FlatSpin.h"

#include <string>

class frmTallyvane : public forms::FormOf<frmTallyvane> {
public:
    frmTallyvane();

    controls::SmartMenuBar SmartUI1{*this, "SmartUI1"};
    controls::SmartSideBar smuiOptions{*this, "smuiOptions"};
    forms::ControlArray<controls::SmartPanel> smuiPanel{smuiOptions, "smuiPanel", {0, 1}};
    controls::ctCalendar ctCalendar1{*this, "ctCalendar1"};
    forms::Label lblDate{*this, "lblDate"};
    FlatComboBox FlatComboBox1{*this, "FlatComboBox1"};
    FlatSpin FlatSpin1{*this, "FlatSpin1"};

    // Shows the two years from the week of the first of the date's month on,
    // and marks today.
    void SetCalendarStartDate(vb::Date date);

    // The close hint's prompt.
    static const std::string kCloseHint;

    // The calendar's background picture file the options name: the shipped
    // picture unless the user chose another.
    static std::string BackgroundPictureFile();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

private:
    void ApplyDisplayOptions();
    void SmartUI1_ItemClick(const std::string& key);
    void smuiPanel_ItemClick(int Index, const std::string& key);
    void FlatComboBox1_Click();
    void FlatSpin1_Change();
    int yearChosen();
    void showYear(int year);

    int shownYear_ = 0; // the year of the month the calendar starts with
};
