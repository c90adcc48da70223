#include "buttonlib/media/CCursor.h"

#include "buttonlib/media/CSound.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/CursorTestSupport.h"
#include "platform/win/Resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using media::testing::BlobOf;
using media::testing::LoadBlob;
using media::testing::LoadPlainForm;
using media::testing::PlainForm;
using win::testing::CurEntry;
using win::testing::DibPicture;
using Bytes = std::vector<BYTE>;
namespace fs = std::filesystem;

std::uint32_t rings(int x, int y)
{
    return std::uint32_t(((x - 8) * (x - 8) + (y - 8) * (y - 8)) / 10 % 4);
}

Bytes ringImage(int size)
{
    DibPicture p;
    p.width = p.height = size;
    p.bitCount = 4;
    p.palette = {0x000000, 0xFFFFFF, 0x3366CC, 0xCC6633};
    p.value = rings;
    return win::testing::MakeDib(p);
}

Bytes curFile(QPoint hotSpot, int size = 16)
{
    return win::testing::MakeCur({CurEntry(ringImage(size), size, size, hotSpot)});
}

Bytes heldBytes(const CCursor& c)
{
    return c.GetData() ? Bytes(c.GetData(), c.GetData() + c.GetByteCount()) : Bytes{};
}

QPoint hotSpotOf(const CCursor& c)
{
    const auto cursor = win::CursorFromHandle(c.GetHandle());
    return cursor ? cursor->hotSpot() : QPoint(-1, -1);
}

// The handle belongs to the taker; the tests take and destroy it.
void release(CCursor& c)
{
    win::DestroyCursor(c.GetHandle());
}

class CCursorTest : public ::testing::Test {
protected:
    fs::path write(const std::string& name, const Bytes& bytes)
    {
        const fs::path p = root_.Path() / name;
        tv::testing::WriteRaw(p, std::string(bytes.begin(), bytes.end()));
        return p;
    }
    tv::testing::TempRoot root_;
};

std::set<fs::path> tempFilesStartingWithCur()
{
    std::set<fs::path> found;
    for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
        if (e.path().filename().string().rfind("cur", 0) == 0)
            found.insert(e.path());
    return found;
}

TEST_F(CCursorTest, ACursorFileLoadsItsBytesAndItsHandle)
{
    const auto tempBefore = tempFilesStartingWithCur();
    const Bytes file = curFile(QPoint(4, 11));
    CCursor c;
    ASSERT_TRUE(c.Load(write("hand.cur", file).c_str()));
    EXPECT_TRUE(c.IsLoaded());
    EXPECT_TRUE(c.HasData());
    EXPECT_EQ(heldBytes(c), file);
    EXPECT_EQ(hotSpotOf(c), QPoint(4, 11));
    EXPECT_EQ(win::CursorFromHandle(c.GetHandle())->pixmap().size(), QSize(16, 16));
    // Made from memory: nothing is left in the temporary folder.
    EXPECT_EQ(tempFilesStartingWithCur(), tempBefore);

    const fs::path copy = root_.Path() / "copy.cur";
    ASSERT_TRUE(c.Save(copy.c_str()));
    EXPECT_EQ(tv::testing::ReadRaw(copy), std::string(file.begin(), file.end()));
    release(c);
}

TEST_F(CCursorTest, FilesThatMakeNoCursorFailAndLeaveTheObjectEmpty)
{
    CCursor c;
    ASSERT_TRUE(c.Load(write("a.cur", curFile(QPoint(1, 1))).c_str()));
    release(c);
    const std::size_t handles = win::CursorHandleCount();

    EXPECT_FALSE(c.Load(write("text.cur", Bytes{'h', 'e', 'l', 'l', 'o'}).c_str()));
    EXPECT_FALSE(c.HasData());
    EXPECT_FALSE(c.IsLoaded());
    EXPECT_EQ(c.GetHandle(), nullptr);
    EXPECT_FALSE(c.Load((root_.Path() / "missing.cur").c_str()));
    EXPECT_FALSE(c.Load(""));
    EXPECT_EQ(win::CursorHandleCount(), handles);

    // An empty object saves nothing; a file error is FALSE.
    const fs::path none = root_.Path() / "none.cur";
    EXPECT_TRUE(c.Save(none.c_str()));
    EXPECT_FALSE(fs::exists(none));
    ASSERT_TRUE(c.Load(write("b.cur", curFile(QPoint(1, 1))).c_str()));
    EXPECT_FALSE(c.Save((root_.Path() / "no" / "such.cur").c_str()));
    release(c);
}

TEST_F(CCursorTest, AnAnimatedCursorIsStoredWholeAndComesBackWithItsFrames)
{
    const Bytes ani = win::testing::MakeAni({curFile(QPoint(1, 1)), curFile(QPoint(2, 2), 32)},
                                            std::vector<std::uint32_t>{1, 0, 1}, std::vector<std::uint32_t>{3, 4, 5});
    CCursor c;
    ASSERT_TRUE(c.Load(write("busy.ani", ani).c_str()));
    EXPECT_EQ(heldBytes(c), ani);
    EXPECT_EQ(hotSpotOf(c), QPoint(2, 2));

    const Bytes blob = BlobOf(c);
    CCursor back;
    ASSERT_TRUE(LoadBlob(back, blob));
    EXPECT_EQ(heldBytes(back), ani);
    EXPECT_TRUE(back.IsLoaded());
    EXPECT_EQ(hotSpotOf(back), QPoint(2, 2));
    const auto frames = win::CursorFileFromHandle(back.GetHandle());
    ASSERT_TRUE(frames);
    EXPECT_EQ(frames->frames.size(), 2u);
    EXPECT_EQ(frames->rates, (std::vector<std::uint32_t>{3, 4, 5}));
    release(c);
    release(back);
}

TEST_F(CCursorTest, AStoredCursorReplacesTheOneHeld)
{
    const Bytes first = curFile(QPoint(1, 1)), second = curFile(QPoint(9, 9));
    CCursor stored, c;
    ASSERT_TRUE(stored.Load(write("second.cur", second).c_str()));
    ASSERT_TRUE(c.Load(write("first.cur", first).c_str()));
    const win::HCURSOR old = c.GetHandle();
    ASSERT_TRUE(LoadBlob(c, BlobOf(stored)));
    EXPECT_EQ(heldBytes(c), second);
    EXPECT_EQ(hotSpotOf(c), QPoint(9, 9));
    // The old handle was only forgotten: its taker still destroys it.
    EXPECT_TRUE(win::DestroyCursor(old));

    // The empty blob leaves the object as it was.
    ASSERT_TRUE(LoadBlob(c, Bytes{0, 0, 0, 0}));
    EXPECT_EQ(heldBytes(c), second);
    CCursor empty;
    EXPECT_EQ(BlobOf(empty), (Bytes{0, 0, 0, 0}));
    release(stored);
    release(c);
}

TEST_F(CCursorTest, StoredBytesThatMakeNoCursorLoadWithoutAHandle)
{
    // The same stored form as any byte-count object: a sound's will do.
    const Bytes junk = {'n', 'o', 't', ' ', 'a', ' ', 'c', 'u', 'r', 's', 'o', 'r'};
    CSound carrier;
    ASSERT_TRUE(carrier.SetRawData(junk.data(), int(junk.size())));
    CCursor c;
    ASSERT_TRUE(LoadBlob(c, BlobOf(carrier)));
    EXPECT_TRUE(c.HasData());
    EXPECT_TRUE(c.IsLoaded());
    EXPECT_EQ(heldBytes(c), junk);
    EXPECT_EQ(c.GetHandle(), nullptr);
    // And they are stored again unchanged.
    CCursor again;
    ASSERT_TRUE(LoadBlob(again, BlobOf(c)));
    EXPECT_EQ(heldBytes(again), junk);
}

TEST_F(CCursorTest, AStoredFormCutShortRaisesAndEmpties)
{
    const Bytes file = curFile(QPoint(1, 1));
    CCursor c;
    ASSERT_TRUE(c.Load(write("c.cur", file).c_str()));
    Bytes plain = PlainForm(c);
    ASSERT_EQ(plain.size(), 4 + file.size());
    release(c);
    plain.resize(plain.size() - 3);
    EXPECT_THROW(LoadPlainForm(c, plain), CMemoryException);
    EXPECT_FALSE(c.HasData());
    EXPECT_EQ(c.GetHandle(), nullptr);
}

TEST_F(CCursorTest, MakeCursorMakesANewHandleEachTime)
{
    CCursor c;
    ASSERT_TRUE(c.Load(write("d.cur", curFile(QPoint(3, 3))).c_str()));
    const win::HCURSOR first = c.GetHandle();
    EXPECT_TRUE(c.MakeCursor());
    EXPECT_NE(c.GetHandle(), first);
    EXPECT_EQ(hotSpotOf(c), QPoint(3, 3));
    EXPECT_TRUE(win::DestroyCursor(first));
    release(c);
}

TEST_F(CCursorTest, ResourceCursorsHoldNoBytesAndAreNotStored)
{
    win::RegisterResource(win::RT_GROUP_CURSOR, 9501,
                          win::testing::MakeCursorGroup({{16, 16, 4, 9511}, {32, 32, 4, 9512}}));
    win::RegisterResource(win::RT_CURSOR, 9511, win::testing::MakeCursorResource(QPoint(1, 1), ringImage(16)));
    win::RegisterResource(win::RT_CURSOR, 9512, win::testing::MakeCursorResource(QPoint(20, 5), ringImage(32)));

    CCursor c;
    ASSERT_TRUE(c.Load(write("e.cur", curFile(QPoint(3, 3))).c_str()));
    release(c);
    ASSERT_TRUE(c.LoadFromResource(9501));
    EXPECT_TRUE(c.IsLoaded());
    EXPECT_FALSE(c.HasData());
    EXPECT_EQ(hotSpotOf(c), QPoint(20, 5));
    EXPECT_EQ(win::CursorFromHandle(c.GetHandle())->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(BlobOf(c), (Bytes{0, 0, 0, 0}));
    release(c);

    // A missing group, a group naming a missing image, an image that is none.
    win::RegisterResource(win::RT_GROUP_CURSOR, 9502, win::testing::MakeCursorGroup({{32, 32, 4, 9599}}));
    win::RegisterResource(win::RT_GROUP_CURSOR, 9503, win::testing::MakeCursorGroup({{32, 32, 4, 9513}}));
    win::RegisterResource(win::RT_CURSOR, 9513, Bytes{1, 0, 1, 0, 'x'});
    for (UINT id : {9500u, 9502u, 9503u}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(c.LoadFromResource(id));
        EXPECT_FALSE(c.IsLoaded());
        EXPECT_EQ(c.GetHandle(), nullptr);
    }
}

} // namespace
