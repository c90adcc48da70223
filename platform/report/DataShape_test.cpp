#include "platform/report/DataShape.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Field.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/Variant.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/ReportTestSupport.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

namespace {

using report::ParseShape;
using report::ShapeCommand;

// The texts exactly as the report builder writes them.
const std::string kBaseRate =
    "SHAPE {SELECT BaseRate.YearTotal, BaseRate.`Year`, Stores.StoreNumber, Stores.StoreName FROM BaseRate, Stores "
    "WHERE BaseRate.StoreID = Stores.StoreID AND ((BaseRate.`Year` = 2002) OR (BaseRate.`Year` = 2003)) ORDER BY "
    "BaseRate.`Year` DESC, BaseRate.YearTotal }  AS cmdBaseRate COMPUTE cmdBaseRate BY 'Year'";
const std::string kLandLord = "SHAPE {SELECT * FROM `Landlord`}  AS cmdLandLord APPEND ({SELECT * FROM `Stores`}  AS "
                              "cmdStores RELATE 'LandLordID' TO 'LandLordID') AS cmdStores";

TEST(ShapeParser, BothFormsAsTheBuilderWritesThem)
{
    auto c = ParseShape(kBaseRate);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->kind, ShapeCommand::Kind::Compute);
    EXPECT_EQ(c->parentSql.substr(0, 25), "SELECT BaseRate.YearTotal");
    EXPECT_EQ(c->parentSql.back(), 'l'); // "...BaseRate.YearTotal", trimmed before the brace
    EXPECT_EQ(c->parentAlias, "cmdBaseRate");
    EXPECT_EQ(c->chapterName, "cmdBaseRate");
    EXPECT_EQ(c->groupColumn, "Year");

    auto a = ParseShape(kLandLord);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->kind, ShapeCommand::Kind::Append);
    EXPECT_EQ(a->parentSql, "SELECT * FROM `Landlord`");
    EXPECT_EQ(a->parentAlias, "cmdLandLord");
    EXPECT_EQ(a->childSql, "SELECT * FROM `Stores`");
    EXPECT_EQ(a->childAlias, "cmdStores");
    EXPECT_EQ(a->relateParent, "LandLordID");
    EXPECT_EQ(a->relateChild, "LandLordID");
    EXPECT_EQ(a->chapterName, "cmdStores");

    // Keywords without case, blanks as they come, braces inside quotes.
    auto q = ParseShape("shape{select '}' as x from Stores where a = '{'}as c compute c by 'x'");
    ASSERT_TRUE(q);
    EXPECT_EQ(q->parentSql, "select '}' as x from Stores where a = '{'");
    EXPECT_TRUE(report::IsShapeCommand("  SHAPE {x} AS y COMPUTE y BY 'z'"));
    EXPECT_FALSE(report::IsShapeCommand("SHAPES {x}"));
    EXPECT_FALSE(report::IsShapeCommand("SELECT * FROM Stores"));
}

TEST(ShapeParser, RefusesEverythingElseWithAReason)
{
    const char* bad[] = {
        "SHAPE",
        "SHAPE {}  AS c COMPUTE c BY 'Year'",
        "SHAPE {SELECT 1  AS c COMPUTE c BY 'Year'",
        "SHAPE {SELECT 1}  COMPUTE c BY 'Year'",
        "SHAPE {SELECT 1}  AS c COMPUTE d BY 'Year'",
        "SHAPE {SELECT 1}  AS c COMPUTE c BY",
        "SHAPE {SELECT 1}  AS c COMPUTE c BY 'Year' extra",
        "SHAPE {SELECT 1}  AS c COMPUTE c BY 'Year",
        "SHAPE {SELECT 1}  AS a APPEND {SELECT 2} AS b RELATE 'x' TO 'y') AS b",
        "SHAPE {SELECT 1}  AS a APPEND ({SELECT 2} AS b RELATE 'x') AS b",
        "SHAPE {SELECT 1}  AS a APPEND ({SELECT 2} AS b RELATE 'x' TO 'y' AS b",
        "SHAPE {SELECT 1}  AS a APPEND ({SELECT 2} AS b RELATE 'x' TO 'y')",
        "SHAPE {SELECT 1}  AS a GROUP b",
    };
    for (const char* text : bad) {
        std::string why;
        EXPECT_FALSE(ParseShape(text, &why)) << text;
        EXPECT_FALSE(why.empty()) << text;
    }
}

class ShapeOnDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = root.ProgramFolder() / "Reports.mdb";
        reporttest::BuildFixtureDatabase(file, TV_DATA_DIR, TV_REPORT_FIXTURE);
        conn->Open(report::ConnectionStringFor(file));
        report::InstallDataShape();
    }
    void TearDown() override { ado::SetCommandTextHandler(nullptr); }

    ado::RecordsetPtr open(const std::string& text)
    {
        auto rs = ado::Recordset::Create();
        rs->Open(text, conn, ado::adOpenStatic, ado::adLockReadOnly, ado::adCmdText);
        return rs;
    }

    tv::testing::TempRoot root;
    std::filesystem::path file;
    ado::ConnectionPtr conn = ado::Connection::Create();
};

TEST_F(ShapeOnDatabase, ComputeGroupsInQueryOrderWithChaptersInRowOrder)
{
    auto groups = open(kBaseRate);
    ASSERT_EQ(groups->RecordCount(), 2);
    EXPECT_EQ(groups->Fields().Count(), 2);
    EXPECT_EQ(groups->Fields(0).Name(), "cmdBaseRate");
    EXPECT_EQ(groups->Fields(1).Name(), "Year");

    // DESC: 2003 first; inside a year the smallest YearTotal first.
    EXPECT_EQ(vb::CInt(groups->Fields("Year").Value()), 2003);
    auto rows = groups->Fields("cmdBaseRate").Chapter();
    std::vector<std::string> stores;
    for (; !rows->EOF_(); rows->MoveNext())
        stores.push_back(vb::CStr(rows->Fields("StoreName").Value()));
    EXPECT_EQ(stores, (std::vector<std::string>{"Desert Sun", "Harbor Point", "Riverside \"Plaza\" <East> & Co"}));

    groups->MoveNext();
    EXPECT_EQ(vb::CInt(groups->Fields("Year").Value()), 2002);
    rows = groups->Fields("cmdBaseRate").Chapter();
    ASSERT_EQ(rows->RecordCount(), 3);
    // Money comes back exact through the chapter.
    EXPECT_EQ(rows->Fields("YearTotal").Value().Type(), vb::VarType::Currency);
    EXPECT_EQ(vb::CCur(rows->Fields("YearTotal").Value()), vb::Currency::FromRaw(-12345000));

    // Every call gives a fresh cursor on the chapter's first row.
    auto again = groups->Fields("cmdBaseRate").Chapter();
    EXPECT_EQ(again->AbsolutePosition(), 1);

    // Not a chapter column; no current row.
    EXPECT_THROW(groups->Fields("Year").Chapter(), vb::RuntimeError);
    groups->MoveNext();
    ASSERT_TRUE(groups->EOF_());
    EXPECT_THROW(groups->Fields("cmdBaseRate").Chapter(), vb::RuntimeError);
}

// Rows join their group however they come: apart from it, in another case
// of the same text, or as the same number stored as a real.
TEST_F(ShapeOnDatabase, ComputeGroupsRowsThatComeApartOrInAnotherForm)
{
    auto groups = open("SHAPE {SELECT 'WA' AS State, 1 AS N UNION ALL SELECT 'wa', 2 UNION ALL SELECT 'OR', 3 "
                       "UNION ALL SELECT 'Wa', 4 UNION ALL SELECT 2001, 5 UNION ALL SELECT 2001.0, 6 "
                       "UNION ALL SELECT NULL, 7 UNION ALL SELECT 'OR', 8 UNION ALL SELECT NULL, 9} AS c "
                       "COMPUTE c BY 'State'");
    std::vector<std::pair<std::string, std::vector<int>>> seen;
    for (; !groups->EOF_(); groups->MoveNext()) {
        const vb::Variant state = groups->Fields("State").Value();
        std::vector<int> members;
        for (auto rows = groups->Fields("c").Chapter(); !rows->EOF_(); rows->MoveNext())
            members.push_back(vb::CInt(rows->Fields("N").Value()));
        seen.emplace_back(state.IsNull() ? "Null" : vb::CStr(state), members);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, std::vector<int>>>{
                        {"WA", {1, 2, 4}}, {"OR", {3, 8}}, {"2001", {5, 6}}, {"Null", {7, 9}}}));
}

// A chapter is read where it is: its cursors move apart, it refuses to be
// written and stays readable after its parent is closed.
TEST_F(ShapeOnDatabase, ChaptersAreSharedReadOnlyRows)
{
    auto groups = open(kBaseRate);
    auto first = groups->Fields("cmdBaseRate").Chapter();
    auto second = groups->Fields("cmdBaseRate").Chapter();
    first->MoveNext();
    EXPECT_EQ(first->AbsolutePosition(), 2);
    EXPECT_EQ(second->AbsolutePosition(), 1);
    EXPECT_THROW(second->AddNew(), vb::RuntimeError);
    EXPECT_THROW(second->Fields("StoreName") = vb::Variant("Changed"), vb::RuntimeError);
    EXPECT_THROW(second->Delete(), vb::RuntimeError);
    groups->Close();
    EXPECT_EQ(vb::CStr(second->Fields("StoreName").Value()), "Desert Sun");
    second->Close();
    EXPECT_EQ(first->RecordCount(), 3);
}

TEST_F(ShapeOnDatabase, AppendKeepsParentsWithoutChildrenAndDropsOrphans)
{
    auto parents = open(kLandLord);
    ASSERT_EQ(parents->RecordCount(), 3);
    std::vector<std::pair<std::string, int>> seen;
    int shownStores = 0;
    for (; !parents->EOF_(); parents->MoveNext()) {
        auto stores = parents->Fields("cmdStores").Chapter();
        seen.emplace_back(vb::CStr(parents->Fields("Company").Value()), stores->RecordCount());
        for (; !stores->EOF_(); stores->MoveNext()) {
            EXPECT_EQ(vb::CLng(stores->Fields("LandLordID").Value()), vb::CLng(parents->Fields("LandLordID").Value()));
            ++shownStores;
        }
    }
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{
                        {"Meridian Property Group", 2}, {"O'Brien Realty <Partners>", 1}, {"Granite Peak Management", 0}}));
    EXPECT_EQ(shownStores, 3); // the store with landlord 0 belongs to no company
}

TEST_F(ShapeOnDatabase, CommandsRunShapesAndReportFaultsAsCommandErrors)
{
    auto cmd = ado::Command::Create();
    cmd->ActiveConnection(conn);
    cmd->CommandText("SHAPE {SELECT StoreName, State FROM Stores ORDER BY StoreID} AS c COMPUTE c BY 'state'");
    auto rs = cmd->Execute();
    EXPECT_EQ(rs->RecordCount(), 4); // WA, OR, MN, AZ

    auto expectError = [&](const std::string& text, int number) {
        try {
            open(text);
            ADD_FAILURE() << text;
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), number) << text << ": " << e.Description();
        }
    };
    expectError("SHAPE {SELECT StoreName FROM Stores} AS c COMPUTE c BY 'Region'", ado::kErrItemNotFound);
    expectError("SHAPE {SELECT * FROM Landlord} AS a APPEND ({SELECT * FROM Stores} AS b RELATE 'Nope' TO "
                "'LandLordID') AS b",
                ado::kErrItemNotFound);
    expectError("SHAPE {SELECT * FROM NoSuchTable} AS c COMPUTE c BY 'x'", ado::kErrCommandText);
    expectError("SHAPE {SELECT 1} AS c COMPUTE", ado::kErrCommandText);
}

TEST_F(ShapeOnDatabase, DataEnvironmentRunsItsCommandsOnTheFileItIsPointedAt)
{
    report::ResetDataEnvironment1();
    auto& de = report::DataEnvironment1();
    EXPECT_EQ(de.CommandCount(), 10);
    EXPECT_EQ(de.Commands(report::kCmdLandLord).CommandText, kLandLord);
    EXPECT_EQ(&de.Commands("CMDBASERATE_GROUPING"), &de.Commands(report::kCmdBaseRate));
    EXPECT_THROW(de.Commands(0), vb::RuntimeError);
    EXPECT_THROW(de.Commands(11), vb::RuntimeError);
    EXPECT_THROW(de.Commands("cmdNone"), vb::RuntimeError);

    de.Connect(file);
    auto rs = de.Execute(report::kCmdLeaseTerm);
    EXPECT_EQ(rs, de.rscmdLeaseTerm());
    EXPECT_EQ(rs->RecordCount(), 4);

    // A second database: the connection moves over, the old recordset stays readable.
    const auto other = root.ProgramFolder() / "Other.mdb";
    tv::tools::BuildDatabase(other, tv::tools::ReadTextFile(std::filesystem::path(TV_DATA_DIR) / "schema.sql"),
                             std::nullopt, {2003, 1, 31});
    de.Connect(other);
    EXPECT_EQ(de.Execute(report::kCmdLeaseTerm)->RecordCount(), 0);
    EXPECT_EQ(de.Execute(report::kCmdLandLord)->RecordCount(), 0);

    // A refused text leaves the command's recordset closed.
    de.Commands(report::kCmdLeaseTerm).CommandText = "SELECT Nope FROM Stores";
    EXPECT_THROW(de.Execute(report::kCmdLeaseTerm), vb::RuntimeError);
    EXPECT_EQ(de.rscmdLeaseTerm()->State(), ado::adStateClosed);
    report::ResetDataEnvironment1();
}

} // namespace
