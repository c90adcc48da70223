// The database layer's cost over SQLite: open the Stores table (10,000 rows,
// the shipped schema) as the table routines do and walk it reading three
// fields per row (and, again, every field), next to a plain sqlite3_step loop
// over the same SQL, rows and columns on a handle opened as the layer opens
// its own, the floor any layer stands on. Rows per second in
// items_per_second; the ratios are printed last.

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/MemoryTuning.h"

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

constexpr int kRows = 10000;

// A database with the shipped schema and kRows stores, made once.
class BenchDatabase {
public:
    BenchDatabase() : file_(folder_.Path() / "Tallyvane.mdb")
    {
        sqlite3* db = bench::CreateWithSchema(file_);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Stores (StoreName, StoreNumber, City, State, LeaseEndDate, InitialTerm, "
                           "ReminderBitMask, LandLordID) VALUES (?, ?, 'Springfield', 'IL', ?, 5, 7, 1)",
                           -1, &insert, nullptr);
        for (int i = 0; i < kRows; ++i) {
            const std::string name = "Store number " + std::to_string(i);
            const std::string date = "20" + std::to_string(10 + i % 20) + "-0" + std::to_string(1 + i % 9) + "-15 00:00:00";
            sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 2, i);
            sqlite3_bind_text(insert, 3, date.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        bench::CommitAndClose(db);
    }
    const std::filesystem::path& File() const { return file_; }

private:
    bench::TempFolder folder_;
    std::filesystem::path file_;
};

const BenchDatabase& database()
{
    static BenchDatabase db;
    return db;
}

// Open the whole table, walk it, read StoreName, StoreNumber, LeaseEndDate
// (or every field).
void walkRecordset(benchmark::State& state, int lockType, bool everyField = false)
{
    auto conn = ado::Connection::Create();
    conn->CursorLocation(ado::adUseClient);
    conn->Open("Data Source=" + database().File().string());
    int64_t rows = 0;
    for (auto _ : state) {
        auto rs = ado::Recordset::Create();
        rs->Open("Stores", conn, ado::adOpenDynamic, lockType, ado::adCmdTable);
        const int fields = rs->Fields().Count();
        for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
            if (everyField) {
                for (int c = 0; c < fields; ++c)
                    benchmark::DoNotOptimize(rs->Fields(c).Value());
                ++rows;
                continue;
            }
            benchmark::DoNotOptimize(rs->Fields("StoreName").Value());
            benchmark::DoNotOptimize(rs->Fields("StoreNumber").Value());
            benchmark::DoNotOptimize(rs->Fields("LeaseEndDate").Value());
            ++rows;
        }
        rs->Close();
    }
    state.SetItemsProcessed(rows);
}

void BM_RecordsetWalkReadOnly(benchmark::State& state)
{
    walkRecordset(state, ado::adLockReadOnly);
}
BENCHMARK(BM_RecordsetWalkReadOnly)->Unit(benchmark::kMillisecond);

void BM_RecordsetWalkUpdatable(benchmark::State& state)
{
    walkRecordset(state, ado::adLockOptimistic);
}
BENCHMARK(BM_RecordsetWalkUpdatable)->Unit(benchmark::kMillisecond);

void BM_RecordsetWalkReadOnlyAllFields(benchmark::State& state)
{
    walkRecordset(state, ado::adLockReadOnly, true);
}
BENCHMARK(BM_RecordsetWalkReadOnlyAllFields)->Unit(benchmark::kMillisecond);

// The floor: the same rows and columns straight from sqlite3_step.
void BM_SqliteStepFloor(benchmark::State& state)
{
    sqlite3* db = bench::OpenAsTheLayerDoes(database().File());
    int64_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM Stores ORDER BY rowid", -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 1));
            benchmark::DoNotOptimize(sqlite3_column_int(stmt, 2));
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 16));
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_SqliteStepFloor)->Unit(benchmark::kMillisecond);

// The same loop reading every column: the floor of a walk that reads every
// field, and what a client-side recordset copies at open.
void BM_SqliteStepAllColumns(benchmark::State& state)
{
    sqlite3* db = bench::OpenAsTheLayerDoes(database().File());
    int64_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM Stores ORDER BY rowid", -1, &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                    benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                else
                    benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c));
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_SqliteStepAllColumns)->Unit(benchmark::kMillisecond);

// A Find that runs to the last row, as the editing routines search a table.
void BM_RecordsetFindLastRow(benchmark::State& state)
{
    auto conn = ado::Connection::Create();
    conn->Open("Data Source=" + database().File().string());
    auto rs = ado::Recordset::Create();
    rs->Open("Stores", conn, ado::adOpenDynamic, ado::adLockOptimistic, ado::adCmdTable);
    int64_t rows = 0;
    for (auto _ : state) {
        rs->MoveFirst();
        rs->Find("StoreNumber = " + std::to_string(kRows - 1));
        benchmark::DoNotOptimize(rs->AbsolutePosition());
        rows += kRows;
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_RecordsetFindLastRow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    return bench::RunWithRatios(argc, argv,
                                {{"BM_RecordsetWalkReadOnly", "BM_SqliteStepFloor", "read-only walk, 3 fields / step loop"},
                                 {"BM_RecordsetWalkUpdatable", "BM_SqliteStepFloor", "updatable walk, 3 fields / step loop"},
                                 {"BM_RecordsetWalkReadOnlyAllFields", "BM_SqliteStepAllColumns",
                                  "read-only walk, every field / step loop"}});
}
