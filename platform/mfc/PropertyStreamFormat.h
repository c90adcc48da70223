#pragma once
// The byte layout of a control's state in a stream, as IPersistStreamInit
// saves it and loads it. Little-endian, no padding, no names: the values
// follow each other in the order the control's DoPropExchange exchanges them.
//
//   DWORD  version                 ExchangeVersion (major in the high word)
//   LONG   extent cx, LONG cy      HIMETRIC
//   DWORD  stock mask              bit 0 Caption, bit 1 Enabled
//   [string Caption]               when bit 0 is set
//   [LONG  Enabled]                when bit 1 is set: 0 or 1
//   ...    the control's own values:
//     short    2 bytes, two's complement
//     BOOL     LONG: 1 for TRUE, 0 for FALSE (any other value reads as TRUE)
//     colour   DWORD (an OLE_COLOR)
//     long     LONG
//     double   8 bytes, IEEE 754
//     string   the archive string: a length byte below 255; or 0xFF and a
//              WORD below 0xFFFE; or 0xFF, 0xFFFF and a DWORD; then that many
//              Windows-1252 bytes, no terminator
//     font     WORD charset, BYTE flags (kFontItalic, kFontUnderline,
//              kFontStrikethrough), WORD weight, LONG size in points x 10,000,
//              string face name
//     blob     DWORD N, then N bytes
//
// The mask lists the stock properties the saving control has; a loading
// control reads both that are listed and keeps only those it has too.
//
// A stream that ends early, a font with a size or weight out of range or a
// blob longer than what is left fails the load: the control is reset to its
// defaults and Load answers an error.

#include "platform/mfc/WinTypes.h"

namespace px {

inline constexpr DWORD kStockCaption = 0x1;
inline constexpr DWORD kStockEnabled = 0x2;

inline constexpr BYTE kFontItalic = 0x1;
inline constexpr BYTE kFontUnderline = 0x2;
inline constexpr BYTE kFontStrikethrough = 0x4;

// Names of the framework's own values in a property bag.
inline constexpr const char* kBagVersion = "_Version";
inline constexpr const char* kBagExtentX = "_ExtentX";
inline constexpr const char* kBagExtentY = "_ExtentY";
inline constexpr const char* kBagCaption = "Caption";
inline constexpr const char* kBagEnabled = "Enabled";

// A font in a property bag is a bag of its own with these values; its size
// is in points (a double). A blob in a bag is the base64 text of its bytes
// (the DWORD N and the N bytes).
inline constexpr const char* kFontName = "Name";
inline constexpr const char* kFontSize = "Size";
inline constexpr const char* kFontWeight = "Weight";
inline constexpr const char* kFontCharset = "Charset";
inline constexpr const char* kFontItalicName = "Italic";
inline constexpr const char* kFontUnderlineName = "Underline";
inline constexpr const char* kFontStrikethroughName = "Strikethrough";

} // namespace px
