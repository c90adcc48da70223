#include "buttonlib/media/CPackedBuffer.h"
#include "buttonlib/media/Compression.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/basic/FileSystem.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

namespace {

using namespace media::testing;

TEST(CPackedBufferTest, PackAndSaveGiveTheGoldenFile)
{
    tv::testing::TempRoot root;
    const Bytes payload = ReadGolden("bytes_payload.bin");
    CPackedBuffer pb;
    EXPECT_EQ(pb.GetFormatCode(), -1);
    ASSERT_TRUE(pb.Pack(payload.data(), int(payload.size()), CPackedBuffer::kFormatWav));
    EXPECT_FALSE(pb.IsExternal());
    EXPECT_EQ(pb.GetUnpackedSize(), payload.size());

    const auto path = root.Path() / "sound.qxz";
    ASSERT_TRUE(pb.Save(path.c_str()));
    const std::string written = vb::fso::ReadAllBytes(path);
    EXPECT_EQ(Bytes(written.begin(), written.end()), ReadGolden("wave.qxz"));

    // Saving over an existing file replaces it whole.
    CPackedBuffer other;
    const BYTE tiny[] = {1};
    ASSERT_TRUE(other.Pack(tiny, 1, CPackedBuffer::kFormatBmp));
    ASSERT_TRUE(other.Save(path.c_str()));
    EXPECT_EQ(vb::fso::FileLen(path), 14 + long(other.GetPackedSize()));
}

TEST(CPackedBufferTest, AttachReadsTheHeaderInPlace)
{
    Bytes golden = ReadGolden("wave.qxz");
    {
        CPackedBuffer pb;
        ASSERT_TRUE(pb.Attach(golden.data(), int(golden.size())));
        EXPECT_TRUE(pb.IsExternal());
        EXPECT_EQ(pb.GetFormatCode(), CPackedBuffer::kFormatWav);
        EXPECT_EQ(pb.GetUnpackedSize(), 300u);
        EXPECT_EQ(pb.GetPackedSize(), golden.size() - 14);
        EXPECT_EQ(pb.GetData(), golden.data() + 14);
        Bytes out;
        ASSERT_TRUE(media::UncompressExact(pb.GetData(), pb.GetPackedSize(), pb.GetUnpackedSize(), out));
        EXPECT_EQ(out, ReadGolden("bytes_payload.bin"));
    }
    // Destroying the object leaves the caller's bytes alone.
    EXPECT_EQ(golden, ReadGolden("wave.qxz"));
}

TEST(CPackedBufferTest, AttachRefusesWhatIsNotAWholePackedBuffer)
{
    const Bytes golden = ReadGolden("wave.qxz");
    auto refused = [](Bytes b, int size) {
        CPackedBuffer pb;
        const BYTE keep[] = {5};
        pb.Pack(keep, 1, CPackedBuffer::kFormatGif);
        const BOOL ok = pb.Attach(b.data(), size);
        // A refused buffer leaves the object as it was.
        return !ok && pb.GetFormatCode() == CPackedBuffer::kFormatGif && !pb.IsExternal();
    };
    Bytes noNul = golden;
    noNul[3] = ' ';
    EXPECT_TRUE(refused(noNul, int(noNul.size())));
    Bytes wrong = golden;
    wrong[0] = 'q';
    EXPECT_TRUE(refused(wrong, int(wrong.size())));
    EXPECT_TRUE(refused(golden, -1));
    // Shorter than the header, or packed size beyond the buffer: every cut.
    for (int cut = 0; cut < int(golden.size()); ++cut)
        EXPECT_TRUE(refused(golden, cut)) << cut;
    Bytes huge = golden;
    std::memset(huge.data() + 10, 0xFF, 4);
    EXPECT_TRUE(refused(huge, int(huge.size())));
    CPackedBuffer pb;
    EXPECT_FALSE(pb.Attach(nullptr, 100));

    // A packed size shorter than the rest is fine: the rest is not ours.
    Bytes longer = golden;
    longer.push_back(0);
    EXPECT_TRUE(pb.Attach(longer.data(), int(longer.size())));
}

TEST(CPackedBufferTest, SaveWithoutDataOrToABadPathFails)
{
    tv::testing::TempRoot root;
    const auto path = root.Path() / "nothing.qxz";
    CPackedBuffer pb;
    EXPECT_FALSE(pb.Save(path.c_str()));
    EXPECT_FALSE(vb::fso::FileExists(path));

    const BYTE b[] = {1, 2, 3};
    pb.Pack(b, 3, CPackedBuffer::kFormatAvi);
    EXPECT_FALSE(pb.Save((root.Path() / "missing" / "x.qxz").c_str()));
    EXPECT_FALSE(pb.Save(root.Path().c_str()));

    // An empty payload still packs to a valid stream.
    CPackedBuffer empty;
    ASSERT_TRUE(empty.Pack(nullptr, 0, CPackedBuffer::kFormatBmp));
    Bytes out{1};
    EXPECT_TRUE(media::UncompressExact(empty.GetData(), empty.GetPackedSize(), 0, out));
    EXPECT_FALSE(empty.Pack(nullptr, -1, CPackedBuffer::kFormatBmp));
}

} // namespace
