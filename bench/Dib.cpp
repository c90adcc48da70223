// The picture object next to Qt doing the same work on the same pixels, in
// the same run: drawing a 1024 x 768 24-bit picture at 1:1 and stretched to
// twice its size onto a screen bitmap (QPainter::drawImage onto an RGB32
// image, no smoothing), and rotating it by 45 degrees (QImage::transformed,
// fast transformation). The ratios (ours / Qt, real time) are printed last.

#include "buttonlib/media/CDIB.h"

#include "bench/RatioReporter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// The picture: a different colour in nearly every pixel.
const CDIB& picture()
{
    static CDIB dib;
    if (!dib.IsValid()) {
        dib.CreateBlank(kWidth, kHeight, 24, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                dib.SetPixel(x, y, RGB(BYTE(x), BYTE(y), BYTE((x ^ y) * 3)));
    }
    return dib;
}

// The same pixels as Qt holds them: the same bytes, top row first.
const QImage& image()
{
    static QImage img;
    if (img.isNull()) {
        const CDIB& dib = picture();
        img = QImage(kWidth, kHeight, QImage::Format_BGR888);
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(img.scanLine(y), dib.GetPixelAddress(0, y), std::size_t(kWidth) * 3);
    }
    return img;
}

// A memory DC holding a screen bitmap of the size given.
struct Target {
    Target(int w, int h)
    {
        screen = GetDC(nullptr);
        dc.CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, w, h);
        old = dc.SelectObject(bitmap);
    }
    ~Target()
    {
        dc.SelectObject(old);
        dc.DeleteDC();
        DeleteObject(bitmap);
        ReleaseDC(nullptr, screen);
    }
    HDC screen;
    CDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

void BM_Draw_Ours(benchmark::State& state)
{
    CDIB& dib = const_cast<CDIB&>(picture());
    Target t(kWidth, kHeight);
    for (auto _ : state)
        dib.Draw(&t.dc, 0, 0);
}

void BM_Draw_Qt(benchmark::State& state)
{
    const QImage& src = image();
    QImage target(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&target);
    for (auto _ : state)
        p.drawImage(0, 0, src);
}

void BM_Stretch2x_Ours(benchmark::State& state)
{
    CDIB& dib = const_cast<CDIB&>(picture());
    Target t(2 * kWidth, 2 * kHeight);
    for (auto _ : state)
        dib.StretchToDC(t.dc, 0, 0, 2 * kWidth, 2 * kHeight, 0, 0, kWidth, kHeight, SRCCOPY);
}

void BM_Stretch2x_Qt(benchmark::State& state)
{
    const QImage& src = image();
    QImage target(2 * kWidth, 2 * kHeight, QImage::Format_RGB32);
    QPainter p(&target);
    for (auto _ : state)
        p.drawImage(QRect(0, 0, 2 * kWidth, 2 * kHeight), src);
}

void BM_Rotate45_Ours(benchmark::State& state)
{
    CDIB dib;
    for (auto _ : state) {
        state.PauseTiming();
        dib.Copy(picture());
        state.ResumeTiming();
        dib.Rotate(45, RGB(255, 255, 255));
    }
}

void BM_Rotate45_Qt(benchmark::State& state)
{
    const QImage& src = image();
    const QTransform turn = QTransform().rotate(45);
    for (auto _ : state)
        benchmark::DoNotOptimize(src.transformed(turn, Qt::FastTransformation));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    picture();
    image();
    for (auto* b : {benchmark::RegisterBenchmark("Draw_Ours", BM_Draw_Ours),
                    benchmark::RegisterBenchmark("Draw_Qt", BM_Draw_Qt),
                    benchmark::RegisterBenchmark("Stretch2x_Ours", BM_Stretch2x_Ours),
                    benchmark::RegisterBenchmark("Stretch2x_Qt", BM_Stretch2x_Qt),
                    benchmark::RegisterBenchmark("Rotate45_Ours", BM_Rotate45_Ours),
                    benchmark::RegisterBenchmark("Rotate45_Qt", BM_Rotate45_Qt)})
        b->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter("Qt");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
