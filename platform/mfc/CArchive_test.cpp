#include "platform/mfc/CArchive.h"
#include "platform/mfc/CMemFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

template <typename F>
Bytes store(F&& write, int bufSize = 4096)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store, bufSize);
    write(ar);
    ar.Close();
    return file.Detach();
}

TEST(CArchiveTest, PrimitivesAreLittleEndianAndPacked)
{
    const Bytes bytes = store([](CArchive& ar) {
        ar << BYTE(0xAB) << WORD(0x1234) << LONG(-2) << DWORD(0xDEADBEEF) << short(-1) << 1.5;
    });
    const Bytes expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xBE, 0xAD, 0xDE,
                            0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_EQ(bytes, expected);

    CMemFile in(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&in, CArchive::load);
    BYTE b;
    WORD w;
    LONG l;
    DWORD d;
    short s;
    double x;
    ar >> b >> w >> l >> d >> s >> x;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(d, 0xDEADBEEFu);
    EXPECT_EQ(s, -1);
    EXPECT_EQ(x, 1.5);
}

TEST(CArchiveTest, StringLengthFormsAtEveryThreshold)
{
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'x');
        const Bytes bytes = store([&](CArchive& ar) { ar << text; });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + long(c.prefix.size())), c.prefix);

        CMemFile in(const_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
        CArchive ar(&in, CArchive::load);
        CString back;
        ar >> back;
        EXPECT_EQ(back, text);
    }
}

TEST(CArchiveTest, StringsAreStoredInWindows1252)
{
    // "€" is 0x80 and "é" 0xE9 in the code page; "中" has no byte and becomes '?'.
    const Bytes bytes = store([](CArchive& ar) { ar << CString("\u20AC\u00E9\u4E2D"); });
    EXPECT_EQ(bytes, (Bytes{3, 0x80, 0xE9, '?'}));

    const Bytes stored = {4, 'a', 0x80, 0x81, 0xFF};
    CMemFile in(const_cast<BYTE*>(stored.data()), UINT(stored.size()));
    CArchive ar(&in, CArchive::load);
    CString s;
    ar >> s;
    EXPECT_EQ(s, "a\u20AC\u0081\u00FF");
    // Every byte comes back as it was.
    EXPECT_EQ(store([&](CArchive& out) { out << s; }), stored);
}

TEST(CArchiveTest, ValuesPastTheEndRaiseEndOfFileAtEveryCut)
{
    const Bytes full = store([](CArchive& ar) { ar << WORD(1) << DWORD(2) << 3.0 << CString("hello"); });
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        SCOPED_TRACE(cut);
        Bytes part(full.begin(), full.begin() + long(cut));
        CMemFile in(part.data(), UINT(part.size()));
        CArchive ar(&in, CArchive::load);
        WORD w;
        DWORD d;
        double x;
        CString s;
        try {
            ar >> w >> d >> x >> s;
            FAIL() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    }
}

TEST(CArchiveTest, HostileStringLengthsFailWithoutReadingBeyondTheData)
{
    // A DWORD length of 4 GiB - 1 over 3 bytes of data.
    Bytes bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'};
    CMemFile in(bytes.data(), UINT(bytes.size()));
    CArchive ar(&in, CArchive::load);
    CString s;
    EXPECT_THROW(ar >> s, CArchiveException);

    // The wide-string marker is not a length.
    Bytes wide = {0xFF, 0xFE, 0xFF, 1, 'a', 0};
    CMemFile in2(wide.data(), UINT(wide.size()));
    CArchive ar2(&in2, CArchive::load);
    try {
        ar2 >> s;
        FAIL() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badSchema);
    }
}

TEST(CArchiveTest, ReadReturnsShortCountsAndCrossesTheBuffer)
{
    Bytes data(10000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = BYTE(i * 7);
    CMemFile in(data.data(), UINT(data.size()));
    CArchive ar(&in, CArchive::load, 128);
    BYTE first;
    ar >> first;
    Bytes got(200);
    EXPECT_EQ(ar.Read(got.data(), 200), 200u);
    EXPECT_EQ(got[0], data[1]);
    EXPECT_EQ(got[199], data[200]);
    Bytes rest(20000);
    EXPECT_EQ(ar.Read(rest.data(), 20000), UINT(10000 - 201));
    EXPECT_EQ(rest[0], data[201]);
    EXPECT_EQ(rest[10000 - 202], data[9999]);
    EXPECT_EQ(ar.Read(rest.data(), 1), 0u);

    // Values straddling the buffer's end of a small buffer.
    const Bytes many = store([](CArchive& out) {
        for (DWORD i = 0; i < 1000; ++i)
            out << BYTE(i) << DWORD(i * 3);
    }, 128);
    ASSERT_EQ(many.size(), 5000u);
    CMemFile in2(const_cast<BYTE*>(many.data()), UINT(many.size()));
    CArchive ar2(&in2, CArchive::load, 128);
    for (DWORD i = 0; i < 1000; ++i) {
        BYTE b;
        DWORD d;
        ar2 >> b >> d;
        ASSERT_EQ(b, BYTE(i));
        ASSERT_EQ(d, i * 3);
    }
}

TEST(CArchiveTest, DirectionAndLifetimeRules)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << DWORD(7);
        DWORD d;
        EXPECT_THROW(ar >> d, CArchiveException);
        // Destroyed without Flush or Close: the buffered bytes are dropped.
    }
    EXPECT_EQ(file.GetLength(), 0u);
    {
        CArchive ar(&file, CArchive::store);
        ar << DWORD(7) << DWORD(8);
        ar.Flush();
        EXPECT_EQ(file.GetLength(), 8u);
        ar.Close();
        EXPECT_EQ(ar.GetFile(), nullptr);
    }
    file.SeekToBegin();
    {
        CArchive ar(&file, CArchive::load);
        DWORD d;
        ar >> d;
        EXPECT_EQ(d, 7u);
        EXPECT_THROW(ar << DWORD(1), CArchiveException);
        // A loading Flush hands the unread bytes back to the file.
        ar.Flush();
        EXPECT_EQ(file.GetPosition(), 4u);
    }
}

} // namespace
