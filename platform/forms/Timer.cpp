#include "platform/forms/Timer.h"

#include "platform/forms/Form.h"

#include <algorithm>

namespace forms {

namespace {
ManualTimers*& active()
{
    static ManualTimers* m = nullptr;
    return m;
}
// Every timer alive; each leaves the list when it goes.
std::vector<Timer*>& allTimers()
{
    static std::vector<Timer*> timers;
    return timers;
}
} // namespace

Timer::Timer(Container& parent, std::string name, int index)
    : form_(parent.ParentForm())
    , name_(std::move(name))
    , index_(index)
{
    QObject::connect(&qt_, &QTimer::timeout, &qt_, [this] { fire(); });
    allTimers().push_back(this);
}

Timer::~Timer()
{
    qt_.stop();
    auto& all = allTimers();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void Timer::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    restart();
}

void Timer::SetInterval(long milliseconds)
{
    if (milliseconds < 0)
        vb::Raise(vb::kErrInvalidProperty);
    interval_ = milliseconds;
    restart();
}

void Timer::restart()
{
    qt_.stop();
    if (!running())
        return;
    if (ManualTimers* m = active()) {
        due_ = m->Now() + interval_;
        return;
    }
    qt_.start(static_cast<int>(interval_));
}

void Timer::fire()
{
    if (!form_.Loaded() || form_.Dying()) {
        enabled_ = false;
        qt_.stop();
        return;
    }
    detail::Dispatch([this] { Tick.Raise(); });
}

ManualTimers::ManualTimers()
{
    active() = this;
    for (Timer* t : allTimers()) {
        t->qt_.stop();
        t->due_ = t->interval_;
    }
}

ManualTimers::~ManualTimers()
{
    active() = nullptr;
    for (Timer* t : allTimers())
        t->restart();
}

ManualTimers* ManualTimers::Active()
{
    return active();
}

void ManualTimers::Advance(long milliseconds)
{
    const long long end = now_ + milliseconds;
    while (true) {
        // The earliest tick due by the end; a handler may start, stop or
        // delete timers, so look again after each one.
        Timer* next = nullptr;
        for (Timer* t : allTimers())
            if (t->running() && t->due_ <= end && (!next || t->due_ < next->due_))
                next = t;
        if (!next)
            break;
        now_ = std::max(now_, next->due_);
        next->due_ = now_ + next->interval_;
        next->fire();
    }
    now_ = end;
}

} // namespace forms
