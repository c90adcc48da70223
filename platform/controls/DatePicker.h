#pragma once
// DatePicker: a date (or a time of day) the user types, steps or picks from a
// drop-down calendar. Value holds the whole date and time as it was set; the
// user's changes replace only what the picker shows. Value may be Null: the
// picker then shows no date; given the focus, or its calendar opened, it
// shows today to start from, and holds a date once the user changes or
// picks one.
// Setting Value from code raises Change when it differs, as the user's
// changes do; picking a day in the drop-down calendar raises Change and then
// Click.
// Typing: a click selects the field (month, day, year; hour, minute,
// second) under the mouse, and digits typed replace it; a field is taken
// once it is full or left, and the next one is selected. A date the calendar
// lacks (30 February, month 13) is not taken: the picker shows its last date
// again, beeps and says why in a tip beside it.

#include "platform/basic/Variant.h"
#include "platform/forms/Control.h"

#include <optional>

class QDateTimeEdit;

namespace controls {

// What the picker shows (Format).
enum : int { dtpShortDate = 1, dtpTime = 2 };

class DatePicker : public forms::Control {
public:
    DatePicker(forms::Container& parent, std::string name, int index = -1);
    ~DatePicker() override;

    // A Date, or Null.
    vb::Variant Value() const;
    // Takes a Date, a date text or a number as CDate reads it (13 when it is
    // none), or Null. Dates outside 1 January 1601 to 31 December 9999 raise
    // 380 and change nothing.
    void SetValue(const vb::Variant& value);
    // The year of Value; Null raises 94.
    int Year() const;

    int Format() const { return format_; }
    void SetFormat(int format);

    forms::Event<> Change;

protected:
    bool ClicksOnMouse() const override { return false; }

private:
    class Edit;
    class FocusWatch;
    class CalendarWatch;
    void show();
    void userChanged();
    void dayPicked();
    // The user's digits for the field being typed.
    void typeDigit(int digit);
    // Takes what was typed into the field; false when it was refused.
    bool takeTyped(bool selectNext);
    void refuse(const QString& why);

    Edit* edit_;
    QString typed_;
    int typedSection_ = 0;
    std::optional<vb::Date> value_;
    int format_ = dtpShortDate;
    bool codeChange_ = false;
};

} // namespace controls
