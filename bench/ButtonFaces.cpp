// Building the faces a button keeps (normal, focused, mouse-over, pressed,
// pressed and focused, as the paint builds them) for each shape at 120 x 40 and 400 x 200. Every shape
// is set against the rectangle, and the rectangle against the floor:
// QPainter drawing the same five gradients (each state's shades, lightest at
// the light spot, as the rings show them) with the same two-coloured edge
// into five images of that size, in the same run. The ratios are printed last.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/CWinApp.h"

#include "bench/RatioReporter.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kFaces = 5;
constexpr COLORREF kContainer = RGB(0x20, 0x60, 0x90);
constexpr COLORREF kBack = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kMouseOver = RGB(0xE0, 0xC0, 0x60);
constexpr COLORREF kFocus = RGB(0x90, 0xC0, 0xF0);

void BM_Faces_Ours(benchmark::State& state, short shape)
{
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    AfxInitModule();
    auto* button = new CLumvexCtrl();
    button->m_NSContainerColor = kContainer;
    button->m_colorBack.Set(kBack, 4, 1);
    button->m_colorMO.Set(kMouseOver, 4, 1);
    button->m_colorFocus.Set(kFocus, 4, 1);
    button->m_FocusMode = 2;
    button->m_Shape = shape;
    button->m_text[0].SetText("Fancy");
    const RECT rect{0, 0, w, h};
    for (auto _ : state) {
        // As the paint builds them: normal, focused, mouse-over, pressed,
        // pressed and focused.
        button->BuildFaces(rect);
        benchmark::DoNotOptimize(button->m_dibFacePressedFocus.GetBits());
    }
    if (!button->m_dibFacePressedFocus.IsValid())
        state.SkipWithError("the five faces were not built");
    button->GetControllingUnknown()->Release();
}

QColor qcolor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The floor: per face the container colour, an elliptic gradient through
// the state's shades around the top-left quarter's centre (moved by 2 when
// pressed), and the outline light at the top left and dark at the bottom
// right (swapped when pressed).
void BM_Gradients_QPainter(benchmark::State& state)
{
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    CColor back, mouseOver, focus;
    back.Set(kBack, 4, 1);
    mouseOver.Set(kMouseOver, 4, 1);
    focus.Set(kFocus, 4, 1);
    const struct {
        const CColor* table;
        bool pressed;
    } kStates[kFaces] = {{&back, false}, {&focus, false}, {&mouseOver, false}, {&mouseOver, true}, {&focus, true}};
    // As many rings as the face has: the spot shrinks by w / 60 + 1 and h / 60 + 1.
    const int dx = w > 59 ? w / 60 + 1 : 1;
    const int dy = h > 59 ? h / 60 + 1 : 1;
    const int rings = std::min({64, (2 * w + 1) / (2 * dx), (2 * h + 1) / (2 * dy)});
    for (auto _ : state) {
        QImage faces[kFaces];
        for (int i = 0; i < kFaces; ++i) {
            const CColor& table = *kStates[i].table;
            const int shift = kStates[i].pressed ? 2 : 0;
            faces[i] = QImage(w, h, QImage::Format_RGB32);
            QPainter p(&faces[i]);
            p.fillRect(0, 0, w, h, qcolor(kContainer));
            QRadialGradient gradient(QPointF(w / 4 + shift, h / 4 + shift), w);
            for (int k = 0; k <= rings; ++k)
                gradient.setColorAt(double(k) / rings, qcolor(table.GetShade(k)));
            QBrush brush(gradient);
            brush.setTransform(QTransform::fromScale(1.0, double(h) / w));
            p.fillRect(0, 0, w, h, brush);
            QColor light = qcolor(table.GetShade(0)).lighter(130);
            QColor dark = qcolor(table.GetShade(63));
            if (kStates[i].pressed)
                std::swap(light, dark);
            p.setPen(light);
            p.drawLine(0, 0, w - 1, 0);
            p.drawLine(0, 0, 0, h - 1);
            p.setPen(dark);
            p.drawLine(0, h - 1, w - 1, h - 1);
            p.drawLine(w - 1, 0, w - 1, h - 1);
        }
        benchmark::DoNotOptimize(faces[kFaces - 1].constBits());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<bench::RatioReporter::Pair> pairs;
    for (short shape = 0; shape <= 5; ++shape) {
        const std::string name = "Faces_shape" + std::to_string(shape) + "_Ours";
        benchmark::RegisterBenchmark(name.c_str(), BM_Faces_Ours, shape)
            ->Args({120, 40})
            ->Args({400, 200})
            ->Unit(benchmark::kMillisecond);
        if (shape > 0)
            pairs.push_back({name, "Faces_shape0_Ours", "shape " + std::to_string(shape) + " / rectangle"});
    }
    benchmark::RegisterBenchmark("Faces_Gradients_QPainter", BM_Gradients_QPainter)
        ->Args({120, 40})
        ->Args({400, 200})
        ->Unit(benchmark::kMillisecond);
    pairs.push_back({"Faces_shape0_Ours", "Faces_Gradients_QPainter", "rectangle / QPainter gradients"});
    return bench::RunWithRatios(argc, argv, std::move(pairs));
}
