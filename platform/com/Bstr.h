#pragma once
// Automation strings: UTF-16 with their length in bytes in the four bytes
// before the first character and a NUL after the last, so that a string may
// hold NULs of its own. A null BSTR is the empty string.

#include "platform/mfc/WinTypes.h"

#include <string>
#include <string_view>

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// A copy of text up to its NUL; null for null text.
BSTR SysAllocString(LPCOLESTR text);
// A string of length characters copied from text, or zeros when text is null;
// null when there is no memory for it.
BSTR SysAllocStringLen(LPCOLESTR text, UINT length);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

namespace com {

// Conversions with UTF-8, the text form of the rest of the system. Bytes that
// are not UTF-8 and unpaired surrogates become U+FFFD.
BSTR BstrFromUtf8(std::string_view text);
std::string Utf8FromBstr(BSTR bstr);
std::u16string_view BstrView(BSTR bstr);

// Owns one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) : b_(BstrFromUtf8(utf8)) {}
    Bstr(const Bstr& other);
    Bstr(Bstr&& other) noexcept : b_(other.Detach()) {}
    Bstr& operator=(Bstr other) noexcept;
    ~Bstr() { SysFreeString(b_); }

    // Takes over a string someone else allocated.
    static Bstr Attach(BSTR b);

    BSTR Get() const { return b_; }
    // The address to receive a string into; the current one is freed first.
    BSTR* Receive();
    BSTR Detach();
    UINT Length() const { return SysStringLen(b_); }
    std::string Utf8() const { return Utf8FromBstr(b_); }

private:
    BSTR b_ = nullptr;
};

} // namespace com
