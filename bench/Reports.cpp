// The Base Rate report for 10,000 stores with three lease years each: the
// whole build (query text, data-shape grouping, HTML writing, temp.htm
// written), the grouped rowset alone, and the report's plain SQL alone read
// with a bare sqlite3_step loop, the floor any report stands on. Rows per second in
// items_per_second; the ratios are printed last.

#include "platform/ado/Connection.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/App.h"
#include "platform/basic/MemoryTuning.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/DataShape.h"
#include "program/reports/Mod_Report_Builder.h"
#include "program/services/ShellState.h"

#include "BenchDatabase.h"
#include "RatioReporter.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int kStores = 10000;
constexpr int kYears = 3;

ReportSettings threeYears()
{
    ReportSettings settings;
    settings.Years = "2001;2002;2003";
    settings.SortOrder = "ASC";
    return settings;
}

// The SQL the report runs: its shaped command's inner select, rewritten as
// the database layer rewrites it.
std::string plainQuery()
{
    const auto shape = report::ParseShape(Mod_Report::ReportCommandText("BASE RATE", threeYears()));
    if (!shape)
        throw std::runtime_error("the report's command is not a shaped query");
    return ado::jet::RewriteSql(shape->parentSql);
}

class BenchWorld {
public:
    BenchWorld()
    {
        vb::AppPaths::UseRoot(root_.Path());
        std::filesystem::create_directories(vb::AppPaths::ProgramFolder());
        std::filesystem::create_directories(vb::AppPaths::ConfigFolder());
        file_ = vb::AppPaths::ProgramFolder() / "Tallyvane.mdb";
        sqlite3* db = bench::CreateWithSchema(file_);
        sqlite3_stmt* store = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Stores (StoreID, StoreName, StoreNumber, City, State) VALUES (?, ?, ?, "
                               "'Springfield', 'IL')", -1, &store, nullptr);
        sqlite3_stmt* rate = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO BaseRate (StoreID, Year, MonthTotal, YearTotal) VALUES (?, ?, ?, ?)", -1,
                           &rate, nullptr);
        for (int i = 1; i <= kStores; ++i) {
            const std::string name = "Store number " + std::to_string(i);
            sqlite3_bind_int(store, 1, i);
            sqlite3_bind_text(store, 2, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(store, 3, i);
            sqlite3_step(store);
            sqlite3_reset(store);
            for (int y = 0; y < kYears; ++y) {
                const double month = 500 + (i * 37 + y * 11) % 4000 + 0.25 * (i % 4);
                sqlite3_bind_int(rate, 1, i);
                sqlite3_bind_int(rate, 2, 2001 + y);
                sqlite3_bind_double(rate, 3, month);
                sqlite3_bind_double(rate, 4, month * 12);
                sqlite3_step(rate);
                sqlite3_reset(rate);
            }
        }
        sqlite3_finalize(store);
        sqlite3_finalize(rate);
        bench::CommitAndClose(db);
        tv::Shell().g_DatabaseFileName = "Tallyvane.mdb";
    }
    const std::filesystem::path& File() const { return file_; }

private:
    bench::TempFolder root_;
    std::filesystem::path file_;
};

const BenchWorld& world()
{
    static BenchWorld w;
    return w;
}

void BM_GenerateBaseRateReport(benchmark::State& state)
{
    world();
    const ReportSettings settings = threeYears();
    for (auto _ : state) {
        std::string why;
        if (!Mod_Report::GenerateReport("BASE RATE", settings, &why)) {
            state.SkipWithError(why.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kStores * kYears);
}
BENCHMARK(BM_GenerateBaseRateReport)->Unit(benchmark::kMillisecond);

// The grouped rowset alone: the report's command run through the data
// environment, without writing HTML.
void BM_GroupedRowsetOnly(benchmark::State& state)
{
    world();
    const ReportSettings settings = threeYears();
    auto& de = report::DataEnvironment1();
    de.Commands(report::kCmdBaseRate).CommandText = Mod_Report::ReportCommandText("BASE RATE", settings);
    Mod_Report::ConnectDataEnvironment();
    for (auto _ : state)
        benchmark::DoNotOptimize(de.Execute(report::kCmdBaseRate)->RecordCount());
    state.SetItemsProcessed(state.iterations() * kStores * kYears);
}
BENCHMARK(BM_GroupedRowsetOnly)->Unit(benchmark::kMillisecond);

// The floor: the report's own SQL (the inner select as the layer rewrites
// it), prepared once on a handle opened with SQLite's fastest settings for a
// read (read-only, no mutex, sorting and the page cache in memory, the file
// mapped), stepped to the end, each column read by its own type's getter.
void BM_PlainQueryOnly(benchmark::State& state)
{
    sqlite3* db = bench::OpenFastestForReading(world().File());
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, plainQuery().c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    for (auto _ : state) {
        double sum = 0;
        int64_t numbers = 0;
        size_t chars = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            sum += sqlite3_column_double(stmt, 0);
            numbers += sqlite3_column_int(stmt, 1) + sqlite3_column_int64(stmt, 2);
            chars += static_cast<size_t>(*sqlite3_column_text(stmt, 3)) + sqlite3_column_bytes(stmt, 3);
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(numbers);
        benchmark::DoNotOptimize(chars);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kStores * kYears);
}
BENCHMARK(BM_PlainQueryOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    return bench::RunWithRatios(argc, argv,
                                {{"BM_GroupedRowsetOnly", "BM_PlainQueryOnly", "grouped rowset / plain query"},
                                 {"BM_GenerateBaseRateReport", "BM_PlainQueryOnly", "Base Rate report / plain query"}});
}
