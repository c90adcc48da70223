#pragma once
// The Windows base types the button library's code is written in. Sizes are
// those of 32-bit Windows: LONG is 32 bits here, unlike Linux's long.

#include <cstddef>
#include <cstdint>
#include <string>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using USHORT = std::uint16_t;
using UINT = unsigned int;
using BOOL = int;
using SIZE_T = std::size_t;
using COLORREF = std::uint32_t;
using LPCTSTR = const char*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Text in memory is UTF-8; the archive turns it into Windows-1252 bytes and
// back, the code page the library's stored forms were written in.
using CString = std::string;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
