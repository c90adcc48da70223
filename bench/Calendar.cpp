// The calendar refill over 10,000 reminders (three years of days, a few
// reminders a day, every kind of picture), next to the bare ordered query
// read with sqlite3_step, the floor any refill stands on: the same SQL, the
// day, text and picture columns of every row. The ratio is printed last.

#include "platform/basic/App.h"
#include "platform/basic/MemoryTuning.h"
#include "platform/forms/Form.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ShellState.h"
#include "program/shell/Mod_tallyvane_Calendar.h"
#include "program/shell/frmTallyvane.h"

#include "BenchDatabase.h"
#include "RatioReporter.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int kReminders = 10000;
constexpr int kFirstDay = 45000; // early 2023
constexpr int kDays = 3 * 365;

const char* const kQuery = "SELECT * FROM CalInfo ORDER BY date, ID";

class BenchWorld {
public:
    BenchWorld()
    {
        vb::AppPaths::UseRoot(root_.Path());
        std::filesystem::create_directories(vb::AppPaths::ProgramFolder());
        std::filesystem::create_directories(vb::AppPaths::ConfigFolder());
        file_ = vb::AppPaths::ProgramFolder() / "Tallyvane.mdb";
        sqlite3* db = bench::CreateWithSchema(file_);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO CalInfo (Date, StoreID, Type, info, Image) VALUES (?, ?, ?, ?, ?)", -1,
                           &insert, nullptr);
        for (int i = 0; i < kReminders; ++i) {
            // Spread over the days out of order, as reminders are added.
            const int day = kFirstDay + static_cast<int>((static_cast<int64_t>(i) * 7919) % kDays);
            const std::string kind = std::to_string(1 + i % 5);
            const std::string info = "Reminder for store number " + std::to_string(i % 997) + ": lease review";
            sqlite3_bind_int(insert, 1, day);
            sqlite3_bind_int(insert, 2, 1 + i % 997);
            sqlite3_bind_text(insert, 3, kind.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 4, info.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 5, kind.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        bench::CommitAndClose(db);
        tv::Shell().g_DatabaseFileName = "Tallyvane.mdb";
        Mod_DBConnections::OpenDatabase();
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

void BM_FillCalendar(benchmark::State& state)
{
    world();
    frmTallyvane::Instance(); // loaded once, outside the timing
    Mod_tallyvane::FillCalendar();
    for (auto _ : state)
        Mod_tallyvane::FillCalendar();
    state.SetItemsProcessed(state.iterations() * kReminders);
}
BENCHMARK(BM_FillCalendar)->Unit(benchmark::kMillisecond);

// The floor: the refill's query, each row's day, text and picture read.
void BM_OrderedQueryOnly(benchmark::State& state)
{
    sqlite3* db = bench::OpenAsTheLayerDoes(world().File());
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr);
        int64_t days = 0;
        size_t chars = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            days += sqlite3_column_int(stmt, 1);
            chars += static_cast<size_t>(sqlite3_column_bytes(stmt, 4));
            chars += static_cast<size_t>(sqlite3_column_bytes(stmt, 5));
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(days);
        benchmark::DoNotOptimize(chars);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kReminders);
}
BENCHMARK(BM_OrderedQueryOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rc =
        bench::RunWithRatios(argc, argv, {{"BM_FillCalendar", "BM_OrderedQueryOnly", "calendar fill / ordered query"}});
    // The windows go before the application that shows them.
    forms::ResetForms();
    tv::ResetShellState();
    return rc;
}
