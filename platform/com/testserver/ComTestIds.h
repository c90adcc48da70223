#pragma once
// Identifiers of the component the tests build, load and call.

#include "platform/com/DispIds.h"
#include "platform/com/Guid.h"

namespace comtest {

inline constexpr CLSID CLSID_Widget = com::GuidLiteral("{3F1A5C20-8B4D-4E6A-9C71-5D2E8F04B3A1}");
inline constexpr IID DIID_Widget = com::GuidLiteral("{3F1A5C21-8B4D-4E6A-9C71-5D2E8F04B3A1}");
inline constexpr IID DIID_WidgetEvents = com::GuidLiteral("{3F1A5C22-8B4D-4E6A-9C71-5D2E8F04B3A1}");
inline constexpr const char* kProgId = "ComTest.Widget.1";

// Members of the widget's dispatch interface.
inline constexpr DISPID kNumber = 1;     // long property, bound (tells IPropertyNotifySink)
inline constexpr DISPID kSmall = 2;      // short property
inline constexpr DISPID kTitle = 3;      // string property
inline constexpr DISPID kFlag = 4;       // boolean property
inline constexpr DISPID kRatio = 5;      // double property
inline constexpr DISPID kAddress = 6;    // 64-bit property (addresses are pointer-sized)
inline constexpr DISPID kLiveCount = 7;  // read-only: widgets alive in the widget's module
inline constexpr DISPID kAdd = 10;       // Add(long a, long b) as long
inline constexpr DISPID kDescribe = 11;  // Describe(text, out short length, out long words) as string
inline constexpr DISPID kFail = 12;      // Fail(message): fails with that description
inline constexpr DISPID kFire = 13;      // Fire(short code) as short: raises Ping and Key
inline constexpr DISPID kSetting = 14;   // Setting(key, name) as string: HKEY_CURRENT_USER value
inline constexpr DISPID kHandleKind = 15; // HandleKind(long handle) as short: 0 none, 1 bitmap, 2 cursor, 3 window
inline constexpr DISPID kEcho = 16;      // Echo(value) as Variant
inline constexpr DISPID kRing = 17;      // Ring(short code): raises Ping alone, holding no reference of its own

// Events.
inline constexpr DISPID kPing = 1;  // Ping(short code)
inline constexpr DISPID kKey = 2;   // Key(short* code, boolean shift): sinks may change code
inline constexpr DISPID kTotal = 3; // Total(long total)

} // namespace comtest
