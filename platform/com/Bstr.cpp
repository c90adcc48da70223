#include "platform/com/Bstr.h"

#include "platform/basic/Strings.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t byteLength(BSTR b)
{
    std::uint32_t n;
    std::memcpy(&n, reinterpret_cast<const char*>(b) - kPrefix, kPrefix);
    return n;
}

} // namespace

BSTR SysAllocStringLen(LPCOLESTR text, UINT length)
{
    // The byte count must fit its four bytes.
    if (length > (std::numeric_limits<std::uint32_t>::max() - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR))
        return nullptr;
    const std::uint32_t bytes = length * static_cast<std::uint32_t>(sizeof(OLECHAR));
    char* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    std::memcpy(block, &bytes, kPrefix);
    auto* chars = reinterpret_cast<OLECHAR*>(block + kPrefix);
    if (text)
        std::memcpy(chars, text, bytes);
    else
        std::memset(chars, 0, bytes);
    chars[length] = u'\0';
    return chars;
}

BSTR SysAllocString(LPCOLESTR text)
{
    if (!text)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

void SysFreeString(BSTR bstr)
{
    if (bstr)
        std::free(reinterpret_cast<char*>(bstr) - kPrefix);
}

UINT SysStringByteLen(BSTR bstr)
{
    return bstr ? byteLength(bstr) : 0;
}

UINT SysStringLen(BSTR bstr)
{
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

namespace com {

std::u16string_view BstrView(BSTR bstr)
{
    return bstr ? std::u16string_view(bstr, SysStringLen(bstr)) : std::u16string_view();
}

BSTR BstrFromUtf8(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    for (char32_t cp : vb::ToUtf32(text)) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        if (cp < 0x10000) {
            units.push_back(static_cast<char16_t>(cp));
        } else {
            cp -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
}

std::string Utf8FromBstr(BSTR bstr)
{
    const std::u16string_view units = BstrView(bstr);
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        vb::AppendUtf8(out, cp);
    }
    return out;
}

Bstr::Bstr(const Bstr& other) : b_(other.b_ ? SysAllocStringLen(other.b_, other.Length()) : nullptr) {}

Bstr& Bstr::operator=(Bstr other) noexcept
{
    std::swap(b_, other.b_);
    return *this;
}

Bstr Bstr::Attach(BSTR b)
{
    Bstr s;
    s.b_ = b;
    return s;
}

BSTR* Bstr::Receive()
{
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
}

BSTR Bstr::Detach()
{
    return std::exchange(b_, nullptr);
}

} // namespace com
