#pragma once
// Waiting for quiet. A test that checks that nothing more arrives first lets
// whatever could still deliver it become idle (a worker thread, a download,
// a sound, a timer), then delivers every event posted to the UI thread, and
// every event those post in turn, and only then looks. No length of time
// decides that something did not come.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <functional>

namespace tv::testing {

namespace detail {

// Counts the events the UI thread's objects are given. Timer ticks are left
// out: they come from running timers, which are a deliverer a test asks
// about itself, not from the queue being drained.
class DeliveryCounter final : public QObject {
public:
    DeliveryCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~DeliveryCounter() override
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
    }
    DeliveryCounter(const DeliveryCounter&) = delete;
    DeliveryCounter& operator=(const DeliveryCounter&) = delete;

    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::Timer)
            ++count;
        return false;
    }
};

} // namespace detail

// Delivers what is posted to the UI thread (deferred deletions among it)
// and what the window system has queued, round after round, until a round
// delivers nothing. False when it is still busy after `rounds` rounds.
inline bool DrainPostedEvents(int rounds = 1000)
{
    if (!QCoreApplication::instance())
        return true;
    detail::DeliveryCounter counter;
    for (int i = 0; i < rounds; ++i) {
        counter.count = 0;
        // Each call delivers what was posted before it; what its handlers
        // post waits for the next round.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        if (counter.count == 0)
            return true;
    }
    return false;
}

// Runs the event loop until idle() holds and, while it holds, nothing posted
// is left to deliver. False when the deliverer is still busy when the time
// is up: then the test fails instead of looking too early.
inline bool WaitUntilIdle(const std::function<bool()>& idle, int milliseconds = 20000)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        // What the drain delivers may start more work: idle is asked again.
        if (idle() && DrainPostedEvents() && idle())
            return true;
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

} // namespace tv::testing
