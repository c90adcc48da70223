#include "buttonlib/media/CBlob.h"
#include "buttonlib/media/Compression.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/mfc/CMemFile.h"

#include <gtest/gtest.h>

namespace {

using namespace media::testing;

// An object holding a file's bytes, stored as the sound, cursor and
// animation objects store theirs.
class CByteObject : public CBlob {
public:
    void SetBytes(const Bytes& b)
    {
        bytes = b;
        byteCount = DWORD(b.size());
    }
    void Serialize(CArchive& ar) override { SerializeByteCount(ar, FALSE, byteCount); }
    void SerializeEx(CArchive& ar, BOOL bCompressed) override { SerializeByteCount(ar, bCompressed, byteCount); }
    BOOL StoreData(CArchive& ar) override
    {
        ar.Write(bytes.data(), UINT(bytes.size()));
        return TRUE;
    }
    BOOL LoadData(CArchive& ar) override
    {
        Bytes in;
        if (!ReadExact(ar, byteCount, in)) {
            bytes.clear();
            byteCount = 0;
            return FALSE;
        }
        bytes = in;
        return TRUE;
    }
    HGLOBAL HeldBlob() const { return hBlob; }

    Bytes bytes;
    DWORD byteCount = 0;
};

TEST(CBlobTest, CompressedFormMatchesTheGoldenFilesBothWays)
{
    for (const char* name : {"bytes_compressible", "bytes_incompressible"}) {
        SCOPED_TRACE(name);
        const Bytes payload = ReadGolden(std::string(name) == "bytes_compressible" ? "bytes_payload.bin" : "noise_payload.bin");
        const Bytes golden = ReadGolden(std::string(name) + ".blob");
        ASSERT_FALSE(golden.empty());

        CByteObject obj;
        obj.SetBytes(payload);
        EXPECT_EQ(BlobOf(obj), golden);
        EXPECT_EQ(obj.GetBlobSize(), DWORD(golden.size() - 4));

        CByteObject back;
        ASSERT_TRUE(LoadBlob(back, golden));
        EXPECT_EQ(back.bytes, payload);
        EXPECT_EQ(back.byteCount, DWORD(payload.size()));
    }
    // The packed length may exceed the raw length.
    const Bytes noisy = ReadGolden("bytes_incompressible.blob");
    EXPECT_GT(noisy[8] | (noisy[9] << 8), noisy[12] | (noisy[13] << 8));
}

TEST(CBlobTest, PlainSerializeWritesCountAndBytes)
{
    CByteObject obj;
    obj.SetBytes({1, 2, 3});
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    obj.Serialize(ar);
    ar.Close();
    EXPECT_EQ(file.Detach(), (Bytes{3, 0, 0, 0, 1, 2, 3}));
}

TEST(CBlobTest, ObjectWithoutBytesIsTheEmptyBlobAndLoadingItChangesNothing)
{
    CByteObject empty;
    EXPECT_EQ(BlobOf(empty), ReadGolden("empty.blob"));

    CByteObject obj;
    obj.SetBytes({9, 9});
    HGLOBAL h = MakeBlock(ReadGolden("empty.blob"));
    HGLOBAL original = h;
    obj.SetBlob(&h);
    // The empty block is not consumed.
    EXPECT_EQ(h, original);
    EXPECT_EQ(obj.bytes, (Bytes{9, 9}));
    GlobalFree(h);
}

TEST(CBlobTest, ExchangeStoresAndLoadsThroughThePropertyAndOwnsItsBlock)
{
    const SIZE_T blocksBefore = GlobalBlockCount();
    {
        FakePropExchange px(false, 0x60000);
        CByteObject obj;
        obj.SetBytes(ReadGolden("bytes_payload.bin"));
        obj.ExchangeBlob(&px, "sndDown");
        HGLOBAL first = obj.HeldBlob();
        ASSERT_NE(first, nullptr);
        // Saving again replaces (and frees) the held block.
        obj.ExchangeBlob(&px, "sndDown");
        EXPECT_EQ(GlobalSize(first), 0u);
        EXPECT_EQ(px.props["sndDown"], ReadGolden("bytes_compressible.blob"));

        px.SetLoading(true);
        CByteObject back;
        back.ExchangeBlob(&px, "sndDown");
        EXPECT_EQ(back.bytes, obj.bytes);
        // A loaded blob is consumed.
        EXPECT_EQ(back.HeldBlob(), nullptr);

        CByteObject missing;
        missing.ExchangeBlob(&px, "sndUp");
        EXPECT_TRUE(missing.bytes.empty());
    }
    EXPECT_EQ(GlobalBlockCount(), blocksBefore);
}

TEST(CBlobTest, EveryTruncationOfAStoredBlobFailsCleanly)
{
    const Bytes golden = ReadGolden("bytes_compressible.blob");
    const SIZE_T blocksBefore = GlobalBlockCount();
    for (std::size_t cut = 0; cut < golden.size(); ++cut) {
        SCOPED_TRACE(cut);
        Bytes part(golden.begin(), golden.begin() + long(cut));
        // As cut (N then claims more than the block holds) and with N
        // adjusted to the bytes that remain (the archive itself is short).
        CByteObject a;
        EXPECT_FALSE(LoadBlob(a, part));
        EXPECT_TRUE(a.bytes.empty());
        if (cut >= 4) {
            const DWORD n = DWORD(cut - 4);
            std::memcpy(part.data(), &n, 4);
            CByteObject b;
            const bool ok = LoadBlob(b, part);
            EXPECT_TRUE(!ok || n == 0);
            EXPECT_TRUE(b.bytes.empty());
        }
    }
    EXPECT_EQ(GlobalBlockCount(), blocksBefore);
}

TEST(CBlobTest, DamagedCompressedPayloadsNeverReachTheObject)
{
    const Bytes golden = ReadGolden("bytes_compressible.blob");
    auto patched = [&](std::size_t at, DWORD value) {
        Bytes b = golden;
        std::memcpy(b.data() + at, &value, 4);
        return b;
    };
    const DWORD raw = DWORD(golden[12] | (golden[13] << 8));
    struct Case {
        const char* what;
        Bytes blob;
    };
    Bytes flipped = golden;
    flipped[24] ^= 0x55;
    Bytes badHeader = golden;
    badHeader[16] = 0x00; // zlib header byte
    const Case cases[] = {
        {"blob length beyond the block", patched(0, DWORD(golden.size()))},
        {"blob length 4 GiB", patched(0, 0xFFFFFFFF)},
        {"packed length beyond the data", patched(8, 0x10000)},
        {"packed length 4 GiB", patched(8, 0xFFFFFFFF)},
        {"raw length one short", patched(12, raw - 1)},
        {"raw length one long", patched(12, raw + 1)},
        {"raw length absurd", patched(12, 0xFFFFFFF0)},
        {"corrupt deflate data", flipped},
        {"bad zlib header", badHeader},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CByteObject obj;
        obj.SetBytes({7});
        EXPECT_FALSE(LoadBlob(obj, c.blob));
        // The payload step never ran.
        EXPECT_EQ(obj.bytes, Bytes{7});
    }
    // A block too small to hold its own count.
    CByteObject obj;
    EXPECT_FALSE(LoadBlob(obj, Bytes{1, 0}));
}

TEST(CompressionTest, UncompressDemandsTheExactAnnouncedSize)
{
    const Bytes payload = ReadGolden("bytes_payload.bin");
    Bytes packed;
    ASSERT_TRUE(media::CompressBytes(payload.data(), payload.size(), packed));
    Bytes out;
    EXPECT_TRUE(media::UncompressExact(packed.data(), packed.size(), payload.size(), out));
    EXPECT_EQ(out, payload);
    EXPECT_FALSE(media::UncompressExact(packed.data(), packed.size(), payload.size() - 1, out));
    EXPECT_FALSE(media::UncompressExact(packed.data(), packed.size(), payload.size() + 1, out));
    EXPECT_FALSE(media::UncompressExact(packed.data(), packed.size() - 1, payload.size(), out));
    EXPECT_FALSE(media::UncompressExact(packed.data(), packed.size(), media::kMaxUnpackedSize + 1, out));

    Bytes empty;
    ASSERT_TRUE(media::CompressBytes(nullptr, 0, packed));
    EXPECT_TRUE(media::UncompressExact(packed.data(), packed.size(), 0, empty));
    EXPECT_TRUE(empty.empty());
}

} // namespace
