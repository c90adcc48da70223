// Building the faces a button keeps (normal, focused, mouse-over, pressed,
// pressed and focused) for each shape at 120 x 40 and 400 x 200, next to
// QPainter filling the same five bitmaps of that size with a plain colour,
// in the same run. The ratios (ours / QPainter) are printed last.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/CWinApp.h"

#include "bench/RatioReporter.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kFaces = 5;

void BM_Faces_Ours(benchmark::State& state, short shape)
{
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    AfxInitModule();
    auto* button = new CLumvexCtrl();
    button->m_NSContainerColor = RGB(0x20, 0x60, 0x90);
    button->m_colorBack.Set(RGB(0xC0, 0xC0, 0xC0), 4, 1);
    button->m_colorMO.Set(RGB(0xE0, 0xC0, 0x60), 4, 1);
    button->m_colorFocus.Set(RGB(0x90, 0xC0, 0xF0), 4, 1);
    button->m_FocusMode = 2;
    button->m_Shape = shape;
    button->m_text[0].SetText("Fancy");
    const RECT rect{0, 0, w, h};
    for (auto _ : state) {
        // As the paint builds them: each state's flags, then the face.
        CDIB faces[kFaces];
        button->m_bFocus = FALSE;
        button->m_bMouseOver = FALSE;
        button->RenderFace(faces[0], rect, 0);
        button->m_bFocus = TRUE;
        button->RenderFace(faces[1], rect, 0);
        button->m_bFocus = FALSE;
        button->m_bMouseOver = TRUE;
        button->RenderFace(faces[2], rect, 0);
        button->RenderFace(faces[3], rect, 1);
        button->m_bMouseOver = FALSE;
        button->m_bFocus = TRUE;
        button->RenderFace(faces[4], rect, 1);
        benchmark::DoNotOptimize(faces[4].GetBits());
    }
    button->GetControllingUnknown()->Release();
}

void BM_Faces_QPainter(benchmark::State& state, short)
{
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    for (auto _ : state) {
        QImage faces[kFaces];
        for (QImage& face : faces) {
            face = QImage(w, h, QImage::Format_RGB32);
            QPainter p(&face);
            p.fillRect(0, 0, w, h, QColor(0xC0, 0xC0, 0xC0));
        }
        benchmark::DoNotOptimize(faces[4].constBits());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (short shape = 0; shape <= 5; ++shape) {
        const std::string name = "Faces_shape" + std::to_string(shape);
        for (auto* b : {benchmark::RegisterBenchmark((name + "_Ours").c_str(), BM_Faces_Ours, shape),
                        benchmark::RegisterBenchmark((name + "_QPainter").c_str(), BM_Faces_QPainter, shape)})
            b->Args({120, 40})->Args({400, 200})->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter("QPainter");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
