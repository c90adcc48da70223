#include "platform/ado/Recordset.h"

#include "platform/ado/AdoTesting.h"
#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/JetSql.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

using namespace ado;
using ado::testing::ErrorOf;
using ado::testing::QueryText;

namespace {

const char* kSchema = R"(
CREATE TABLE Stores (StoreID INTEGER PRIMARY KEY AUTOINCREMENT, StoreName TEXT COLLATE NOCASE,
  StoreNumber INTEGER, LeaseEndDate DATETIME, InitialTerm INTEGER,
  ReminderBitMask SMALLINT CHECK (ReminderBitMask BETWEEN -32768 AND 32767), LandLordID INTEGER);
CREATE TABLE BaseRate (StoreID INTEGER, Year SMALLINT CHECK (Year BETWEEN -32768 AND 32767),
  MonthTotal CURRENCY, YearTotal CURRENCY);
INSERT INTO Stores VALUES (1, 'Harbor Point', 12, '2003-01-31 00:00:00', 5, 7, 1);
INSERT INTO Stores VALUES (2, 'apple Court', 3, '2003-02-28 00:00:00', 10, NULL, 0);
INSERT INTO Stores VALUES (3, 'Bayview', 7, '2003-02-28 13:00:00', 5, 6, 1);
INSERT INTO Stores VALUES (4, 'O''Brien Plaza', 40, NULL, NULL, 7, 2);
INSERT INTO BaseRate VALUES (1, 2003, 1234.5678, 14814.81), (1, 2004, 1500, 18000), (2, 2003, NULL, NULL);
)";

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        file_ = root_.ProgramFolder() / "Test.mdb";
        ado::testing::MakeDatabase(file_, kSchema);
        conn_ = Connection::Create();
        conn_->CursorLocation(adUseClient);
        conn_->Open("Provider=Whatever;Data Source=" + file_.string());
    }

    RecordsetPtr openTable(const std::string& table, int lockType)
    {
        auto rs = Recordset::Create();
        rs->CursorType(adOpenDynamic);
        rs->LockType(lockType);
        rs->Open(table, conn_, adOpenUnspecified, adLockUnspecified, adCmdTable);
        return rs;
    }

    RecordsetPtr query(const std::string& sql)
    {
        auto cmd = Command::Create();
        cmd->ActiveConnection(conn_);
        cmd->CommandType(adCmdText);
        cmd->CommandText(sql);
        return cmd->Execute();
    }

    tv::testing::TempRoot root_;
    std::filesystem::path file_;
    ConnectionPtr conn_;
};

} // namespace

TEST_F(RecordsetTest, WalksATableInKeyOrderWithTheDeclaredTypes)
{
    auto rs = openTable("Stores", adLockReadOnly);
    EXPECT_EQ(rs->State(), adStateOpen);
    EXPECT_EQ(rs->RecordCount(), 4);
    std::vector<int32_t> ids;
    for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
        EXPECT_EQ(rs->AbsolutePosition(), static_cast<int32_t>(ids.size()) + 1);
        ids.push_back(vb::CLng(rs->Fields("storeid").Value()));
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(rs->AbsolutePosition(), adPosEOF);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), kErrNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreName").Value(); }), kErrNoCurrentRecord);

    rs->MoveFirst();
    EXPECT_FALSE(rs->BOF());
    EXPECT_EQ(rs->Fields("StoreName").Value(), vb::Variant("Harbor Point"));
    EXPECT_EQ(vb::VarTypeOf(rs->Fields("StoreNumber").Value()), vb::VarType::Long);
    EXPECT_EQ(vb::VarTypeOf(rs->Fields("ReminderBitMask").Value()), vb::VarType::Integer);
    EXPECT_EQ(vb::CDate(rs->Fields("LeaseEndDate").Value()), vb::DateSerial(2003, 1, 31));
    EXPECT_EQ(rs->Fields().Count(), 7);
    EXPECT_EQ(rs->Fields(1).Name(), "StoreName");
    EXPECT_EQ(rs->Fields().Item("LandLordID").Value(), vb::Variant(1));
    EXPECT_EQ(ErrorOf([&] { rs->Fields("NoSuchColumn"); }), kErrItemNotFound);
    rs->MoveNext();
    EXPECT_TRUE(rs->Fields("ReminderBitMask").Value().IsNull());

    auto rates = openTable("BaseRate", adLockReadOnly);
    // Currency comes back exact, not as the double it was stored as.
    EXPECT_EQ(vb::CCur(rates->Fields("MonthTotal").Value()).Raw(), 12345678);
    EXPECT_EQ(vb::VarTypeOf(rates->Fields("YearTotal").Value()), vb::VarType::Currency);
    rates->MoveNext();
    EXPECT_EQ(rates->Fields("MonthTotal").Value(), vb::Variant(vb::Currency(1500)));
}

TEST_F(RecordsetTest, AnEmptyResultHasBothBofAndEofAndMoveFirstDoesNotRaise)
{
    auto rs = query("SELECT * FROM Stores WHERE StoreID = 99");
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->EOF_());
    EXPECT_TRUE(rs->BOF());
    EXPECT_NO_THROW(rs->MoveFirst());
    EXPECT_TRUE(rs->EOF_());
    EXPECT_TRUE(rs->BOF());
    EXPECT_LT(rs->AbsolutePosition(), 0);
    EXPECT_NO_THROW(rs->Find("StoreID = 1"));
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreName").Value(); }), kErrNoCurrentRecord);
}

TEST_F(RecordsetTest, FindSearchesForwardFromTheCurrentRow)
{
    auto rs = openTable("Stores", adLockOptimistic);
    rs->Find("StoreID = 3");
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    rs->Find("LandLordID = 1"); // the current row matches: it stays
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    rs->Find("StoreID = 1"); // behind the current row: not found
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(rs->AbsolutePosition(), adPosEOF);

    rs->MoveFirst();
    rs->Find("StoreName = 'o''brien plaza'");
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(4));
    rs->MoveFirst();
    rs->Find("StoreID='2'");
    EXPECT_EQ(rs->Fields("StoreName").Value(), vb::Variant("apple Court"));
    rs->MoveFirst();
    rs->Find("LeaseEndDate = #2/28/2003#");
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(2));
    EXPECT_EQ(ErrorOf([&] { rs->Find("Nothing = 1"); }), kErrItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rs->Find("StoreName = 'O'Brien Plaza'"); }), kErrInvalidArgument);
}

TEST_F(RecordsetTest, AddNewWritesTheRowAndReadsBackItsAutoNumber)
{
    auto rs = openTable("Stores", adLockOptimistic);
    rs->AddNew();
    EXPECT_FALSE(rs->EOF_());
    EXPECT_TRUE(rs->Fields("StoreID").Value().IsNull());
    rs->Fields("StoreName") = "Cedar Creek";
    rs->Fields("StoreNumber") = "21"; // numeric text into a number column
    rs->Fields("LeaseEndDate") = vb::DateSerial(2030, 6, 15);
    rs->Fields("ReminderBitMask") = 5;
    rs->Update();
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(5));
    EXPECT_EQ(rs->Fields("StoreNumber").Value(), vb::Variant(21));
    EXPECT_EQ(rs->RecordCount(), 5);
    EXPECT_EQ(rs->AbsolutePosition(), 5);
    EXPECT_EQ(QueryText(file_, "SELECT StoreNumber || '|' || LeaseEndDate || '|' || typeof(StoreNumber) "
                               "FROM Stores WHERE StoreID = 5"),
              "21|2030-06-15 00:00:00|integer");
    EXPECT_TRUE(rs->Fields("LandLordID").Value().IsNull()); // never written: Null

    // An AutoNumber is never reused, even after the last row is deleted.
    rs->Delete();
    rs->AddNew();
    rs->Fields("StoreName") = "Maple Grove";
    rs->Update();
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(6));
    rs->AddNew();
    rs->Update(); // nothing set: a row of Nulls
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(7));
}

TEST_F(RecordsetTest, EditsAndDeletesReachTheTableThroughTheRowid)
{
    auto rs = openTable("Stores", adLockOptimistic);
    rs->Find("StoreID = 2");
    rs->Fields("StoreName") = "Apple Court";
    rs->Fields("LandLordID") = rs->Fields("StoreNumber"); // a field copies its value
    EXPECT_EQ(rs->Fields("StoreName").Value(), vb::Variant("Apple Court")); // pending, visible
    rs->Update();
    EXPECT_EQ(QueryText(file_, "SELECT StoreName || LandLordID FROM Stores WHERE StoreID = 2"), "Apple Court3");
    EXPECT_EQ(QueryText(file_, "SELECT StoreName FROM Stores WHERE StoreID = 1"), "Harbor Point");

    // Delete: the row leaves the table, the count and every later Find.
    rs->MoveFirst();
    rs->Find("LandLordID = 1");
    rs->Delete();
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreName").Value(); }), kErrNoCurrentRecord);
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(QueryText(file_, "SELECT count(*) FROM Stores WHERE StoreID = 1"), "0");
    rs->Update(); // as the callers do after Delete: nothing pending, nothing happens
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(2));
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    // The delete loop of the callers: find from the first row until none is left.
    for (;;) {
        rs->MoveFirst();
        rs->Find("LandLordID = 1");
        if (rs->EOF_())
            break;
        rs->Delete();
    }
    EXPECT_EQ(QueryText(file_, "SELECT group_concat(StoreID) FROM Stores"), "2,4");
    rs->MoveFirst();
    rs->Delete();
    rs->MoveNext();
    rs->Delete();
    rs->MoveFirst();
    EXPECT_TRUE(rs->EOF_() && rs->BOF());
    EXPECT_EQ(rs->RecordCount(), 0);
}

TEST_F(RecordsetTest, FieldSetsFollowTheColumnTypes)
{
    auto rs = openTable("Stores", adLockOptimistic);
    auto rates = openTable("BaseRate", adLockOptimistic);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("ReminderBitMask") = 40000; }), vb::kErrOverflow);
    EXPECT_EQ(ErrorOf([&] { rates->Fields("Year") = "32768"; }), vb::kErrOverflow);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("InitialTerm") = "abc"; }), vb::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("InitialTerm") = ""; }), vb::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreNumber") = "12a"; }), vb::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("LeaseEndDate") = "not a date"; }), vb::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreID") = 3000000000.0; }), vb::kErrOverflow);
    // A refused value starts no edit: moving on writes nothing.
    rs->MoveNext();
    EXPECT_EQ(QueryText(file_, "SELECT count(*) FROM Stores WHERE ReminderBitMask = 7"), "2");

    rates->Fields("MonthTotal") = "$1,250.55";
    rates->Fields("YearTotal") = vb::Currency::FromRaw(150066000); // 15006.6
    rates->Fields("Year") = "2005";
    rates->Update();
    EXPECT_EQ(QueryText(file_, "SELECT MonthTotal || '|' || YearTotal || '|' || Year FROM BaseRate WHERE rowid = 1"),
              "1250.55|15006.6|2005");
    EXPECT_EQ(vb::CCur(rates->Fields("MonthTotal").Value()).Raw(), 12505500);

    rs->MoveFirst();
    rs->Fields("LeaseEndDate") = "3/15/2001";
    rs->Fields("InitialTerm") = 7.5; // rounded as CLng rounds: half to even
    rs->Fields("LandLordID") = vb::Variant::Null();
    rs->Update();
    EXPECT_EQ(QueryText(file_, "SELECT LeaseEndDate || '|' || InitialTerm || '|' || ifnull(LandLordID, 'null') "
                               "FROM Stores WHERE StoreID = 1"),
              "2001-03-15 00:00:00|8|null");
}

TEST_F(RecordsetTest, ReadOnlyResultsRefuseWrites)
{
    auto rs = openTable("Stores", adLockReadOnly);
    EXPECT_EQ(ErrorOf([&] { rs->AddNew(); }), kErrCannotUpdate);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreName") = "x"; }), kErrCannotUpdate);
    EXPECT_EQ(ErrorOf([&] { rs->Delete(); }), kErrCannotUpdate);
    auto result = query("SELECT * FROM Stores");
    EXPECT_EQ(ErrorOf([&] { result->Fields("StoreName") = "x"; }), kErrCannotUpdate);
    EXPECT_EQ(QueryText(file_, "SELECT StoreName FROM Stores WHERE StoreID = 1"), "Harbor Point");
}

TEST_F(RecordsetTest, AClosedRecordsetRaisesOnEveryUse)
{
    auto rs = openTable("Stores", adLockOptimistic);
    Field kept = rs->Fields("StoreName");
    rs->Close();
    EXPECT_EQ(rs->State(), adStateClosed);
    EXPECT_NO_THROW(rs->Close());
    const std::vector<std::function<void()>> uses = {
        [&] { rs->RecordCount(); },     [&] { rs->EOF_(); },      [&] { rs->BOF(); },
        [&] { rs->MoveFirst(); },       [&] { rs->MoveNext(); },  [&] { rs->AbsolutePosition(); },
        [&] { rs->Find("StoreID=1"); }, [&] { rs->AddNew(); },    [&] { rs->Update(); },
        [&] { rs->Delete(); },          [&] { rs->Fields(); },    [&] { rs->Fields("StoreName"); },
        [&] { kept.Value(); },          [&] { kept = "x"; },      [&] { kept.Name(); },
    };
    for (size_t i = 0; i < uses.size(); ++i)
        EXPECT_EQ(ErrorOf(uses[i]), kErrObjectClosed) << "use " << i;

    // A statement without rows gives a closed recordset.
    auto cmd = Command::Create();
    cmd->ActiveConnection(conn_);
    cmd->CommandText("UPDATE Stores SET InitialTerm = ? WHERE StoreID = ?");
    auto none = cmd->Execute({9, 1});
    EXPECT_EQ(none->State(), adStateClosed);
    EXPECT_EQ(ErrorOf([&] { none->EOF_(); }), kErrObjectClosed);
    EXPECT_EQ(QueryText(file_, "SELECT InitialTerm FROM Stores WHERE StoreID = 1"), "9");

    // Reopening the same object works; opening an open one raises 3705.
    rs->Open("Stores", conn_, -1, -1, adCmdTable);
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(ErrorOf([&] { rs->Open("Stores", conn_, -1, -1, adCmdTable); }), kErrObjectOpen);
}

TEST_F(RecordsetTest, ClosingDropsAPendingChangeAndMovingSavesIt)
{
    auto rs = openTable("Stores", adLockOptimistic);
    rs->AddNew();
    rs->Fields("StoreName") = "Never Saved";
    rs->Close();
    rs->Open("Stores", conn_, -1, -1, adCmdTable);
    rs->Fields("StoreName") = "Edited But Dropped";
    rs->Close();
    EXPECT_EQ(QueryText(file_, "SELECT count(*) FROM Stores WHERE StoreName LIKE '%Saved' OR StoreName LIKE 'Edited%'"),
              "0");

    // Moving off a changed row saves it, as ADO does.
    rs->Open("Stores", conn_, -1, -1, adCmdTable);
    rs->Fields("StoreName") = "Saved By Moving";
    rs->MoveNext();
    EXPECT_EQ(QueryText(file_, "SELECT StoreName FROM Stores WHERE StoreID = 1"), "Saved By Moving");
}

TEST_F(RecordsetTest, AnUpdateOfARowAnotherConnectionDeletedFailsCleanly)
{
    auto rs = openTable("Stores", adLockOptimistic);
    rs->Find("StoreID = 3");
    auto other = Connection::Create();
    other->Open("Data Source=" + file_.string());
    auto otherRs = Recordset::Create();
    otherRs->Open("Stores", other, adOpenDynamic, adLockOptimistic, adCmdTable);
    otherRs->Find("StoreID = 3");
    otherRs->Delete();

    rs->Fields("StoreName") = "Gone";
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), kErrRowChanged);
    EXPECT_EQ(ErrorOf([&] { rs->Delete(); }), kErrRowChanged);
    rs->Close(); // the failed change does not block the next open
    rs->Open("Stores", conn_, adOpenDynamic, adLockOptimistic, adCmdTable);
    EXPECT_EQ(rs->RecordCount(), 3);
}

TEST_F(RecordsetTest, CommandTextsAreJetSql)
{
    // A bare table name as text, as the read-only table opens use it.
    auto rs = Recordset::Create();
    rs->Open("Stores", conn_, adOpenDynamic, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(ErrorOf([&] { rs->AddNew(); }), kErrCannotUpdate);

    // Midnight of the end day is in, a later time on that day is out; the
    // bounds may be reversed.
    for (const char* sql : {"SELECT StoreID FROM Stores WHERE LeaseEndDate BETWEEN #2003-1-31# AND #2003-2-28# "
                            "ORDER BY LeaseEndDate ASC",
                            "SELECT StoreID FROM Stores WHERE LeaseEndDate BETWEEN #2/28/2003# AND #1/31/2003# "
                            "ORDER BY LeaseEndDate ASC"}) {
        auto r = query(sql);
        ASSERT_EQ(r->RecordCount(), 2) << sql;
        EXPECT_EQ(r->Fields("StoreID").Value(), vb::Variant(1));
        r->MoveNext();
        EXPECT_EQ(r->Fields("StoreID").Value(), vb::Variant(2));
    }
    // Text sorts and compares without case.
    auto sorted = query("SELECT StoreName FROM Stores ORDER BY StoreName");
    EXPECT_EQ(sorted->Fields("StoreName").Value(), vb::Variant("apple Court"));
    sorted->MoveNext();
    EXPECT_EQ(sorted->Fields("StoreName").Value(), vb::Variant("Bayview"));
    EXPECT_EQ(query("SELECT * FROM Stores WHERE StoreName = 'HARBOR POINT'")->RecordCount(), 1);
    // Back-quoted names and a comma join.
    auto joined = query("SELECT BaseRate.YearTotal, BaseRate.`Year`, Stores.StoreName FROM BaseRate, Stores "
                        "WHERE BaseRate.StoreID = Stores.StoreID AND ((BaseRate.`Year` = 2003) OR "
                        "(BaseRate.`Year` = 2004)) ORDER BY BaseRate.`Year` DESC, BaseRate.YearTotal");
    EXPECT_EQ(joined->RecordCount(), 3);
    EXPECT_EQ(joined->Fields("Year").Value(), vb::Variant(int16_t{2004}));
    EXPECT_EQ(vb::VarTypeOf(joined->Fields("YearTotal").Value()), vb::VarType::Currency);
    // An expression column has no declared type: its value's own.
    EXPECT_EQ(query("SELECT count(*) AS n FROM Stores")->Fields("n").Value(), vb::Variant(4));
}

TEST_F(RecordsetTest, ParametersAreBoundNeverSpliced)
{
    auto cmd = Command::Create();
    cmd->ActiveConnection(conn_);
    cmd->CommandText("SELECT StoreID FROM Stores WHERE StoreName = ? AND LeaseEndDate IS ?");
    auto rs = cmd->Execute({"o'brien plaza", vb::Variant::Null()});
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(4));
    // A date binds as the stored text.
    cmd->CommandText("SELECT count(*) AS n FROM Stores WHERE LeaseEndDate <= ?");
    EXPECT_EQ(cmd->Execute({vb::DateSerial(2003, 2, 28)})->Fields("n").Value(), vb::Variant(2));
    // Hostile text stays a value.
    cmd->CommandText("SELECT count(*) AS n FROM Stores WHERE StoreNumber = ?");
    EXPECT_EQ(cmd->Execute({"1 OR 1=1"})->Fields("n").Value(), vb::Variant(0));
    EXPECT_EQ(ErrorOf([&] { cmd->Execute(); }), kErrParameters);
    EXPECT_EQ(ErrorOf([&] { cmd->Execute({1, 2}); }), kErrParameters);
    // A second statement is refused, not run.
    cmd->CommandText("SELECT 1; DROP TABLE Stores");
    EXPECT_EQ(ErrorOf([&] { cmd->Execute(); }), kErrCommandText);
    EXPECT_EQ(QueryText(file_, "SELECT count(*) FROM Stores"), "4");
    // Without a connection.
    auto lonely = Command::Create();
    lonely->CommandText("Stores");
    EXPECT_EQ(ErrorOf([&] { lonely->Execute(); }), kErrConnectionInvalid);
}

namespace {

// Claims texts starting with "SHAPE", as the reports' data-shape handler will.
class FakeShapeHandler : public CommandTextHandler {
public:
    bool Claims(std::string_view text) const override { return text.starts_with("SHAPE"); }
    RowSet Run(Connection& connection, std::string_view text) override
    {
        seen = std::string(text);
        return connection.Query("SELECT StoreName FROM Stores WHERE StoreID = ?", {2});
    }
    std::string seen;
};

} // namespace

TEST_F(RecordsetTest, AnInstalledHandlerTakesTheTextsItClaims)
{
    auto handler = std::make_shared<FakeShapeHandler>();
    SetCommandTextHandler(handler);
    auto rs = Recordset::Create();
    rs->Open("SHAPE {SELECT * FROM `Landlord`}  AS cmdLandLord", conn_, -1, -1, adCmdText);
    EXPECT_EQ(handler->seen, "SHAPE {SELECT * FROM `Landlord`}  AS cmdLandLord");
    EXPECT_EQ(rs->Fields("StoreName").Value(), vb::Variant("apple Court"));
    auto cmd = Command::Create();
    cmd->ActiveConnection(conn_);
    cmd->CommandText("SHAPE {x}");
    EXPECT_EQ(cmd->Execute()->RecordCount(), 1);
    EXPECT_EQ(query("SELECT * FROM Stores")->RecordCount(), 4); // SQL is not claimed
    SetCommandTextHandler(nullptr);
    EXPECT_EQ(ErrorOf([&] { cmd->Execute(); }), kErrCommandText);
}
