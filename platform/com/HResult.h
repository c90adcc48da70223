#pragma once
// Result codes of the component layer: the platform's values, so that a code
// read in a log or a stored error means what it always meant.

#include <cstdint>

using HRESULT = std::int32_t;
using SCODE = HRESULT;

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

namespace com::detail {
constexpr HRESULT Code(std::uint32_t value) { return static_cast<HRESULT>(value); }
} // namespace com::detail

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;

inline constexpr HRESULT E_NOTIMPL = com::detail::Code(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = com::detail::Code(0x80004002);
inline constexpr HRESULT E_POINTER = com::detail::Code(0x80004003);
inline constexpr HRESULT E_ABORT = com::detail::Code(0x80004004);
inline constexpr HRESULT E_FAIL = com::detail::Code(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = com::detail::Code(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = com::detail::Code(0x80070005);
inline constexpr HRESULT E_HANDLE = com::detail::Code(0x80070006);
inline constexpr HRESULT E_OUTOFMEMORY = com::detail::Code(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = com::detail::Code(0x80070057);

inline constexpr HRESULT CLASS_E_NOAGGREGATION = com::detail::Code(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = com::detail::Code(0x80040111);
inline constexpr HRESULT REGDB_E_READREGDB = com::detail::Code(0x80040150);
inline constexpr HRESULT REGDB_E_WRITEREGDB = com::detail::Code(0x80040151);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = com::detail::Code(0x80040154);
inline constexpr HRESULT CO_E_CLASSSTRING = com::detail::Code(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = com::detail::Code(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = com::detail::Code(0x800401F9);

inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = com::detail::Code(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = com::detail::Code(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = com::detail::Code(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = com::detail::Code(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = com::detail::Code(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = com::detail::Code(0x80020007);
inline constexpr HRESULT DISP_E_BADVARTYPE = com::detail::Code(0x80020008);
inline constexpr HRESULT DISP_E_EXCEPTION = com::detail::Code(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = com::detail::Code(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = com::detail::Code(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = com::detail::Code(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = com::detail::Code(0x8002000F);
inline constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = com::detail::Code(0x8002802B);

inline constexpr HRESULT CONNECT_E_NOCONNECTION = com::detail::Code(0x80040200);
inline constexpr HRESULT CONNECT_E_ADVISELIMIT = com::detail::Code(0x80040201);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = com::detail::Code(0x80040202);

// The self-registration results share their values with the connection codes,
// as on the platform.
inline constexpr HRESULT SELFREG_E_TYPELIB = com::detail::Code(0x80040200);
inline constexpr HRESULT SELFREG_E_CLASS = com::detail::Code(0x80040201);

inline constexpr HRESULT STG_E_INVALIDFUNCTION = com::detail::Code(0x80030001);
inline constexpr HRESULT STG_E_FILENOTFOUND = com::detail::Code(0x80030002);
inline constexpr HRESULT STG_E_ACCESSDENIED = com::detail::Code(0x80030005);
inline constexpr HRESULT STG_E_INVALIDPOINTER = com::detail::Code(0x80030009);
inline constexpr HRESULT STG_E_WRITEFAULT = com::detail::Code(0x8003001D);
inline constexpr HRESULT STG_E_READFAULT = com::detail::Code(0x8003001E);
inline constexpr HRESULT STG_E_INVALIDPARAMETER = com::detail::Code(0x80030057);
inline constexpr HRESULT STG_E_INVALIDFLAG = com::detail::Code(0x800300FF);
