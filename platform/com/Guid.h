#pragma once
// Globally unique identifiers: class, interface, type library and category
// ids. Their text form is the one the registry keeps, "{XXXXXXXX-XXXX-XXXX-
// XXXX-XXXXXXXXXXXX}" in hexadecimal digits: written in upper case, read in
// either case, anything else refused.

#include "platform/basic/Strings.h"
#include "platform/mfc/WinTypes.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];

    constexpr bool operator==(const GUID&) const = default;
    constexpr auto operator<=>(const GUID&) const = default;
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};

constexpr bool IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }
constexpr bool IsEqualIID(REFIID a, REFIID b) { return a == b; }
constexpr bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return a == b; }

namespace com {

// The GUID the text stands for, or nothing when it is not exactly the
// registry form (braces, dashes and 32 hexadecimal digits, nothing around).
constexpr std::optional<GUID> ParseGuid(std::string_view text)
{
    constexpr std::size_t kLength = 38;
    if (text.size() != kLength || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    // The 16 bytes in text order, checking each dash on the way.
    BYTE bytes[16] = {};
    std::size_t pos = 1;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            if (text[pos] != '-')
                return std::nullopt;
            ++pos;
        }
        const int hi = vb::HexDigitValue(text[pos]);
        const int lo = vb::HexDigitValue(text[pos + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes[i] = static_cast<BYTE>(hi * 16 + lo);
        pos += 2;
    }
    GUID g{};
    g.Data1 = DWORD(bytes[0]) << 24 | DWORD(bytes[1]) << 16 | DWORD(bytes[2]) << 8 | bytes[3];
    g.Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
    g.Data3 = static_cast<WORD>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = bytes[8 + i];
    return g;
}

// An identifier written in the source in its registry form; a malformed text
// does not compile.
consteval GUID GuidLiteral(std::string_view text)
{
    const std::optional<GUID> g = ParseGuid(text);
    if (!g)
        throw "not a GUID in registry form";
    return *g;
}

// "{40B5CE81-C5A8-11D2-8183-00002440DFD8}"
std::string GuidText(REFGUID guid);

} // namespace com
