#include "platform/com/Guid.h"

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr GUID kControl = com::GuidLiteral("{40B5CE81-C5A8-11D2-8183-00002440DFD8}");

TEST(Guid, TextRoundTripsThroughTheRegistryForm)
{
    EXPECT_EQ(kControl.Data1, 0x40B5CE81u);
    EXPECT_EQ(kControl.Data2, 0xC5A8);
    EXPECT_EQ(kControl.Data3, 0x11D2);
    const BYTE tail[8] = {0x81, 0x83, 0x00, 0x00, 0x24, 0x40, 0xDF, 0xD8};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(kControl.Data4[i], tail[i]) << i;

    EXPECT_EQ(com::GuidText(kControl), "{40B5CE81-C5A8-11D2-8183-00002440DFD8}");
    for (const char* text : {"{00000000-0000-0000-0000-000000000000}", "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}",
                             "{0C733A30-2A1C-11CE-ADE5-00AA0044773D}"}) {
        const auto g = com::ParseGuid(text);
        ASSERT_TRUE(g) << text;
        EXPECT_EQ(com::GuidText(*g), text);
    }
    // Lower case is read; the text written is upper case.
    const auto lower = com::ParseGuid("{40b5ce81-c5a8-11d2-8183-00002440dfd8}");
    ASSERT_TRUE(lower);
    EXPECT_EQ(*lower, kControl);
    EXPECT_EQ(*com::ParseGuid("{00000000-0000-0000-0000-000000000000}"), GUID_NULL);
}

TEST(Guid, MalformedTextsAreRefused)
{
    for (const char* text : {
             "",
             "{}",
             "40B5CE81-C5A8-11D2-8183-00002440DFD8",       // no braces
             "{40B5CE81-C5A8-11D2-8183-00002440DFD8",      // no closing brace
             "(40B5CE81-C5A8-11D2-8183-00002440DFD8)",     // other brackets
             "{40B5CE81-C5A8-11D2-8183-00002440DFD8} ",    // trailing blank
             " {40B5CE81-C5A8-11D2-8183-00002440DFD8}",    // leading blank
             "{40B5CE81C5A8-11D2-8183-00002440DFD8-}",     // dash moved
             "{40B5CE81-C5A8-11D2-818300002440DFD8}",      // dash missing, too short
             "{40B5CE81-C5A8-11D2-8183-00002440DFD}",      // digit missing
             "{40B5CE81-C5A8-11D2-8183-00002440DFD8A}",    // digit too many
             "{40B5CE8G-C5A8-11D2-8183-00002440DFD8}",     // not hexadecimal
             "{40B5CE81-C5A8-11D2-8183-00002440DFD+}",
             "{40B5CE81 C5A8 11D2 8183 00002440DFD8}",
             "{+0B5CE81-C5A8-11D2-8183-00002440DFD8}",
         })
        EXPECT_FALSE(com::ParseGuid(text)) << '"' << text << '"';
    // A NUL inside the text is no end of it.
    EXPECT_FALSE(com::ParseGuid(std::string_view("{40B5CE81-C5A8-11D2-8183-00002440DFD\0}", 38)));
}

TEST(Guid, CompareByEveryByte)
{
    GUID other = kControl;
    EXPECT_TRUE(IsEqualGUID(other, kControl));
    other.Data4[7] ^= 1;
    EXPECT_FALSE(IsEqualCLSID(other, kControl));
    // Ordered, so identifiers can key a map: each differing field tells.
    std::set<GUID> ids{kControl, other, GUID_NULL};
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(*ids.begin(), GUID_NULL);
}

} // namespace
