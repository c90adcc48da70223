#pragma once
// A container for tests of controls: a host widget with control sites on
// it, one ambient UserMode for all of them, and a log per site of what the
// site heard from its control.

#include "platform/com/ControlSite.h"

#include <QWidget>

#include <deque>
#include <memory>
#include <vector>

namespace com {

class TestContainer {
public:
    struct Event {
        DISPID id;
        // The arguments first to last, references followed.
        std::vector<ComVariant> args;
    };
    struct Log {
        std::vector<Event> events;
        std::vector<DISPID> changed;
        std::vector<RECT> posRectChanges;
        std::vector<bool> focus;
        int controlInfoChanges = 0;
        int showObjects = 0;
    };

    explicit TestContainer(int width = 400, int height = 300);
    ~TestContainer();
    TestContainer(const TestContainer&) = delete;
    TestContainer& operator=(const TestContainer&) = delete;

    QWidget& Host() { return *host_; }

    // A site for the control (one reference of the caller's is not taken
    // over), its site set and its events advised, not yet loaded. Null when
    // the control is no OLE object.
    ControlSite* Add(IUnknown* control);
    ControlSite* Create(REFCLSID clsid);
    Log& LogOf(const ControlSite* site);

    bool UserMode() const { return userMode_; }
    // Every site tells its control.
    void SetUserMode(bool userMode);

    // Closes every site (also done on destruction).
    void CloseAll();

private:
    ControlSite* added(ComPtr<ControlSite> site);

    std::unique_ptr<QWidget> host_;
    std::vector<ComPtr<ControlSite>> sites_;
    std::deque<Log> logs_;
    bool userMode_ = true;
};

} // namespace com
