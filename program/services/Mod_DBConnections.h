#pragma once
// The program's only way into its database: the shared connection and, per
// table, an open and a close routine that leave the table's command and
// recordset in the program-wide state (tv::Shell(): g_DBConnection,
// g_cmdStores/g_rsStores/g_StoresOpen and so on for the eight tables).
//
// Two ways to use a table:
//   read:  OpenCalInfo("ReadOnly", count);
//          s.g_cmdCalInfo->CommandText("SELECT * FROM CalInfo ORDER BY date");
//          s.g_rsCalInfo = s.g_cmdCalInfo->Execute();
//          ... walk s.g_rsCalInfo ...; CloseCalInfo();
//   edit:  OpenCalInfo("Modify", count);   // the whole table, updatable
//          s.g_rsCalInfo->Find(...), AddNew, fields, Update, Delete; CloseCalInfo();
// A routine that walks a table while others may open it again should keep
// its own copy of the RecordsetPtr: the old one is closed by the next open
// and then raises 3704 instead of walking freed rows.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_DBConnections {

// Opens g_DBConnection (client-side cursors) on the program folder's
// g_DatabaseFileName (one of Mod_tallyvane's two file names). A missing or unusable file raises the layer's error.
void OpenDatabase();

// The tables of the schema the program ships (data/schema.sql), in the order
// it creates them.
const std::vector<std::string>& SchemaTables();

// A table of the schema the open database lacks, or holds but cannot read
// whole (a damaged page).
struct TableFault {
    std::string table;
    bool missing = false;
};
// Looks for every table of the schema in the database g_DBConnection holds
// open and reads each through once; what is missing or damaged, in the
// schema's order (empty when all is sound).
std::vector<TableFault> CheckTables();

// Each open closes the table first when it is open, then opens it whole:
// mode "ReadOnly" (exactly) gives a read-only recordset and a text command
// for the caller's SELECT; any other mode ("Modify", "modify", even
// "readonly") an updatable recordset. recordCount receives the table's row
// count. A failure is raised, and the open flag stays cleared.
void OpenStores(std::string_view mode, int32_t& recordCount);
void OpenLandLord(std::string_view mode, int32_t& recordCount);
void OpenBaseRate(std::string_view mode, int32_t& recordCount);
void OpenPercentageRate(std::string_view mode, int32_t& recordCount);
void OpenCAMRate(std::string_view mode, int32_t& recordCount);
void OpenTaxRate(std::string_view mode, int32_t& recordCount);
void OpenCalInfo(std::string_view mode, int32_t& recordCount);
void OpenSales(std::string_view mode, int32_t& recordCount);

// Each close closes whatever the table's recordset holds (the table, or a
// query result a caller stored there) and clears the flag; nothing when the
// table is not open. A pending AddNew or edit is dropped.
void CloseStores();
void CloseLandLord();
void CloseBaseRate();
void ClosePercentageRate();
void CloseCAMRate();
void CloseTaxRate();
void CloseCalInfo();
void CloseSales();

} // namespace Mod_DBConnections
