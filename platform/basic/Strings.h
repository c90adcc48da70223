#pragma once
// The runtime's string functions. Strings are UTF-8 in std::string; the
// functions that count characters (Len, Left, Mid, InStr...) count Unicode
// characters, as the runtime's own strings did.

#include <string>
#include <string_view>
#include <vector>

namespace vb {

enum class CompareMethod { Binary = 0, Text = 1 };

// Blanks only (U+0020), as the runtime trims.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);

std::string UCase(std::string_view s);
std::string LCase(std::string_view s);

long Len(std::string_view s);
std::string Left(std::string_view s, long length);
std::string Right(std::string_view s, long length);
// Mid(s, start) and Mid(s, start, length), start 1-based; start < 1 raises 5.
std::string Mid(std::string_view s, long start, long length = -1);

// 1-based position of find in s from start, 0 when absent; start < 1 raises 5.
long InStr(long start, std::string_view s, std::string_view find, CompareMethod compare = CompareMethod::Binary);
inline long InStr(std::string_view s, std::string_view find, CompareMethod compare = CompareMethod::Binary)
{
    return InStr(1, s, find, compare);
}
long InStrRev(std::string_view s, std::string_view find, long start = -1, CompareMethod compare = CompareMethod::Binary);

std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    CompareMethod compare = CompareMethod::Binary);

// Split keeps empty pieces; splitting an empty text gives an empty array
// (which still has bounds, 0 to -1).
std::vector<std::string> Split(std::string_view s, std::string_view delimiter = " ");
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter = " ");

std::string Space(long count);
std::string StringOf(long count, char32_t ch);
std::string Chr(long code);
long Asc(std::string_view s);
// Names (of columns, commands, keys) compared without ASCII case.
bool SameText(std::string_view a, std::string_view b);
// -1, 0 or 1.
int StrComp(std::string_view a, std::string_view b, CompareMethod compare = CompareMethod::Binary);

// The value of a hexadecimal digit (either case), or -1.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// UTF-8 helpers.
std::u32string ToUtf32(std::string_view s);
std::string ToUtf8(std::u32string_view s);
void AppendUtf8(std::string& out, char32_t cp);
bool IsValidUtf8(std::string_view s);
// The length of the well-formed UTF-8 character at s[i]; 0 when the bytes
// there are not one.
size_t Utf8SequenceLength(std::string_view s, size_t i);

// Windows-1252, the code page of the library's binary formats and of text
// files written by the original program.
std::string Cp1252ToUtf8(std::string_view bytes);
// Characters Windows-1252 cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view text);
// Bytes as text: UTF-8 where they are valid UTF-8, otherwise Windows-1252.
std::string DecodeLenient(std::string_view bytes);

} // namespace vb
