#include "platform/com/Stream.h"

#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using com::ComPtr;

std::string readAll(IStream* s)
{
    EXPECT_EQ(s->Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
    std::string out;
    char buffer[3];
    ULONG read = 0;
    while (s->Read(buffer, sizeof buffer, &read) == S_OK && read > 0)
        out.append(buffer, read);
    return out;
}

HRESULT write(IStream* s, std::string_view bytes)
{
    ULONG written = 0;
    const HRESULT hr = s->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    EXPECT_TRUE(FAILED(hr) || written == bytes.size());
    return hr;
}

TEST(Stream, MemoryStreamsReadWriteAndSeek)
{
    ComPtr<IStream> s;
    ASSERT_EQ(com::CreateStreamOnMemory("hello", s.Receive()), S_OK);
    char buffer[8] = {};
    ULONG read = 0;
    EXPECT_EQ(s->Read(buffer, 3, &read), S_OK);
    EXPECT_EQ(std::string(buffer, read), "hel");
    std::uint64_t position = 0;
    EXPECT_EQ(s->Seek(-1, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, 4u);
    EXPECT_EQ(s->Read(buffer, 8, &read), S_OK);
    EXPECT_EQ(std::string(buffer, read), "o");
    // At the end a read gives nothing, and succeeds.
    EXPECT_EQ(s->Read(buffer, 8, &read), S_OK);
    EXPECT_EQ(read, 0u);

    // Writing past the end fills the gap with zeros.
    EXPECT_EQ(s->Seek(2, STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(write(s.Get(), "!"), S_OK);
    EXPECT_EQ(readAll(s.Get()), std::string("hello\0\0!", 8));
    EXPECT_EQ(s->Seek(-1, STREAM_SEEK_SET, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Seek(0, 9, nullptr), STG_E_INVALIDFUNCTION);

    EXPECT_EQ(s->SetSize(2), S_OK);
    STATSTG stat{};
    EXPECT_EQ(s->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize, 2u);
    EXPECT_EQ(stat.type, STGTY_STREAM);

    // A clone shares the bytes; it starts at the original's position and
    // then keeps a position of its own.
    s->Seek(1, STREAM_SEEK_SET, nullptr);
    ComPtr<IStream> clone;
    ASSERT_EQ(s->Clone(clone.Receive()), S_OK);
    EXPECT_EQ(write(clone.Get(), "E"), S_OK);
    clone->Seek(0, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(write(clone.Get(), "H"), S_OK);
    s->Seek(0, STREAM_SEEK_CUR, &position);
    EXPECT_EQ(position, 1u);
    EXPECT_EQ(readAll(s.Get()), "HE");

    ComPtr<IStream> target;
    com::CreateStreamOnMemory({}, target.Receive());
    s->Seek(0, STREAM_SEEK_SET, nullptr);
    std::uint64_t copiedIn = 0, copiedOut = 0;
    EXPECT_EQ(s->CopyTo(target.Get(), 100, &copiedIn, &copiedOut), S_OK);
    EXPECT_EQ(copiedIn, 2u);
    EXPECT_EQ(copiedOut, 2u);
    EXPECT_EQ(readAll(target.Get()), "HE");
    EXPECT_EQ(s->LockRegion(0, 1, 0), STG_E_INVALIDFUNCTION);
}

TEST(Stream, AFileIsReplacedWholeOnlyWhenCommitted)
{
    tv::testing::TempRoot root;
    const auto path = root.Path() / "state.bin";
    tv::testing::WriteRaw(path, "old contents");

    ComPtr<IStream> s;
    ASSERT_EQ(com::CreateStreamOnFile(path, STGM_READWRITE, s.Receive()), S_OK);
    EXPECT_EQ(readAll(s.Get()), "old contents");
    s->Seek(0, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(write(s.Get(), "new"), S_OK);
    // Until it is committed the file keeps what it had.
    EXPECT_EQ(tv::testing::ReadRaw(path), "old contents");
    EXPECT_EQ(s->Revert(), S_OK);
    EXPECT_EQ(readAll(s.Get()), "old contents");
    s->Seek(0, STREAM_SEEK_SET, nullptr);
    write(s.Get(), "new");
    EXPECT_EQ(s->Commit(0), S_OK);
    EXPECT_EQ(tv::testing::ReadRaw(path), "new contents");

    // The last Release publishes what was written since.
    write(s.Get(), "!");
    s.Reset();
    EXPECT_EQ(tv::testing::ReadRaw(path), "new!contents");
}

TEST(Stream, FileModesAndMissingFiles)
{
    tv::testing::TempRoot root;
    const auto path = root.Path() / "made.bin";
    ComPtr<IStream> s;
    EXPECT_EQ(com::CreateStreamOnFile(path, STGM_READ, s.Receive()), STG_E_FILENOTFOUND);
    EXPECT_EQ(com::CreateStreamOnFile(root.Path(), STGM_READ, s.Receive()), STG_E_FILENOTFOUND);
    EXPECT_EQ(com::CreateStreamOnFile(path, STGM_READ | STGM_CREATE, s.Receive()), STG_E_INVALIDFLAG);
    EXPECT_EQ(com::CreateStreamOnFile(path, 0x40000, s.Receive()), STG_E_INVALIDFLAG);

    ASSERT_EQ(com::CreateStreamOnFile(path, STGM_CREATE | STGM_WRITE, s.Receive()), S_OK);
    write(s.Get(), "made");
    EXPECT_FALSE(std::filesystem::exists(path));
    s.Reset();
    EXPECT_EQ(tv::testing::ReadRaw(path), "made");

    ASSERT_EQ(com::CreateStreamOnFile(path, STGM_READ, s.Receive()), S_OK);
    EXPECT_EQ(write(s.Get(), "x"), STG_E_ACCESSDENIED);
    EXPECT_EQ(s->SetSize(0), STG_E_ACCESSDENIED);
    s.Reset();
    EXPECT_EQ(tv::testing::ReadRaw(path), "made");

    // A file that cannot be read is refused, not taken as empty.
    if (geteuid() != 0) {
        chmod(path.c_str(), 0);
        EXPECT_EQ(com::CreateStreamOnFile(path, STGM_READ, s.Receive()), STG_E_ACCESSDENIED);
        chmod(path.c_str(), 0600);
    }
}

} // namespace
