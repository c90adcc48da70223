#include "buttonlib/editor/MediaSlotBitmaps.h"

#include "buttonlib/media/CDIB.h"

#include "platform/win/Resources.h"

#include <array>
#include <cstring>
#include <mutex>
#include <string>
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

constexpr std::array<std::string_view, 16> kPlay = {
    "................", "................", "....k...........", "....kk..........",
    "....kgk.........", "....kggk........", "....kgggk.......", "....kggggk......",
    "....kggggk......", "....kgggk.......", "....kggk........", "....kgk.........",
    "....kk..........", "....k...........", "................", "................",
};

constexpr std::array<std::string_view, 16> kStop = {
    "................", "................", "................", "...kkkkkkkkkk...",
    "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...",
    "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...",
    "...kkkkkkkkkk...", "................", "................", "................",
};

// The parts the 32 x 32 sound previews are put together from.
constexpr std::array<std::string_view, 15> kSpeaker = {
    "..........kk", ".........kbk", "........kbbk", ".......kbbbk", "kkkkkkkbbbbk",
    "kwwwwkbbbbbk", "kwbbbkbbbbbk", "kwbbbkbbbbbk", "kwbbbkbbbbbk", "kwbbbkbbbbbk",
    "kkkkkkkbbbbk", ".......kbbbk", "........kbbk", ".........kbk", "..........kk",
};

constexpr std::array<std::string_view, 15> kWaves = {
    "...n.......", "....n...n..", "....n....n.", ".....n...n.", ".n...n....n",
    "..n..n....n", "..n..n....n", "..n..n....n", "..n..n....n", "..n..n....n",
    ".n...n....n", ".....n...n.", "....n....n.", "....n...n..", "...n.......",
};

constexpr std::array<std::string_view, 9> kMuted = {
    "mm......mm", "mrrm..mrrm", ".mrrmmrrm.", "..mrrrrm..", "...mrrm...",
    "..mrrrrm..", ".mrrmmrrm.", "mrrm..mrrm", "mm......mm",
};

constexpr std::array<std::string_view, 8> kPressArrow = {
    "...kkkk...", "...kllk...", "...kllk...", "kkkkllkkkk",
    ".kllllllk.", "..kllllk..", "...kllk...", "....kk....",
};

using Canvas = std::array<std::string, 32>;

template <std::size_t N>
void put(Canvas& canvas, const std::array<std::string_view, N>& part, std::size_t left, std::size_t top)
{
    for (std::size_t y = 0; y < N; ++y)
        for (std::size_t x = 0; x < part[y].size(); ++x)
            if (part[y][x] != '.')
                canvas[top + y][left + x] = part[y][x];
}

// A speaker with its waves (a sound is set) or crossed out (none); the
// pressed sound's stands higher, over a downward arrow.
std::vector<BYTE> soundPreview(bool set, bool pressed)
{
    Canvas canvas;
    canvas.fill(std::string(32, '.'));
    const std::size_t top = pressed ? 3 : 8;
    put(canvas, kSpeaker, 4, top);
    if (set)
        put(canvas, kWaves, 18, top);
    else
        put(canvas, kMuted, 19, top + 3);
    if (pressed)
        put(canvas, kPressArrow, 11, 22);
    std::array<std::string_view, 32> rows;
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = canvas[y];
    return draw(rows);
}

} // namespace

std::vector<BYTE> Packed(UINT id)
{
    switch (id) {
    case IDB_BROWSE: return draw(kFolder);
    case IDB_INTERNET: return draw(kGlobe);
    case IDB_CLEAR: return draw(kCross);
    case IDB_PLAY: return draw(kPlay);
    case IDB_STOP: return draw(kStop);
    case IDB_SOUND: return soundPreview(true, false);
    case IDB_PRESSED_SOUND: return soundPreview(true, true);
    case IDB_PRESSED_NO_SOUND: return soundPreview(false, true);
    case IDB_NO_SOUND: return soundPreview(false, false);
    default: return {};
    }
}

void Register()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (UINT id : {IDB_BROWSE, IDB_INTERNET, IDB_CLEAR, IDB_PLAY, IDB_STOP, IDB_SOUND, IDB_PRESSED_SOUND,
                        IDB_PRESSED_NO_SOUND, IDB_NO_SOUND})
            win::RegisterResource(win::RT_BITMAP, id, Packed(id));
    });
}

} // namespace MediaSlotBitmaps
