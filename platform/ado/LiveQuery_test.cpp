// Read-only results walk their statement as they move; these pin that a walk
// reads exactly what a fully read result would, whatever else the
// connection does meanwhile.

#include "platform/ado/LiveQuery.h"

#include "platform/ado/AdoTesting.h"
#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ado;
using ado::testing::ErrorOf;

namespace {

const char* kSchema = R"(
CREATE TABLE Stores (StoreID INTEGER PRIMARY KEY AUTOINCREMENT, StoreName TEXT COLLATE NOCASE,
  StoreNumber INTEGER, LeaseEndDate DATETIME);
INSERT INTO Stores VALUES (1, 'Harbor Point', 12, '2003-01-31 00:00:00');
INSERT INTO Stores VALUES (2, 'Apple Court', 3, '2003-02-28 00:00:00');
INSERT INTO Stores VALUES (3, 'Bayview', 7, NULL);
INSERT INTO Stores VALUES (4, 'Elm Street', 40, NULL);
)";

class LiveWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        file_ = root_.ProgramFolder() / "Test.mdb";
        ado::testing::MakeDatabase(file_, kSchema);
        conn_ = open();
    }

    ConnectionPtr open()
    {
        auto conn = Connection::Create();
        conn->Open("Data Source=" + file_.string());
        return conn;
    }

    RecordsetPtr table(const ConnectionPtr& conn, int lockType)
    {
        auto rs = Recordset::Create();
        rs->Open("Stores", conn, adOpenDynamic, lockType, adCmdTable);
        return rs;
    }

    RecordsetPtr query(const std::string& sql)
    {
        auto cmd = Command::Create();
        cmd->ActiveConnection(conn_);
        cmd->CommandText(sql);
        return cmd->Execute();
    }

    static std::string name(const RecordsetPtr& rs) { return vb::CStr(rs->Fields("StoreName").Value()); }

    // The names from the current row to the end.
    static std::vector<std::string> rest(const RecordsetPtr& rs)
    {
        std::vector<std::string> names;
        for (; !rs->EOF_(); rs->MoveNext())
            names.push_back(name(rs));
        return names;
    }

    tv::testing::TempRoot root_;
    std::filesystem::path file_;
    ConnectionPtr conn_;
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(LiveWalk, AWalkReadsTheTableAsItWasWhileAnotherRecordsetWritesToIt)
{
    auto walk = table(conn_, adLockReadOnly);
    EXPECT_EQ(name(walk), "Harbor Point");
    walk->MoveNext();

    // Through the same connection: an edit, a new row and a deletion.
    auto edit = table(conn_, adLockOptimistic);
    edit->MoveNext();
    edit->MoveNext();
    edit->Fields("StoreName") = vb::Variant("Bayview Mall");
    edit->Update();
    edit->MoveNext();
    edit->Delete();
    edit->AddNew();
    edit->Fields("StoreName") = vb::Variant("Pine Mall");
    edit->Update();

    EXPECT_EQ(walk->RecordCount(), 4);
    EXPECT_EQ(walk->AbsolutePosition(), 2);
    EXPECT_EQ(rest(walk), (Names{"Apple Court", "Bayview", "Elm Street"}));
    EXPECT_TRUE(walk->EOF_());
    EXPECT_FALSE(walk->BOF());

    // A walk opened afterwards sees the changes; so does a second pass.
    EXPECT_EQ(rest(table(conn_, adLockReadOnly)), (Names{"Harbor Point", "Apple Court", "Bayview Mall", "Pine Mall"}));
    walk->MoveFirst();
    EXPECT_EQ(rest(walk), (Names{"Harbor Point", "Apple Court", "Bayview Mall", "Pine Mall"}));
}

TEST_F(LiveWalk, CommandsAndTransactionsDuringAWalkLeaveItsRowsAlone)
{
    auto walk = query("SELECT StoreName, StoreNumber FROM Stores WHERE StoreNumber > 5 ORDER BY StoreNumber");
    EXPECT_EQ(walk->RecordCount(), 3);
    EXPECT_EQ(name(walk), "Bayview");
    conn_->BeginTrans();
    query("UPDATE Stores SET StoreNumber = 1 WHERE StoreID = 4");
    query("DELETE FROM Stores WHERE StoreID = 1");
    conn_->CommitTrans();
    EXPECT_EQ(rest(walk), (Names{"Bayview", "Harbor Point", "Elm Street"}));
    EXPECT_EQ(query("SELECT count(*) AS n FROM Stores")->Fields("n").Value(), vb::Variant(3));
}

TEST_F(LiveWalk, PositionsCountsAndFindFollowTheWalk)
{
    auto rs = table(conn_, adLockReadOnly);
    EXPECT_FALSE(rs->BOF());
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_EQ(rs->RecordCount(), 4);
    rs->Find("StoreNumber = 7");
    EXPECT_EQ(name(rs), "Bayview");
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    rs->Find("StoreID = 1"); // behind the current row
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(rs->AbsolutePosition(), adPosEOF);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), kErrNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreName").Value(); }), kErrNoCurrentRecord);
    EXPECT_EQ(rs->RecordCount(), 4);
    rs->MoveFirst();
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    rs->Find("StoreName = 'elm street'");
    EXPECT_EQ(rs->Fields("StoreID").Value(), vb::Variant(4));
    EXPECT_EQ(ErrorOf([&] { rs->Fields("StoreName") = vb::Variant("x"); }), kErrCannotUpdate);
    EXPECT_EQ(ErrorOf([&] { rs->AddNew(); }), kErrCannotUpdate);

    // Two walks side by side on one connection.
    auto a = table(conn_, adLockReadOnly);
    auto b = query("SELECT * FROM Stores ORDER BY StoreNumber");
    Names both;
    for (; !a->EOF_() && !b->EOF_(); a->MoveNext(), b->MoveNext())
        both.push_back(name(a) + "/" + name(b));
    EXPECT_EQ(both, (Names{"Harbor Point/Apple Court", "Apple Court/Bayview", "Bayview/Harbor Point",
                           "Elm Street/Elm Street"}));
}

TEST_F(LiveWalk, AWalkLeftHalfWayHoldsNoLockAndSurvivesItsConnection)
{
    auto walk = table(conn_, adLockReadOnly);
    walk->MoveNext();

    // Another program writes meanwhile, and the walk still reads the rows
    // of its own start.
    auto other = open();
    auto write = table(other, adLockOptimistic);
    write->Fields("StoreName") = vb::Variant("Harbor Point East");
    write->Update();
    write->Close();
    EXPECT_EQ(rest(table(other, adLockReadOnly)).front(), "Harbor Point East");

    auto closedEarly = table(conn_, adLockReadOnly);
    closedEarly->Close();
    EXPECT_EQ(ErrorOf([&] { closedEarly->MoveNext(); }), kErrObjectClosed);

    conn_->Close();
    EXPECT_EQ(rest(walk), (Names{"Apple Court", "Bayview", "Elm Street"}));
    EXPECT_EQ(walk->RecordCount(), 4);
    walk.reset();
    other->Close();
}

TEST_F(LiveWalk, AStatementThatWritesRunsWholeAtOnce)
{
    auto rs = Recordset::Create();
    rs->Open("DELETE FROM Stores WHERE StoreID > 2", conn_);
    EXPECT_EQ(query("SELECT count(*) AS n FROM Stores")->Fields("n").Value(), vb::Variant(2));
    auto cmd = Command::Create();
    cmd->ActiveConnection(conn_);
    cmd->CommandText("INSERT INTO Stores (StoreName) VALUES (?)");
    EXPECT_EQ(cmd->Execute({vb::Variant("Oak Plaza")})->State(), adStateClosed);
    EXPECT_EQ(rest(table(conn_, adLockReadOnly)), (Names{"Harbor Point", "Apple Court", "Oak Plaza"}));
}
