#include "program/shell/Mod_tallyvane_ReadAhead.h"

#include "platform/testing/TempRoot.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A picture with detail in it, so that a decoder's rounding shows.
QImage pattern(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba((x * 7 + seed) & 255, (y * 13 + seed) & 255, (x * y + seed) & 255,
                                       (x + y) % 3 == 0 ? 128 : 255));
    return image;
}

std::string save(const fs::path& file, const QImage& image, const char* format)
{
    EXPECT_TRUE(image.save(QString::fromStdString(file.string()), format));
    return file.string();
}

QImage onDisk(const std::string& file)
{
    return QPixmap(QString::fromStdString(file)).toImage();
}

} // namespace

TEST(StartReadAhead, EachFileGivesThePixelsOfItsOwnFileAndOnlyOnce)
{
    tv::testing::TempRoot root;
    const fs::path folder = root.InstallFolder();
    fs::create_directories(folder);
    const std::string png = save(folder / "bulb.png", pattern(37, 23, 1), "PNG");
    const std::string jpeg =
        save(folder / "back.jpg", pattern(160, 90, 2).convertToFormat(QImage::Format_RGB32), "JPEG");
    const std::string other = save(folder / "other.png", pattern(12, 12, 3), "PNG");
    const std::string missing = (folder / "missing.png").string();
    const std::string damaged = (folder / "damaged.jpg").string();
    std::ofstream(damaged) << "not a picture";

    const QImage pngPixels = onDisk(png);
    const QImage jpegPixels = onDisk(jpeg);
    {
        const Mod_tallyvane::ReadAhead readAhead({png, missing, jpeg, damaged, jpeg});
        // Taken out of order, and a file nobody read ahead is read as usual.
        EXPECT_EQ(Mod_tallyvane::StartPicture(jpeg).toImage(), jpegPixels);
        EXPECT_EQ(Mod_tallyvane::StartPicture(other).toImage(), onDisk(other));
        EXPECT_EQ(Mod_tallyvane::StartPicture(png).toImage(), pngPixels);
        EXPECT_TRUE(Mod_tallyvane::StartPicture(missing).isNull());
        EXPECT_TRUE(Mod_tallyvane::StartPicture(damaged).isNull());
        // Listed twice: the second copy is the second picture read ahead.
        EXPECT_EQ(Mod_tallyvane::StartPicture(jpeg).toImage(), jpegPixels);

        // Once taken, a picture comes from its file again: a window opened
        // later shows what the file holds then.
        save(png, pattern(37, 23, 9), "PNG");
        EXPECT_EQ(Mod_tallyvane::StartPicture(png).toImage(), onDisk(png));
        EXPECT_NE(Mod_tallyvane::StartPicture(png).toImage(), pngPixels);
    }
    // A read-ahead nobody takes from ends without waiting for a taker, and
    // after it every picture is read from its file.
    {
        const Mod_tallyvane::ReadAhead unused({jpeg, other});
    }
    save(jpeg, pattern(160, 90, 5).convertToFormat(QImage::Format_RGB32), "JPEG");
    EXPECT_EQ(Mod_tallyvane::StartPicture(jpeg).toImage(), onDisk(jpeg));
    EXPECT_NE(Mod_tallyvane::StartPicture(jpeg).toImage(), jpegPixels);
}
