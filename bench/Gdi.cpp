// The button's drawing layer next to QPainter doing the same work with
// antialiasing off, in the same run: filling a round rectangle and building
// its region at 120 x 40 and 400 x 200, and a one-line and a wrapped
// DrawText. The ratios (ours / QPainter, real time) are printed last.

#include "platform/gdi/Fonts.h"
#include "platform/gdi/Gdi.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr const char* kLine = "Modify button behaviour";
constexpr const char* kWrapped = "Select the pictures and animations the button shows in each of its states";

// The button's corner for Roundness 0: the longer side divided by 1.5.
int cornerFor(int w, int h)
{
    return int(std::max(w, h) / 1.5);
}

struct Canvas {
    Canvas()
    {
        screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 400, 200);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
        ReleaseDC(nullptr, screen);
    }
    HDC screen, dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

LOGFONT captionFont()
{
    LOGFONT lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    return lf;
}

void BM_RoundRectFill_Ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1)), c = cornerFor(w, h);
    Canvas canvas;
    HBRUSH brush = CreateSolidBrush(RGB(40, 90, 200));
    SelectObject(canvas.dc, brush);
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    for (auto _ : state)
        RoundRect(canvas.dc, 0, 0, w, h, c, c);
    SelectObject(canvas.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

void BM_RoundRectFill_QPainter(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1)), c = cornerFor(w, h);
    QImage image(400, 200, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 90, 40));
    for (auto _ : state)
        p.drawRoundedRect(QRectF(0, 0, w, h), c / 2.0, c / 2.0);
}

void BM_RoundRectRegion_Ours(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1)), c = cornerFor(w, h);
    for (auto _ : state) {
        HRGN r = CreateRoundRectRgn(0, 0, w, h, c, c);
        benchmark::DoNotOptimize(r);
        DeleteObject(r);
    }
}

void BM_RoundRectRegion_QPainter(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1)), c = cornerFor(w, h);
    for (auto _ : state) {
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, w, h), c / 2.0, c / 2.0);
        QRegion r(path.toFillPolygon().toPolygon());
        benchmark::DoNotOptimize(r);
    }
}

void BM_DrawText_Ours(benchmark::State& state, const char* text, UINT format)
{
    Canvas canvas;
    const LOGFONT lf = captionFont();
    HFONT font = CreateFontIndirect(&lf);
    SelectObject(canvas.dc, font);
    SetBkMode(canvas.dc, TRANSPARENT);
    for (auto _ : state) {
        RECT r{0, 0, 120, 100};
        benchmark::DoNotOptimize(DrawText(canvas.dc, text, -1, &r, format));
    }
    SelectObject(canvas.dc, GetStockObject(DEFAULT_GUI_FONT));
    DeleteObject(font);
}

void BM_DrawText_QPainter(benchmark::State& state, const char* text, int flags)
{
    QImage image(400, 200, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(gdi::FontFromLogFont(captionFont(), 96));
    p.setPen(Qt::black);
    const QString s = QString::fromUtf8(text);
    for (auto _ : state)
        p.drawText(QRect(0, 0, 120, 100), flags, s);
}

// Prints the ratio of each "/Ours" run to its "/QPainter" partner after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nours / QPainter (real time):\n");
        for (const auto& [name, ours] : times_) {
            const auto at = name.find("_Ours");
            const bool spread = name.ends_with("_stddev") || name.ends_with("_cv");
            if (at == std::string::npos || spread)
                continue;
            const std::string other = std::string(name).replace(at, 5, "_QPainter");
            const auto it = times_.find(other);
            if (it != times_.end() && it->second > 0)
                std::printf("  %-44s %6.2f\n", name.c_str(), ours / it->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (auto* b : {benchmark::RegisterBenchmark("RoundRectFill_Ours", BM_RoundRectFill_Ours),
                    benchmark::RegisterBenchmark("RoundRectFill_QPainter", BM_RoundRectFill_QPainter),
                    benchmark::RegisterBenchmark("RoundRectRegion_Ours", BM_RoundRectRegion_Ours),
                    benchmark::RegisterBenchmark("RoundRectRegion_QPainter", BM_RoundRectRegion_QPainter)})
        b->Args({120, 40})->Args({400, 200})->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DrawTextLine_Ours", BM_DrawText_Ours, kLine, DT_SINGLELINE | DT_CENTER | DT_VCENTER)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DrawTextLine_QPainter", BM_DrawText_QPainter, kLine, int(Qt::AlignCenter))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DrawTextWrapped_Ours", BM_DrawText_Ours, kWrapped, DT_WORDBREAK | DT_CENTER)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("DrawTextWrapped_QPainter", BM_DrawText_QPainter, kWrapped,
                                 int(Qt::TextWordWrap | Qt::AlignHCenter))
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
