// Every query and Find criterion the program's screens and reports use, run
// through the database layer against the example database (built for a fixed
// day, 15 June 2025), and what the example data must offer those screens.

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/Recordset.h"
#include "platform/testing/TempRoot.h"
#include "tools/DatabaseBuilder.h"

#include <gtest/gtest.h>

#include <set>

using namespace ado;

namespace {

constexpr tv::tools::BuildDay kBuildDay{2025, 6, 15};
// Day numbers (days since 1 January 1900) of the build day and three months on.
const int kToday = tv::tools::DayNumber(kBuildDay);
const int kInThreeMonths = tv::tools::DayNumber({2025, 9, 15});

class ExampleDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<tv::testing::TempRoot>();
        built_ = folder_->InstallFolder() / "Tallyvane_ExampleDB.mdb";
        const std::filesystem::path data = TV_DATA_DIR;
        tv::tools::BuildDatabase(built_, tv::tools::ReadTextFile(data / "schema.sql"),
                                 tv::tools::ReadTextFile(data / "example.sql"), kBuildDay);
    }
    static void TearDownTestSuite() { folder_.reset(); }

    void SetUp() override
    {
        // Each test gets its own copy: some write.
        file_ = folder_->ProgramFolder() / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())
                                            + ".mdb");
        std::filesystem::copy_file(built_, file_, std::filesystem::copy_options::overwrite_existing);
        conn_ = Connection::Create();
        conn_->CursorLocation(adUseClient);
        conn_->Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + file_.string());
    }

    RecordsetPtr query(const std::string& sql)
    {
        auto cmd = Command::Create();
        cmd->ActiveConnection(conn_);
        cmd->CommandType(adCmdText);
        cmd->CommandText(sql);
        return cmd->Execute();
    }

    RecordsetPtr table(const std::string& name)
    {
        auto rs = Recordset::Create();
        rs->Open(name, conn_, adOpenDynamic, adLockOptimistic, adCmdTable);
        return rs;
    }

    // One column of every row, as text.
    static std::vector<std::string> column(const RecordsetPtr& rs, const std::string& name)
    {
        std::vector<std::string> values;
        for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
            const vb::Variant v = rs->Fields(name).Value();
            values.push_back(v.IsNull() ? "<Null>" : vb::CStr(v));
        }
        return values;
    }

    int32_t storeID(int storeNumber)
    {
        auto rs = query("SELECT * FROM Stores WHERE StoreNumber = " + std::to_string(storeNumber));
        return rs->RecordCount() == 1 ? vb::CLng(rs->Fields("StoreID").Value()) : -1;
    }

    static inline std::unique_ptr<tv::testing::TempRoot> folder_;
    static inline std::filesystem::path built_;
    std::filesystem::path file_;
    ConnectionPtr conn_;
};

} // namespace

TEST_F(ExampleDatabase, EveryTableOpensWholeInKeyOrder)
{
    const std::vector<std::pair<std::string, int>> tables = {
        {"Stores", 12}, {"LandLord", 4}, {"BaseRate", 111}, {"PercentageRate", 111},
        {"CAMRate", 111}, {"TaxRate", 111}, {"CalInfo", 52}, {"Sales", 48},
    };
    for (const auto& [name, rows] : tables) {
        auto ro = Recordset::Create();
        ro->Open(name, conn_, adOpenDynamic, adLockReadOnly, adCmdText);
        EXPECT_EQ(ro->RecordCount(), rows) << name;
        EXPECT_EQ(table(name)->RecordCount(), rows) << name;
    }
    EXPECT_EQ(column(table("LandLord"), "LandLordID"), (std::vector<std::string>{"1", "2", "3", "4"}));
    auto cal = table("CalInfo");
    int32_t previous = 0;
    for (cal->MoveFirst(); !cal->EOF_(); cal->MoveNext()) {
        EXPECT_GT(vb::CLng(cal->Fields("ID").Value()), previous);
        previous = vb::CLng(cal->Fields("ID").Value());
    }
}

TEST_F(ExampleDatabase, CalendarAndTaskListQueries)
{
    auto all = query("SELECT * FROM CalInfo ORDER BY date");
    ASSERT_EQ(all->RecordCount(), 52);
    int32_t previous = kToday;
    for (all->MoveFirst(); !all->EOF_(); all->MoveNext()) {
        const int32_t day = vb::CLng(all->Fields("Date").Value());
        EXPECT_GE(day, previous); // ascending, and nothing before the build day
        previous = day;
        EXPECT_EQ(vb::CStr(all->Fields("Image").Value()), vb::CStr(all->Fields("Type").Value()));
        EXPECT_TRUE(vb::IsNumeric(all->Fields("Image").Value()));
    }

    // The task list: today to the end of its period; reversed bounds (a
    // period end before today) read as the same range.
    const std::string days = std::to_string(kToday) + " and " + std::to_string(kInThreeMonths);
    const std::string reversed = std::to_string(kInThreeMonths) + " and " + std::to_string(kToday);
    auto coming = query("SELECT * FROM CalInfo WHERE date BETWEEN " + days + " ORDER BY date");
    auto backwards = query("SELECT * FROM CalInfo WHERE date BETWEEN " + reversed + " ORDER BY date");
    EXPECT_GE(coming->RecordCount(), 15);
    EXPECT_EQ(column(coming, "info"), column(backwards, "info"));
    // Every kind of reminder falls in the coming three months.
    std::set<std::string> kinds;
    for (const auto& k : column(coming, "Type"))
        kinds.insert(k);
    EXPECT_EQ(kinds, (std::set<std::string>{"1", "2", "3", "4", "5"}));
    // A day with two reminders shows the several-reminders picture.
    EXPECT_EQ(query("SELECT * FROM CalInfo WHERE date BETWEEN " + std::to_string(kToday + 29) + " and "
                    + std::to_string(kToday + 29) + " ORDER BY date")
                  ->RecordCount(),
              2);
    // Nothing from before the zero date of an unknown period.
    EXPECT_EQ(query("SELECT * FROM CalInfo WHERE date BETWEEN " + std::to_string(kToday) + " and -2 ORDER BY date")
                  ->RecordCount(),
              0);
}

TEST_F(ExampleDatabase, StoreEditorQueries)
{
    auto byNumber = query("SELECT * FROM Stores ORDER BY StoreNumber");
    EXPECT_EQ(column(byNumber, "StoreNumber"),
              (std::vector<std::string>{"3", "7", "12", "21", "34", "48", "55", "63", "77", "89", "102", "115"}));

    const int32_t harbor = storeID(3);
    ASSERT_GT(harbor, 0);
    EXPECT_EQ(storeID(4), -1);
    auto one = query("SELECT * FROM Stores WHERE StoreID = " + std::to_string(harbor));
    ASSERT_EQ(one->RecordCount(), 1);
    EXPECT_EQ(one->Fields("StoreName").Value(), vb::Variant("Harbor Point"));
    EXPECT_EQ(one->Fields("Region").Value(), vb::Variant("USA"));
    EXPECT_EQ(vb::VarTypeOf(one->Fields("ReminderBitMask").Value()), vb::VarType::Integer);
    EXPECT_EQ(one->Fields("Icon").Value(), vb::Variant(""));
    // LeaseEndDate is CommenceDate plus the initial term.
    EXPECT_EQ(vb::CDate(one->Fields("LeaseEndDate").Value()),
              vb::DateAdd("yyyy", vb::CLng(one->Fields("InitialTerm").Value()),
                          vb::CDate(one->Fields("CommenceDate").Value())));
    const int32_t landLordID = vb::CLng(one->Fields("LandLordID").Value());

    auto company = query("SELECT * FROM LandLord WHERE LandLordID = " + std::to_string(landLordID));
    EXPECT_EQ(company->Fields("Company").Value(), vb::Variant("Meridian Property Group"));
    EXPECT_NE(vb::CStr(company->Fields("Street").Value()).find("\r\n"), std::string::npos);
    EXPECT_EQ(column(query("SELECT * FROM LandLord"), "Company"),
              (std::vector<std::string>{"Meridian Property Group", "O'Brien Realty Partners",
                                        "Sunbelt Retail Properties", "Granite Peak Management"}));

    // The reminder rows of a store, by kind as text.
    for (const char* kind : {"1", "2", "3", "4", "5"}) {
        auto rs = query("SELECT * FROM CalInfo WHERE (StoreID =" + std::to_string(harbor) + ") AND (Type = '" + kind
                        + "')");
        EXPECT_EQ(rs->RecordCount(), 1) << kind;
    }
    const int32_t maple = storeID(21); // mask 6: no renewal reminder, no annual report
    EXPECT_EQ(query("SELECT * FROM CalInfo WHERE (StoreID =" + std::to_string(maple) + ") AND (Type = '1')")
                  ->RecordCount(),
              0);
    EXPECT_EQ(query("SELECT * FROM CalInfo WHERE (StoreID =" + std::to_string(maple) + ") AND (Type = '5')")
                  ->RecordCount(),
              0);
    auto mask = query("SELECT * FROM Stores WHERE StoreNumber = 102");
    EXPECT_TRUE(mask->Fields("ReminderBitMask").Value().IsNull()); // read as 7 by the editor
    EXPECT_TRUE(query("SELECT * FROM Stores WHERE StoreNumber = 7")->Fields("SalesReportAnnualDueDate").Value().IsNull());
}

TEST_F(ExampleDatabase, RentAndSalesQueries)
{
    const std::string harbor = std::to_string(storeID(3)); // commenced 2020, 5 years, "% of Sales"
    for (const char* t : {"BaseRate", "CAMRate", "TaxRate"}) {
        auto sheet = query(std::string("SELECT Year, MonthTotal, YearTotal FROM ") + t + " WHERE StoreID=" + harbor
                           + " and Year BETWEEN 2020 and 2024");
        ASSERT_EQ(sheet->RecordCount(), 5) << t;
        for (sheet->MoveFirst(); !sheet->EOF_(); sheet->MoveNext())
            EXPECT_EQ(vb::CCur(sheet->Fields("MonthTotal").Value()) * 12, vb::CCur(sheet->Fields("YearTotal").Value()));
        // The worksheet's term may run past the stored years: only those come back.
        EXPECT_EQ(query(std::string("SELECT Year, MonthTotal, YearTotal FROM ") + t + " WHERE StoreID=" + harbor
                        + " and Year BETWEEN 2024 and 2021")
                      ->RecordCount(),
                  4);
    }
    auto month = query("SELECT MonthTotal FROM BaseRate WHERE StoreID = " + harbor + " AND Year = 2025");
    EXPECT_EQ(month->Fields("MonthTotal").Value(), vb::Variant(vb::Currency(5250)));
    EXPECT_EQ(query("SELECT MonthTotal FROM CAMRate WHERE StoreID = " + harbor + " AND Year = 2025")->RecordCount(), 1);
    EXPECT_EQ(query("SELECT MonthTotal FROM TaxRate WHERE StoreID = " + harbor + " AND Year = 2019")->RecordCount(), 0);

    auto pct = query("SELECT Year, PercentType, Rate, BreakPoint FROM PercentageRate WHERE StoreID=" + harbor
                     + " and Year BETWEEN 2020 and 2024");
    ASSERT_EQ(pct->RecordCount(), 5);
    EXPECT_EQ(pct->Fields("PercentType").Value(), vb::Variant("% of Sales"));
    EXPECT_EQ(pct->Fields("Rate").Value(), vb::Variant("5.000%"));
    EXPECT_EQ(pct->Fields("BreakPoint").Value(), vb::Variant(vb::Currency(60000)));
    auto pctYear = query("SELECT * FROM PercentageRate WHERE StoreID = " + harbor + " AND Year = 2025");
    EXPECT_EQ(pctYear->RecordCount(), 1);
    // Each kind of percentage rent is there.
    EXPECT_EQ(column(query("SELECT DISTINCT PercentType FROM PercentageRate ORDER BY PercentType"), "PercentType"),
              (std::vector<std::string>{"% of Sales", "Flat Rate", "None"}));
    EXPECT_EQ(query("SELECT * FROM PercentageRate WHERE PercentType = 'flat rate' AND Rate = '$350.00'")->RecordCount(),
              11);

    // Sales: a row per store for 2023 to 2026, the total the exact sum of the months.
    auto sales = query("SELECT * FROM Sales WHERE StoreID = " + harbor + " AND Year = 2025");
    ASSERT_EQ(sales->RecordCount(), 1);
    vb::Currency sum;
    for (const char* m : {"January", "February", "March", "April", "May", "June", "July", "August", "September",
                          "October", "November", "December"})
        sum += vb::CCur(sales->Fields(m).Value());
    EXPECT_EQ(sum, vb::CCur(sales->Fields("Total").Value()));
    EXPECT_EQ(query("SELECT * FROM Sales WHERE Year = 2023")->RecordCount(), 12);
    EXPECT_EQ(query("SELECT * FROM Sales WHERE Year = 2026")->RecordCount(), 12);
    EXPECT_EQ(query("SELECT * FROM Sales WHERE Year = 2022")->RecordCount(), 0);
    // June's sales against the breakpoints: some above, some not.
    auto june = query("SELECT Sales.June, PercentageRate.BreakPoint FROM Sales, PercentageRate WHERE "
                      "Sales.StoreID = PercentageRate.StoreID AND Sales.Year = 2025 AND PercentageRate.Year = 2025 "
                      "AND PercentageRate.PercentType = '% of Sales'");
    int above = 0, below = 0;
    for (june->MoveFirst(); !june->EOF_(); june->MoveNext())
        (vb::CCur(june->Fields("June").Value()) > vb::CCur(june->Fields("BreakPoint").Value()) ? above : below)++;
    EXPECT_GT(above, 0);
    EXPECT_GT(below, 0);

    // The sales window's list, by name without case: a store added in lower case sorts among the rest.
    auto stores = table("Stores");
    stores->AddNew();
    stores->Fields("StoreName") = "apple Annex";
    stores->Fields("StoreNumber") = "130";
    stores->Update();
    EXPECT_EQ(stores->Fields("StoreID").Value(), vb::Variant(13));
    auto names = column(query("SELECT StoreID, StoreNumber, StoreName FROM Stores ORDER BY StoreName"), "StoreName");
    ASSERT_EQ(names.size(), 13u);
    EXPECT_EQ(names[0], "apple Annex");
    EXPECT_EQ(names[1], "Bayview Crossing");
    EXPECT_EQ(names[12], "Willow Bend Shops");
}

TEST_F(ExampleDatabase, ReportQueries)
{
    const std::string lease = "SELECT LeaseEndDate, City, StoreName, StoreNumber, TerminationNotice, State FROM "
                              "Stores WHERE LeaseEndDate BETWEEN #2025-6-15# AND #2025-9-15# ORDER BY LeaseEndDate ";
    EXPECT_EQ(column(query(lease + "ASC"), "StoreNumber"), (std::vector<std::string>{"3", "7"}));
    EXPECT_EQ(column(query(lease + "DESC"), "StoreNumber"), (std::vector<std::string>{"7", "3"}));
    // Midnight of the end day is in: store 7's lease ends on 13 September.
    const std::string upTo = "SELECT LeaseEndDate, City, StoreName, StoreNumber, TerminationNotice, State FROM Stores "
                             "WHERE LeaseEndDate BETWEEN #2025-6-15# AND ";
    EXPECT_EQ(query(upTo + "#2025-9-13# ORDER BY LeaseEndDate ASC")->RecordCount(), 2);
    EXPECT_EQ(query(upTo + "#2025-9-12# ORDER BY LeaseEndDate ASC")->RecordCount(), 1);
    // The reversed period of a "Custom" length (ending on the zero date).
    EXPECT_EQ(query("SELECT LeaseEndDate, City, StoreName, StoreNumber, TerminationNotice, State FROM Stores WHERE "
                    "LeaseEndDate BETWEEN #2025-6-15# AND #1899-12-30# ORDER BY LeaseEndDate ASC")
                  ->RecordCount(),
              0);

    for (const char* kind : {"Insurance", "Renewal", "Other"}) {
        const std::string k = kind;
        const std::string forReport = k + "ForReport";
        auto rs = query("SELECT " + k + "Date, StoreName, StoreNumber, " + forReport + " FROM Stores WHERE " + k
                        + "Date BETWEEN #2025-6-15# AND #2025-9-15# ORDER BY " + k + "Date ASC");
        EXPECT_GE(rs->RecordCount(), 3) << kind;
        EXPECT_FALSE(vb::CStr(rs->Fields(forReport).Value()).empty());
    }
    auto term = query("SELECT InitialTerm, StoreName, StoreNumber FROM Stores");
    EXPECT_EQ(term->RecordCount(), 12);
    EXPECT_EQ(term->Fields("InitialTerm").Value(), vb::Variant(5));

    // The queries inside the reports' data-shape texts.
    auto base = query("SELECT BaseRate.YearTotal, BaseRate.`Year`, Stores.StoreNumber, Stores.StoreName FROM BaseRate, "
                      "Stores WHERE BaseRate.StoreID = Stores.StoreID AND ((BaseRate.`Year` = 2024) OR "
                      "(BaseRate.`Year` = 2025)) ORDER BY BaseRate.`Year` DESC, BaseRate.YearTotal");
    EXPECT_EQ(base->RecordCount(), 24);
    EXPECT_EQ(base->Fields("Year").Value(), vb::Variant(int16_t{2025}));
    vb::Currency last;
    for (base->MoveFirst(); !base->EOF_() && vb::CInt(base->Fields("Year").Value()) == 2025; base->MoveNext()) {
        EXPECT_GE(vb::CCur(base->Fields("YearTotal").Value()), last);
        last = vb::CCur(base->Fields("YearTotal").Value());
    }
    for (const char* t : {"CAMRate", "TaxRate"}) {
        const std::string r = t;
        EXPECT_EQ(query("SELECT " + r + ".YearTotal, " + r + ".`Year`, Stores.StoreNumber, Stores.StoreName FROM " + r
                        + ", Stores WHERE " + r + ".StoreID = Stores.StoreID AND (" + r + ".`Year` = 2025) ORDER BY "
                        + r + ".`Year` ASC, " + r + ".YearTotal")
                      ->RecordCount(),
                  12);
    }
    auto pct = query("SELECT Stores.StoreNumber, Stores.StoreName, PercentageRate.`Year`, PercentageRate.Rate, "
                     "PercentageRate.BreakPoint, PercentageRate.PercentType FROM PercentageRate, Stores WHERE "
                     "PercentageRate.StoreID = Stores.StoreID AND (PercentageRate.`Year` = 2025) ORDER BY "
                     "PercentageRate.`Year` ASC, PercentageRate.PercentType");
    EXPECT_EQ(column(pct, "PercentType").front(), "% of Sales");
    EXPECT_EQ(query("SELECT * FROM `Landlord`")->RecordCount(), 4);
    EXPECT_EQ(query("SELECT * FROM `Stores`")->RecordCount(), 12);
}

TEST_F(ExampleDatabase, FindCriteriaOfTheEditingRoutines)
{
    auto cal = table("CalInfo");
    cal->MoveFirst();
    cal->Find("ID=7");
    EXPECT_EQ(cal->Fields("ID").Value(), vb::Variant(7));
    cal->Delete();
    cal->Update();
    cal->MoveFirst();
    cal->Find("ID=7");
    EXPECT_TRUE(cal->EOF_());
    // The reminder writer's add, read back with its new ID.
    cal->AddNew();
    cal->Fields("Date") = kToday + 3;
    cal->Fields("StoreID") = 2;
    cal->Fields("Type") = 1;
    cal->Fields("info") = "Renewal: Riverside Plaza";
    cal->Fields("Image") = "1";
    cal->Update();
    EXPECT_EQ(cal->Fields("ID").Value(), vb::Variant(53));
    EXPECT_EQ(query("SELECT * FROM CalInfo WHERE (StoreID =2) AND (Type = '1')")->RecordCount(), 2);

    auto stores = table("Stores");
    stores->MoveFirst();
    stores->Find("StoreID = 5");
    EXPECT_EQ(stores->Fields("StoreNumber").Value(), vb::Variant(34));
    stores->MoveFirst();
    stores->Find("StoreID = 32737"); // the editor's id of a store being added
    EXPECT_LT(stores->AbsolutePosition(), 0);
    stores->MoveFirst();
    stores->Find("LandLordID = 3");
    EXPECT_EQ(stores->Fields("StoreName").Value(), vb::Variant("Maple Grove Center"));
    stores->Fields("LandLordID") = 0;
    stores->Update();

    auto companies = table("LandLord");
    companies->MoveFirst();
    companies->Find("LandLordID = 2");
    EXPECT_EQ(companies->AbsolutePosition(), 2);
    companies->MoveFirst();
    companies->Find("Company = " + SqlQuote("o'brien realty partners"));
    EXPECT_EQ(companies->Fields("LandLordID").Value(), vb::Variant(2));
    companies->MoveFirst();
    companies->Find("Company = 'Nobody Inc'");
    EXPECT_TRUE(companies->EOF_());

    auto sales = table("Sales");
    sales->MoveFirst();
    sales->Find("StoreID='3'");
    EXPECT_EQ(sales->Fields("StoreID").Value(), vb::Variant(3));
    EXPECT_EQ(sales->Fields("Year").Value(), vb::Variant(int16_t{2023}));
    while (!sales->EOF_() && vb::CInt(sales->Fields("Year").Value()) != 2025)
        sales->MoveNext();
    sales->Fields("March") = vb::Currency(1500);
    sales->Fields("Total") = "$1,500.00";
    sales->Update();
    auto check = query("SELECT * FROM Sales WHERE StoreID = 3 AND Year = 2025");
    EXPECT_EQ(check->Fields("March").Value(), vb::Variant(vb::Currency(1500)));
    EXPECT_EQ(check->Fields("Total").Value(), vb::Variant(vb::Currency(1500)));
}

TEST(ShippedDatabases, TheBuildPutsBothFilesInTheInstallFolder)
{
    const std::filesystem::path share = TV_SHARE_DIR;
    for (const auto& [name, stores] : {std::pair{"Tallyvane.mdb", 0}, std::pair{"Tallyvane_ExampleDB.mdb", 12}}) {
        ASSERT_TRUE(std::filesystem::exists(share / name)) << name;
        tv::testing::TempRoot root;
        const auto copy = root.ProgramFolder() / name;
        std::filesystem::copy_file(share / name, copy);
        auto conn = Connection::Create();
        conn->Open("Data Source=" + copy.string());
        for (const char* t : {"Stores", "LandLord", "BaseRate", "PercentageRate", "CAMRate", "TaxRate", "CalInfo",
                              "Sales"}) {
            auto rs = Recordset::Create();
            rs->Open(t, conn, adOpenDynamic, adLockReadOnly, adCmdTable);
            if (std::string(t) == "Stores") {
                EXPECT_EQ(rs->RecordCount(), stores) << name;
            }
        }
    }
}
