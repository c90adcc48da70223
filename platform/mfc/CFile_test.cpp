#include "platform/mfc/CFile.h"
#include "platform/mfc/CMemFile.h"

#include "platform/basic/FileSystem.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;

std::string text(const fs::path& p)
{
    return vb::fso::ReadAllBytes(p);
}

TEST(CFileTest, OpenFailuresNameTheirCause)
{
    tv::testing::TempRoot root;
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open((root.Path() / "missing.bin").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(f.Open((root.Path() / "nofolder" / "x.bin").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_FALSE(f.Open((root.Path() / "nofolder" / "x.bin").c_str(), CFile::modeCreate | CFile::modeReadWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_FALSE(f.Open(root.Path().c_str(), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    if (::geteuid() != 0) {
        const fs::path locked = root.Path() / "locked";
        fs::create_directory(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(f.Open((locked / "x.bin").c_str(), CFile::modeCreate | CFile::modeWrite, &e));
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        fs::permissions(locked, fs::perms::owner_all);
    }
    EXPECT_THROW(CFile((root.Path() / "missing.bin").c_str(), CFile::modeRead), CFileException);
}

TEST(CFileTest, CreatedFileReplacesTheOldOneOnlyOnClose)
{
    tv::testing::TempRoot root;
    const fs::path path = root.Path() / "data.bin";
    vb::fso::WriteAllBytesAtomic(path, "old contents");

    CFile f(path.c_str(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive);
    f.Write("new", 3);
    EXPECT_EQ(text(path), "old contents");
    EXPECT_EQ(f.GetLength(), 3u);
    f.SeekToBegin();
    char back[3];
    EXPECT_EQ(f.Read(back, 3), 3u);
    EXPECT_EQ(std::string(back, 3), "new");
    f.Close();
    EXPECT_EQ(text(path), "new");
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(root.Path()), fs::directory_iterator()), 4);

    {
        CFile g(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        g.Write("partial", 7);
        g.Abort();
    }
    EXPECT_EQ(text(path), "new");

    try {
        CFile g(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        g.Write("partial", 7);
        throw std::runtime_error("failure while writing");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(text(path), "new");

    {
        // Going out of scope normally commits, as closing does.
        CFile g(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        g.Write("scoped", 6);
    }
    EXPECT_EQ(text(path), "scoped");
}

TEST(CFileTest, ReadSeekAndLengthOfAnExistingFile)
{
    tv::testing::TempRoot root;
    const fs::path path = root.Path() / "data.bin";
    vb::fso::WriteAllBytesAtomic(path, "0123456789");
    CFile f(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    EXPECT_EQ(f.GetLength(), 10u);
    EXPECT_EQ(f.Seek(4, CFile::begin), 4);
    char buf[20];
    EXPECT_EQ(f.Read(buf, 20), 6u);
    EXPECT_EQ(std::string(buf, 6), "456789");
    EXPECT_EQ(f.Read(buf, 20), 0u);
    EXPECT_EQ(f.Seek(-3, CFile::end), 7);
    EXPECT_EQ(f.GetPosition(), 7u);
    EXPECT_THROW(f.Seek(-20, CFile::current), CFileException);
    EXPECT_THROW(f.Write("x", 1), CFileException);
    f.Close();
    EXPECT_THROW(f.Read(buf, 1), CFileException);
}

TEST(CMemFileTest, GrowsInStepsAndHandsItsBytesOver)
{
    CMemFile f;
    Bytes chunk(1500, 0x5A);
    f.Write(chunk.data(), 1500);
    EXPECT_EQ(f.GetLength(), 1500u);
    f.Seek(2000, CFile::begin);
    f.Write("z", 1);
    EXPECT_EQ(f.GetLength(), 2001u);
    f.SeekToBegin();
    Bytes back(3000);
    EXPECT_EQ(f.Read(back.data(), 3000), 2001u);
    EXPECT_EQ(back[1499], 0x5A);
    EXPECT_EQ(back[1500], 0);
    EXPECT_EQ(back[2000], 'z');

    const Bytes taken = f.Detach();
    EXPECT_EQ(taken.size(), 2001u);
    EXPECT_EQ(f.GetLength(), 0u);
}

TEST(CMemFileTest, AttachedBufferIsUsedInPlaceAndNeverTaken)
{
    Bytes buffer = {1, 2, 3, 4};
    {
        CMemFile f;
        f.Attach(buffer.data(), 4);
        BYTE b[2];
        EXPECT_EQ(f.Read(b, 2), 2u);
        f.Write("\x09", 1);
        EXPECT_EQ(buffer[2], 9);
        // Without a growth step the caller's buffer cannot be outgrown.
        f.SeekToEnd();
        EXPECT_THROW(f.Write("x", 1), CMemoryException);
        EXPECT_TRUE(f.Detach().empty());
    }
    EXPECT_EQ(buffer, (Bytes{1, 2, 9, 4}));

    // With a growth step, growing moves to an owned copy.
    CMemFile g(buffer.data(), 4, 16);
    g.SeekToEnd();
    g.Write("\x05", 1);
    EXPECT_EQ(g.Detach(), (Bytes{1, 2, 9, 4, 5}));
    EXPECT_EQ(buffer.size(), 4u);
}

} // namespace
