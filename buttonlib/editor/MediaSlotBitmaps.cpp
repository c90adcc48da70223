#include "buttonlib/editor/MediaSlotBitmaps.h"

#include "buttonlib/media/CDIB.h"

#include "platform/win/Resources.h"

#include <array>
#include <cstring>
#include <mutex>
#include <string_view>

namespace MediaSlotBitmaps {

namespace {

// Entries of the default 16-colour table.
int indexOf(char c)
{
    switch (c) {
    case 'k': return 0;  // black
    case 'n': return 1;  // navy
    case 'g': return 2;  // green
    case 'm': return 4;  // maroon
    case 'o': return 6;  // olive
    case 'b': return 9;  // blue
    case 'l': return 10; // lime
    case 'r': return 12; // red
    case 'y': return 14; // yellow
    case 'w': return 15; // white
    default: return 8;   // light grey: transparent
    }
}

constexpr std::array<std::string_view, 16> kFolder = {
    "................", "................", "................", ".kkkkk..........",
    "kyyyyyk.........", "kywwwwykkkkkkk..", "kywyyyyyyyyyyk..", "kywyykkkkkkkkkkk",
    "kywykyyyyyyyyyok", "kywkyyyyyyyyyok.", "kyykyyyyyyyyyok.", "kykyyyyyyyyyok..",
    "kkyyyyyyyyyyok..", "kkkkkkkkkkkkk...", "................", "................",
};

constexpr std::array<std::string_view, 16> kGlobe = {
    "................", ".....nnnnnn.....", "...nnbbggbbnn...", "..nbbgglgbbbbn..",
    "..nbggllgbbbbn..", ".nbbgllgbbbggbn.", ".nbbbggbbbglgbn.", ".nbbbbgbbgllgbn.",
    ".nbbbbbbbglgbbn.", ".nbbbbbbbbggbbn.", ".nbbggbbbbbbbbn.", "..nbglggbbbbbn..",
    "..nbbgggbbbbbn..", "...nnbbgbbbnn...", ".....nnnnnn.....", "................",
};

constexpr std::array<std::string_view, 22> kCross = {
    "........................", "........................", "........................",
    ".....mm..........mm.....", "....mrrm........mrrm....", ".....mrrm......mrrm.....",
    "......mrrm....mrrm......", ".......mrrm..mrrm.......", "........mrrmmrrm........",
    ".........mrrrrm.........", "..........mrrm..........", ".........mrrrrm.........",
    "........mrrmmrrm........", ".......mrrm..mrrm.......", "......mrrm....mrrm......",
    ".....mrrm......mrrm.....", "....mrrm........mrrm....", ".....mm..........mm.....",
    "........................", "........................", "........................",
    "........................",
};

template <std::size_t N>
std::vector<BYTE> draw(const std::array<std::string_view, N>& rows)
{
    const int width = int(rows[0].size());
    const int height = int(N);
    CDIB dib;
    dib.CreateBlank(width, height, 4, RGB(192, 192, 192));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width && x < int(rows[std::size_t(y)].size()); ++x)
            dib.SetPixel(x, height - 1 - y, DWORD(indexOf(rows[std::size_t(y)][std::size_t(x)])));
    // Header and table, then the rows.
    const std::size_t head = sizeof(BITMAPINFOHEADER) + std::size_t(dib.GetColorCount()) * sizeof(RGBQUAD);
    std::vector<BYTE> packed(head + dib.GetImageSize());
    std::memcpy(packed.data(), dib.GetInfo(), head);
    std::memcpy(packed.data() + head, dib.GetBits(), dib.GetImageSize());
    return packed;
}

} // namespace

std::vector<BYTE> Packed(UINT id)
{
    switch (id) {
    case IDB_BROWSE: return draw(kFolder);
    case IDB_INTERNET: return draw(kGlobe);
    case IDB_CLEAR: return draw(kCross);
    default: return {};
    }
}

void Register()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (UINT id : {IDB_BROWSE, IDB_INTERNET, IDB_CLEAR})
            win::RegisterResource(win::RT_BITMAP, id, Packed(id));
    });
}

} // namespace MediaSlotBitmaps
