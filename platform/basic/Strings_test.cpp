#include "platform/basic/Strings.h"

#include "platform/basic/RuntimeError.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Strings, TrimRemovesBlanksOnly)
{
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\tx\t"), "\tx\t");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
}

TEST(Strings, CaseAndCharacterCounting)
{
    EXPECT_EQ(UCase("abc Ä é"), "ABC Ä É");
    EXPECT_EQ(LCase("ÀBC"), "àbc");
    EXPECT_EQ(Len("Zürich"), 6);
    EXPECT_EQ(Left("Zürich", 2), "Zü");
    EXPECT_EQ(Right("Zürich", 3), "ich");
    EXPECT_EQ(Mid("Zürich", 2, 3), "üri");
    EXPECT_EQ(Mid("abc", 5), "");
    EXPECT_THROW(Mid("abc", 0), RuntimeError);
    EXPECT_EQ(InStr("Zürich", "ich"), 4);
    EXPECT_EQ(InStr(5, "abcabc", "a"), 0);
    EXPECT_EQ(InStr(2, "abcabc", "a"), 4);
    EXPECT_EQ(InStr("ABC", "b", CompareMethod::Text), 2);
    EXPECT_EQ(InStr("ABC", "b"), 0);
    EXPECT_EQ(InStrRev("a\\b\\c", "\\"), 4);
    EXPECT_EQ(StrComp("abc", "ABC", CompareMethod::Text), 0);
    EXPECT_EQ(StrComp("abc", "abd"), -1);
}

TEST(Strings, SplitKeepsEmptyPieces)
{
    EXPECT_EQ(Split("a;;b;", ";"), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_TRUE(Split("", ";").empty());
    EXPECT_EQ(Split("abc", ";"), (std::vector<std::string>{"abc"}));
    EXPECT_EQ(Split("a\r\nb", "\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Join({"a", "", "b"}, ";"), "a;;b");
    EXPECT_EQ(Replace("5.000%", "%", ""), "5.000");
    EXPECT_EQ(Replace("aAa", "a", "x", CompareMethod::Text), "xxx");
}

TEST(Strings, Windows1252RoundTripsAndLenientDecoding)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Utf8ToCp1252("日"), "?");
    EXPECT_EQ(DecodeLenient("caf\xe9"), "café");
    EXPECT_EQ(DecodeLenient("café"), "café");
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));     // overlong
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80")); // surrogate
    EXPECT_FALSE(IsValidUtf8("\xe2\x82"));     // cut short
    EXPECT_EQ(Chr(65), "A");
    EXPECT_EQ(Chr(128), "€");
    EXPECT_EQ(Asc("€"), 128);
    EXPECT_EQ(Asc("A"), 65);
}
