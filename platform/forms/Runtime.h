#pragma once
// The heart of the forms runtime: the event type controls raise, the door
// through which the window system calls the program, and the event loop.
//
// Every call from Qt into the program's code (a click, a key, a timer tick, a
// window being closed) goes through detail::Dispatch. It does two things:
//  - an error that no handler caught reaches vb::ReportUnhandledError instead
//    of unwinding through Qt's frames (which would end the process);
//  - while any handler runs, forms that get unloaded are only hidden; they
//    are deleted once the event loop is back at its outermost level with no
//    handler on the stack. A handler that waits in a nested loop (a modal
//    box, DoEvents) may so find its own form unloaded, never deleted.
// Events raised by the program itself (setting Text raises Change) run
// directly, so their errors reach the code that made the change, as the
// runtime's error traps expect.

#include "platform/basic/RuntimeError.h"

#include <functional>
#include <utility>

namespace forms {

// A control's event: one handler, assigned by the form that owns the control.
//   txtName.Change = [this] { txtName_Change(); };
// Arguments the runtime passes by reference (KeyAscii, Cancel) are declared
// as references: Event<int&>.
template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event& operator=(Handler handler)
    {
        handler_ = std::move(handler);
        return *this;
    }
    explicit operator bool() const { return static_cast<bool>(handler_); }

    void Raise(Args... args) const
    {
        if (!handler_)
            return;
        // A copy: the handler may assign a new handler to this event.
        Handler h = handler_;
        h(std::forward<Args>(args)...);
    }

private:
    Handler handler_;
};

// Runs the event loop until the last form is unloaded (returns at once when
// none is loaded), with the error handler of InstallErrorHandler in place.
// Forms still waiting for deletion are deleted before it returns.
int Run();

// Shows an error no handler caught as the runtime did: "Run-time error 'n':"
// and its text, in the system message box, then the program goes on.
void InstallErrorHandler();

namespace detail {


// Counts the handlers on the stack; forms are deleted only at depth 0.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

int HandlerDepth();
// Twips to whole pixels, rounded down. A value beyond what a window can
// measure (or not a number) is held to that limit, so that a size read from
// the settings or computed by a caller never overflows.
int TwipsToPixels(double twips);
void ReportException(const std::exception& e);

template <class F>
void Dispatch(F&& f)
{
    HandlerScope scope;
    try {
        std::forward<F>(f)();
    } catch (const vb::RuntimeError& e) {
        vb::ReportUnhandledError(e);
    } catch (const std::exception& e) {
        ReportException(e);
    } catch (...) {
        vb::ReportUnhandledError(vb::RuntimeError(51, "Internal error"));
    }
}

// Deletes the given objects once no handler runs and the event loop is at
// its outermost level. Used for unloaded forms.
void DeleteLater(std::function<void()> deleter);
// Deletes what is waiting, whatever the depth; for tests and the end of Run.
void DeletePendingNow();
bool RunActive();

} // namespace detail

} // namespace forms
