// The date picker: Value with its time kept, Null shown as no date, the
// conversions and bounds of what the program sets, and Change and Click from
// the user's steps and picks.

#include "platform/controls/DatePicker.h"

#include "platform/basic/DateTime.h"
#include "platform/basic/Strings.h"
#include "platform/forms/Forms.h"
#include "platform/testing/Quiescence.h"
#include "platform/testing/Screenshots.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using vb::Variant;

class frmDatesHost : public forms::FormOf<frmDatesHost> {
public:
    frmDatesHost() : FormOf("frmDatesHost")
    {
        SetCaption("Dates");
        Move(0, 0, 4200, 1500);
        DTCommDate.Move(120, 120, 1800, 330);
        DTRenewal.Move(2100, 120, 1800, 330);
        DTStartTime.Move(120, 600, 1800, 330);
    }
    controls::DatePicker DTCommDate{*this, "DTCommDate"};
    controls::DatePicker DTRenewal{*this, "DTRenewal"};
    controls::DatePicker DTStartTime{*this, "DTStartTime"};
};

vb::Date at(int y, int m, int d, int h = 0, int mi = 0)
{
    const double day = vb::DateSerial(y, m, d).Serial();
    return vb::Date::FromSerial(day + vb::TimeSerial(h, mi, 0).Serial());
}

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

class DatePickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vb::SetClock(std::make_shared<vb::FakeClock>(at(2004, 6, 9, 14, 30)));
        form = &frmDatesHost::Instance();
        form->Show();
        dt().Change = [this] { events.push_back("change " + shown()); };
        dt().Click = [this] { events.push_back("click " + shown()); };
    }
    void TearDown() override
    {
        forms::ResetForms();
        vb::SetClock(nullptr);
    }
    controls::DatePicker& dt() { return form->DTCommDate; }
    QDateTimeEdit* edit() { return static_cast<QDateTimeEdit*>(dt().Widget()); }
    std::string shown() { return edit()->text().toStdString(); }
    frmDatesHost* form = nullptr;
    std::vector<std::string> events;
};

TEST_F(DatePickerTest, ValueFromCodeRaisesChangeWhenItDiffers)
{
    // A new picker holds today.
    EXPECT_EQ(vb::CDate(dt().Value()), at(2004, 6, 9));
    dt().SetValue(at(2003, 3, 15, 10, 30));
    dt().SetValue(at(2003, 3, 15, 10, 30));
    dt().SetValue(Variant("3/15/2003")); // the time differs: a change
    EXPECT_EQ(events, (std::vector<std::string>{"change 3/15/2003", "change 3/15/2003"}));
    EXPECT_EQ(vb::CDate(dt().Value()), at(2003, 3, 15));
    EXPECT_EQ(dt().Year(), 2003);

    // What the picker cannot take changes nothing.
    events.clear();
    EXPECT_EQ(errorOf([&] { dt().SetValue(Variant("not a date")); }), 13);
    EXPECT_EQ(errorOf([&] { dt().SetValue(at(1500, 1, 1)); }), 380);
    EXPECT_EQ(errorOf([&] { dt().SetValue(Variant(1.0e300)); }), 380);
    EXPECT_EQ(vb::CDate(dt().Value()), at(2003, 3, 15));
    EXPECT_TRUE(events.empty());
    // The zero date is a date like any other.
    dt().SetValue(Variant(0.0));
    EXPECT_EQ(shown(), "12/30/1899");
}

TEST_F(DatePickerTest, NullShowsNoDate)
{
    dt().SetValue(Variant::Null());
    EXPECT_TRUE(dt().Value().IsNull());
    EXPECT_EQ(vb::Trim(shown()), "");
    EXPECT_EQ(errorOf([&] { dt().Year(); }), 94);
    dt().SetValue(Variant::Null()); // already Null
    EXPECT_EQ(events, (std::vector<std::string>{"change  "}));

    // Given the focus it shows today to start from, still Null until the
    // user changes it; leaving it untouched shows the blank again.
    events.clear();
    form->hWnd()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->hWnd()));
    dt().SetFocus();
    EXPECT_EQ(shown(), "6/9/2004");
    EXPECT_TRUE(dt().Value().IsNull());
    form->DTRenewal.SetFocus();
    EXPECT_EQ(vb::Trim(shown()), "");
    dt().SetFocus();
    edit()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(edit(), Qt::Key_Up);
    ASSERT_FALSE(dt().Value().IsNull());
    EXPECT_EQ(vb::CDate(dt().Value()), at(2004, 6, 10));
    EXPECT_EQ(events, (std::vector<std::string>{"change 6/10/2004"}));
    form->DTRenewal.SetFocus();
    EXPECT_EQ(shown(), "6/10/2004");

    // Picking today in the calendar of a blank picker takes today.
    auto& blank = form->DTStartTime;
    blank.SetValue(Variant::Null());
    blank.SetFocus();
    int changes = 0;
    blank.Change = [&] { ++changes; };
    static_cast<QDateTimeEdit*>(blank.Widget())->calendarWidget()->clicked(QDate(2004, 6, 9));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(vb::CDate(blank.Value()), at(2004, 6, 9));

    dt().SetValue(at(2002, 1, 31));
    EXPECT_FALSE(dt().Value().IsNull());
    EXPECT_EQ(shown(), "1/31/2002");
}

TEST_F(DatePickerTest, ABlankPickersCalendarOpensAtToday)
{
    // The click on the drop-down arrow may come with no focus change at
    // all (another window active): the calendar still starts from today.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    dt().SetValue(Variant::Null());
    events.clear();
    QCalendarWidget* calendar = edit()->calendarWidget();
    QTest::mouseClick(edit(), Qt::LeftButton, {}, QPoint(edit()->width() - 4, edit()->height() / 2));
    ASSERT_TRUE(calendar->isVisible()) << "the click did not open the calendar";
    EXPECT_EQ(calendar->yearShown(), 2004);
    EXPECT_EQ(calendar->monthShown(), 6);
    EXPECT_EQ(calendar->selectedDate(), QDate(2004, 6, 9));
    // Opening it picks nothing; closing it untouched leaves the picker blank.
    EXPECT_TRUE(dt().Value().IsNull());
    calendar->window()->close();
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_TRUE(dt().Value().IsNull());
    EXPECT_TRUE(events.empty());

    // A picker that holds a date opens at it.
    dt().SetValue(at(2003, 3, 15));
    QTest::mouseClick(edit(), Qt::LeftButton, {}, QPoint(edit()->width() - 4, edit()->height() / 2));
    EXPECT_EQ(calendar->selectedDate(), QDate(2003, 3, 15));
    calendar->window()->close();
}

TEST_F(DatePickerTest, TheUsersStepsKeepTheTimeOfDay)
{
    dt().SetValue(at(2003, 3, 15, 10, 30));
    events.clear();
    edit()->setFocus();
    edit()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(vb::CDate(dt().Value()), at(2003, 3, 16, 10, 30));
    EXPECT_EQ(events, (std::vector<std::string>{"change 3/16/2003"}));
}

// One click into a field selects it and the digits typed replace it; a day
// the month lacks is not taken, and the user is told the picker kept its date.
TEST_F(DatePickerTest, AClickSelectsAFieldDigitsReplaceItAndAMissingDayIsRefused)
{
    dt().SetValue(at(2027, 1, 14, 9, 0));
    events.clear();
    form->hWnd()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->hWnd()));
    QLineEdit* text = edit()->findChild<QLineEdit*>();
    ASSERT_NE(text, nullptr);
    // A single click on the character at index `at` of the shown text.
    auto clickAt = [&](int index) {
        text->setCursorPosition(index);
        const QPoint p = text->inputMethodQuery(Qt::ImCursorRectangle).toRectF().center().toPoint() + QPoint(3, 0);
        text->setCursorPosition(0);
        // Typed at once after the click, before any event is processed.
        QTest::mouseClick(text, Qt::LeftButton, {}, p);
    };

    clickAt(2); // in "14"
    EXPECT_EQ(edit()->currentSection(), QDateTimeEdit::DaySection);
    QTest::keyClicks(edit(), "25");
    EXPECT_EQ(vb::CDate(dt().Value()), at(2027, 1, 25, 9, 0)) << shown();
    EXPECT_EQ(events, (std::vector<std::string>{"change 1/25/2027"}));
    EXPECT_EQ(edit()->currentSection(), QDateTimeEdit::YearSection) << "a full field moves on";

    // "02/30": February is taken, its 30th is not.
    clickAt(0);
    ASSERT_EQ(edit()->currentSection(), QDateTimeEdit::MonthSection);
    QTest::keyClicks(edit(), "02");
    EXPECT_EQ(vb::CDate(dt().Value()), at(2027, 2, 25, 9, 0));
    ASSERT_EQ(edit()->currentSection(), QDateTimeEdit::DaySection);
    QTest::keyClicks(edit(), "30");
    EXPECT_EQ(vb::CDate(dt().Value()), at(2027, 2, 25, 9, 0));
    EXPECT_EQ(shown(), "2/25/2027");
    const std::string told = QToolTip::text().toStdString();
    EXPECT_NE(told.find("February 2027 has no day 30."), std::string::npos) << told;
    EXPECT_NE(told.find("2/25/2027"), std::string::npos) << told;
    EXPECT_EQ(events, (std::vector<std::string>{"change 1/25/2027", "change 2/25/2027"}));

    // One digit and a step to the next field takes the day.
    clickAt(3);
    ASSERT_EQ(edit()->currentSection(), QDateTimeEdit::DaySection);
    QTest::keyClick(edit(), Qt::Key_3);
    QTest::keyClick(edit(), Qt::Key_Tab);
    EXPECT_EQ(vb::CDate(dt().Value()), at(2027, 2, 3, 9, 0));

    // A time: the hour field takes one digit that no second could follow.
    auto& t = form->DTStartTime;
    t.SetFormat(controls::dtpTime);
    t.SetValue(Variant("10:00 AM"));
    auto* timeEdit = static_cast<QDateTimeEdit*>(t.Widget());
    timeEdit->setFocus();
    timeEdit->setCurrentSection(QDateTimeEdit::HourSection);
    QTest::keyClick(timeEdit, Qt::Key_2);
    EXPECT_EQ(vb::Hour(vb::CDate(t.Value())), 2);
    EXPECT_EQ(timeEdit->currentSection(), QDateTimeEdit::MinuteSection);
}

TEST_F(DatePickerTest, APickInTheCalendarRaisesChangeThenClick)
{
    dt().SetValue(at(2003, 3, 15));
    events.clear();
    QCalendarWidget* calendar = edit()->calendarWidget();
    calendar->setSelectedDate(QDate(2003, 4, 2));
    calendar->clicked(QDate(2003, 4, 2));
    EXPECT_EQ(vb::CDate(dt().Value()), at(2003, 4, 2));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "change 4/2/2003");
    EXPECT_EQ(events.back(), "click 4/2/2003");
}

TEST_F(DatePickerTest, ATimePickerAndAPicture)
{
    auto& t = form->DTStartTime;
    EXPECT_EQ(t.Format(), controls::dtpShortDate);
    t.SetFormat(controls::dtpTime);
    t.SetValue(Variant("1:05 PM"));
    EXPECT_EQ(static_cast<QDateTimeEdit*>(t.Widget())->text().toStdString(), "1:05:00 PM");
    EXPECT_EQ(vb::Hour(vb::CDate(t.Value())), 13);
    EXPECT_EQ(errorOf([&] { t.SetFormat(7); }), 380);

    dt().SetValue(at(2003, 3, 15));
    form->DTRenewal.SetValue(Variant::Null());
    tv::testing::SaveScreenshot(tv::testing::CheckedPicture(form->hWnd(), "date_picker"), "date_picker");
}

} // namespace
