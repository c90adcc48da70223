#include "program/services/Mod_DBConnections.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/testing/TempRoot.h"
#include "program/services/Mod_tallyvane_Values.h"
#include "program/services/ServicesTestSupport.h"
#include "program/services/ShellState.h"
#include "tools/DatabaseBuilder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Mod_DBConnections;
using Mod_tallyvane::kDatabaseFileName;
using Mod_tallyvane::kExampleDatabaseFileName;

namespace {

int errorOf(const std::function<void()>& statement)
{
    try {
        statement();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

// One table's routines and program-wide objects.
struct TableCase {
    const char* name;
    void (*open)(std::string_view, int32_t&);
    void (*close)();
    ado::CommandPtr tv::ShellState::*command;
    ado::RecordsetPtr tv::ShellState::*recordset;
    bool tv::ShellState::*flag;
    int32_t exampleRows;
};

const std::vector<TableCase> kTables = {
    {"Stores", OpenStores, CloseStores, &tv::ShellState::g_cmdStores, &tv::ShellState::g_rsStores,
     &tv::ShellState::g_StoresOpen, 12},
    {"LandLord", OpenLandLord, CloseLandLord, &tv::ShellState::g_cmdLandLord, &tv::ShellState::g_rsLandLord,
     &tv::ShellState::g_LandLordOpen, 4},
    {"BaseRate", OpenBaseRate, CloseBaseRate, &tv::ShellState::g_cmdBaseRate, &tv::ShellState::g_rsBaseRate,
     &tv::ShellState::g_BaseRateOpen, 111},
    {"PercentageRate", OpenPercentageRate, ClosePercentageRate, &tv::ShellState::g_cmdPercentageRate,
     &tv::ShellState::g_rsPercentageRate, &tv::ShellState::g_PercentageRateOpen, 111},
    {"CAMRate", OpenCAMRate, CloseCAMRate, &tv::ShellState::g_cmdCAMRate, &tv::ShellState::g_rsCAMRate,
     &tv::ShellState::g_CAMRateOpen, 111},
    {"TaxRate", OpenTaxRate, CloseTaxRate, &tv::ShellState::g_cmdTaxRate, &tv::ShellState::g_rsTaxRate,
     &tv::ShellState::g_TaxRateOpen, 111},
    {"CalInfo", OpenCalInfo, CloseCalInfo, &tv::ShellState::g_cmdCalInfo, &tv::ShellState::g_rsCalInfo,
     &tv::ShellState::g_CalInfoOpen, 52},
    {"Sales", OpenSales, CloseSales, &tv::ShellState::g_cmdSales, &tv::ShellState::g_rsSales,
     &tv::ShellState::g_SalesOpen, 48},
};

class DBConnections : public ::testing::Test {
protected:
    void SetUp() override
    {
        tv::ResetShellState();
        const std::filesystem::path data = TV_DATA_DIR;
        const std::string schema = tv::tools::ReadTextFile(data / "schema.sql");
        tv::tools::BuildDatabase(root_.ProgramFolder() / kDatabaseFileName, schema, std::nullopt, {2025, 6, 15});
        tv::tools::BuildDatabase(root_.ProgramFolder() / kExampleDatabaseFileName, schema,
                                 tv::tools::ReadTextFile(data / "example.sql"), {2025, 6, 15});
        tv::Shell().g_DatabaseFileName = kExampleDatabaseFileName;
    }
    void TearDown() override { tv::ResetShellState(); }

    tv::testing::TempRoot root_;
};

} // namespace

TEST_F(DBConnections, OpenDatabaseOpensTheChosenFileOfTheProgramFolder)
{
    OpenDatabase();
    tv::ShellState& s = tv::Shell();
    ASSERT_TRUE(s.g_DBConnection);
    EXPECT_EQ(s.g_DBConnection->State(), ado::adStateOpen);
    EXPECT_EQ(s.g_DBConnection->CursorLocation(), ado::adUseClient);
    EXPECT_EQ(s.g_DBConnection->DataSource(), root_.ProgramFolder() / kExampleDatabaseFileName);
    int32_t count = -1;
    OpenStores("ReadOnly", count);
    EXPECT_EQ(count, 12);
    CloseStores();

    // The empty database: every table opens with a count of 0.
    s.g_DatabaseFileName = kDatabaseFileName;
    OpenDatabase();
    for (const auto& t : kTables) {
        count = -1;
        t.open("Modify", count);
        EXPECT_EQ(count, 0) << t.name;
        EXPECT_TRUE((s.*t.recordset)->EOF_());
        t.close();
    }

    // A missing file: the layer's error, naming the file; nothing created.
    s.g_DatabaseFileName = "Gone.mdb";
    EXPECT_EQ(errorOf(OpenDatabase), ado::kErrProvider);
    EXPECT_FALSE(std::filesystem::exists(root_.ProgramFolder() / "Gone.mdb"));
}

TEST_F(DBConnections, ReadOnlyOpensLeaveACommandForTheCallersQuery)
{
    OpenDatabase();
    tv::ShellState& s = tv::Shell();
    for (const auto& t : kTables) {
        int32_t count = -1;
        t.open("ReadOnly", count);
        EXPECT_EQ(count, t.exampleRows) << t.name;
        EXPECT_TRUE(s.*t.flag);
        const ado::CommandPtr& cmd = s.*t.command;
        EXPECT_EQ(cmd->CommandType(), ado::adCmdText);
        EXPECT_EQ(cmd->CommandText(), t.name);
        EXPECT_EQ(cmd->ActiveConnection(), s.g_DBConnection);
        EXPECT_EQ((s.*t.recordset)->LockType(), ado::adLockReadOnly);
        EXPECT_EQ(errorOf([&] { (s.*t.recordset)->AddNew(); }), ado::kErrCannotUpdate);

        // The caller's query replaces the recordset; the close closes that one.
        cmd->CommandText(std::string("SELECT * FROM ") + t.name + " WHERE 1 = 0");
        s.*t.recordset = cmd->Execute();
        ado::RecordsetPtr result = s.*t.recordset;
        EXPECT_EQ(result->RecordCount(), 0);
        t.close();
        EXPECT_FALSE(s.*t.flag);
        EXPECT_EQ(result->State(), ado::adStateClosed) << t.name;
    }
}

TEST_F(DBConnections, OtherModesOpenTheWholeTableUpdatable)
{
    OpenDatabase();
    tv::ShellState& s = tv::Shell();
    for (const char* mode : {"Modify", "modify", "readonly", ""}) {
        int32_t count = -1;
        OpenCalInfo(mode, count);
        EXPECT_EQ(s.g_cmdCalInfo->CommandType(), ado::adCmdTable) << mode;
        EXPECT_EQ(s.g_rsCalInfo->LockType(), ado::adLockOptimistic);
        s.g_rsCalInfo->MoveFirst();
        s.g_rsCalInfo->Find("ID=1");
        s.g_rsCalInfo->Fields("info") = std::string("Renewal: ") + mode;
        s.g_rsCalInfo->Update();
        CloseCalInfo();
    }
    int32_t count = 0;
    OpenCalInfo("ReadOnly", count);
    s.g_cmdCalInfo->CommandText("SELECT * FROM CalInfo WHERE ID = 1");
    s.g_rsCalInfo = s.g_cmdCalInfo->Execute();
    EXPECT_EQ(s.g_rsCalInfo->Fields("info").Value(), vb::Variant("Renewal: "));
    CloseCalInfo();
}

TEST_F(DBConnections, ASecondOpenClosesTheFirstAndACloseOfAClosedTableDoesNothing)
{
    OpenDatabase();
    tv::ShellState& s = tv::Shell();
    for (const auto& t : kTables)
        EXPECT_NO_THROW(t.close()) << t.name;

    int32_t count = 0;
    OpenStores("ReadOnly", count);
    const ado::RecordsetPtr walking = s.g_rsStores; // a routine's own copy
    const ado::CommandPtr firstCommand = s.g_cmdStores;
    walking->MoveNext();
    OpenStores("Modify", count);
    EXPECT_TRUE(s.g_StoresOpen);
    EXPECT_NE(s.g_rsStores, walking);
    EXPECT_NE(s.g_cmdStores, firstCommand);
    EXPECT_EQ(walking->State(), ado::adStateClosed);
    EXPECT_EQ(errorOf([&] { walking->MoveNext(); }), ado::kErrObjectClosed);
    EXPECT_EQ(s.g_rsStores->RecordCount(), 12);

    CloseStores();
    const ado::CommandPtr kept = s.g_cmdStores;
    CloseStores();
    EXPECT_FALSE(s.g_StoresOpen);
    EXPECT_EQ(s.g_cmdStores, kept); // the command stays until the next open
}

TEST_F(DBConnections, AFailedSaveDoesNotBlockTheNextOpen)
{
    OpenDatabase();
    tv::ShellState& s = tv::Shell();
    int32_t count = 0;
    OpenStores("Modify", count);
    s.g_rsStores->AddNew();
    s.g_rsStores->Fields("StoreName") = "Half Saved";
    EXPECT_EQ(errorOf([&] { s.g_rsStores->Fields("InitialTerm") = "abc"; }), vb::kErrTypeMismatch);
    // The save gave up here; its table stays open until the next open closes it.
    OpenStores("Modify", count);
    EXPECT_EQ(count, 12);
    s.g_rsStores->MoveFirst();
    s.g_rsStores->Find("StoreName = 'Half Saved'");
    EXPECT_TRUE(s.g_rsStores->EOF_());
    CloseStores();
}

TEST_F(DBConnections, AFailedOpenLeavesTheFlagCleared)
{
    tv::ShellState& s = tv::Shell();
    int32_t count = 7;
    EXPECT_EQ(errorOf([&] { OpenSales("ReadOnly", count); }), ado::kErrConnectionInvalid); // no OpenDatabase yet
    EXPECT_FALSE(s.g_SalesOpen);
    EXPECT_EQ(count, 7);

    // A file that lacks a table.
    const auto lacking = root_.ProgramFolder() / "Lacking.mdb";
    tv::tools::BuildDatabase(lacking, "CREATE TABLE Stores (StoreID INTEGER PRIMARY KEY);", std::nullopt,
                             {2025, 6, 15});
    s.g_DatabaseFileName = "Lacking.mdb";
    OpenDatabase();
    OpenStores("Modify", count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(errorOf([&] { OpenSales("Modify", count); }), ado::kErrCommandText);
    EXPECT_FALSE(s.g_SalesOpen);
    EXPECT_NO_THROW(CloseSales());
    EXPECT_TRUE(s.g_StoresOpen);
}

// The start looks for every table of the shipped schema, by name without
// case, and reads each through: what is missing or damaged is named.
TEST_F(DBConnections, CheckTablesNamesTheTablesMissingOrDamaged)
{
    std::vector<std::string> names;
    for (const auto& t : kTables)
        names.push_back(t.name);
    std::vector<std::string> schema = SchemaTables();
    std::sort(names.begin(), names.end());
    std::sort(schema.begin(), schema.end());
    EXPECT_EQ(schema, names);

    tv::ShellState& s = tv::Shell();
    const auto file = root_.ProgramFolder() / kExampleDatabaseFileName;
    auto faultsAfter = [&](const std::string& change) {
        if (s.g_DBConnection)
            s.g_DBConnection->Close();
        if (!change.empty())
            tv::testing::OnDatabaseFile(file, change);
        OpenDatabase();
        std::vector<std::string> told;
        for (const TableFault& f : CheckTables())
            told.push_back(f.table + (f.missing ? " missing" : " damaged"));
        return told;
    };
    EXPECT_EQ(faultsAfter(""), std::vector<std::string>{});
    EXPECT_EQ(faultsAfter("ALTER TABLE Sales RENAME TO t; ALTER TABLE t RENAME TO sales"), std::vector<std::string>{});
    EXPECT_EQ(faultsAfter("DROP TABLE Stores"), std::vector<std::string>{"Stores missing"});
    EXPECT_EQ(faultsAfter("DROP TABLE CalInfo; DROP TABLE BaseRate"),
              (std::vector<std::string>{"Stores missing", "BaseRate missing", "CalInfo missing"}));

    // A damaged page: the table is there, its rows cannot all be read.
    const auto empty = root_.ProgramFolder() / kDatabaseFileName;
    s.g_DBConnection->Close();
    std::filesystem::copy_file(empty, file, std::filesystem::copy_options::overwrite_existing);
    tv::testing::OnDatabaseFile(file, "INSERT INTO Stores (StoreName, StoreNumber) VALUES ('North', 1)");
    tv::testing::DamageTable(file, "Stores");
    EXPECT_EQ(faultsAfter(""), std::vector<std::string>{"Stores damaged"});
    s.g_DBConnection->Close();
}
