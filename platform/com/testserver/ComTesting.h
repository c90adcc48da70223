#pragma once
// Helpers of the component tests: calls through IDispatch with the arguments
// in reading order, and a sink that records the events it hears.

#include "platform/com/Dispatch.h"
#include "platform/com/Server.h"
#include "platform/com/TypeInfo.h"

#include <dlfcn.h>

#include <filesystem>

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace comtest {

// DllCanUnloadNow of a library already loaded (E_UNEXPECTED when it is not).
inline HRESULT CanUnloadNow(const std::filesystem::path& library)
{
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return E_UNEXPECTED;
    const auto call = reinterpret_cast<DllCanUnloadNowFunc>(dlsym(handle, com::kDllCanUnloadNow));
    const HRESULT hr = call ? call() : E_UNEXPECTED;
    dlclose(handle);
    return hr;
}

// Invoke with args first-to-last (DISPPARAMS wants them last-to-first).
inline HRESULT Call(IDispatch* object, DISPID id, WORD flags, std::vector<com::ComVariant> args,
                    VARIANT* result = nullptr, UINT* argErr = nullptr, EXCEPINFO* excepInfo = nullptr)
{
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, excepInfo, argErr);
}

inline HRESULT Put(IDispatch* object, DISPID id, com::ComVariant value)
{
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                          nullptr);
}

inline com::ComVariant Get(IDispatch* object, DISPID id)
{
    com::ComVariant result;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    return result;
}

inline DISPID IdOf(IDispatch* object, std::u16string name)
{
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// An event sink for one event interface: records each call's id and
// arguments (first to last, references followed), then runs onEvent.
class RecordingSink final : public com::ComObject<RecordingSink, IDispatch> {
public:
    struct Heard {
        DISPID id;
        std::vector<com::ComVariant> args;
    };

    explicit RecordingSink(const IID& events) : events_(events) {}

    std::span<const com::InterfaceEntry> InterfaceTable() const
    {
        static constexpr com::InterfaceEntry table[] = {com::Implements<RecordingSink, IDispatch>()};
        return table;
    }
    // The sink is an IDispatch under the event interface's id too.
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        return ComObject::QueryInterface(iid == events_ ? IID_IDispatch : iid, object);
    }

    HRESULT GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        Heard h{id, {}};
        for (UINT i = params->cArgs; i-- > 0;) {
            com::ComVariant copy;
            VariantCopyInd(&copy, &params->rgvarg[i]);
            h.args.push_back(copy);
        }
        heard.push_back(std::move(h));
        if (onEvent)
            onEvent(id, *params);
        return S_OK;
    }

    std::vector<Heard> heard;
    std::function<void(DISPID, DISPPARAMS&)> onEvent;

private:
    IID events_;
};

} // namespace comtest
