#pragma once
// Waiting on a desktop: the event loop runs while a test waits for the window
// manager or a window to answer.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace tv::testing {

// Runs the event loop until done() holds; false when the time is up first.
inline bool WaitUntil(const std::function<bool()>& done, int milliseconds = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Lets the event loop run for a while (the window manager's answers).
inline void Settle(int milliseconds)
{
    WaitUntil([] { return false; }, milliseconds);
}

// Shown and framed by the window manager, or false when that takes too long.
inline bool Framed(QWidget* w)
{
    return WaitUntil([w] { return w->isVisible() && w->windowHandle() && !w->windowHandle()->frameMargins().isNull(); });
}

} // namespace tv::testing
