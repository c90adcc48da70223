#include "program/shell/Mod_tallyvane_Calendar.h"

#include "platform/ado/Connection.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ProgramPictures.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmTallyvane.h"

#include <QCoreApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <fstream>

#include <gtest/gtest.h>

namespace {

using Mod_tallyvane::FillCalendar;
using Mod_tallyvane::GetCalendarStartDay;

int32_t dayOf(int y, int m, int d)
{
    return Mod_FTPData::DateToDayNumber(vb::DateSerial(y, m, d));
}

class CalendarFill : public tv::testing::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        tv::Shell().g_MonthNames = Mod_tallyvane::MonthNames();
        tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kDatabaseFileName);
        Mod_DBConnections::OpenDatabase();
        std::filesystem::create_directories(root.ProgramFolder() / "icons");
    }

    void add(int32_t day, const char* info, const vb::Variant& image)
    {
        tv::Shell().g_DBConnection->Query("INSERT INTO CalInfo (Date, StoreID, Type, info, Image) VALUES (?, 1, ?, ?, ?)",
                                          {vb::Variant(day), image, vb::Variant(info), image});
    }

    // A picture file in the folder "icons", in one colour.
    void icon(const std::string& name, QColor colour)
    {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString((root.ProgramFolder() / "icons" / name).string())));
    }

    void setSlots(const std::vector<std::string>& paths)
    {
        std::vector<std::string> all = paths;
        all.resize(7);
        Mod_SpecialFunctions::SaveImagePaths(all);
    }

    controls::ctCalendar& calendar() { return frmTallyvane::Instance().ctCalendar1; }

    static QRgb centre(const QPixmap& p) { return p.toImage().pixel(16, 16); }
};

TEST_F(CalendarFill, DaysGetTheirTextsAndPicturesInDayOrder)
{
    const int32_t a = dayOf(2025, 3, 14), b = dayOf(2025, 3, 20), c = dayOf(2026, 1, 2);
    add(b, "Insurance: Elm Street", vb::Variant("2"));
    add(a, "Renewal: Oak Plaza", vb::Variant("1"));
    add(a, "Sales Report: Pine Mall", vb::Variant("3"));
    add(c, "Other: far ahead", vb::Variant("4"));
    add(c + 1, "no picture", vb::Variant("x"));
    FillCalendar();

    controls::ctCalendar& cal = calendar();
    // Two reminders on one day: both texts, each after LF CR, and the
    // several-reminders picture.
    EXPECT_EQ(cal.DayText(a), "\n\rRenewal: Oak Plaza\n\rSales Report: Pine Mall");
    EXPECT_EQ(cal.DayPicture(a), 7);
    EXPECT_EQ(cal.DayText(b), "\n\rInsurance: Elm Street");
    EXPECT_EQ(cal.DayPicture(b), 2);
    // Rows outside the range shown are placed all the same.
    EXPECT_EQ(cal.DayPicture(c), 4);
    EXPECT_EQ(cal.DayText(c + 1), "\n\rno picture");
    EXPECT_EQ(cal.DayPicture(c + 1), 0);
    EXPECT_EQ(cal.MarkedDays(), (std::vector<int32_t>{a, b, c, c + 1}));
    EXPECT_FALSE(tv::Shell().g_CalInfoOpen);
}

TEST_F(CalendarFill, TheUsersOwnPicturesTakeIndexesTenToSixteen)
{
    icon("renewal.png", Qt::red);
    icon("insurance.png", Qt::green);
    icon("multi.png", Qt::blue);
    const int32_t one = dayOf(2025, 4, 1), two = dayOf(2025, 4, 2), three = dayOf(2025, 4, 3);
    add(one, "Renewal: A", vb::Variant("1"));
    add(two, "Insurance: B", vb::Variant("2"));
    add(three, "Sales Report: C", vb::Variant("3"));
    add(three, "Renewal: D", vb::Variant("1"));

    setSlots({"renewal.png", "insurance.png"});
    FillCalendar();
    controls::ctCalendar& cal = calendar();
    ASSERT_EQ(cal.LastPictureIndex(), 16);
    EXPECT_EQ(centre(cal.Picture(10)), QColor(Qt::red).rgb());
    EXPECT_EQ(centre(cal.Picture(11)), QColor(Qt::green).rgb());
    EXPECT_EQ(cal.DayPicture(one), 10);
    EXPECT_EQ(cal.DayPicture(two), 11);
    // No picture of the user's own for several reminders: the built-in one,
    // whatever the later row's kind.
    EXPECT_EQ(cal.DayPicture(three), 7);

    // With one, every day with several reminders shows it.
    setSlots({"renewal.png", "insurance.png", "", "", "", "", "multi.png"});
    FillCalendar();
    EXPECT_EQ(cal.LastPictureIndex(), 16) << "a refill replaces the seven pictures, it does not add seven more";
    EXPECT_EQ(centre(cal.Picture(16)), QColor(Qt::blue).rgb());
    EXPECT_EQ(cal.DayPicture(three), 16);
    EXPECT_EQ(cal.DayPicture(one), 10);
    // The design pictures below 10 stay as they were.
    EXPECT_EQ(cal.Picture(7).toImage(), ProgramPictures::ReminderPicture(7).toImage());
}

TEST_F(CalendarFill, APictureThatCannotBeReadKeepsTheDefault)
{
    icon("broken.png", Qt::red);
    {
        std::ofstream garbage(root.ProgramFolder() / "icons" / "broken.png", std::ios::trunc);
        garbage << "not a picture";
    }
    // A slot is a name inside the icons folder: an absolute path names no
    // picture there, even when a picture exists at that path.
    QImage outside(32, 32, QImage::Format_ARGB32);
    outside.fill(Qt::blue);
    const auto outsidePath = root.ProgramFolder() / "outside.png";
    ASSERT_TRUE(outside.save(QString::fromStdString(outsidePath.string())));
    const int32_t d = dayOf(2025, 5, 5);
    add(d, "Renewal: A", vb::Variant("1"));
    add(d + 1, "Insurance: B", vb::Variant("2"));
    add(d + 2, "Sales Report: C", vb::Variant("3"));
    add(d + 3, "Other: D", vb::Variant("4"));
    setSlots({"broken.png", "missing.png", outsidePath.string(), "../outside.png"});
    EXPECT_NO_THROW(FillCalendar());
    controls::ctCalendar& cal = calendar();
    ASSERT_EQ(cal.LastPictureIndex(), 16);
    EXPECT_EQ(cal.Picture(10).toImage(), ProgramPictures::ResourceIcon801().toImage());
    EXPECT_EQ(cal.Picture(12).toImage(), ProgramPictures::ResourceIcon801().toImage());
    EXPECT_EQ(cal.Picture(13).toImage(), ProgramPictures::ResourceIcon801().toImage());
    EXPECT_EQ(cal.DayPicture(d), 1);
    EXPECT_EQ(cal.DayPicture(d + 1), 2);
    EXPECT_EQ(cal.DayPicture(d + 2), 3);
}

TEST_F(CalendarFill, AnEmptyTableOrBadRowsLeaveTheCalendarUsable)
{
    const int32_t d = dayOf(2025, 3, 12);
    add(d, "Renewal: A", vb::Variant("1"));
    FillCalendar();
    ASSERT_EQ(calendar().DayPicture(d), 1);

    tv::Shell().g_DBConnection->Query("DELETE FROM CalInfo");
    FillCalendar();
    EXPECT_TRUE(calendar().MarkedDays().empty());

    // A row without a day is left out; an unknown or huge picture number
    // gives no picture; the other rows still show.
    tv::Shell().g_DBConnection->Query("INSERT INTO CalInfo (Date, info, Image) VALUES (NULL, 'lost', '1')");
    add(d, "huge", vb::Variant("99999"));
    add(d + 1, "negative", vb::Variant("-3"));
    add(d + 2, "null picture", vb::Variant::Null());
    add(d + 3, "Renewal: B", vb::Variant("1"));
    EXPECT_NO_THROW(FillCalendar());
    EXPECT_EQ(calendar().DayText(d), "\n\rhuge");
    EXPECT_EQ(calendar().DayPicture(d), 0);
    EXPECT_EQ(calendar().DayPicture(d + 1), 0);
    EXPECT_EQ(calendar().DayText(d + 2), "\n\rnull picture");
    EXPECT_EQ(calendar().DayPicture(d + 3), 1);
    EXPECT_FALSE(tv::Shell().g_CalInfoOpen);
}

TEST_F(CalendarFill, ManyRowsAreAllPlaced)
{
    // More rows than a 16-bit count holds.
    tv::Shell().g_DBConnection->Query(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
        "INSERT INTO CalInfo (Date, info, Image) SELECT 45000 + i, 'r', '4' FROM n");
    FillCalendar();
    EXPECT_EQ(calendar().MarkedDays().size(), 33001u);
    EXPECT_EQ(calendar().DayPicture(45000 + 33000), 4);
}

// A refill is on the screen at once, before the event loop runs again: what
// the window system holds for the window is the window as it now draws.
TEST_F(CalendarFill, TheRefillIsOnTheScreenAtOnce)
{
    QWidget* window = calendar().Widget()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QCoreApplication::processEvents();
    const int32_t today = controls::ctCalendar::DayOfDate(vb::Today());
    add(today, "Renewal: shown at once", vb::Variant("1"));
    add(today + 1, "Insurance: the day after", vb::Variant("2"));
    FillCalendar();
    ASSERT_EQ(calendar().DayPicture(today), 1);
    const QImage onScreen = window->screen()->grabWindow(window->winId()).toImage();
    const QImage drawn = window->grab().toImage();
    ASSERT_EQ(onScreen.size(), drawn.size());
    EXPECT_TRUE(onScreen.convertToFormat(QImage::Format_RGB32) == drawn.convertToFormat(QImage::Format_RGB32));
}

TEST_F(CalendarFill, TheCalendarStartsOnTheMondayOnOrBeforeTheFirst)
{
    // September 2025 starts on a Monday, June 2025 on a Sunday, March 2025 on
    // a Saturday.
    EXPECT_EQ(GetCalendarStartDay(vb::DateSerial(2025, 9, 17)), dayOf(2025, 9, 1));
    EXPECT_EQ(GetCalendarStartDay(vb::DateSerial(2025, 6, 30)), dayOf(2025, 5, 26));
    EXPECT_EQ(GetCalendarStartDay(vb::DateSerial(2025, 3, 1)), dayOf(2025, 2, 24));
    EXPECT_EQ(GetCalendarStartDay(vb::DateSerial(1900, 1, 20)), 0);

    // Two years on from the first day shown, across a 29 February or not.
    frmTallyvane& form = frmTallyvane::Instance();
    form.SetCalendarStartDate(vb::DateSerial(2027, 3, 5));
    const int32_t s = form.ctCalendar1.FirstDay();
    EXPECT_EQ(s, dayOf(2027, 3, 1));
    EXPECT_EQ(form.ctCalendar1.LastDay(), s + 731); // the serial of s is 2 days earlier: 1 Mar 2027 - 2 = 27 Feb
    form.SetCalendarStartDate(vb::DateSerial(2025, 9, 1));
    EXPECT_EQ(form.ctCalendar1.LastDay(), form.ctCalendar1.FirstDay() + 730);
    EXPECT_EQ(form.ctCalendar1.CurrentDay(), dayOf(2025, 3, 10));
}

} // namespace
