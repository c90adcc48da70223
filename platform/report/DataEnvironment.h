#pragma once
// The report data environment: one connection, Connection1, and the ten
// report commands, each with its recordset ("rs" followed by the command's
// name) that the report bound to it reads when it is exported or printed.
// Command texts are Jet SQL or one of the two data-shape forms
// (DataShape.h); a command's text can be replaced before every run.
//
//   auto& de = report::DataEnvironment1();
//   de.Commands(report::kCmdBaseRate).CommandText = "SHAPE {...}  AS cmdBaseRate COMPUTE cmdBaseRate BY 'Year'";
//   ado::RecordsetPtr rs = de.Execute(report::kCmdBaseRate);   // also de.rscmdBaseRate_Grouping()

#include "platform/ado/Ado.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// The commands' 1-based indexes.
enum CommandIndex : int {
    kCmdLeaseReport = 1,
    kCmdBaseRate = 2,
    kCmdCAMRate = 3,
    kCmdTaxRate = 4,
    kCmdPerRate = 5,
    kCmdRenewal = 6,
    kCmdInsurance = 7,
    kCmdOther = 8,
    kCmdLeaseTerm = 9,
    kCmdLandLord = 10,
};

struct DECommand {
    std::string Name;
    std::string CommandText;
    // The command's recordset; closed until the command runs.
    ado::RecordsetPtr Recordset;
};

class DataEnvironment {
public:
    DataEnvironment();
    DataEnvironment(const DataEnvironment&) = delete;
    DataEnvironment& operator=(const DataEnvironment&) = delete;

    ado::ConnectionPtr Connection1;

    int CommandCount() const { return static_cast<int>(commands_.size()); }
    // By 1-based index (9 when out of range) or by name (3265 when unknown).
    DECommand& Commands(int index);
    DECommand& Commands(std::string_view name);

    // Points Connection1 at the database file, closing it first when it is
    // open on another file; it opens when a command next runs.
    void Connect(const std::filesystem::path& databaseFile);
    // Runs the command's text on Connection1 (opened from its connection
    // string when closed) into the command's recordset, closed first.
    // Failures raise the database layer's errors.
    ado::RecordsetPtr Execute(int index);

    // The recordset members.
    ado::RecordsetPtr rsLeaseReport() { return Commands(kCmdLeaseReport).Recordset; }
    ado::RecordsetPtr rscmdBaseRate_Grouping() { return Commands(kCmdBaseRate).Recordset; }
    ado::RecordsetPtr rscmdCAMRate_Grouping() { return Commands(kCmdCAMRate).Recordset; }
    ado::RecordsetPtr rscmdTaxRate_Grouping() { return Commands(kCmdTaxRate).Recordset; }
    ado::RecordsetPtr rscmdPerRate_Grouping() { return Commands(kCmdPerRate).Recordset; }
    ado::RecordsetPtr rscmdRenewal() { return Commands(kCmdRenewal).Recordset; }
    ado::RecordsetPtr rscmdInsurance() { return Commands(kCmdInsurance).Recordset; }
    ado::RecordsetPtr rscmdOther() { return Commands(kCmdOther).Recordset; }
    ado::RecordsetPtr rscmdLeaseTerm() { return Commands(kCmdLeaseTerm).Recordset; }
    ado::RecordsetPtr rscmdLandLord() { return Commands(kCmdLandLord).Recordset; }

private:
    std::vector<DECommand> commands_;
};

// The program-wide data environment, created on first use.
DataEnvironment& DataEnvironment1();
// For tests: a fresh data environment with the design-time texts.
void ResetDataEnvironment1();

// The connection string that points a connection at a database file.
std::string ConnectionStringFor(const std::filesystem::path& databaseFile);

} // namespace report
