#include "platform/com/ConnectionPoint.h"

#include <algorithm>

namespace com {

namespace {

// An enumerator over a snapshot of items, each held with a reference.
// Item is CONNECTDATA or IConnectionPoint*; Next hands the caller its own
// references.
template <class Interface, class Item>
class Enumerator final : public ComObject<Enumerator<Interface, Item>, Interface> {
public:
    explicit Enumerator(std::vector<Item> items, std::size_t position = 0)
        : items_(std::move(items)), position_(position)
    {
        for (const Item& item : items_)
            unknownOf(item)->AddRef();
    }
    ~Enumerator()
    {
        for (const Item& item : items_)
            unknownOf(item)->Release();
    }

    std::span<const InterfaceEntry> InterfaceTable() const
    {
        static constexpr InterfaceEntry table[] = {Implements<Enumerator, Interface>()};
        return table;
    }

    HRESULT Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        ULONG n = 0;
        while (n < count && position_ < items_.size()) {
            out[n] = items_[position_++];
            unknownOf(out[n])->AddRef();
            ++n;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        const std::size_t left = items_.size() - position_;
        position_ += std::min<std::size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT Clone(Interface** copy) override
    {
        if (!copy)
            return E_POINTER;
        *copy = new Enumerator(items_, position_);
        return S_OK;
    }

private:
    static IUnknown* unknownOf(const CONNECTDATA& c) { return c.pUnk; }
    static IUnknown* unknownOf(IConnectionPoint* p) { return p; }

    std::vector<Item> items_;
    std::size_t position_;
};

using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA>;
using PointEnumerator = Enumerator<IEnumConnectionPoints, IConnectionPoint*>;

} // namespace

EventArg EventArg::I2(std::int16_t v)
{
    EventArg a;
    a.v_.vt = VT_I2;
    a.v_.iVal = v;
    return a;
}

EventArg EventArg::I4(std::int32_t v)
{
    EventArg a;
    a.v_.vt = VT_I4;
    a.v_.lVal = v;
    return a;
}

EventArg EventArg::Bool(bool v)
{
    EventArg a;
    a.v_.vt = VT_BOOL;
    a.v_.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    return a;
}

EventArg EventArg::I2Ref(std::int16_t* p)
{
    EventArg a;
    a.v_.vt = VT_BYREF | VT_I2;
    a.v_.piVal = p;
    return a;
}

ConnectionPoint::ConnectionPoint(IUnknown& owner, REFIID iid) : owner_(owner), iid_(iid) {}

ConnectionPoint::~ConnectionPoint()
{
    std::vector<Connection> sinks;
    sinks.swap(sinks_);
    ReleaseAll(sinks);
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IConnectionPoint*>(this);
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    return owner_.QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container));
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    void* wanted = nullptr;
    if (FAILED(sink->QueryInterface(iid_, &wanted)) || !wanted)
        return CONNECT_E_CANNOTCONNECT;
    // Every interface a sink answers with starts with IUnknown's slots.
    sinks_.push_back({nextCookie_, static_cast<IUnknown*>(wanted)});
    *cookie = nextCookie_++;
    if (nextCookie_ == 0)
        nextCookie_ = 1;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie)
{
    const auto it =
        std::find_if(sinks_.begin(), sinks_.end(), [&](const Connection& c) { return c.cookie == cookie; });
    if (it == sinks_.end())
        return CONNECT_E_NOCONNECTION;
    IUnknown* sink = it->sink;
    sinks_.erase(it);
    // Last: the sink's Release may call back into this point.
    sink->Release();
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (!connections)
        return E_POINTER;
    std::vector<CONNECTDATA> items;
    for (const Connection& c : sinks_)
        items.push_back({c.sink, c.cookie});
    *connections = new ConnectionEnumerator(std::move(items));
    return S_OK;
}

bool ConnectionPoint::IsAdvised(DWORD cookie) const
{
    return std::any_of(sinks_.begin(), sinks_.end(), [&](const Connection& c) { return c.cookie == cookie; });
}

std::vector<ConnectionPoint::Connection> ConnectionPoint::Snapshot() const
{
    std::vector<Connection> copy = sinks_;
    for (const Connection& c : copy)
        c.sink->AddRef();
    return copy;
}

void ConnectionPoint::ReleaseAll(std::vector<Connection>& connections)
{
    for (const Connection& c : connections)
        c.sink->Release();
    connections.clear();
}

void ConnectionPoint::FireEvent(DISPID id, std::initializer_list<EventArg> args)
{
    if (iid_ == IID_IPropertyNotifySink)
        return;
    IUnknown* owner = &owner_;
    owner->AddRef();
    std::vector<Connection> sinks = Snapshot();
    std::vector<VARIANT> values(args.size());
    for (const Connection& c : sinks) {
        if (!IsAdvised(c.cookie))
            continue;
        // A fresh copy per sink, last argument first, so that one sink's
        // changes to a value argument do not reach the next.
        std::size_t i = values.size();
        for (const EventArg& a : args)
            values[--i] = a.Value();
        DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
        VARIANT ignored;
        VariantInit(&ignored);
        static_cast<IDispatch*>(c.sink)->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                                &ignored, nullptr, nullptr);
        VariantClear(&ignored);
    }
    ReleaseAll(sinks);
    // Last: this may end the source and this point with it.
    owner->Release();
}

void ConnectionPoint::FireOnChanged(DISPID id)
{
    if (iid_ != IID_IPropertyNotifySink)
        return;
    IUnknown* owner = &owner_;
    owner->AddRef();
    std::vector<Connection> sinks = Snapshot();
    for (const Connection& c : sinks) {
        if (IsAdvised(c.cookie))
            static_cast<IPropertyNotifySink*>(c.sink)->OnChanged(id);
    }
    ReleaseAll(sinks);
    owner->Release();
}

bool ConnectionPoint::FireOnRequestEdit(DISPID id)
{
    if (iid_ != IID_IPropertyNotifySink)
        return true;
    IUnknown* owner = &owner_;
    owner->AddRef();
    std::vector<Connection> sinks = Snapshot();
    bool allowed = true;
    for (const Connection& c : sinks) {
        if (IsAdvised(c.cookie) && static_cast<IPropertyNotifySink*>(c.sink)->OnRequestEdit(id) == S_FALSE) {
            allowed = false;
            break;
        }
    }
    ReleaseAll(sinks);
    owner->Release();
    return allowed;
}

HRESULT FindConnectionPoint(std::span<ConnectionPoint* const> points, REFIID iid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    for (ConnectionPoint* p : points) {
        if (p->Iid() == iid) {
            p->AddRef();
            *point = p;
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EnumConnectionPoints(std::span<ConnectionPoint* const> points, IEnumConnectionPoints** enumerator)
{
    if (!enumerator)
        return E_POINTER;
    *enumerator = new PointEnumerator(std::vector<IConnectionPoint*>(points.begin(), points.end()));
    return S_OK;
}

} // namespace com
