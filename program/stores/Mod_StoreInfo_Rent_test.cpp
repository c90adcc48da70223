// The rent figures: the percentage rent of each type around its break point
// with its rounding, the figures of the month shown and their sum, the month
// stepper, and figures that cannot be read.

#include "program/stores/Mod_StoreInfo_Rent.h"

#include "platform/basic/Format.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/Desktop.h"
#include "program/stores/Mod_FileIO_Stores.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StoresTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using Mod_StoreInfo::ComputePercentageRent;
using Mod_StoreInfo::RentOfCaption;
using vb::Variant;

const Variant kNull = Variant::Null();

TEST(PercentageRent, EachTypeBelowAtAndAboveTheBreakPoint)
{
    struct Case {
        const char* type;
        Variant rate;
        Variant breakPoint;
        Variant sales;
        const char* figure;
        const char* explanation;
    };
    const vb::Currency tenThousand(10000);
    const Case cases[] = {
        // No percentage rent, whatever the sales.
        {"None", kNull, kNull, Variant("50000"), "$0.00", ""},
        {"None", Variant("$500.00"), Variant(tenThousand), Variant("50000"), "$0.00", ""},
        // A flat amount every month, the break point aside.
        {"Flat Rate", Variant("$250.00"), kNull, Variant(""), "$250.00", ""},
        {"Flat Rate", Variant("$1,250.555"), Variant(tenThousand), Variant("1"), "$1,250.56", ""},
        {"Flat Rate", Variant("$0.005"), kNull, Variant(""), "$0.01", ""},
        // An amount of the sales above the break point.
        {"% of Sales", Variant("5.000%"), Variant(tenThousand), Variant("8000"), "$0.00",
         "Sales are not greater than breakpoint"},
        {"% of Sales", Variant("5.000%"), Variant(tenThousand), Variant("10000"), "$0.00",
         "Sales are not greater than breakpoint"},
        {"% of Sales", Variant("5.000%"), Variant(tenThousand), Variant("12000"), "$100.00",
         "$12,000.00 - $10,000.00 * 5.000%"},
        {"% of Sales", Variant("6.500%"), Variant(vb::Currency(0)), Variant("1234567.89"), "$80,246.91",
         "$1,234,567.89 - $0.00 * 6.500%"},
        // One cent above: 0.005 rounds up to a cent when shown.
        {"% of Sales", Variant("5%"), Variant(tenThousand), Variant("10000.1"), "$0.01",
         "$10,000.10 - $10,000.00 * 5%"},
        // 0.004999996 is kept as 0.0050 first, so it shows as a cent, not
        // as nothing.
        {"% of Sales", Variant("4.999996%"), Variant(tenThousand), Variant("10000.1"), "$0.01",
         "$10,000.10 - $10,000.00 * 4.999996%"},
        // Break point read as money whatever its form; none means nothing
        // is above it.
        {"% of Sales", Variant("5.000%"), Variant("$10,000.00"), Variant("12000"), "$100.00",
         "$12,000.00 - $10,000.00 * 5.000%"},
        {"% of Sales", Variant("5.000%"), kNull, Variant("12000"), "$0.00", "Sales are not greater than breakpoint"},
        {"% of Sales", Variant("5.000%"), Variant(""), Variant("12000"), "$0.00",
         "Sales are not greater than breakpoint"},
        // No sales of the month.
        {"% of Sales", Variant("5.000%"), Variant(tenThousand), Variant(""), "$0.00", "** No Sales Info **"},
        {"% of Sales", Variant("5.000%"), Variant(tenThousand), Variant("n/a"), "$0.00", "** No Sales Info **"},
    };
    for (const Case& c : cases) {
        int asked = 0;
        const Mod_StoreInfo::PercentageRent rent =
            ComputePercentageRent(Variant(c.type), c.rate, c.breakPoint, [&] {
                ++asked;
                return c.sales;
            });
        SCOPED_TRACE(std::string(c.type) + " " + vb::CStr(c.sales));
        EXPECT_EQ(rent.figure, c.figure);
        EXPECT_EQ(rent.explanation, c.explanation);
        // Only a rent that depends on sales looks them up.
        EXPECT_EQ(asked, std::string(c.type) == "% of Sales" ? 1 : 0);
    }
}

TEST(PercentageRent, UnreadableRatesAndUnknownTypesGiveNothingWithoutAnError)
{
    const auto sales = [] { return Variant("20000"); };
    const vb::Currency limit(10000);
    for (const Variant& rate : {kNull, Variant(""), Variant("n/a"), Variant("$")}) {
        SCOPED_TRACE(rate.IsNull() ? "Null" : vb::CStr(rate));
        EXPECT_EQ(ComputePercentageRent(Variant("Flat Rate"), rate, kNull, sales).figure, "$0.00");
        const auto ofSales = ComputePercentageRent(Variant("% of Sales"), rate, Variant(limit), sales);
        EXPECT_EQ(ofSales.figure, "$0.00");
        EXPECT_EQ(ofSales.explanation, "");
    }
    for (const Variant& type : {kNull, Variant(""), Variant("flat rate"), Variant("Percent")})
        EXPECT_EQ(ComputePercentageRent(type, Variant("$500.00"), Variant(limit), sales).figure, "$0.00");
    // A figure is read back as the money it shows, anything else as none.
    EXPECT_EQ(RentOfCaption("$1,234.50"), vb::Currency::FromRaw(12345000));
    EXPECT_EQ(RentOfCaption("-$100.00"), vb::Currency(-100));
    EXPECT_EQ(RentOfCaption("Current Rent:"), vb::Currency());
    EXPECT_EQ(RentOfCaption(""), vb::Currency());
}

TEST(PercentageRent, AnAmountBeyondMoneyOverflowsInsteadOfShowingNothing)
{
    const auto sales = [] { return Variant("20000"); };
    const Variant limit(vb::Currency(10000));
    // A figure money cannot hold is an overflow, never "$0.00".
    for (const Variant& rate : {Variant("1e20%"), Variant("1e400"), Variant("1e300")})
        EXPECT_EQ(tv::testing::ErrorOf([&] { ComputePercentageRent(Variant("% of Sales"), rate, limit, sales); }),
                  vb::kErrOverflow)
            << vb::CStr(rate);
    for (const Variant& rate : {Variant("$100,000,000,000,000,000.00"), Variant("1e400")})
        EXPECT_EQ(tv::testing::ErrorOf([&] { ComputePercentageRent(Variant("Flat Rate"), rate, kNull, sales); }),
                  vb::kErrOverflow)
            << vb::CStr(rate);
    // The largest amount money holds is still shown.
    EXPECT_EQ(ComputePercentageRent(Variant("Flat Rate"), Variant("$900,000,000,000,000.00"), kNull, sales).figure,
              "$900,000,000,000,000.00");
}

// The editor over the empty database with stores and rates of our own.
class RentFigures : public tv::testing::StoreEditorFixture {
protected:
    void SetUp() override
    {
        StoreEditorFixture::SetUp();
        tv::Shell().g_MonthNames = Mod_tallyvane::MonthNames();
        tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kDatabaseFileName);
        Mod_DBConnections::OpenDatabase();
    }

    static void sql(std::string_view text, const std::vector<Variant>& parameters = {})
    {
        tv::Shell().g_DBConnection->Query(text, parameters);
    }

    static int16_t addStore(const char* name, int number, const char* commencement)
    {
        sql("INSERT INTO Stores (StoreName, StoreNumber, CommenceDate, LeaseDate, InitialTerm, SalesReporting, "
            "LandLordID) VALUES (?, ?, ?, ?, 5, 'None', 0)",
            {Variant(name), Variant(number), Variant(commencement), Variant(commencement)});
        return storeIdOf(number);
    }

    static void rents(int16_t id, int year, int base, int cam, int tax, const char* type, const Variant& rate,
                      const Variant& breakPoint)
    {
        for (const char* table : {"BaseRate", "CAMRate", "TaxRate"}) {
            const int amount = std::string(table) == "BaseRate" ? base : std::string(table) == "CAMRate" ? cam : tax;
            sql(std::string("INSERT INTO ") + table + " (StoreID, Year, MonthTotal, YearTotal) VALUES (?, ?, ?, ?)",
                {Variant(id), Variant(year), Variant(amount), Variant(12 * amount)});
        }
        sql("INSERT INTO PercentageRate (StoreID, Year, PercentType, Rate, BreakPoint) VALUES (?, ?, ?, ?, ?)",
            {Variant(id), Variant(year), Variant(type), rate, breakPoint});
    }

    static void sales(int16_t id, int year, int month, const Variant& amount)
    {
        if (count("SELECT count(*) FROM Sales WHERE StoreID = ? AND Year = ?", {Variant(id), Variant(year)}) == 0)
            sql("INSERT INTO Sales (StoreID, Year) VALUES (?, ?)", {Variant(id), Variant(year)});
        sql("UPDATE Sales SET " + vb::MonthName(month) + " = ? WHERE StoreID = ? AND Year = ?",
            {amount, Variant(id), Variant(year)});
    }

    static frmStoreInfo& show()
    {
        frmStoreInfo& f = frmStoreInfo::Instance();
        f.Show();
        return f;
    }

    static std::vector<std::string> figures(frmStoreInfo& f)
    {
        return {f.lblRate(0).Caption(), f.lblRate(1).Caption(), f.lblRate(2).Caption(), f.lblRate(3).Caption(),
                f.lblCurRentDue.Caption()};
    }

    static vb::Currency sumOfFigures(frmStoreInfo& f)
    {
        vb::Currency sum;
        for (int i = 0; i < 4; ++i)
            sum += RentOfCaption(f.lblRate(i).Caption());
        return sum;
    }
};

TEST_F(RentFigures, TheMonthsFourFiguresAndTheirSumOnLoad)
{
    const int16_t id = addStore("Main Street", 1, "2020-06-15 00:00:00");
    rents(id, 2025, 1500, 200, 100, "Flat Rate", Variant("$250.00"), kNull);
    rents(id, 2024, 1400, 190, 90, "Flat Rate", Variant("$240.00"), kNull);
    frmStoreInfo& f = show();
    EXPECT_EQ(figures(f), (std::vector<std::string>{"$1,500.00", "$250.00", "$200.00", "$100.00", "$2,050.00"}));
    EXPECT_EQ(f.lblCurRent.Caption(), "March 2025 Rent:");
    EXPECT_FALSE(f.lblPerRateCalc.Visible());

    // A month of another year shows that year's figures.
    for (int i = 0; i < 3; ++i)
        f.UpDown1.ClickDown();
    EXPECT_EQ(f.lblCurRent.Caption(), "December 2024 Rent:");
    EXPECT_EQ(figures(f), (std::vector<std::string>{"$1,400.00", "$240.00", "$190.00", "$90.00", "$1,920.00"}));
    // Months with no rows show nothing; there is no last month.
    for (int i = 0; i < 15; ++i)
        f.UpDown1.ClickUp();
    EXPECT_EQ(f.lblCurRent.Caption(), "March 2026 Rent:");
    EXPECT_EQ(figures(f), (std::vector<std::string>{"$0.00", "$0.00", "$0.00", "$0.00", "$0.00"}));
    EXPECT_TRUE(prompts().empty());
}

TEST_F(RentFigures, TheSumIsAlwaysTheFourFiguresShownOnTheExampleStores)
{
    tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kExampleDatabaseFileName);
    Mod_DBConnections::OpenDatabase();
    frmStoreInfo& f = show();
    int explained = 0;
    std::vector<std::string> keys;
    for (const auto& i : f.smuiPanel(0).Items())
        keys.push_back(i->Key());
    ASSERT_EQ(keys.size(), 12u);
    for (const std::string& key : keys) {
        chooseStore(static_cast<int16_t>(std::stoi(key)));
        for (int step = 0; step < 14; ++step) {
            SCOPED_TRACE(f.txtStoreName.Text() + " " + f.lblCurRent.Caption());
            EXPECT_NE(f.lblRate(0).Caption(), "$0.00");
            EXPECT_EQ(RentOfCaption(f.lblCurRentDue.Caption()), sumOfFigures(f));
            EXPECT_EQ(f.lblCurRentDue.Caption(), vb::Format(Variant(sumOfFigures(f)), "$##,##0.00"));
            explained += f.lblPerRateCalc.Visible() ? 1 : 0;
            f.UpDown1.ClickDown();
        }
    }
    // Some months of the stores paying on their sales are above the break point.
    EXPECT_GT(explained, 0);
    EXPECT_TRUE(prompts().empty());
}

TEST_F(RentFigures, ThePercentageRentOfTheMonthShownComesFromThatMonthsSales)
{
    const int16_t id = addStore("Pine Mall", 2, "2024-01-01 00:00:00");
    rents(id, 2025, 1000, 0, 0, "% of Sales", Variant("5.000%"), Variant(vb::Currency(10000)));
    rents(id, 2026, 1100, 0, 0, "% of Sales", Variant("4.000%"), Variant(vb::Currency(20000)));
    sales(id, 2025, 3, Variant(12000));
    sales(id, 2025, 4, Variant(8000));
    sales(id, 2026, 1, Variant(30000));
    frmStoreInfo& f = show();
    EXPECT_EQ(f.lblRate(1).Caption(), "$100.00");
    EXPECT_EQ(f.lblCurRentDue.Caption(), "$1,100.00");
    EXPECT_TRUE(f.lblPerRateCalc.Visible());
    EXPECT_EQ(f.lblPerRateCalc.Caption(), "$12,000.00 - $10,000.00 * 5.000%");

    f.UpDown1.ClickUp(); // April 2025: below the break point
    EXPECT_EQ(f.lblRate(1).Caption(), "$0.00");
    EXPECT_EQ(f.lblPerRateCalc.Caption(), "Sales are not greater than breakpoint");
    f.UpDown1.ClickUp(); // May 2025: no sales entered
    EXPECT_EQ(f.lblPerRateCalc.Caption(), "** No Sales Info **");
    for (int i = 0; i < 8; ++i)
        f.UpDown1.ClickUp(); // January 2026: that year's rate and break point
    EXPECT_EQ(f.lblCurRent.Caption(), "January 2026 Rent:");
    EXPECT_EQ(f.lblRate(1).Caption(), "$400.00");
    EXPECT_EQ(f.lblPerRateCalc.Caption(), "$30,000.00 - $20,000.00 * 4.000%");
    EXPECT_EQ(f.lblCurRentDue.Caption(), "$1,500.00");
    // The routines asked for a year alone take today's month.
    EXPECT_EQ(Mod_StoreInfo::GetMonthSales(id, 2025), Variant("12000"));
    EXPECT_EQ(Mod_StoreInfo::GetMonthSales(id, 2025, 4), Variant("8000"));
    EXPECT_EQ(Mod_StoreInfo::GetMonthSales(id, 2025, 5), Variant(""));
    EXPECT_EQ(Mod_StoreInfo::GetMonthSales(id, 1999, 5), Variant(""));
}

TEST_F(RentFigures, APercentageRentBeyondMoneyShowsNoAmountAndNoTotalWithoutIt)
{
    const int16_t id = addStore("Pine Mall", 2, "2024-01-01 00:00:00");
    rents(id, 2025, 1000, 200, 100, "% of Sales", Variant("1e20%"), Variant(vb::Currency(10000)));
    sales(id, 2025, 3, Variant(12000));
    sales(id, 2025, 2, Variant(12000));
    std::vector<int> reported;
    vb::SetUnhandledErrorHandler([&](const vb::RuntimeError& e) { reported.push_back(e.Number()); });
    frmStoreInfo& f = show();
    // The load goes on through the failing figure, as it does through any,
    // and says what failed; the rent is no sum of the others.
    EXPECT_EQ(figures(f), (std::vector<std::string>{"$1,000.00", "", "$200.00", "$100.00", "$0.00"}));
    EXPECT_FALSE(f.lblPerRateCalc.Visible());
    EXPECT_EQ(reported, std::vector<int>{vb::kErrOverflow});
    // A refresh has no handler: the overflow is the runtime's message.
    f.UpDown1.ClickDown();
    vb::SetUnhandledErrorHandler(nullptr);
    EXPECT_EQ(reported, (std::vector<int>{vb::kErrOverflow, vb::kErrOverflow}));
    EXPECT_EQ(f.lblCurRent.Caption(), "February 2025 Rent:");
    EXPECT_EQ(figures(f), (std::vector<std::string>{"$1,000.00", "", "$200.00", "$100.00", "$0.00"}));
    EXPECT_TRUE(prompts().empty());
}

// A month total money cannot hold: the figure shows nothing, no figure of
// the store shown before stays, the month's rent is not the C.A.M. alone,
// and the failure is said, on a store change and on a step to another month
// alike.
TEST_F(RentFigures, AFailingMonthTotalLeavesNoFigureOfAnotherStoreOrMonth)
{
    const int16_t good = addStore("Pine Mall", 2, "2024-01-01 00:00:00");
    const int16_t huge = addStore("Oak Plaza", 3, "2024-01-01 00:00:00");
    rents(good, 2025, 1000, 200, 100, "Flat Rate", Variant("$50.00"), kNull);
    rents(huge, 2025, 0, 0, 0, "None", kNull, kNull);
    rents(huge, 2024, 700, 0, 0, "None", kNull, kNull);
    for (const char* table : {"BaseRate", "TaxRate"})
        sql(std::string("UPDATE ") + table + " SET MonthTotal = 1e20 WHERE StoreID = ? AND Year = 2025",
            {Variant(huge)});
    sql("UPDATE CAMRate SET MonthTotal = 30 WHERE StoreID = ? AND Year = 2025", {Variant(huge)});
    std::vector<int> reported;
    vb::SetUnhandledErrorHandler([&](const vb::RuntimeError& e) { reported.push_back(e.Number()); });
    frmStoreInfo& f = show();
    ASSERT_EQ(tv::Stores().g_CurrentStoreID, good);
    ASSERT_EQ(figures(f), (std::vector<std::string>{"$1,000.00", "$50.00", "$200.00", "$100.00", "$1,350.00"}));
    EXPECT_TRUE(reported.empty());

    chooseStore(huge);
    EXPECT_EQ(figures(f), (std::vector<std::string>{"", "$0.00", "$30.00", "", "$0.00"}));
    EXPECT_EQ(reported, std::vector<int>{vb::kErrOverflow});

    // December 2024 has figures; back in 2025 none of them stays.
    for (int i = 0; i < 3; ++i)
        f.UpDown1.ClickDown();
    EXPECT_EQ(f.lblRate(0).Caption(), "$700.00");
    f.UpDown1.ClickUp();
    vb::SetUnhandledErrorHandler(nullptr);
    EXPECT_EQ(figures(f), (std::vector<std::string>{"", "$0.00", "$30.00", "", "$0.00"}));
    // The store change, February, January and January again each said so.
    EXPECT_EQ(reported.size(), 4u);
}

TEST_F(RentFigures, NoExplanationOfAnotherStoreStaysVisible)
{
    const int16_t withSales = addStore("Pine Mall", 2, "2024-01-01 00:00:00");
    const int16_t noRow = addStore("Oak Plaza", 3, "2024-01-01 00:00:00");
    const int16_t flat = addStore("Elm Street", 4, "2024-01-01 00:00:00");
    rents(withSales, 2025, 1000, 0, 0, "% of Sales", Variant("5.000%"), Variant(vb::Currency(10000)));
    rents(flat, 2025, 1000, 0, 0, "Flat Rate", Variant("$50.00"), kNull);
    sales(withSales, 2025, 3, Variant(12000));
    frmStoreInfo& f = show();
    ASSERT_EQ(tv::Stores().g_CurrentStoreID, withSales);
    ASSERT_TRUE(f.lblPerRateCalc.Visible());
    chooseStore(noRow);
    EXPECT_EQ(f.lblRate(1).Caption(), "$0.00");
    EXPECT_FALSE(f.lblPerRateCalc.Visible());
    chooseStore(withSales);
    EXPECT_TRUE(f.lblPerRateCalc.Visible());
    chooseStore(flat);
    EXPECT_EQ(f.lblRate(1).Caption(), "$50.00");
    EXPECT_FALSE(f.lblPerRateCalc.Visible());
}

TEST_F(RentFigures, AFigureThatIsNotMoneyKeepsTheMonthsRentAtZero)
{
    const int16_t id = addStore("Main Street", 1, "2020-06-15 00:00:00");
    rents(id, 2025, 1500, 200, 100, "Flat Rate", Variant(""), kNull);
    frmStoreInfo& f = show();
    EXPECT_EQ(figures(f), (std::vector<std::string>{"$1,500.00", "$0.00", "$200.00", "$100.00", "$1,800.00"}));
    sql("UPDATE PercentageRate SET Rate = 'five hundred'");
    f.DisplayNewRentsValues();
    EXPECT_EQ(f.lblRate(1).Caption(), "$0.00");
    f.lblRate(2).SetCaption("(see lease)");
    Mod_StoreInfo::ShowCurrentRent(vb::DateSerial(2025, 3, 1));
    EXPECT_EQ(f.lblCurRentDue.Caption(), "$0.00");
    // Figures each within money whose sum is not.
    for (int i = 0; i < 4; ++i)
        f.lblRate(i).SetCaption("$300,000,000,000,000.00");
    Mod_StoreInfo::ShowCurrentRent(vb::DateSerial(2025, 3, 1));
    EXPECT_EQ(f.lblCurRentDue.Caption(), "$0.00");
    f.lblRate(3).SetCaption("$1.00");
    Mod_StoreInfo::ShowCurrentRent(vb::DateSerial(2025, 3, 1));
    EXPECT_EQ(f.lblCurRentDue.Caption(), "$900,000,000,000,001.00");
    EXPECT_TRUE(prompts().empty());
}

TEST_F(RentFigures, TheStepperGoesByCalendarMonthsAndNeverBeforeTheCommencement)
{
    const int16_t id = addStore("Main Street", 1, "2025-01-15 00:00:00");
    rents(id, 2025, 1500, 200, 100, "None", kNull, kNull);
    frmStoreInfo& f = show();
    ASSERT_EQ(f.UpDown1.Tag, "3/10/2025");
    f.UpDown1.ClickDown();
    EXPECT_EQ(f.UpDown1.Tag, "2/10/2025");
    // 10 January is before the 15 January commencement: refused, and the
    // display refreshed all the same.
    f.lblRate(0).SetCaption("stale");
    f.UpDown1.ClickDown();
    ASSERT_EQ(prompts(), std::vector<std::string>{"Cannot view dates before the lease commencement date."});
    const MBoxMod::MBoxRequest& box = mbox->shown.back();
    EXPECT_EQ(box.colorScheme, 4);
    EXPECT_EQ(box.buttonSet, 0);
    EXPECT_EQ(box.iconIndex, 4);
    EXPECT_EQ(box.title, "");
    EXPECT_EQ(f.UpDown1.Tag, "2/10/2025");
    EXPECT_EQ(f.lblRate(0).Caption(), "$1,500.00");
    EXPECT_EQ(f.lblCurRent.Caption(), "February 2025 Rent:");

    // A shorter month keeps the last day it has.
    f.UpDown1.Tag = "1/31/2025";
    f.UpDown1.ClickUp();
    EXPECT_EQ(f.UpDown1.Tag, "2/28/2025");
    // Without a commencement date nothing bounds the stepper.
    f.DTCommDate.SetValue(Variant::Null());
    f.UpDown1.Tag = "1/15/1990";
    f.UpDown1.ClickDown();
    EXPECT_EQ(f.UpDown1.Tag, "12/15/1989");
    EXPECT_EQ(prompts().size(), 1u);
}

TEST_F(RentFigures, AFigureClickedSendsTheUserToTheWorksheetsOnceAStoreIsThere)
{
    frmStoreInfo& f = show();
    f.DisplayNewRentsValues();
    f.lblRate_Click(0);
    EXPECT_EQ(prompts(), (std::vector<std::string>(2, "Please add a new store before entering data.")));
    mbox->shown.clear();

    addStore("Main Street", 1, "2020-06-15 00:00:00");
    Mod_FileIO::FillStoreListPanel("frmStoreInfo");
    auto opener = std::make_shared<win::FakeUrlOpener>();
    win::SetUrlOpener(opener);
    const auto folder = root.ProgramFolder() / "tallyvanehelp" / "Work_Sheets_Screen";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Base_Rate_Work_Sheet.htm") << "<html></html>";
    mbox->answers = {{0, 0}, {1, 0}};
    f.lblRate_Click(2);
    EXPECT_TRUE(opener->opened.empty());
    f.lblRate_Click(3); // Help
    win::SetUrlOpener(nullptr);
    ASSERT_EQ(prompts(), (std::vector<std::string>(2, "Please use the worksheets to modify these values.")));
    EXPECT_TRUE(mbox->shown[0].colorScheme == 2 && mbox->shown[0].buttonSet == 4 && mbox->shown[0].iconIndex == 2 &&
                mbox->shown[0].title.empty());
    ASSERT_EQ(opener->opened.size(), 1u);
    EXPECT_EQ(opener->opened[0], "file://" + (folder / "Base_Rate_Work_Sheet.htm").string());
}

} // namespace
