#include "platform/com/EventSink.h"

#include <vector>

namespace com {

std::span<const InterfaceEntry> EventSink::InterfaceTable() const
{
    static constexpr InterfaceEntry table[] = {Implements<EventSink, IDispatch>()};
    return table;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** object)
{
    return ComObject::QueryInterface(iid == events_ ? IID_IDispatch : iid, object);
}

HRESULT EventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (params && params->cArgs > 0 && !params->rgvarg)
        return E_INVALIDARG;
    std::vector<VARIANT*> args;
    for (UINT i = params ? params->cArgs : 0; i-- > 0;)
        args.push_back(&params->rgvarg[i]);
    // Held for the call: a handler may drop the container's reference.
    ComPtr<EventSink> self(this);
    if (any_)
        any_(id, args);
    const auto it = handlers_.find(id);
    if (it != handlers_.end() && it->second)
        it->second(id, args);
    return S_OK;
}

} // namespace com
