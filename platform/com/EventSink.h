#pragma once
// A container's sink for a control's events: an IDispatch under the
// control's event interface that calls the function registered for each
// event's member id.

#include "platform/com/Dispatch.h"

#include <functional>
#include <map>

namespace com {

class EventSink final : public ComObject<EventSink, IDispatch> {
public:
    // args: the event's arguments first to last; references may be changed.
    using Handler = std::function<void(DISPID id, std::span<VARIANT* const> args)>;

    explicit EventSink(const IID& events) : events_(events) {}

    std::span<const InterfaceEntry> InterfaceTable() const;
    HRESULT QueryInterface(REFIID iid, void** object) override;

    const IID& Events() const { return events_; }
    void On(DISPID id, Handler handler) { handlers_[id] = std::move(handler); }
    // Hears every event, before its own handler.
    void OnAny(Handler handler) { any_ = std::move(handler); }

    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override;

private:
    IID events_;
    std::map<DISPID, Handler> handlers_;
    Handler any_;
};

} // namespace com
