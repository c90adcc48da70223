#include "platform/ado/Connection.h"

#include "platform/ado/AdoTesting.h"
#include "platform/ado/Recordset.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ado;
using ado::testing::ErrorOf;
using ado::testing::ErrorTextOf;

namespace {

const char* kSchema = "CREATE TABLE Stores (StoreID INTEGER PRIMARY KEY AUTOINCREMENT, StoreName TEXT);"
                      "INSERT INTO Stores (StoreName) VALUES ('Harbor Point');";

ConnectionPtr openConnection(const std::filesystem::path& file)
{
    auto conn = Connection::Create();
    conn->CursorLocation(adUseClient);
    conn->ConnectionString("PROVIDER=Microsoft.Jet.OLEDB.4.0;persist security info=False;Data Source="
                           + file.string() + ";Mode = readwrite");
    conn->Open("", "", "", -1);
    return conn;
}

RecordsetPtr openStores(const ConnectionPtr& conn, int lockType = adLockOptimistic)
{
    auto rs = Recordset::Create();
    rs->Open("Stores", conn, adOpenDynamic, lockType, adCmdTable);
    return rs;
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace

TEST(Connection, OpensTheFileTheConnectionStringNamesAndSharesItsWrites)
{
    tv::testing::TempRoot root;
    const auto file = root.ProgramFolder() / "Tallyvane.mdb";
    ado::testing::MakeDatabase(file, kSchema);
    auto first = openConnection(file);
    EXPECT_EQ(first->State(), adStateOpen);
    EXPECT_EQ(first->DataSource(), file);
    EXPECT_EQ(ado::testing::QueryText(file, "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(ErrorOf([&] { first->Open(); }), kErrObjectOpen);

    auto second = openConnection(file);
    auto reader = openStores(second, adLockReadOnly); // read before the write: a snapshot
    auto writer = openStores(first);
    writer->AddNew();
    writer->Fields("StoreName") = "Bayview";
    writer->Update();
    writer->MoveFirst();
    writer->Fields("StoreName") = "Harbor Point East";
    writer->Update();

    EXPECT_EQ(reader->RecordCount(), 1);
    auto fresh = openStores(second, adLockReadOnly);
    EXPECT_EQ(fresh->RecordCount(), 2);
    EXPECT_EQ(fresh->Fields("StoreName").Value(), vb::Variant("Harbor Point East"));

    // Closing the connection keeps what was read; writing needs it open.
    first->Close();
    EXPECT_EQ(first->State(), adStateClosed);
    EXPECT_NO_THROW(first->Close());
    EXPECT_EQ(writer->Fields("StoreName").Value(), vb::Variant("Harbor Point East"));
    writer->Fields("StoreName") = "x";
    EXPECT_EQ(ErrorOf([&] { writer->Update(); }), kErrConnectionInvalid);
    auto rs = Recordset::Create();
    EXPECT_EQ(ErrorOf([&] { rs->Open("Stores", first, -1, -1, adCmdTable); }), kErrConnectionInvalid);
}

TEST(Connection, BadFilesGiveAClearErrorNeverACrash)
{
    tv::testing::TempRoot root;
    const auto folder = root.ProgramFolder();

    // Missing: named in the message, and never created.
    const auto missing = folder / "Tallyvane.mdb";
    EXPECT_EQ(ErrorOf([&] { openConnection(missing); }), kErrProvider);
    EXPECT_NE(ErrorTextOf([&] { openConnection(missing); }).find("Tallyvane.mdb"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A folder, and a connection string without a file.
    EXPECT_EQ(ErrorOf([&] { openConnection(folder); }), kErrProvider);
    EXPECT_EQ(ErrorOf([&] { Connection::Create()->Open("Provider=x"); }), kErrProvider);

    // Not a database at all.
    const auto text = folder / "notes.mdb";
    const char header[] = "Standard Jet DB\0\0\0 this is not what we read";
    writeBytes(text, std::string(header, sizeof header - 1) + std::string(5000, 'x'));
    EXPECT_EQ(ErrorOf([&] { openConnection(text); }), kErrProvider);
    EXPECT_NE(ErrorTextOf([&] { openConnection(text); }).find("not a database"), std::string::npos);

    // A database cut short: every use fails with an error, at the latest
    // when its table is read.
    const auto cut = folder / "cut.mdb";
    std::string script = "PRAGMA page_size=1024; CREATE TABLE Stores (StoreID INTEGER PRIMARY KEY, StoreName TEXT);";
    for (int i = 0; i < 200; ++i)
        script += "INSERT INTO Stores (StoreName) VALUES ('" + std::string(100, char('a' + i % 26)) + "');";
    ado::testing::MakeDatabase(cut, script);
    const auto size = std::filesystem::file_size(cut);
    for (const auto keep : {size / 2, size_t{1500}, size_t{100}}) {
        const auto piece = folder / ("cut" + std::to_string(keep) + ".mdb");
        std::filesystem::copy_file(cut, piece);
        std::filesystem::resize_file(piece, keep);
        const int error = ErrorOf([&] {
            auto conn = openConnection(piece);
            auto rs = openStores(conn, adLockReadOnly);
            while (!rs->EOF_())
                rs->MoveNext();
        });
        EXPECT_EQ(error, kErrProvider) << keep;
    }

    // An empty file is refused at the open and left empty: it must not turn
    // into a database without tables that a later start takes as good.
    const auto empty = folder / "empty.mdb";
    writeBytes(empty, "");
    EXPECT_EQ(ErrorOf([&] { openConnection(empty); }), kErrProvider);
    EXPECT_NE(ErrorTextOf([&] { openConnection(empty); }).find("empty"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);

    // A database without the table: the open of the table says which.
    const auto tableless = folder / "tableless.mdb";
    ado::testing::MakeDatabase(tableless, "CREATE TABLE Other (x INTEGER);");
    auto conn = openConnection(tableless);
    EXPECT_EQ(ErrorOf([&] { openStores(conn); }), kErrCommandText);
    EXPECT_NE(ErrorTextOf([&] { openStores(conn); }).find("no such table: Stores"), std::string::npos);
}

TEST(Connection, ALockedFileIsWaitedForThenReported)
{
    tv::testing::TempRoot root;
    const auto file = root.ProgramFolder() / "Tallyvane.mdb";
    ado::testing::MakeDatabase(file, kSchema);
    auto conn = openConnection(file);
    auto rs = openStores(conn);

    sqlite3* other = nullptr;
    sqlite3_open(file.c_str(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    rs->Fields("StoreName") = "Waiting";
    const std::string message = ErrorTextOf([&] { rs->Update(); });
    EXPECT_NE(message.find("in use"), std::string::npos) << message;
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    rs->Update(); // the edit is still pending and now goes through
    EXPECT_EQ(ado::testing::QueryText(file, "SELECT StoreName FROM Stores"), "Waiting");
}

TEST(Connection, ATransactionKeepsItsChangesTogether)
{
    tv::testing::TempRoot root;
    const auto file = root.ProgramFolder() / "Tallyvane.mdb";
    ado::testing::MakeDatabase(file, kSchema);
    auto conn = openConnection(file);
    auto other = openConnection(file);

    // Rolled back: neither the edit through a recordset nor the statement stays.
    EXPECT_EQ(conn->BeginTrans(), 1);
    EXPECT_TRUE(conn->InTransaction());
    EXPECT_NE(ErrorOf([&] { conn->BeginTrans(); }), 0);
    auto rs = openStores(conn);
    rs->Fields("StoreName") = "Renamed";
    rs->Update();
    conn->Query("DELETE FROM Stores WHERE StoreID = ?", {vb::Variant(1L)});
    // Another connection still reads the old row meanwhile.
    EXPECT_EQ(openStores(other, adLockReadOnly)->RecordCount(), 1);
    conn->RollbackTrans();
    EXPECT_FALSE(conn->InTransaction());
    EXPECT_EQ(ado::testing::QueryText(file, "SELECT StoreName FROM Stores"), "Harbor Point");
    EXPECT_NO_THROW(conn->RollbackTrans());

    // Committed: both changes at once.
    conn->BeginTrans();
    conn->Query("INSERT INTO Stores (StoreName) VALUES (?)", {vb::Variant("Bayview")});
    conn->Query("DELETE FROM Stores WHERE StoreName = ?", {vb::Variant("Harbor Point")});
    conn->CommitTrans();
    EXPECT_EQ(ado::testing::QueryText(file, "SELECT group_concat(StoreName) FROM Stores"), "Bayview");
    EXPECT_NE(ErrorOf([&] { conn->CommitTrans(); }), 0);
}
