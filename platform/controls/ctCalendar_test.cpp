#include "platform/controls/ctCalendar.h"

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Form.h"
#include "platform/testing/Screenshots.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using controls::ctCalendar;

class CalendarHost : public forms::FormOf<CalendarHost> {
public:
    CalendarHost() : FormOf("CalendarHost") {}
    ctCalendar cal{*this, "cal"};
};

class Calendar : public ::testing::Test {
protected:
    void TearDown() override { forms::ResetForms(); }

    ctCalendar& cal() { return CalendarHost::Instance().cal; }

    static QPixmap solid(QColor c)
    {
        QPixmap p(32, 32);
        p.fill(c);
        return p;
    }

    static int errorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const vb::RuntimeError& e) {
            return e.Number();
        }
        return 0;
    }
};

TEST_F(Calendar, PictureListIsOneBasedAndRemovalMovesLaterPicturesDown)
{
    ctCalendar& c = cal();
    EXPECT_EQ(c.LastPictureIndex(), 0);
    EXPECT_TRUE(c.Picture(0).isNull());
    c.AddPicture(solid(Qt::red));
    c.AddPicture(solid(Qt::green));
    c.AddPicture(solid(Qt::blue));
    EXPECT_EQ(c.LastPictureIndex(), 3);
    c.RemovePicture(2);
    EXPECT_EQ(c.LastPictureIndex(), 2);
    EXPECT_EQ(c.Picture(2).toImage().pixel(0, 0), QColor(Qt::blue).rgb());
    EXPECT_EQ(errorOf([&] { c.RemovePicture(3); }), 380);
    EXPECT_EQ(errorOf([&] { c.RemovePicture(0); }), 380);
    EXPECT_TRUE(c.Picture(9).isNull());
}

TEST_F(Calendar, DaysKeepTextsAndPicturesUntilCleared)
{
    ctCalendar& c = cal();
    c.SetDayText(45000, "\n\rRenewal: A");
    c.SetDayPicture(45000, 3);
    c.SetDayPicture(45002, 1);
    EXPECT_EQ(c.DayText(45000), "\n\rRenewal: A");
    EXPECT_EQ(c.DayPicture(45000), 3);
    EXPECT_EQ(c.DayText(45001), "");
    EXPECT_EQ(c.DayPicture(45001), 0);
    EXPECT_EQ(c.MarkedDays(), (std::vector<int32_t>{45000, 45002}));
    EXPECT_EQ(errorOf([&] { c.SetDayPicture(45000, -1); }), 380);
    // A day may point at a picture the list does not have (yet): nothing shows.
    c.SetDayPicture(45003, 40);
    EXPECT_EQ(c.DayPicture(45003), 40);
    c.ClearDays();
    EXPECT_TRUE(c.MarkedDays().empty());
}

TEST_F(Calendar, RangeShowsWholeWeeksFromTheFirstDayAndScrolls)
{
    ctCalendar& c = cal();
    // Day 0, 1 January 1900, is a Monday; day 45000 is 17 March 2023, a Friday.
    EXPECT_EQ(ctCalendar::DayOfDate(vb::DateSerial(1900, 1, 1)), 0);
    EXPECT_EQ(ctCalendar::DayOfDate(vb::DateSerial(2023, 3, 17)), 45000);
    EXPECT_EQ(ctCalendar::DateOfDay(45000), vb::DateSerial(2023, 3, 17));
    c.SetFirstDay(45000);
    c.SetLastDay(vb::DateAdd("yyyy", 2, vb::Date::FromSerial(45000)));
    EXPECT_EQ(c.LastDay(), 45000 + 731);
    EXPECT_EQ(c.TopDay(), 44996) << "the week's Monday";
    c.ScrollToDay(45100);
    EXPECT_EQ(c.TopDay(), 45100 - (45100 % 7));
    // A new first day shows its own week on top again.
    c.SetFirstDay(45500);
    EXPECT_EQ(c.TopDay(), 45500 - (45500 % 7));
    // Scrolling stops at the range's ends.
    c.SetLastDay(int32_t{45510});
    c.ScrollToDay(46000);
    EXPECT_EQ(c.TopDay(), 45500 - (45500 % 7));
    c.ScrollToDay(0);
    EXPECT_EQ(c.TopDay(), 45500 - (45500 % 7));
}

TEST_F(Calendar, LookValuesAreCheckedAndSwitchesAreZeroOrOne)
{
    ctCalendar& c = cal();
    c.SetDateAlignment(2);
    c.SetIconPosition(1);
    EXPECT_EQ(c.DateAlignment(), 2);
    EXPECT_EQ(c.IconPosition(), 1);
    for (auto set : {&ctCalendar::SetDateAlignment, &ctCalendar::SetDatePosition, &ctCalendar::SetIconAlignment,
                     &ctCalendar::SetIconPosition, &ctCalendar::SetTextAlignment, &ctCalendar::SetTextPosition}) {
        EXPECT_EQ(errorOf([&] { (c.*set)(3); }), 380);
        EXPECT_EQ(errorOf([&] { (c.*set)(-1); }), 380);
    }
    EXPECT_EQ(c.DateAlignment(), 2) << "a refused value changes nothing";
    c.SetGroupWeekends(5);
    EXPECT_EQ(c.GroupWeekends(), 1);
    c.SetWeekendDayColor(-1);
    EXPECT_EQ(c.WeekendDayColor(), -1);
    EXPECT_EQ(errorOf([&] { c.SetWeekendDayColor(-2); }), 380);
}

TEST_F(Calendar, DrawsEveryLayoutWithoutFault)
{
    CalendarHost& host = CalendarHost::Instance();
    ctCalendar& c = host.cal;
    host.Move(0, 0, 9000, 6000);
    c.Move(0, 0, 8000, 5000);
    c.AddPicture(solid(QColor(200, 30, 30)));
    c.AddPicture(solid(QColor(30, 30, 200)));
    const int32_t first = ctCalendar::DayOfDate(vb::DateSerial(2025, 3, 3));
    c.SetFirstDay(first);
    c.SetLastDay(first + 60);
    c.SetCurrentDay(first + 9);
    c.SetDayText(first + 2, "\n\rRenewal: a store with a long name that wraps\n\rInsurance: another");
    c.SetDayPicture(first + 2, 1);
    c.SetDayText(first + 5, "\n\rSaturday");
    c.SetDayPicture(first + 6, 2);
    c.SetDayPicture(first + 7, 99);
    QPixmap background(64, 64);
    background.fill(QColor(240, 230, 200));
    c.SetBackgroundPicture(background);

    // Every layout draws both day pictures, and each looks different.
    int n = 0;
    QImage previous;
    for (int group : {1, 0})
        for (int pos : {0, 1, 2}) {
            c.SetGroupWeekends(group);
            c.SetDatePosition(pos);
            c.SetIconAlignment(pos);
            c.SetTextPosition(pos);
            c.SetSmallIcons(pos == 1);
            c.SetShowDateHeadings(pos != 2);
            c.SetWeekendDayColor(pos == 2 ? -1 : 0x808000);
            const QImage image = c.Widget()->grab().toImage();
            ASSERT_FALSE(image.isNull());
            EXPECT_GT(tv::testing::PixelsOfColour(image, image.rect(), qRgb(200, 30, 30)), 20) << n;
            EXPECT_GT(tv::testing::PixelsOfColour(image, image.rect(), qRgb(30, 30, 200)), 20) << n;
            EXPECT_NE(image, previous) << n;
            previous = image;
            tv::testing::SaveScreenshot(image, QStringLiteral("ctCalendar_%1").arg(n++));
        }
    // Too small to draw a day: nothing breaks.
    c.Move(0, 0, 150, 150);
    EXPECT_FALSE(c.Widget()->grab().isNull());
}

} // namespace
