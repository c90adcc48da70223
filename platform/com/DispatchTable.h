#pragma once
// IDispatch served from one static table per interface: each member's name,
// id, kind (method, property, read-only property, event), parameter and
// result types, and the C++ functions behind it. GetIDsOfNames, Invoke and
// the type information all read the same table, so what a container sees is
// what the object does.
//
//   constexpr com::DispatchMember kMembers[] = {
//       com::Property<Widget, &Widget::GetSize, &Widget::SetSize>("Size", 1, VT_I2),
//       com::Method<Widget, &Widget::Move>("Move", 2, VT_BOOL, {{"x", VT_I4}, {"y", VT_I4}}),
//   };
//
// A member function's parameters take the argument converted to the table's
// type: int16_t (VT_I2), int32_t or uint32_t (VT_I4; VT_BOOL gives 0 or 1),
// int64_t (VT_I8), double (VT_R8), bool (VT_BOOL), BSTR (borrowed) or
// std::string (VT_BSTR), IDispatch* and IUnknown* (borrowed), int16_t* and
// int32_t* or uint32_t* (VT_BYREF|VT_I2, VT_BYREF|VT_I4: the caller's own
// variable), VARIANT* or const VARIANT& (VT_VARIANT: the caller's argument
// as given). Its result is converted to the table's result type; a BSTR or
// an interface pointer returned is handed to the caller. A member that fails
// throws DispatchException. A handler of the form void(T&, InvokeCall&)
// reads and answers the call itself.

#include "platform/com/Dispatch.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

namespace com {

enum class MemberKind : std::uint8_t { Method, Property, ReadOnlyProperty, Event };

struct ParamInfo {
    const char* name = nullptr;
    VARTYPE vt = VT_EMPTY;
};

inline constexpr std::size_t kMaxParams = 8;

class InvokeCall;
using MemberHandler = void (*)(void* object, InvokeCall& call);

struct DispatchMember {
    const char* name = nullptr;
    DISPID id = DISPID_UNKNOWN;
    MemberKind kind = MemberKind::Method;
    // A method's or event's result (VT_EMPTY: none); a property's type.
    VARTYPE type = VT_EMPTY;
    std::array<ParamInfo, kMaxParams> params{};
    std::size_t paramCount = 0;
    // The method, or the property's get.
    MemberHandler invoke = nullptr;
    MemberHandler put = nullptr;

    constexpr std::span<const ParamInfo> Params() const { return {params.data(), paramCount}; }
};

struct DispatchTable {
    const IID* iid;
    // The interface's name; failures of its members name it as their source.
    const char* name;
    std::span<const DispatchMember> members;

    const DispatchMember* Find(DISPID id) const;
    // Names compare without case.
    const DispatchMember* Find(std::u16string_view name) const;
};

// Fails the member being invoked: Invoke answers DISP_E_EXCEPTION and the
// caller's EXCEPINFO gets the code and the description.
class DispatchException : public std::runtime_error {
public:
    explicit DispatchException(HRESULT scode, const std::string& description = {})
        : std::runtime_error(description), scode_(scode)
    {
    }
    HRESULT Scode() const { return scode_; }

private:
    HRESULT scode_;
};

// The arguments and the result of one call, as the member's handler sees them.
class InvokeCall {
public:
    InvokeCall(const DispatchMember& member, std::span<VARIANT* const> args, VARIANT& result)
        : member_(member), args_(args), result_(result)
    {
    }

    const DispatchMember& Member() const { return member_; }
    // The index-th argument in the member's order, already of its declared type.
    VARIANT& ArgVariant(std::size_t index) const;
    template <class T>
    T Arg(std::size_t index) const;

    VARIANT& Result() { return result_; }
    // The result, converted to the member's declared type.
    template <class T>
    void SetResult(T value);

private:
    // Ends the call with hr (a table that does not match its functions).
    [[noreturn]] static void Fail(HRESULT hr);
    [[noreturn]] static void Mismatch() { Fail(DISP_E_TYPEMISMATCH); }
    void SetNumber(double value, std::int64_t whole, bool isFloat);

    const DispatchMember& member_;
    std::span<VARIANT* const> args_;
    VARIANT& result_;
};

// Invoke on object through table: finds the member, checks and converts the
// arguments (DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH
// or DISP_E_OVERFLOW with *argErr the argument's index in params->rgvarg,
// DISP_E_PARAMNOTFOUND for a put without its named value, DISP_E_NONAMEDARGS
// for other named arguments), runs it and hands back its result.
HRESULT DispInvoke(const DispatchTable& table, void* object, DISPID id, REFIID iid, WORD flags,
                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);
// Ids of the member names[0]; names of parameters are not looked up.
HRESULT DispGetIDsOfNames(const DispatchTable& table, REFIID iid, LPOLESTR* names, UINT count, DISPID* ids);

namespace detail {

template <class F>
struct MemberTraits;
template <class R, class C, class... A>
struct MemberTraits<R (C::*)(A...)> {
    using Result = R;
    using Args = std::tuple<A...>;
};
template <class R, class C, class... A>
struct MemberTraits<R (C::*)(A...) const> : MemberTraits<R (C::*)(A...)> {};
template <class R, class... A>
struct MemberTraits<R (*)(A...)> {
    using Result = R;
    using Args = std::tuple<A...>;
};

template <class T, auto Fn>
void Call(void* object, InvokeCall& call)
{
    T& self = *static_cast<T*>(object);
    using F = decltype(Fn);
    if constexpr (std::is_same_v<F, void (*)(T&, InvokeCall&)>) {
        Fn(self, call);
    } else {
        using Traits = MemberTraits<F>;
        using Args = typename Traits::Args;
        // A member function runs on the object; a static one (a value of
        // the class rather than of one object) without it.
        auto run = [&](auto&&... args) {
            if constexpr (std::is_member_function_pointer_v<F>)
                return (self.*Fn)(std::forward<decltype(args)>(args)...);
            else
                return Fn(std::forward<decltype(args)>(args)...);
        };
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            if constexpr (std::is_void_v<typename Traits::Result>)
                run(call.Arg<std::remove_cvref_t<std::tuple_element_t<I, Args>>>(I)...);
            else
                call.SetResult(run(call.Arg<std::remove_cvref_t<std::tuple_element_t<I, Args>>>(I)...));
        }(std::make_index_sequence<std::tuple_size_v<Args>>{});
    }
}

constexpr DispatchMember MakeMember(const char* name, DISPID id, MemberKind kind, VARTYPE type,
                                    std::initializer_list<ParamInfo> params, MemberHandler invoke,
                                    MemberHandler put)
{
    if (params.size() > kMaxParams)
        throw std::length_error("too many parameters");
    DispatchMember m;
    m.name = name;
    m.id = id;
    m.kind = kind;
    m.type = type;
    std::size_t i = 0;
    for (const ParamInfo& p : params)
        m.params[i++] = p;
    m.paramCount = params.size();
    m.invoke = invoke;
    m.put = put;
    return m;
}

} // namespace detail

template <class T, auto Fn>
constexpr DispatchMember Method(const char* name, DISPID id, VARTYPE result,
                                std::initializer_list<ParamInfo> params = {})
{
    return detail::MakeMember(name, id, MemberKind::Method, result, params, &detail::Call<T, Fn>, nullptr);
}

template <class T, auto Get, auto Put>
constexpr DispatchMember Property(const char* name, DISPID id, VARTYPE type)
{
    return detail::MakeMember(name, id, MemberKind::Property, type, {}, &detail::Call<T, Get>,
                              &detail::Call<T, Put>);
}

template <class T, auto Get>
constexpr DispatchMember ReadOnlyProperty(const char* name, DISPID id, VARTYPE type)
{
    return detail::MakeMember(name, id, MemberKind::ReadOnlyProperty, type, {}, &detail::Call<T, Get>, nullptr);
}

// A member of an event interface: the source calls it on its sinks.
constexpr DispatchMember Event(const char* name, DISPID id, std::initializer_list<ParamInfo> params = {})
{
    return detail::MakeMember(name, id, MemberKind::Event, VT_EMPTY, params, nullptr, nullptr);
}

template <class T>
T InvokeCall::Arg(std::size_t index) const
{
    VARIANT& v = ArgVariant(index);
    if constexpr (std::is_same_v<T, std::int16_t>) {
        if (v.vt == VT_I2)
            return v.iVal;
    } else if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::uint32_t>) {
        if (v.vt == VT_I4)
            return static_cast<T>(v.lVal);
        if (v.vt == VT_BOOL)
            return v.boolVal ? 1 : 0;
    } else if constexpr (std::is_same_v<T, std::int64_t>) {
        if (v.vt == VT_I8)
            return v.llVal;
    } else if constexpr (std::is_same_v<T, double>) {
        if (v.vt == VT_R8)
            return v.dblVal;
    } else if constexpr (std::is_same_v<T, bool>) {
        if (v.vt == VT_BOOL)
            return v.boolVal != 0;
    } else if constexpr (std::is_same_v<T, BSTR>) {
        if (v.vt == VT_BSTR)
            return v.bstrVal;
    } else if constexpr (std::is_same_v<T, std::string>) {
        if (v.vt == VT_BSTR)
            return Utf8FromBstr(v.bstrVal);
    } else if constexpr (std::is_same_v<T, std::int16_t*>) {
        if (v.vt == (VT_BYREF | VT_I2))
            return v.piVal;
    } else if constexpr (std::is_same_v<T, std::int32_t*>) {
        if (v.vt == (VT_BYREF | VT_I4))
            return v.plVal;
    } else if constexpr (std::is_same_v<T, std::uint32_t*>) {
        if (v.vt == (VT_BYREF | VT_I4))
            return reinterpret_cast<std::uint32_t*>(v.plVal);
    } else if constexpr (std::is_same_v<T, IDispatch*>) {
        if (v.vt == VT_DISPATCH)
            return v.pdispVal;
    } else if constexpr (std::is_same_v<T, IUnknown*>) {
        if (v.vt == VT_UNKNOWN)
            return v.punkVal;
        if (v.vt == VT_DISPATCH)
            return v.pdispVal;
    } else if constexpr (std::is_same_v<T, VARIANT*>) {
        return &v;
    } else if constexpr (std::is_same_v<T, VARIANT>) {
        return v;
    } else {
        static_assert(sizeof(T) == 0, "no automation type for this parameter");
    }
    Mismatch();
}

template <class T>
void InvokeCall::SetResult(T value)
{
    if constexpr (std::is_same_v<T, BSTR>) {
        if (member_.type != VT_BSTR) {
            SysFreeString(value);
            Mismatch();
        }
        VariantClear(&result_);
        result_.vt = VT_BSTR;
        result_.bstrVal = value;
    } else if constexpr (std::is_same_v<T, std::string>) {
        SetResult(BstrFromUtf8(value));
    } else if constexpr (std::is_same_v<T, IDispatch*> || std::is_same_v<T, IUnknown*>) {
        if (member_.type != VT_DISPATCH && member_.type != VT_UNKNOWN) {
            if (value)
                value->Release();
            Mismatch();
        }
        ComVariant held;
        if constexpr (std::is_same_v<T, IDispatch*>) {
            held.vt = VT_DISPATCH;
            held.pdispVal = value;
        } else {
            held.vt = VT_UNKNOWN;
            held.punkVal = value;
        }
        VariantClear(&result_);
        if (FAILED(VariantChangeType(&result_, &held, 0, member_.type)))
            Mismatch();
    } else if constexpr (std::is_same_v<T, ComVariant> || std::is_same_v<T, VARIANT>) {
        if (member_.type != VT_VARIANT)
            Mismatch();
        VariantCopy(&result_, &value);
    } else if constexpr (std::is_same_v<T, bool>) {
        SetNumber(value ? -1.0 : 0.0, value ? -1 : 0, false);
    } else if constexpr (std::is_floating_point_v<T>) {
        SetNumber(value, 0, true);
    } else if constexpr (std::is_integral_v<T>) {
        SetNumber(static_cast<double>(value), static_cast<std::int64_t>(value), false);
    } else {
        static_assert(sizeof(T) == 0, "no automation type for this result");
    }
}

} // namespace com
