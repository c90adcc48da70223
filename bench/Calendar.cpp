// The calendar refill over 10,000 reminders (three years of days around
// today, a few reminders a day, every kind of picture) with the main window
// shown, so that the refill repaints it, next to its floor: the same ordered
// query prepared once on a handle with SQLite's fastest read settings, the
// day, text and picture of every row read and the texts of the days in view
// gathered, then those days' texts painted with QPainter into cells of the
// calendar's size. The ratio is printed last.

#include "platform/basic/App.h"
#include "platform/basic/MemoryTuning.h"
#include "platform/basic/DateTime.h"
#include "platform/controls/ctCalendar.h"
#include "platform/forms/Form.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ShellState.h"
#include "program/shell/Mod_tallyvane_Calendar.h"
#include "program/shell/frmTallyvane.h"

#include "BenchDatabase.h"
#include "RatioReporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int kReminders = 10000;
constexpr int kDays = 3 * 365;
constexpr int kWeeksShown = 6;

// The reminders spread over the year and a half either side of today, so
// that the weeks the window shows have theirs.
int32_t firstDay()
{
    return controls::ctCalendar::DayOfDate(vb::Today()) - kDays / 2;
}

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
            const int day = firstDay() + static_cast<int>((static_cast<int64_t>(i) * 7919) % kDays);
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
    frmTallyvane& form = frmTallyvane::Instance(); // loaded and shown once, outside the timing
    // A window paints only once the window system has exposed it.
    QWindow* window = form.ctCalendar1.Widget()->window()->windowHandle();
    QElapsedTimer waited;
    waited.start();
    while ((!window || !window->isExposed()) && waited.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        window = form.ctCalendar1.Widget()->window()->windowHandle();
    }
    if (!window || !window->isExposed() || !form.ctCalendar1.Widget()->isVisible()) {
        state.SkipWithError("the calendar is not shown");
        return;
    }
    Mod_tallyvane::FillCalendar();
    for (auto _ : state)
        Mod_tallyvane::FillCalendar();
    state.SetItemsProcessed(state.iterations() * kReminders);
}
BENCHMARK(BM_FillCalendar)->Unit(benchmark::kMillisecond);

// The floor: the refill's query, each row's day, text and picture read, the
// texts of the weeks in view kept, and those days' texts drawn into their
// cells on an image of the calendar's size.
void BM_OrderedQueryAndPaint(benchmark::State& state)
{
    world();
    const controls::ctCalendar& calendar = frmTallyvane::Instance().ctCalendar1;
    const int32_t top = calendar.TopDay();
    const QSize size = calendar.Widget()->size();
    const QFont font = calendar.Widget()->font();
    sqlite3* db = bench::OpenFastestForReading(world().File());
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, kQuery, -1, &stmt, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        std::array<QString, 7 * kWeeksShown> texts;
        int64_t pictures = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const int32_t day = sqlite3_column_int(stmt, 1);
            const auto* info = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 4));
            const int infoBytes = sqlite3_column_bytes(stmt, 4);
            pictures += *sqlite3_column_text(stmt, 5);
            if (day >= top && day < top + 7 * kWeeksShown) {
                QString& text = texts[static_cast<size_t>(day - top)];
                if (!text.isEmpty())
                    text += QLatin1Char('\n');
                text += QString::fromUtf8(info, infoBytes);
            }
        }
        sqlite3_reset(stmt);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        for (int r = 0; r < kWeeksShown; ++r) {
            for (int c = 0; c < 7; ++c) {
                const QRect cell(size.width() * c / 7, size.height() * r / kWeeksShown, size.width() / 7,
                                 size.height() / kWeeksShown);
                p.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                           texts[static_cast<size_t>(r * 7 + c)]);
            }
        }
        p.end();
        benchmark::DoNotOptimize(pictures);
        benchmark::DoNotOptimize(image.constBits());
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kReminders);
}
BENCHMARK(BM_OrderedQueryAndPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rc =
        bench::RunWithRatios(argc, argv, {{"BM_FillCalendar", "BM_OrderedQueryAndPaint", "shown calendar fill / ordered query and paint"}});
    // The windows go before the application that shows them.
    forms::ResetForms();
    tv::ResetShellState();
    return rc;
}
