// The button's paint from its cached faces (face, clip, picture and texts
// over it, copied out through a memory DC) next to QPainter drawing an image
// of the same face and the same caption text, in the same run, at 120 x 40
// and 400 x 200.
// The ratios (ours / QPainter) are printed last.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiDraw.h"
#include "platform/gdi/GdiTestSupport.h"
#include "platform/mfc/CWinApp.h"

#include "bench/RatioReporter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// A button of the size, captioned, painted once into a canvas of its own so
// that its faces are built.
struct PaintedButton {
    PaintedButton(int w, int h) : canvas(w, h)
    {
        AfxInitModule();
        button = new CLumvexCtrl();
        hold = com::ComPtr<IUnknown>::Attach(button->GetControllingUnknown());
        button->SetText("Next Tip");
        button->m_rcButton = RECT{0, 0, w, h};
        item.hDC = canvas.dc();
        item.rcItem = button->m_rcButton;
        button->OnOcmDrawItem(&item);
    }
    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> hold;
    gditest::Canvas canvas;
    win::DRAWITEMSTRUCT item;
};

void BM_Paint_Ours(benchmark::State& state)
{
    PaintedButton b(int(state.range(0)), int(state.range(1)));
    // The timed paints draw from the cached faces.
    for (auto _ : state)
        b.button->OnOcmDrawItem(&b.item);
    if (b.button->m_nFaceRenders > 8)
        state.SkipWithError("the faces were built again");
}

void BM_Paint_QPainter(benchmark::State& state)
{
    // The same work the fastest honest way: the face image the button shows
    // and its caption, in the button's font, drawn into a target of the same
    // size and format.
    const int w = int(state.range(0)), h = int(state.range(1));
    PaintedButton b(w, h);
    const QImage face = b.canvas.Image();
    LOGFONT lf{};
    b.button->m_font[0].GetLogFont(&lf, gdi::ScreenDpi());
    const QFont font = gdi::FontFromLogFont(lf, gdi::ScreenDpi());
    const QString caption = QString::fromLatin1(b.button->GetText().c_str());

    QImage target(w, h, QImage::Format_RGB32);
    QPainter painter(&target);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (auto _ : state) {
        painter.drawImage(0, 0, face);
        painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter | Qt::TextWordWrap, caption);
        benchmark::DoNotOptimize(target.constBits());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (auto* b : {benchmark::RegisterBenchmark("Paint_Ours", BM_Paint_Ours),
                    benchmark::RegisterBenchmark("Paint_QPainter", BM_Paint_QPainter)})
        b->Args({120, 40})->Args({400, 200})->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter("QPainter");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
