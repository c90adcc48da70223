#include "program/stores/cCreateIcons.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/testing/TempRoot.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The digit pictures as they must appear, top row first, digits 0 to 9 across;
// the comment is the file row counted from the bottom. Kept apart from the
// code's own tables so that a slip in either shows. The golden icons in
// testdata/icons were made from these tables by testdata/make_icons.py.
constexpr std::string_view kLarge[17][10] = {
    {"....####....", "....###.....", "...######...", "...######...", ".......####.", "..##########", "....#####...", "############", "....####....", "...######..."}, // 23
    {"..########..", "...####.....", ".##########.", ".##########.", "......#####.", "..##########", "..#########.", "############", "..########..", ".##########."}, // 22
    {".####..####.", "#######.....", ".####..####.", ".####..####.", ".....######.", "..###.......", ".####...###.", "........###.", "..###..###..", ".####..####."}, // 21
    {".###....###.", "#######.....", "####....####", "####....####", ".....######.", ".###........", ".###.....###", ".......####.", ".###....###.", "####....####"}, // 20
    {"###......###", "....###.....", "###......###", "###......###", "....#######.", ".###........", "###.........", ".......###..", ".###....###.", "###......###"}, // 19
    {"###......###", "....###.....", ".........###", "........###.", "...####.###.", ".###........", "###.........", "......####..", ".###....###.", "###......###"}, // 18
    {"###......###", "....###.....", "........####", ".......####.", "...###..###.", "#########...", "###.#####...", "......###...", "..###..###..", "###......###"}, // 17
    {"###......###", "....###.....", ".......####.", "....######..", "..####..###.", "###########.", "###########.", ".....####...", "..########..", "####....####"}, // 16
    {"###......###", "....###.....", ".....######.", "....######..", ".####...###.", "###....####.", "#####..####.", ".....###....", "..########..", ".####..#####"}, // 15
    {"###......###", "....###.....", "....#####...", ".......####.", ".###....###.", "........####", "####....####", "....####....", ".####..####.", ".###########"}, // 14
    {"###......###", "....###.....", "...####.....", "........####", "####....###.", ".........###", "###......###", "....###.....", "####....####", "...#########"}, // 13
    {"###......###", "....###.....", "..####......", "###......###", "############", ".........###", "###......###", "....###.....", "###......###", ".........###"}, // 12
    {"###......###", "....###.....", ".####.......", "###......###", "############", ".........###", "###......###", "...####.....", "###......###", ".........###"}, // 11
    {".###....###.", "....###.....", ".###........", "####....####", "........###.", "###.....####", "####....####", "...###......", "####....####", "###.....###."}, // 10
    {".####..####.", "....###.....", "####........", ".####..####.", "........###.", "####...####.", ".####..####.", "...###......", ".####..####.", ".###...####."}, // 9
    {"..########..", "....###.....", "############", ".##########.", "........###.", ".##########.", ".##########.", "...###......", ".##########.", ".#########.."}, // 8
    {"....####....", "....###.....", "############", "...######...", "........###.", "...######...", "...######...", "...###......", "...######...", "...#####...."}, // 7
};
constexpr std::string_view kSmall[14][10] = {
    {"...####...", "...###....", "..######..", "...####...", "....####..", ".########.", "...####...", "##########", "...####...", "...####..."}, // 21
    {".########.", "..####....", ".########.", ".########.", "....####..", ".########.", ".########.", "##########", ".########.", ".########."}, // 20
    {".###..###.", "######....", "####..####", ".###..###.", "...#####..", ".###......", ".###..###.", ".......###", ".###..###.", ".###..###."}, // 19
    {"###....###", "######....", "###....###", "###....###", "...#####..", ".###......", "###....###", ".......###", "###....###", "###....###"}, // 18
    {"###....###", "...###....", ".......###", "###....###", "..######..", "###.......", "###.......", "......###.", "###....###", "###....###"}, // 17
    {"###....###", "...###....", "......####", "......###.", "..######..", "#######...", "#######...", "......###.", ".###..###.", "###....###"}, // 16
    {"###....###", "...###....", ".....####.", "...#####..", ".###.###..", "#########.", "#########.", ".....###..", "..######..", ".###..####"}, // 15
    {"###....###", "...###....", "...#####..", "...######.", ".###.###..", "###...###.", "####..###.", ".....###..", ".########.", ".#########"}, // 14
    {"###....###", "...###....", "..####....", "......###.", "###..###..", ".......###", "###....###", "....###...", ".###..###.", "...#######"}, // 13
    {"###....###", "...###....", ".####.....", "###....###", "##########", ".......###", "###....###", "....###...", "###....###", ".......###"}, // 12
    {"###....###", "...###....", ".###......", "###....###", "##########", "###....###", "###....###", "....###...", "###....###", "###....###"}, // 11
    {".###..###.", "...###....", "###.......", ".###..###.", ".....###..", "####..###.", ".###..###.", "...###....", ".###..###.", ".###..###."}, // 10
    {".########.", "...###....", "##########", ".########.", ".....###..", ".########.", ".########.", "...###....", ".########.", ".########."}, // 9
    {"...####...", "...###....", "##########", "...####...", ".....###..", "..#####...", "...####...", "...###....", "...####...", "...####..."}, // 8
};

enum class Size { Large, Small };

struct Glyph {
    int digit;
    Size size;
    int column; // leftmost column of the glyph
};

struct IconCase {
    int number;
    std::vector<Glyph> glyphs;
};

const std::vector<IconCase> kGoldenIcons = {
    {0, {{0, Size::Large, 10}}},
    {7, {{7, Size::Large, 10}}},
    {9, {{9, Size::Large, 10}}},
    {10, {{1, Size::Large, 3}, {0, Size::Large, 17}}},
    {42, {{4, Size::Large, 3}, {2, Size::Large, 17}}},
    {99, {{9, Size::Large, 3}, {9, Size::Large, 17}}},
    {100, {{1, Size::Small, 0}, {0, Size::Small, 11}, {0, Size::Small, 22}}},
    {999, {{9, Size::Small, 0}, {9, Size::Small, 11}, {9, Size::Small, 22}}},
};

// 32 x 32 ink map, [y][x] with y = 0 the top row as a viewer shows it.
using InkMap = std::array<std::array<bool, 32>, 32>;

InkMap expectedInk(const std::vector<Glyph>& glyphs)
{
    InkMap ink{};
    for (const Glyph& g : glyphs) {
        const bool large = g.size == Size::Large;
        const int topFileRow = large ? 23 : 21;
        const int rows = large ? 17 : 14;
        for (int r = 0; r < rows; ++r) {
            const std::string_view row = large ? kLarge[r][g.digit] : kSmall[r][g.digit];
            const int y = 31 - (topFileRow - r);
            for (size_t c = 0; c < row.size(); ++c)
                if (row[c] == '#') {
                    const int x = g.column + static_cast<int>(c);
                    EXPECT_LT(x, 32) << "glyph runs off the right edge";
                    if (x < 32)
                        ink[static_cast<size_t>(y)][static_cast<size_t>(x)] = true;
                }
        }
    }
    return ink;
}

std::string dump(const InkMap& ink)
{
    std::string s;
    for (const auto& row : ink) {
        for (bool b : row)
            s += b ? '#' : '.';
        s += '\n';
    }
    return s;
}

// Ink as Qt's own icon reader sees the file: opaque black pixels.
InkMap inkOfImage(const QImage& image)
{
    InkMap ink{};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QColor c = image.pixelColor(x, y);
            const bool opaque = c.alpha() == 255;
            EXPECT_TRUE(c.alpha() == 0 || c.alpha() == 255) << "pixel " << x << "," << y;
            if (opaque) {
                EXPECT_EQ(c.rgb() & 0xFFFFFFu, 0u) << "ink must be black at " << x << "," << y;
            }
            ink[static_cast<size_t>(y)][static_cast<size_t>(x)] = opaque;
        }
    return ink;
}

fs::path goldenFile(int number)
{
    return fs::path(__FILE__).parent_path() / "testdata" / "icons" / (std::to_string(number) + ".ico");
}

uint32_t readLE(const std::string& bytes, size_t offset, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[offset + static_cast<size_t>(i)]);
    return v;
}

class IconTest : public ::testing::Test {
protected:
    fs::path iconsFolder() const { return root_.ProgramFolder() / "icons"; }
    void SetUp() override { fs::create_directories(iconsFolder()); }

    tv::testing::TempRoot root_;
};

TEST_F(IconTest, GoldenIconsAreWrittenByteForByteWithTheFixedLayout)
{
    for (const IconCase& ic : kGoldenIcons) {
        SCOPED_TRACE("number " + std::to_string(ic.number));
        const fs::path file = StoreIconFile(ic.number);
        EXPECT_EQ(file, iconsFolder() / (std::to_string(ic.number) + ".ico"));
        EXPECT_FALSE(cCreateIcons().GenerateIcon(ic.number, file));

        const std::string bytes = vb::fso::ReadAllBytes(file);
        ASSERT_EQ(bytes.size(), 326u);
        EXPECT_EQ(bytes, vb::fso::ReadAllBytes(goldenFile(ic.number)));

        const std::vector<std::array<uint32_t, 3>> header = {
            {0, 2, 0}, {2, 2, 1}, {4, 2, 1}, {6, 1, 32}, {7, 1, 32}, {8, 1, 2}, {9, 1, 0},
            {10, 2, 1}, {12, 2, 1}, {14, 4, 304}, {18, 4, 22}, {22, 4, 40}, {26, 4, 32},
            {30, 4, 64}, {34, 2, 1}, {36, 2, 1}, {38, 4, 0}, {42, 4, 256}, {46, 4, 0},
            {50, 4, 0}, {54, 4, 0}, {58, 4, 0}, {62, 4, 0x00000000}, {66, 4, 0x00FFFFFF},
        };
        for (const auto& [offset, size, value] : header)
            EXPECT_EQ(readLE(bytes, offset, static_cast<int>(size)), value) << "at offset " << offset;
        for (size_t i = 70; i < 198; ++i)
            ASSERT_EQ(bytes[i], '\0') << "colour mask byte " << i;
    }
}

TEST_F(IconTest, QtReadsEveryIconAsTheDigitGlyphs)
{
    for (const IconCase& ic : kGoldenIcons) {
        SCOPED_TRACE("number " + std::to_string(ic.number));
        const InkMap expected = expectedInk(ic.glyphs);
        cCreateIcons().GenerateIcon(ic.number, StoreIconFile(ic.number));
        for (const fs::path& file : {goldenFile(ic.number), StoreIconFile(ic.number)}) {
            QImage image;
            ASSERT_TRUE(image.load(QString::fromStdString(file.string()), "ICO")) << file;
            ASSERT_EQ(image.width(), 32);
            ASSERT_EQ(image.height(), 32);
            EXPECT_EQ(dump(inkOfImage(image)), dump(expected)) << file;
        }
    }
}

TEST_F(IconTest, OtherNumbersAreDrawnByTheSameRules)
{
    const std::vector<IconCase> cases = {
        {1, {{1, Size::Large, 10}}},
        {58, {{5, Size::Large, 3}, {8, Size::Large, 17}}},
        {365, {{3, Size::Small, 0}, {6, Size::Small, 11}, {5, Size::Small, 22}}},
        {724, {{7, Size::Small, 0}, {2, Size::Small, 11}, {4, Size::Small, 22}}},
    };
    for (const IconCase& ic : cases) {
        SCOPED_TRACE("number " + std::to_string(ic.number));
        const fs::path file = StoreIconFile(ic.number);
        EXPECT_FALSE(cCreateIcons().GenerateIcon(ic.number, file));
        EXPECT_EQ(vb::fso::FileLen(file), 326);
        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString(file.string()), "ICO"));
        EXPECT_EQ(dump(inkOfImage(image)), dump(expectedInk(ic.glyphs)));
    }
}

TEST_F(IconTest, NumbersThatCannotBeDrawnWriteNothingAndRaiseNothing)
{
    const fs::path existing = StoreIconFile(1000);
    vb::fso::WriteAllBytesAtomic(existing, "a picture of the user's own");
    for (int number : {1000, 1001, 32767, -1, -7, -999, -32768}) {
        SCOPED_TRACE(number);
        bool result = false;
        EXPECT_NO_THROW(result = cCreateIcons().GenerateIcon(number, existing));
        EXPECT_TRUE(result);
        EXPECT_NO_THROW(result = cCreateIcons().GenerateIcon(number, StoreIconFile(number)));
        EXPECT_TRUE(result);
    }
    EXPECT_EQ(vb::fso::ReadAllBytes(existing), "a picture of the user's own");
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(iconsFolder()))
        left.push_back(entry.path());
    EXPECT_EQ(left, std::vector<fs::path>{existing});
}

TEST_F(IconTest, AnIconReplacesWhateverFileWasThere)
{
    const fs::path file = StoreIconFile(42);
    vb::fso::WriteAllBytesAtomic(file, std::string(5000, 'x'));
    EXPECT_FALSE(cCreateIcons().GenerateIcon(42, file));
    EXPECT_EQ(vb::fso::ReadAllBytes(file), vb::fso::ReadAllBytes(goldenFile(42)));
    // Drawing again over its own icon gives the same file.
    EXPECT_FALSE(cCreateIcons().GenerateIcon(42, file));
    EXPECT_EQ(vb::fso::ReadAllBytes(file), vb::fso::ReadAllBytes(goldenFile(42)));
}

TEST_F(IconTest, AFailedWriteRaisesAndLeavesNoPartOfAnIcon)
{
    // No folder: the class creates none.
    fs::remove_all(iconsFolder());
    try {
        cCreateIcons().GenerateIcon(7, StoreIconFile(7));
        ADD_FAILURE() << "no error for a missing folder";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::kErrPathNotFound);
    }
    EXPECT_FALSE(fs::exists(iconsFolder()));

    // A folder standing where the icon should go cannot be replaced; nothing
    // is left beside it.
    fs::create_directories(iconsFolder() / "7.ico");
    EXPECT_THROW(cCreateIcons().GenerateIcon(7, StoreIconFile(7)), vb::RuntimeError);
    EXPECT_TRUE(fs::is_directory(StoreIconFile(7)));
    EXPECT_EQ(std::distance(fs::directory_iterator(iconsFolder()), fs::directory_iterator()), 1);

    // The next call writes the file anew.
    fs::remove(StoreIconFile(7));
    EXPECT_FALSE(cCreateIcons().GenerateIcon(7, StoreIconFile(7)));
    EXPECT_EQ(vb::fso::ReadAllBytes(StoreIconFile(7)), vb::fso::ReadAllBytes(goldenFile(7)));
}

} // namespace
