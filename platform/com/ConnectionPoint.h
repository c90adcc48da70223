#pragma once
// One outgoing interface of a source object: its sinks, the cookies that
// name them, and the firing of events to every sink. The point lives inside
// its source and shares the source's reference count.
//
// Firing is safe against what sinks do meanwhile: each sink is held while it
// is called, a sink unadvised by an earlier one is not called any more, and
// the source stays alive until the firing is over even when a sink releases
// it. Code of the source that runs after a firing and needs the source holds
// its own reference.

#include "platform/com/ConnectionInterfaces.h"

#include <initializer_list>
#include <span>
#include <vector>

namespace com {

// One argument of an event: a value, or a reference the sinks may change.
class EventArg {
public:
    static EventArg I2(std::int16_t v);
    static EventArg I4(std::int32_t v);
    static EventArg Bool(bool v);
    static EventArg I2Ref(std::int16_t* p);

    const VARIANT& Value() const { return v_; }

private:
    EventArg() { VariantInit(&v_); }
    VARIANT v_;
};

class ConnectionPoint final : public IConnectionPoint {
public:
    // owner: the source's IUnknown; iid: the interface its sinks implement (a
    // dispatch event interface, or IPropertyNotifySink).
    ConnectionPoint(IUnknown& owner, REFIID iid);
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return owner_.AddRef(); }
    ULONG Release() override { return owner_.Release(); }

    HRESULT GetConnectionInterface(IID* iid) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT Unadvise(DWORD cookie) override;
    HRESULT EnumConnections(IEnumConnections** connections) override;

    const IID& Iid() const { return iid_; }
    std::size_t SinkCount() const { return sinks_.size(); }

    // Calls the event id on every dispatch sink with args (first argument first).
    void FireEvent(DISPID id, std::initializer_list<EventArg> args = {});
    // IPropertyNotifySink::OnChanged on every sink.
    void FireOnChanged(DISPID id);
    // Asks the sinks in turn; false as soon as one refuses.
    bool FireOnRequestEdit(DISPID id);

private:
    struct Connection {
        DWORD cookie;
        IUnknown* sink;
    };

    bool IsAdvised(DWORD cookie) const;
    // The sinks as they are now, each with a reference of its own.
    std::vector<Connection> Snapshot() const;
    static void ReleaseAll(std::vector<Connection>& connections);

    IUnknown& owner_;
    IID iid_;
    std::vector<Connection> sinks_;
    DWORD nextCookie_ = 1;
};

// IConnectionPointContainer's two calls for a source holding these points.
HRESULT FindConnectionPoint(std::span<ConnectionPoint* const> points, REFIID iid, IConnectionPoint** point);
HRESULT EnumConnectionPoints(std::span<ConnectionPoint* const> points, IEnumConnectionPoints** enumerator);

} // namespace com
