#pragma once
// Timer: raises Tick every Interval milliseconds while Enabled (Interval 0
// never ticks). A form's timers stop when the form is unloaded.
//   Timer1.Tick = [this] { Timer1_Timer(); };
//
// Tests drive timers without waiting: while a ManualTimers object lives, no
// timer uses the clock; Advance(ms) moves time on and raises every tick that
// falls due, in order.

#include "platform/forms/Runtime.h"

#include <QTimer>

#include <string>
#include <vector>

namespace forms {

class Container;
class Form;
class ManualTimers;

class Timer {
public:
    Timer(Container& parent, std::string name, int index = -1);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }
    bool Enabled() const { return enabled_; }
    // Enabling a running timer changes nothing; enabling a stopped one starts
    // a new interval.
    void SetEnabled(bool enabled);
    long Interval() const { return interval_; }
    // A new interval starts counting from now. Raises 380 below 0.
    void SetInterval(long milliseconds);

    Event<> Tick;

private:
    friend class ManualTimers;
    void restart();
    void fire();
    bool running() const { return enabled_ && interval_ > 0; }

    Form& form_;
    std::string name_;
    int index_;
    bool enabled_ = true;
    long interval_ = 0;
    QTimer qt_;
    long long due_ = 0; // when ManualTimers drive it
};

class ManualTimers {
public:
    ManualTimers();
    ~ManualTimers();
    ManualTimers(const ManualTimers&) = delete;
    ManualTimers& operator=(const ManualTimers&) = delete;

    // Moves time on by ms, raising the ticks due on the way.
    void Advance(long milliseconds);
    long long Now() const { return now_; }

    static ManualTimers* Active();

private:
    long long now_ = 0;
};

} // namespace forms
