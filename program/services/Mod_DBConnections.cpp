#include "program/services/Mod_DBConnections.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/JetSql.h"
#include "platform/basic/App.h"
#include "platform/basic/Strings.h"
#include "program/services/ShellState.h"

#include <set>

namespace Mod_DBConnections {

namespace {

// One table's name and its program-wide objects.
struct Table {
    const char* name;
    ado::CommandPtr tv::ShellState::*command;
    ado::RecordsetPtr tv::ShellState::*recordset;
    bool tv::ShellState::*open;
};

constexpr Table kStores{"Stores", &tv::ShellState::g_cmdStores, &tv::ShellState::g_rsStores,
                        &tv::ShellState::g_StoresOpen};
constexpr Table kLandLord{"LandLord", &tv::ShellState::g_cmdLandLord, &tv::ShellState::g_rsLandLord,
                          &tv::ShellState::g_LandLordOpen};
constexpr Table kBaseRate{"BaseRate", &tv::ShellState::g_cmdBaseRate, &tv::ShellState::g_rsBaseRate,
                          &tv::ShellState::g_BaseRateOpen};
constexpr Table kPercentageRate{"PercentageRate", &tv::ShellState::g_cmdPercentageRate,
                                &tv::ShellState::g_rsPercentageRate, &tv::ShellState::g_PercentageRateOpen};
constexpr Table kCAMRate{"CAMRate", &tv::ShellState::g_cmdCAMRate, &tv::ShellState::g_rsCAMRate,
                         &tv::ShellState::g_CAMRateOpen};
constexpr Table kTaxRate{"TaxRate", &tv::ShellState::g_cmdTaxRate, &tv::ShellState::g_rsTaxRate,
                         &tv::ShellState::g_TaxRateOpen};
constexpr Table kCalInfo{"CalInfo", &tv::ShellState::g_cmdCalInfo, &tv::ShellState::g_rsCalInfo,
                         &tv::ShellState::g_CalInfoOpen};
constexpr Table kSales{"Sales", &tv::ShellState::g_cmdSales, &tv::ShellState::g_rsSales,
                       &tv::ShellState::g_SalesOpen};

void closeTable(const Table& t)
{
    tv::ShellState& s = tv::Shell();
    if (!(s.*t.open))
        return;
    if (const ado::RecordsetPtr& rs = s.*t.recordset)
        rs->Close();
    s.*t.open = false;
}

void openTable(const Table& t, std::string_view mode, int32_t& recordCount)
{
    tv::ShellState& s = tv::Shell();
    if (s.*t.open)
        closeTable(t);
    // The comparison is exact: "readonly" opens the table updatable.
    const bool readOnly = mode == "ReadOnly";

    auto command = ado::Command::Create();
    command->ActiveConnection(s.g_DBConnection);
    command->CommandType(readOnly ? ado::adCmdText : ado::adCmdTable);
    command->CommandText(t.name);
    s.*t.command = command;

    auto recordset = ado::Recordset::Create();
    recordset->CursorType(ado::adOpenDynamic);
    recordset->LockType(readOnly ? ado::adLockReadOnly : ado::adLockOptimistic);
    s.*t.recordset = recordset;
    recordset->Open(t.name, s.g_DBConnection, ado::adOpenUnspecified, ado::adLockUnspecified,
                    command->CommandType());

    recordCount = recordset->RecordCount();
    s.*t.open = true;
}

} // namespace

void OpenDatabase()
{
    tv::ShellState& s = tv::Shell();
    s.g_DBConnection = ado::Connection::Create();
    s.g_DBConnection->CursorLocation(ado::adUseClient);
    s.g_DBConnection->ConnectionString("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + vb::App::Path() + "/"
                                       + s.g_DatabaseFileName);
    s.g_DBConnection->Open("", "", "", -1);
}

const std::vector<std::string>& SchemaTables()
{
    // The build takes the names from the CREATE TABLE lines of the schema.
    static const std::vector<std::string> tables{TV_SCHEMA_TABLES};
    return tables;
}

std::vector<TableFault> CheckTables()
{
    ado::Connection& db = *tv::Shell().g_DBConnection;
    std::vector<TableFault> faults;
    std::set<std::string> present;
    try {
        const ado::RowSet names = db.Query("SELECT name FROM sqlite_master WHERE type = 'table'");
        for (size_t row = 0; row < names.RowCount(); ++row)
            present.insert(vb::UCase(std::string(names.View(row, 0).text)));
    } catch (const vb::RuntimeError&) {
        // Not even the list of tables reads: none of them can be used.
        for (const std::string& table : SchemaTables())
            faults.push_back({table, false});
        return faults;
    }
    for (const std::string& table : SchemaTables()) {
        // Names compare without case, as SQL compares them.
        if (!present.contains(vb::UCase(table))) {
            faults.push_back({table, true});
            continue;
        }
        // Every page of the table and its indexes, read once.
        try {
            const ado::RowSet check = db.Query("PRAGMA quick_check(" + ado::jet::QuoteIdentifier(table) + ")");
            if (check.RowCount() != 1 || check.View(0, 0).text != "ok")
                faults.push_back({table, false});
        } catch (const vb::RuntimeError&) {
            faults.push_back({table, false});
        }
    }
    return faults;
}

void OpenStores(std::string_view mode, int32_t& recordCount) { openTable(kStores, mode, recordCount); }
void OpenLandLord(std::string_view mode, int32_t& recordCount) { openTable(kLandLord, mode, recordCount); }
void OpenBaseRate(std::string_view mode, int32_t& recordCount) { openTable(kBaseRate, mode, recordCount); }
void OpenPercentageRate(std::string_view mode, int32_t& recordCount)
{
    openTable(kPercentageRate, mode, recordCount);
}
void OpenCAMRate(std::string_view mode, int32_t& recordCount) { openTable(kCAMRate, mode, recordCount); }
void OpenTaxRate(std::string_view mode, int32_t& recordCount) { openTable(kTaxRate, mode, recordCount); }
void OpenCalInfo(std::string_view mode, int32_t& recordCount) { openTable(kCalInfo, mode, recordCount); }
void OpenSales(std::string_view mode, int32_t& recordCount) { openTable(kSales, mode, recordCount); }

void CloseStores() { closeTable(kStores); }
void CloseLandLord() { closeTable(kLandLord); }
void CloseBaseRate() { closeTable(kBaseRate); }
void ClosePercentageRate() { closeTable(kPercentageRate); }
void CloseCAMRate() { closeTable(kCAMRate); }
void CloseTaxRate() { closeTable(kTaxRate); }
void CloseCalInfo() { closeTable(kCalInfo); }
void CloseSales() { closeTable(kSales); }

} // namespace Mod_DBConnections
