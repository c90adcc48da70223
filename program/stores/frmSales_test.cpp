// The sales window driven through its keyboard: the year's grid in store
// name order, each edited month written to the store's one Sales row at once
// with the row's total, the amounts without cents, the commit before a close,
// a year change or a cents switch, and the failures it reports.

#include "program/stores/frmSales.h"

#include "platform/basic/Format.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/Strings.h"
#include "program/services/Mod_FTPData.h"
#include "program/stores/WorkSheetTestSupport.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

class Sales : public tv::testing::GridWindowFixture {
protected:
    frmSales& Open(bool example = true)
    {
        OpenDatabase(example);
        frmSales::Instance().Show(forms::vbModeless);
        frmSales* f = frmSales::IfLoaded();
        EXPECT_NE(f, nullptr);
        return *f;
    }
    static void setting(const char* key, const char* value) { vb::SaveSetting("Tallyvane", "frmSales", key, value); }

    static vb::Variant month(int store, int year, const char* column)
    {
        return Value(std::string("SELECT ") + column + " FROM Sales WHERE StoreID = ? AND Year = ?", {store, year});
    }
    static int64_t salesRows(int store, int year)
    {
        return vb::CLng(Value("SELECT COUNT(*) FROM Sales WHERE StoreID = ? AND Year = ?", {store, year}));
    }
    static long rowOf(frmSales& f, const std::string& name)
    {
        for (long r = 1; r < f.FlxGd.Rows(); ++r) {
            if (f.FlxGd.TextMatrix(r, 0) == name)
                return r;
        }
        return -1;
    }
};

TEST_F(Sales, ShowsTheYearsSalesOfEveryStoreByName)
{
    frmSales& f = Open();
    controls::Grid& g = f.FlxGd;
    EXPECT_EQ(f.Caption(), "Sales Information");
    EXPECT_EQ(f.ShownYear(), 2025);
    EXPECT_EQ(f.lblSalesDate.Caption(), "Sales information for the year 2025");
    EXPECT_EQ(f.cmdNext.ToolTipText(), "Select year 2026");
    EXPECT_EQ(f.cmdPrevious.ToolTipText(), "Select year 2024");
    EXPECT_TRUE(f.smuiMenuBar.Items().Find("INCLUDE CENTS")->Checked());
    ASSERT_EQ(g.Cols(), 14);
    EXPECT_EQ(g.TextMatrix(0, 0), "Store");
    EXPECT_EQ(g.TextMatrix(0, 3), "Mar");
    EXPECT_EQ(g.TextMatrix(0, 13), "Total");

    const ado::RecordsetPtr stores = Query("SELECT StoreID, StoreName FROM Stores ORDER BY StoreName");
    ASSERT_EQ(g.Rows(), stores->RecordCount() + 1);
    long r = 1;
    for (stores->MoveFirst(); !stores->EOF_(); stores->MoveNext(), ++r) {
        const int id = vb::CLng(stores->Fields("StoreID").Value());
        EXPECT_EQ(g.TextMatrix(r, 0), vb::CStr(stores->Fields("StoreName").Value()));
        EXPECT_EQ(f.StoreIDOfRow(r), id);
        EXPECT_EQ(g.TextMatrix(r, 4), vb::Format(month(id, 2025, "April"), "$#,##0.00"));
        EXPECT_EQ(g.TextMatrix(r, 13), vb::Format(month(id, 2025, "Total"), "$#,##0.00"));
    }
    // Names sort without regard to case.
    for (long k = 2; k < g.Rows(); ++k)
        EXPECT_LE(vb::UCase(g.TextMatrix(k - 1, 0)), vb::UCase(g.TextMatrix(k, 0)));

    QTest::mouseClick(f.cmdNext.Widget(), Qt::LeftButton);
    EXPECT_EQ(f.ShownYear(), 2026);
    EXPECT_EQ(f.cmdNext.ToolTipText(), "Select year 2027");
    EXPECT_EQ(f.cmdPrevious.ToolTipText(), "Select year 2025");
    EXPECT_EQ(f.lblSalesDate.Caption(), "Sales information for the year 2026");
    f.smuiMenuBar.Choose("CLOSE");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmSales", "CurrentYear", ""), "2026");
    frmSales::Instance().Show(forms::vbModeless);
    EXPECT_EQ(frmSales::IfLoaded()->ShownYear(), 2026);
}

TEST_F(Sales, EachEditedMonthIsWrittenToTheStoresOneRow)
{
    setting("CurrentYear", "2030");
    frmSales& f = Open();
    controls::Grid& g = f.FlxGd;
    const int store = f.StoreIDOfRow(1);
    EXPECT_EQ(g.TextMatrix(1, 3), "");
    EXPECT_EQ(salesRows(store, 2030), 0);

    GoTo(g, 1, 3);
    Type(g, "1500");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(1, 3), "$1,500.00");
    EXPECT_EQ(g.TextMatrix(1, 13), "$1,500.00");
    EXPECT_EQ(salesRows(store, 2030), 1);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2030, "March")), 1500);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2030, "Total")), 1500);
    EXPECT_TRUE(month(store, 2030, "January").IsNull());

    GoTo(g, 1, 1);
    Type(g, "200.5");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(1, 13), "$1,700.50");
    EXPECT_EQ(salesRows(store, 2030), 1);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2030, "Total")), 1700.5);

    // Letters are refused with the message; nothing is written.
    GoTo(g, 1, 1);
    Key(g, Qt::Key_Delete);
    Type(g, "abc");
    Key(g, Qt::Key_Return);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_EQ(msgbox->shown[0].prompt, "Please enter a numeric value");
    EXPECT_EQ(g.TextMatrix(1, 1), "$200.50");
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2030, "January")), 200.5);

    // Typing into the total writes no month; the total is worked out again.
    GoTo(g, 1, 13);
    Type(g, "99");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(1, 13), "$1,700.50");
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2030, "Total")), 1700.5);

    // Emptied months store 0; a row of zeros has a zero total and an empty cell.
    GoTo(g, 1, 1);
    Key(g, Qt::Key_Delete);
    GoTo(g, 1, 3);
    Key(g, Qt::Key_Delete);
    GoTo(g, 2, 3);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2030, "March")), 0);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2030, "Total")), 0);
    EXPECT_EQ(g.TextMatrix(1, 13), "");
    EXPECT_EQ(salesRows(store, 2030), 1);
    f.smuiMenuBar.Choose("CLOSE");
}

// A month beyond what money holds is told as too large, with the largest
// amount that fits as the grid shows amounts, and nothing is written.
TEST_F(Sales, AMonthTooLargeIsToldWithTheLargestThatFits)
{
    setting("CurrentYear", "2030");
    frmSales& f = Open();
    controls::Grid& g = f.FlxGd;
    const int store = f.StoreIDOfRow(1);
    struct Case {
        bool cents;
        const char* typed;
        std::string told;
    };
    const std::string largest = "This amount is too large. The largest amount that fits here is ";
    const std::vector<Case> cases = {
        {true, "12345678901234567890", largest + "$922,337,203,685,477.58."},
        {false, "12345678901234567890", largest + "$922,337,203,685,477."},
        {true, "-12345678901234567890", "This amount is too large. The lowest amount that fits here is "
                                        "-$922,337,203,685,477.58."},
        {true, "1234567890123456789x", "Please enter a numeric value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        if (f.smuiMenuBar.Items().Find("INCLUDE CENTS")->Checked() != c.cents)
            f.smuiMenuBar.Choose("INCLUDE CENTS");
        msgbox->shown.clear();
        GoTo(g, 1, 2);
        Key(g, Qt::Key_Delete);
        Type(g, c.typed);
        Key(g, Qt::Key_Return);
        ASSERT_EQ(msgbox->shown.size(), 1u);
        EXPECT_EQ(msgbox->shown[0].prompt, c.told);
        EXPECT_EQ(g.TextMatrix(1, 2), "");
        EXPECT_EQ(salesRows(store, 2030), 0);
    }
    f.smuiMenuBar.Choose("CLOSE");
}

TEST_F(Sales, WithoutCentsUntouchedMonthsKeepTheirCents)
{
    setting("UseCents", "False");
    OpenDatabase(true);
    const int store = vb::CLng(Value("SELECT StoreID FROM Stores ORDER BY StoreName"));
    Exec("UPDATE Sales SET January = 1000.40, March = NULL WHERE StoreID = ? AND Year = 2025", {store});
    const double others = vb::CDbl(Value(
        "SELECT February + April + May + June + July + August + September + October + November + December "
        "FROM Sales WHERE StoreID = ? AND Year = 2025",
        {store}));
    frmSales::Instance().Show(forms::vbModeless);
    frmSales& f = *frmSales::IfLoaded();
    controls::Grid& g = f.FlxGd;
    ASSERT_EQ(f.StoreIDOfRow(1), store);
    EXPECT_FALSE(f.UseCents());
    EXPECT_FALSE(f.smuiMenuBar.Items().Find("INCLUDE CENTS")->Checked());
    EXPECT_EQ(g.TextMatrix(1, 1), "$1,000");
    EXPECT_EQ(g.TextMatrix(1, 3), ""); // a month without a value reads as empty

    // Enter walks through every month and the total without writing one.
    GoTo(g, 1, 1);
    for (int i = 0; i < 14; ++i)
        Key(g, Qt::Key_Return);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2025, "January")), 1000.40);

    GoTo(g, 1, 3);
    Type(g, "1234.56");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(1, 3), "$1,235");
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2025, "March")), 1235);
    // The total is the sum of what is stored, cents included.
    EXPECT_NEAR(vb::CDbl(month(store, 2025, "Total")), others + 1000.40 + 1235, 1e-9);

    f.smuiMenuBar.Choose("INCLUDE CENTS");
    EXPECT_EQ(g.TextMatrix(1, 1), "$1,000.40");
    EXPECT_EQ(g.TextMatrix(1, 3), "$1,235.00");
    f.smuiMenuBar.Choose("CLOSE");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmSales", "UseCents", ""), "True");
}

TEST_F(Sales, TheCellBeingEditedIsKeptBeforeAYearChangeACentsSwitchOrAClose)
{
    frmSales& f = Open();
    controls::Grid& g = f.FlxGd;
    const int store = f.StoreIDOfRow(2);
    GoTo(g, 2, 5);
    Key(g, Qt::Key_Delete);
    Type(g, "111");
    QTest::mouseClick(f.cmdPrevious.Widget(), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2025, "May")), 111);
    EXPECT_EQ(f.ShownYear(), 2024);

    GoTo(g, 2, 5);
    Key(g, Qt::Key_Delete);
    Type(g, "222");
    f.smuiMenuBar.Choose("INCLUDE CENTS");
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2024, "May")), 222);

    GoTo(g, 2, 6);
    Key(g, Qt::Key_Delete);
    Type(g, "333");
    f.smuiMenuBar.Choose("CLOSE");
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2024, "June")), 333);

    // The program's quitting closes it too, and keeps the typing.
    frmSales::Instance().Show(forms::vbModeless);
    frmSales& again = *frmSales::IfLoaded();
    GoTo(again.FlxGd, 2, 7);
    Key(again.FlxGd, Qt::Key_Delete);
    Type(again.FlxGd, "444");
    Mod_FTPData::UnloadAllForms(false);
    EXPECT_EQ(frmSales::IfLoaded(), nullptr);
    EXPECT_DOUBLE_EQ(vb::CDbl(month(store, 2024, "July")), 444);
    EXPECT_TRUE(msgbox->shown.empty());
}

TEST_F(Sales, AnEmptyDatabaseAndAFailedSave)
{
    frmSales& empty = Open(false);
    EXPECT_EQ(empty.FlxGd.Rows(), 1);
    QTest::mouseClick(empty.cmdNext.Widget(), Qt::LeftButton);
    Key(empty.FlxGd, Qt::Key_Return);
    Key(empty.FlxGd, Qt::Key_Down);
    EXPECT_EQ(empty.FlxGd.Rows(), 1);
    empty.smuiMenuBar.Choose("CLOSE");

    frmSales& f = Open(true);
    controls::Grid& g = f.FlxGd;
    GoTo(g, 1, 2);
    Key(g, Qt::Key_Delete);
    Type(g, "10");
    tv::Shell().g_DBConnection->Close();
    Key(g, Qt::Key_Return);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_NE(msgbox->shown[0].prompt.find("could not be saved"), std::string::npos);
    EXPECT_NE(msgbox->shown[0].prompt.find(g.TextMatrix(1, 0)), std::string::npos);
    EXPECT_EQ(g.TextMatrix(1, 2), "$10.00");
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 3);

    // A year change or the cents switch does not refill an amount that could
    // not be saved away.
    const int16_t year = f.ShownYear();
    Key(g, Qt::Key_Delete);
    Type(g, "30");
    QTest::mouseClick(f.cmdNext.Widget(), Qt::LeftButton);
    ASSERT_EQ(msgbox->shown.size(), 2u);
    EXPECT_EQ(f.ShownYear(), year);
    EXPECT_EQ(g.TextMatrix(1, 3), "$30.00");
    Key(g, Qt::Key_Delete);
    Type(g, "5");
    f.smuiMenuBar.Choose("INCLUDE CENTS");
    EXPECT_EQ(msgbox->shown.size(), 3u);
    EXPECT_TRUE(f.UseCents());
    EXPECT_EQ(g.TextMatrix(1, 3), "$5.00");
}

} // namespace

namespace {

TEST_F(Sales, PictureOnTheExampleDatabase)
{
    frmSales& f = Open();
    GoTo(f.FlxGd, 3, 4);
    Type(f.FlxGd, "5");
    QCoreApplication::processEvents();
    const QImage withCents = Grab(f.hWnd(), QStringLiteral("frmSales"));
    Key(f.FlxGd, Qt::Key_Escape);
    f.smuiMenuBar.Choose("INCLUDE CENTS");
    QCoreApplication::processEvents();
    EXPECT_NE(Grab(f.hWnd(), QStringLiteral("frmSales_without_cents")), withCents);
    // Wider, the columns follow the window.
    f.Move(0, 0, 16500, 5400);
    QCoreApplication::processEvents();
    EXPECT_NEAR(f.FlxGd.ColWidth(5), 0.76 / 12 * f.FlxGd.Width(), 1);
    Grab(f.hWnd(), QStringLiteral("frmSales_wide"));
}

} // namespace

namespace {

TEST_F(Sales, AtItsDefaultSizeEveryAmountAndNameOfTheExampleShowsWhole)
{
    // No size stored: the window opens at its own.
    vb::DeleteSetting("Tallyvane", "frmSales");
    frmSales& f = Open();
    QCoreApplication::processEvents();
    const QFontMetrics fm(f.FlxGd.Widget()->font());
    ASSERT_GT(f.FlxGd.Rows(), 5);
    for (long r = 1; r < f.FlxGd.Rows(); ++r) {
        for (long c = 0; c < f.FlxGd.Cols(); ++c) {
            const std::string text = f.FlxGd.TextMatrix(r, c);
            const int room = static_cast<int>(f.FlxGd.ColWidth(c) / 15) - 5;
            EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(text)), room) << r << "," << c << ": " << text;
        }
    }
    // And the window still fits the screen it opens on.
    EXPECT_LE(f.hWnd()->frameGeometry().width(), 1280);
}

} // namespace
