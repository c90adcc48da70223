#include "platform/win/CursorService.h"

#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/CursorTestSupport.h"

#include <QPixmap>

#include <gtest/gtest.h>

namespace {

using namespace win;
using namespace win::testing;

std::uint32_t diagonal(int x, int y)
{
    return x == y ? 1 : 2;
}

Bytes cursorImage(int size = 32)
{
    DibPicture p;
    p.width = p.height = size;
    p.bitCount = 4;
    p.palette = {0x000000, 0xFF0000, 0x00FF00};
    p.value = diagonal;
    return MakeDib(p);
}

TEST(CursorServiceTest, HandlesNameTableEntriesUntilDestroyed)
{
    const std::size_t before = CursorHandleCount();
    const Bytes cur = MakeCur({{cursorImage(), 32, 32, QPoint(6, 9)}});
    HCURSOR a = LoadCursorFromBytes(cur);
    HCURSOR b = LoadCursorFromBytes(cur);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(CursorHandleCount(), before + 2);

    const auto cursor = CursorFromHandle(a);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->hotSpot(), QPoint(6, 9));
    const QImage shown = cursor->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(32, 32));
    EXPECT_EQ(shown.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(3, 4), qRgb(0, 255, 0));
    ASSERT_TRUE(CursorFileFromHandle(a));
    EXPECT_FALSE(CursorFileFromHandle(a)->animated);

    EXPECT_TRUE(DestroyCursor(a));
    EXPECT_FALSE(DestroyCursor(a));
    EXPECT_FALSE(CursorFromHandle(a));
    EXPECT_FALSE(CursorFileFromHandle(a));
    EXPECT_TRUE(CursorFromHandle(b));
    EXPECT_TRUE(DestroyCursor(b));
    EXPECT_FALSE(DestroyCursor(nullptr));
    EXPECT_EQ(CursorHandleCount(), before);

    // Bytes that make no cursor make no handle.
    EXPECT_EQ(LoadCursorFromBytes(Bytes{0, 0, 2, 0, 0, 0}), nullptr);
    EXPECT_EQ(CursorHandleCount(), before);
}

TEST(CursorServiceTest, AnimatedCursorsShowTheirFirstStepAndKeepTheRest)
{
    const Bytes still = MakeCur({{cursorImage(16), 16, 16, QPoint(1, 2)}});
    const Bytes big = MakeCur({{cursorImage(32), 32, 32, QPoint(3, 4)}});
    HCURSOR h = LoadCursorFromBytes(MakeAni({still, big}, std::vector<std::uint32_t>{1, 0, 1}));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(CursorFromHandle(h)->hotSpot(), QPoint(3, 4));
    EXPECT_EQ(CursorFromHandle(h)->pixmap().size(), QSize(32, 32));
    const auto file = CursorFileFromHandle(h);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->animated);
    EXPECT_EQ(file->frames.size(), 2u);
    EXPECT_EQ(file->steps.size(), 3u);
    DestroyCursor(h);
}

TEST(CursorServiceTest, CursorFilesLoadFromDisk)
{
    tv::testing::TempRoot root;
    const auto path = root.Path() / "arrow.cur";
    const Bytes cur = MakeCur({{cursorImage(), 32, 32, QPoint(2, 2)}});
    tv::testing::WriteRaw(path, std::string(cur.begin(), cur.end()));
    HCURSOR h = LoadCursorFromFile(path.c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(CursorFromHandle(h)->hotSpot(), QPoint(2, 2));
    DestroyCursor(h);
    EXPECT_EQ(LoadCursorFromFile((root.Path() / "missing.cur").c_str()), nullptr);
    EXPECT_EQ(LoadCursorFromFile(root.Path().c_str()), nullptr);
    EXPECT_EQ(LoadCursorFromFile(nullptr), nullptr);
}

TEST(CursorServiceTest, ResourceDirectoriesNameTheBestImage)
{
    const Bytes group = MakeCursorGroup({{16, 16, 8, 101}, {32, 32, 1, 102}, {32, 32, 8, 103}, {48, 48, 32, 104}});
    EXPECT_EQ(LookupIconIdFromDirectory(group, false), 103);
    EXPECT_EQ(LookupIconIdFromDirectory(MakeCursorGroup({{16, 16, 8, 7}, {48, 48, 32, 8}}), false), 8);
    // A cursor group is not an icon group; a directory cut short names nothing.
    EXPECT_EQ(LookupIconIdFromDirectory(group, true), 0);
    EXPECT_EQ(LookupIconIdFromDirectory(std::span(group.data(), group.size() - 1), false), 0);
    EXPECT_EQ(LookupIconIdFromDirectory({}, false), 0);
    EXPECT_EQ(LookupIconIdFromDirectory(MakeCursorGroup({}), false), 0);
}

TEST(CursorServiceTest, CursorResourcesMakeHandles)
{
    const Bytes resource = MakeCursorResource(QPoint(12, 3), cursorImage());
    HICON h = CreateIconFromResource(resource.data(), std::uint32_t(resource.size()), false, 0x30000);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(CursorFromHandle(h)->hotSpot(), QPoint(12, 3));
    DestroyCursor(h);

    EXPECT_EQ(CreateIconFromResource(resource.data(), std::uint32_t(resource.size()), false, 0x20000), nullptr);
    EXPECT_EQ(CreateIconFromResource(resource.data(), 40, false, 0x30000), nullptr);
    EXPECT_EQ(CreateIconFromResource(nullptr, 0, false, 0x30000), nullptr);
}

} // namespace
