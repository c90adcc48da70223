#pragma once
// The interfaces through which a component calls back its clients: a source
// object keeps one connection point per outgoing interface, and a client
// (a sink) advises one of them to hear its events.

#include "platform/com/Dispatch.h"

struct IConnectionPointContainer;

struct CONNECTDATA {
    IUnknown* pUnk;
    DWORD dwCookie;
};

struct IEnumConnections : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B287-BAB4-101A-B69C-00AA00341D07}");
    // The next count connections, each sink with a reference for the caller;
    // S_FALSE when fewer were left.
    virtual HRESULT Next(ULONG count, CONNECTDATA* items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumConnections** copy) = 0;

protected:
    ~IEnumConnections() = default;
};

struct IConnectionPoint : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B286-BAB4-101A-B69C-00AA00341D07}");
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
    // Connects sink, which must answer QueryInterface for the point's
    // interface (else CONNECT_E_CANNOTCONNECT); *cookie names the connection.
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
    // CONNECT_E_NOCONNECTION for a cookie this point did not give.
    virtual HRESULT Unadvise(DWORD cookie) = 0;
    virtual HRESULT EnumConnections(IEnumConnections** connections) = 0;

protected:
    ~IConnectionPoint() = default;
};

struct IEnumConnectionPoints : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B285-BAB4-101A-B69C-00AA00341D07}");
    virtual HRESULT Next(ULONG count, IConnectionPoint** items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumConnectionPoints** copy) = 0;

protected:
    ~IEnumConnectionPoints() = default;
};

struct IConnectionPointContainer : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B284-BAB4-101A-B69C-00AA00341D07}");
    virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) = 0;
    // CONNECT_E_NOCONNECTION when the object has no point for iid.
    virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) = 0;

protected:
    ~IConnectionPointContainer() = default;
};

// What a container hears of a component's bound properties.
struct IPropertyNotifySink : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{9BFBBC02-EFF1-101A-84ED-00AA00341D07}");
    virtual HRESULT OnChanged(DISPID id) = 0;
    // S_FALSE refuses the change.
    virtual HRESULT OnRequestEdit(DISPID id) = 0;

protected:
    ~IPropertyNotifySink() = default;
};

inline constexpr const IID& IID_IConnectionPoint = IConnectionPoint::kIid;
inline constexpr const IID& IID_IConnectionPointContainer = IConnectionPointContainer::kIid;
inline constexpr const IID& IID_IPropertyNotifySink = IPropertyNotifySink::kIid;
