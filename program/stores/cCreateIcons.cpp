#include "program/stores/cCreateIcons.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"

#include <string_view>

namespace {

constexpr int kLargeWidth = 12;
constexpr int kLargeHeight = 17;
constexpr int kLargeTopRow = 23;
constexpr int kSmallWidth = 10;
constexpr int kSmallHeight = 14;
constexpr int kSmallTopRow = 21;

constexpr uint32_t kTransparentRow = 0xFFFFFFFFu;

// The digit glyphs, top row first, digits 0 to 9 across; '#' is ink and the
// leftmost character column 0. The comment names the file row (0 = bottom).
constexpr std::string_view kLargeGlyphs[kLargeHeight][10] = {
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

constexpr std::string_view kSmallGlyphs[kSmallHeight][10] = {
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

template <size_t Height>
constexpr std::array<std::array<uint32_t, 32>, 10> buildGlyphs(const std::string_view (&table)[Height][10],
                                                               int topRow)
{
    std::array<std::array<uint32_t, 32>, 10> glyphs{};
    for (auto& g : glyphs)
        g.fill(kTransparentRow);
    for (size_t r = 0; r < Height; ++r) {
        for (size_t d = 0; d < 10; ++d) {
            uint32_t row = kTransparentRow;
            for (size_t col = 0; col < table[r][d].size(); ++col)
                if (table[r][d][col] == '#')
                    row &= ~(0x80000000u >> col);
            glyphs[d][static_cast<size_t>(topRow) - r] = row;
        }
    }
    return glyphs;
}

constexpr auto kLarge = buildGlyphs(kLargeGlyphs, kLargeTopRow);
constexpr auto kSmall = buildGlyphs(kSmallGlyphs, kSmallTopRow);

template <size_t Height>
constexpr bool wellFormed(const std::string_view (&table)[Height][10], size_t width)
{
    for (const auto& row : table)
        for (std::string_view glyphRow : row) {
            if (glyphRow.size() != width)
                return false;
            for (char c : glyphRow)
                if (c != '#' && c != '.')
                    return false;
        }
    return true;
}
static_assert(wellFormed(kLargeGlyphs, kLargeWidth), "every large glyph row is 12 columns of '#' and '.'");
static_assert(wellFormed(kSmallGlyphs, kSmallWidth), "every small glyph row is 10 columns of '#' and '.'");

void putLE(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::filesystem::path StoreIconFile(int storeNumber)
{
    return vb::AppPaths::ProgramFolder() / kIconsFolderName / (std::to_string(storeNumber) + ".ico");
}

bool cCreateIcons::GenerateIcon(int number, const std::filesystem::path& filename)
{
    // A negative number has no digits to draw: like a number too large, it gets
    // no icon rather than an error that would stop the caller.
    if (number < 0 || number >= 1000)
        return true;

    const std::string s = std::to_string(number);
    auto digit = [&](size_t i) { return s[i] - '0'; };
    Picture picture;
    switch (s.size()) {
    case 1:
        picture = ShiftRows(GetLargeDigit(digit(0)), 10);
        break;
    case 2:
        picture = CombineTwoGlyphs(ShiftRows(GetLargeDigit(digit(1)), 17), ShiftRows(GetLargeDigit(digit(0)), 3));
        break;
    default:
        picture = CombineThreeGlyphs(ShiftRows(GetSmallDigit(digit(2)), 22), ShiftRows(GetSmallDigit(digit(1)), 11),
                                     GetSmallDigit(digit(0)));
        break;
    }

    std::string bytes = GetIconHeader() + GetXorMask();
    for (uint32_t row : picture) {
        // Column 0 is bit 7 of the row's first byte.
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<char>((row >> shift) & 0xFF));
    }
    // The temporary file renamed over the old one means a failed write never
    // leaves half an icon behind.
    vb::fso::WriteAllBytesAtomic(filename, bytes);
    return false;
}

// Icon directory, its one entry, the bitmap header, the two palette entries
// (black, white) and the first two bytes of the colour mask: offsets 0 to 71.
std::string cCreateIcons::GetIconHeader()
{
    std::string h;
    putLE(h, 0, 2);   // reserved
    putLE(h, 1, 2);   // resource type: icon
    putLE(h, 1, 2);   // image count
    putLE(h, 32, 1);  // width
    putLE(h, 32, 1);  // height
    putLE(h, 2, 1);   // colour count
    putLE(h, 0, 1);   // reserved
    putLE(h, 1, 2);   // colour planes
    putLE(h, 1, 2);   // bits per pixel
    putLE(h, 304, 4); // bytes in the image
    putLE(h, 22, 4);  // offset of the image
    putLE(h, 40, 4);  // bitmap header size
    putLE(h, 32, 4);  // width
    putLE(h, 64, 4);  // height of both masks together
    putLE(h, 1, 2);   // planes
    putLE(h, 1, 2);   // bits per pixel
    putLE(h, 0, 4);   // uncompressed
    putLE(h, 256, 4); // image size
    h.append(16, '\0');
    putLE(h, 0x00000000u, 4); // palette 0: black
    putLE(h, 0x00FFFFFFu, 4); // palette 1: white
    h.append(2, '\0');
    return h;
}

// The rest of the colour mask, offsets 72 to 197: all black, so that the AND
// mask alone decides between ink and transparency.
std::string cCreateIcons::GetXorMask()
{
    return std::string(126, '\0');
}

cCreateIcons::Picture cCreateIcons::GetLargeDigit(int digit)
{
    return kLarge.at(static_cast<size_t>(digit));
}

cCreateIcons::Picture cCreateIcons::GetSmallDigit(int digit)
{
    return kSmall.at(static_cast<size_t>(digit));
}

// Moves every row n columns to the right; the columns coming in on the left
// are transparent.
cCreateIcons::Picture cCreateIcons::ShiftRows(const Picture& picture, int n)
{
    if (n <= 0)
        return picture;
    Picture out;
    for (size_t r = 0; r < out.size(); ++r)
        out[r] = n >= 32 ? kTransparentRow : (picture[r] >> n) | ~(kTransparentRow >> n);
    return out;
}

// A pixel is ink when it is ink in either picture.
cCreateIcons::Picture cCreateIcons::CombineTwoGlyphs(const Picture& a, const Picture& b)
{
    Picture out;
    for (size_t r = 0; r < out.size(); ++r)
        out[r] = a[r] & b[r];
    return out;
}

cCreateIcons::Picture cCreateIcons::CombineThreeGlyphs(const Picture& a, const Picture& b, const Picture& c)
{
    return CombineTwoGlyphs(CombineTwoGlyphs(a, b), c);
}
