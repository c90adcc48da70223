#include "platform/mfc/CPalette.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CPaletteTest, OwnsOnePaletteAtATime)
{
    std::vector<BYTE> buffer(4 + 3 * 4);
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    lp->palPalEntry[0] = {0, 0, 0, 0};
    PALETTEENTRY* e = lp->palPalEntry;
    e[1] = {255, 0, 0, 0};
    e[2] = {0, 0, 250, 0};

    CPalette pal;
    EXPECT_EQ(pal.GetEntryCount(), 0);
    EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(1, 2, 3)), CLR_INVALID);
    ASSERT_TRUE(pal.CreatePalette(lp));
    HPALETTE first = pal;
    EXPECT_EQ(pal.GetEntryCount(), 3);
    EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(240, 10, 10)), 1u);
    EXPECT_EQ(pal.GetNearestPaletteIndex(RGB(0, 0, 255)), 2u);

    const PALETTEENTRY white{255, 255, 255, 0};
    EXPECT_EQ(pal.SetPaletteEntries(2, 5, &white), 1u);
    PALETTEENTRY back[3]{};
    EXPECT_EQ(pal.GetPaletteEntries(0, 3, back), 3u);
    EXPECT_EQ(back[2].peGreen, 255);

    // A second palette replaces the first, which is deleted.
    lp->palNumEntries = 2;
    ASSERT_TRUE(pal.CreatePalette(lp));
    EXPECT_EQ(pal.GetEntryCount(), 2);
    EXPECT_EQ(GetPaletteEntries(first, 0, 0, nullptr), 0u);
    EXPECT_TRUE(pal.DeleteObject());
    EXPECT_FALSE(pal.DeleteObject());
    EXPECT_EQ(pal.GetSafeHandle(), nullptr);
}

} // namespace
