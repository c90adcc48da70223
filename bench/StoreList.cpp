// The store editor's list of stores filled as the editor fills it (each
// store's picture into the panel's pictures, its entry with caption, picture
// key and selection colour, the first one selected) on a side bar of a shown
// window, until the window has laid the list out and painted it, next to a
// plain QListWidget on a window of the same size filled with the same
// captions and pictures, the first one current, and painted too. At 1,000,
// 10,000 and 100,000 stores; the ratios are printed last.

#include "platform/controls/SmartItems.h"
#include "platform/controls/SmartPanel.h"
#include "platform/basic/MemoryTuning.h"
#include "platform/controls/SmartSideBar.h"
#include "platform/forms/Form.h"

#include "RatioReporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 600;

struct Store {
    std::string key;
    std::string imageKey;
    std::string name;
    QString caption;
    int picture;
};

// Store icons are 32 x 32; a few different ones, shared as the program's
// number icons share their drawing.
const std::array<QPixmap, 8>& pictures()
{
    static const std::array<QPixmap, 8> made = [] {
        std::array<QPixmap, 8> p;
        for (size_t i = 0; i < p.size(); ++i) {
            p[i] = QPixmap(32, 32);
            p[i].fill(QColor::fromHsv(static_cast<int>(i) * 45, 200, 220));
            QPainter painter(&p[i]);
            painter.drawText(p[i].rect(), Qt::AlignCenter, QString::number(i));
        }
        return p;
    }();
    return made;
}

const std::vector<Store>& stores(int count)
{
    static std::vector<Store> made;
    if (static_cast<int>(made.size()) != count) {
        made.clear();
        made.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            const std::string id = std::to_string(i + 1);
            const std::string name = "Store " + id + " Market Street";
            made.push_back({id, "STOREIMAGE" + id, name, QString::fromStdString(name), i % 8});
        }
    }
    return made;
}

// Runs the event loop until the window is exposed, then until nothing is
// left to do (layouts and paints that were put off).
bool shownAndIdle(QWidget* window)
{
    QElapsedTimer waited;
    waited.start();
    while ((!window->windowHandle() || !window->windowHandle()->isExposed()) && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
    QApplication::processEvents();
    return window->windowHandle() && window->windowHandle()->isExposed();
}

// The reference's window; it goes before the application.
std::unique_ptr<QListWidget>& referenceList()
{
    static std::unique_ptr<QListWidget> widget;
    return widget;
}

class frmStoreList : public forms::FormOf<frmStoreList> {
public:
    frmStoreList() : FormOf("frmStoreList") { SetCaption("Stores"); }
    controls::SmartSideBar side{*this, "side"};
    forms::ControlArray<controls::SmartPanel> panel{side, "panel", {0, 1}};
};

void BM_StoreList_Ours(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<Store>& list = stores(count);
    frmStoreList& form = frmStoreList::Instance();
    form.Move(0, 0, kWidth * 15.0, kHeight * 15.0);
    form.side.Move(0, 0, kWidth * 15.0, kHeight * 15.0);
    if (!form.side.Groups().Exists("STORES"))
        form.side.Groups().Add("STORES", "Stores", controls::smuiGroup).SetValue("panel(0)");
    form.Show();
    if (!shownAndIdle(form.hWnd())) {
        state.SkipWithError("the window is not shown");
        return;
    }
    controls::SmartPanel& panel = form.panel(0);
    for (auto _ : state) {
        panel.Items().Clear();
        panel.ListImages().Clear();
        bool first = true;
        for (const Store& s : list) {
            panel.ListImages().Add(s.imageKey, pictures()[static_cast<size_t>(s.picture)]);
            controls::SmartItem& item = panel.Items().Add(s.key, s.name, controls::smuiListItem, s.imageKey);
            item.SetSelectedBackColor(0x8080FF);
            if (first) {
                item.SetSelected(true);
                first = false;
            }
        }
        shownAndIdle(form.hWnd());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_StoreList_QListWidget(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<Store>& list = stores(count);
    std::unique_ptr<QListWidget>& widget = referenceList();
    if (!widget) {
        widget = std::make_unique<QListWidget>();
        widget->setIconSize(QSize(32, 32));
        widget->resize(kWidth, kHeight);
        widget->show();
    }
    if (!shownAndIdle(widget.get())) {
        state.SkipWithError("the window is not shown");
        return;
    }
    std::array<QIcon, 8> icons;
    for (size_t i = 0; i < icons.size(); ++i)
        icons[i] = QIcon(pictures()[i]);
    for (auto _ : state) {
        widget->clear();
        for (const Store& s : list)
            widget->addItem(new QListWidgetItem(icons[static_cast<size_t>(s.picture)], s.caption));
        widget->setCurrentRow(0);
        shownAndIdle(widget.get());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_StoreList_Ours)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreList_QListWidget)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rc = bench::RunWithRatios(
        argc, argv, {{"BM_StoreList_Ours", "BM_StoreList_QListWidget", "store list fill / QListWidget fill"}});
    // The windows go before the application that shows them.
    forms::ResetForms();
    referenceList().reset();
    return rc;
}
