#include "platform/forms/Runtime.h"

#include "platform/basic/App.h"
#include "platform/forms/Form.h"
#include "platform/forms/MsgBox.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

namespace forms {

namespace detail {

namespace {

struct RuntimeState {
    int depth = 0;
    bool flushPosted = false;
    bool running = false;
    std::vector<std::function<void()>> pending;
};

RuntimeState& state()
{
    static RuntimeState s;
    return s;
}

void flush()
{
    auto& s = state();
    s.flushPosted = false;
    // Only from the outermost loop: a nested loop may run on behalf of a
    // widget (a context menu, a drag) of the very form being deleted.
    if (s.depth > 0 || QThread::currentThread()->loopLevel() > 1)
        return;
    DeletePendingNow();
}

void postFlush()
{
    auto& s = state();
    if (s.flushPosted || s.pending.empty() || !QCoreApplication::instance())
        return;
    s.flushPosted = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &flush, Qt::QueuedConnection);
}

} // namespace

HandlerScope::HandlerScope()
{
    ++state().depth;
}

HandlerScope::~HandlerScope()
{
    if (--state().depth == 0)
        postFlush();
}

int HandlerDepth()
{
    return state().depth;
}

int TwipsToPixels(double twips)
{
    if (std::isnan(twips))
        return 0;
    const double px = std::floor(twips / 15.0 + 1e-9);
    return static_cast<int>(std::clamp(px, -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX)));
}

void ReportException(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e))
        vb::ReportUnhandledError(vb::RuntimeError(vb::kErrOutOfMemory));
    else
        vb::ReportUnhandledError(vb::RuntimeError(51, std::string("Internal error: ") + e.what()));
}

void DeleteLater(std::function<void()> deleter)
{
    state().pending.push_back(std::move(deleter));
    if (state().depth == 0)
        postFlush();
}

void DeletePendingNow()
{
    // A deleted form may unload others from its destructor's path; loop.
    while (!state().pending.empty()) {
        auto batch = std::move(state().pending);
        state().pending.clear();
        for (auto& d : batch)
            d();
    }
}

bool RunActive()
{
    return state().running;
}

} // namespace detail

int Run()
{
    InstallErrorHandler();
    int result = 0;
    if (Forms().Count() > 0) {
        detail::state().running = true;
        result = QCoreApplication::exec();
        detail::state().running = false;
    }
    detail::DeletePendingNow();
    return result;
}

void InstallErrorHandler()
{
    vb::SetUnhandledErrorHandler([](const vb::RuntimeError& e) {
        MsgBox("Run-time error '" + std::to_string(e.Number()) + "':\r\n\r\n" + e.Description(), vbCritical,
               vb::App::Title());
    });
}

} // namespace forms
