#pragma once
// The icon that carries a store's number: a 32 x 32 one-bit icon file with the
// number in black digits on a transparent background, for stores that have no
// picture of their own. Numbers 0 to 999 can be drawn.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

// The folder of the program folder that holds the store number icons.
inline constexpr const char* kIconsFolderName = "icons";

// The number icon file of a store: "<program folder>/icons/<number>.ico".
std::filesystem::path StoreIconFile(int storeNumber);

class cCreateIcons {
public:
    // Draws number (0 to 999) and writes it as a 326-byte icon file to filename,
    // replacing any file there through a temporary file renamed over it, and
    // returns false. Any other number writes nothing, leaves an existing file
    // alone and returns true. Creates no folder; file errors raise the
    // runtime's file errors.
    bool GenerateIcon(int number, const std::filesystem::path& filename);

private:
    // File row 0 (the bottom row) to 31; bit 31 is column 0, a set bit is
    // transparent and a clear bit ink.
    using Picture = std::array<uint32_t, 32>;

    static std::string GetIconHeader();
    static std::string GetXorMask();
    static Picture GetLargeDigit(int digit);
    static Picture GetSmallDigit(int digit);
    static Picture ShiftRows(const Picture& picture, int n);
    static Picture CombineTwoGlyphs(const Picture& a, const Picture& b);
    static Picture CombineThreeGlyphs(const Picture& a, const Picture& b, const Picture& c);
};
