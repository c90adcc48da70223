#include "platform/com/Bstr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(Bstr, KeepsItsLengthAndEmbeddedNuls)
{
    const char16_t text[] = {u'a', u'\0', u'b', u'c'};
    BSTR b = SysAllocStringLen(text, 4);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), 4u);
    EXPECT_EQ(SysStringByteLen(b), 8u);
    // The byte count sits in the four bytes before the text; a NUL ends it.
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(b) - 4, 4);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(b[4], u'\0');
    EXPECT_EQ(com::Utf8FromBstr(b), std::string("a\0bc", 4));
    // SysAllocString stops at the first NUL; a copy through Bstr does not.
    BSTR cut = SysAllocString(b);
    EXPECT_EQ(SysStringLen(cut), 1u);
    com::Bstr owned = com::Bstr::Attach(b);
    com::Bstr copy = owned;
    EXPECT_EQ(copy.Length(), 4u);
    EXPECT_NE(copy.Get(), owned.Get());
    SysFreeString(cut);
}

TEST(Bstr, NullIsTheEmptyString)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(com::Utf8FromBstr(nullptr), "");
    SysFreeString(nullptr);
    // Without text the characters are zeros.
    BSTR zeros = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(zeros, nullptr);
    EXPECT_EQ(SysStringLen(zeros), 3u);
    EXPECT_EQ(zeros[0], 0);
    EXPECT_EQ(zeros[2], 0);
    SysFreeString(zeros);
    // A length whose byte count does not fit four bytes is refused.
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
}

TEST(Bstr, Utf8ConversionsKeepEveryCharacter)
{
    const std::string text = "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"; // é, €, and an emoji beyond 16 bits
    com::Bstr b(text);
    ASSERT_EQ(b.Length(), 9u); // the emoji takes two UTF-16 units
    EXPECT_EQ(b.Get()[3], u'\u00E9');
    EXPECT_EQ(b.Get()[5], u'\u20AC');
    EXPECT_EQ(b.Get()[7], 0xD83D);
    EXPECT_EQ(b.Get()[8], 0xDE00);
    EXPECT_EQ(b.Utf8(), text);

    // Bytes that are not UTF-8, and a surrogate without its pair, become U+FFFD.
    EXPECT_EQ(com::Bstr("a\xFF"
                        "b")
                  .Utf8(),
              "a\xEF\xBF\xBD"
              "b");
    const char16_t lone[] = {u'x', 0xD800, u'y'};
    com::Bstr half = com::Bstr::Attach(SysAllocStringLen(lone, 3));
    EXPECT_EQ(half.Utf8(), "x\xEF\xBF\xBDy");
}

} // namespace
