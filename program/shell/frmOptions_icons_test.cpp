// The calendar icon picker: a chosen picture copied into the icons folder,
// stored and shown on the calendar after one refill; files of the same name
// for different slots, a file chosen from the icons folder itself, a file
// that is no picture, a copy that fails, cancel, and the default icons.

#include "program/shell/frmOptions.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/controls/ctCalendar.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/Notifications.h"
#include "program/shell/Mod_tallyvane_Calendar.h"
#include "program/shell/OptionsTestSupport.h"
#include "program/shell/frmTallyvane.h"

#include <QImage>
#include <QImageReader>
#include <QDir>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class IconPicker : public tv::testing::OptionsFixture {
protected:
    void SetUp() override
    {
        OptionsFixture::SetUp();
        start();
        // Count the refills, and refill as the start connected it.
        Notifications::SetCalendarRefill([this](Notifications::CalendarWindow) {
            ++refills;
            Mod_tallyvane::FillCalendar();
        });
    }

    // A 16 x 16 icon file of one colour.
    fs::path icon(const fs::path& file, QColor colour)
    {
        fs::create_directories(file.parent_path());
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(QString::fromStdString(file.string()), "ICO")) << file;
        return file;
    }

    static std::vector<std::string> storedSlots() { return Mod_SpecialFunctions::GetImagePaths(); }
    static fs::path kept(const std::string& name) { return Mod_tallyvane::IconsFolder() / name; }
    static QColor colourOf(const fs::path& file)
    {
        const QImage image(QString::fromStdString(file.string()));
        return image.isNull() ? QColor() : image.pixelColor(8, 8);
    }
    static QColor shownColour(const QPixmap& picture)
    {
        const QImage image = picture.toImage();
        return image.isNull() ? QColor() : image.pixelColor(8, 8);
    }

    // Opens the Misc page and chooses file for slot by a press and release
    // on its picture.
    void choose(frmOptions& form, int slot, const std::optional<fs::path>& file)
    {
        dialogs->files.push_back(file ? std::optional<std::string>(file->string()) : std::nullopt);
        form.SmartTabStrip.Choose("MISC");
        QWidget* picture = form.TallyvaneIcon(slot).Widget();
        QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(form.TallyvaneIcon(slot).Appearance(), 1) << "raised while pressed";
        QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(form.TallyvaneIcon(slot).Appearance(), 0);
    }

    int refills = 0;
};

TEST_F(IconPicker, AChosenIconIsCopiedStoredAndShownAfterOneRefill)
{
    frmOptions& form = open();
    const fs::path star = icon(root.Path() / "pics" / "star.ico", Qt::red);
    choose(form, 3, star);

    EXPECT_TRUE(vb::fso::FileExists(kept("star.ico")));
    EXPECT_EQ(vb::fso::ReadAllBytes(kept("star.ico")), vb::fso::ReadAllBytes(star));
    EXPECT_EQ(storedSlots()[3], "star.ico");
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(form.IconFiles()[3][0], star.string());
    EXPECT_EQ(form.IconFiles()[3][1], "star.ico");
    EXPECT_EQ(shownColour(form.TallyvaneIcon(3).Picture()), QColor(Qt::red));
    // The calendar's picture of the slot is the user's own.
    EXPECT_EQ(shownColour(frmTallyvane::Instance().ctCalendar1.Picture(13)), QColor(Qt::red));

    // The dialog offered icons first, and TIFF only with a reader for it.
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    const forms::FileDialogRequest& asked = dialogs->fileRequests[0];
    EXPECT_EQ(asked.defaultExt, ".ico");
    EXPECT_EQ(asked.filter, "Icon Files (*.ico)|*.ico|All Picture Files |" + frmOptions::PicturePatterns());
    EXPECT_EQ(asked.filter.find("*.tiff") != std::string::npos, QImageReader::supportedImageFormats().contains("tiff"));

    // A second choice keeps the first one stored: both kinds show their own.
    const fs::path shield = icon(root.Path() / "pics" / "shield.ico", Qt::blue);
    choose(form, 1, shield);
    EXPECT_EQ(storedSlots()[1], "shield.ico");
    EXPECT_EQ(storedSlots()[3], "star.ico");
    EXPECT_EQ(refills, 2);

    // A chosen file removed after it was copied: the copy stays, and no
    // failure is reported for it.
    fs::remove(star);
    choose(form, 6, icon(root.Path() / "pics" / "moon.ico", Qt::green));
    EXPECT_TRUE(mbox->shown.empty());
    EXPECT_EQ(storedSlots()[3], "star.ico");
    EXPECT_EQ(colourOf(kept("star.ico")), QColor(Qt::red));

    // Opened again, the picker shows the stored pictures.
    form.Unload();
    frmOptions& again = open();
    EXPECT_EQ(again.IconFiles()[1][1], "shield.ico");
    EXPECT_EQ(again.IconFiles()[1][0], "");
    EXPECT_EQ(shownColour(again.TallyvaneIcon(1).Picture()), QColor(Qt::blue));
}

// The file dialog opens among the user's pictures (or at home), then where
// the last picture was chosen, also after the window was closed.
TEST_F(IconPicker, TheFileDialogOpensAmongThePicturesThenWhereTheLastWasChosen)
{
    frmOptions& form = open();
    choose(form, 0, std::nullopt);
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const std::string first = dialogs->fileRequests[0].initDir;
    EXPECT_TRUE(first == pictures.toStdString() || first == QDir::homePath().toStdString()) << first;
    EXPECT_TRUE(fs::is_directory(first)) << first;

    const fs::path star = icon(root.Path() / "pics" / "star.ico", Qt::red);
    choose(form, 3, star);
    choose(form, 4, std::nullopt);
    form.Unload();
    choose(open(), 5, std::nullopt);
    ASSERT_EQ(dialogs->fileRequests.size(), 4u);
    EXPECT_EQ(dialogs->fileRequests[2].initDir, (root.Path() / "pics").string());
    EXPECT_EQ(dialogs->fileRequests[3].initDir, (root.Path() / "pics").string());
    EXPECT_EQ(dialogs->fileRequests[3].fileName, "");
}

TEST_F(IconPicker, FilesOfOneNameForDifferentSlotsKeepEveryPicture)
{
    frmOptions& form = open();
    const fs::path red = icon(root.Path() / "a" / "star.ico", Qt::red);
    const fs::path green = icon(root.Path() / "b" / "star.ico", Qt::green);
    const fs::path blue = icon(root.Path() / "c" / "star.ico", Qt::blue);
    choose(form, 0, red);
    choose(form, 1, green);
    choose(form, 2, blue);
    const std::vector<std::string> names = storedSlots();
    EXPECT_EQ(names[0], "star.ico");
    EXPECT_EQ(names[1], "Insurance_star.ico");
    EXPECT_EQ(names[2], "SalesReport_star.ico");
    EXPECT_EQ(colourOf(kept(names[0])), QColor(Qt::red));
    EXPECT_EQ(colourOf(kept(names[1])), QColor(Qt::green));
    EXPECT_EQ(colourOf(kept(names[2])), QColor(Qt::blue));

    // The same picture for another slot shares its name.
    choose(form, 4, red);
    EXPECT_EQ(storedSlots()[4], "star.ico");

    // A prefixed name that another slot keeps as well gets a number.
    choose(form, 5, icon(root.Path() / "d" / "Other_star.ico", Qt::magenta));
    choose(form, 3, icon(root.Path() / "e" / "star.ico", Qt::cyan));
    EXPECT_EQ(storedSlots()[5], "Other_star.ico");
    EXPECT_EQ(storedSlots()[3], "Other_star_2.ico");

    // Every slot still shows its own picture.
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::red, Qt::magenta};
    for (size_t i = 0; i < std::size(colours); ++i)
        EXPECT_EQ(colourOf(kept(storedSlots()[i])), colours[i]) << i;
    for (size_t i = 0; i < std::size(colours); ++i)
        EXPECT_EQ(shownColour(frmTallyvane::Instance().ctCalendar1.Picture(10 + static_cast<int>(i))), colours[i])
            << i;
}

TEST_F(IconPicker, AFileFromTheIconsFolderItselfIsNeitherCopiedNorLost)
{
    const fs::path inside = icon(Mod_tallyvane::IconsFolder() / "star.ico", Qt::red);
    const std::string bytes = vb::fso::ReadAllBytes(inside);
    frmOptions& form = open();
    choose(form, 0, inside);
    choose(form, 1, inside);
    EXPECT_EQ(storedSlots()[0], "star.ico");
    EXPECT_EQ(storedSlots()[1], "star.ico");
    EXPECT_EQ(vb::fso::ReadAllBytes(inside), bytes);
    // The stored slot's own file chosen through another path to it.
    choose(form, 2, Mod_tallyvane::IconsFolder() / ".." / "icons" / "star.ico");
    EXPECT_EQ(storedSlots()[2], "star.ico");
    EXPECT_EQ(vb::fso::ReadAllBytes(inside), bytes);
    EXPECT_EQ(refills, 3);
}

TEST_F(IconPicker, AFileThatIsNoPictureIsRefusedAndCancelChangesNothing)
{
    const fs::path star = icon(root.Path() / "star.ico", Qt::red);
    frmOptions& form = open();
    choose(form, 0, star);
    const std::string registry = vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile());
    refills = 0;

    const fs::path text = root.Path() / "notes.ico";
    vb::fso::WriteAllBytesAtomic(text, "this is no picture");
    choose(form, 0, text);
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_NE(mbox->shown[0].prompt.find("cannot be read as a picture"), std::string::npos);
    EXPECT_FALSE(vb::fso::FileExists(kept("notes.ico")));
    EXPECT_EQ(form.IconFiles()[0][1], "star.ico");
    EXPECT_EQ(shownColour(form.TallyvaneIcon(0).Picture()), QColor(Qt::red));

    choose(form, 2, std::nullopt);
    EXPECT_EQ(vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile()), registry);
    EXPECT_EQ(refills, 0);
    EXPECT_EQ(mbox->shown.size(), 1u);
}

TEST_F(IconPicker, ACopyThatFailsKeepsTheSlotAndSaysSo)
{
    frmOptions& form = open();
    // A file where the icons folder should be.
    vb::fso::WriteAllBytesAtomic(Mod_tallyvane::IconsFolder(), "");
    choose(form, 3, icon(root.Path() / "star.ico", Qt::red));
    EXPECT_EQ(storedSlots()[3], "");
    EXPECT_EQ(form.IconFiles()[3][0], "");
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_NE(mbox->shown[0].prompt.find("could not be copied"), std::string::npos);
    EXPECT_EQ(refills, 1);
}

TEST_F(IconPicker, DefaultIconsClearEverySlotAndKeepTheFiles)
{
    frmOptions& form = open();
    const QImage designed = form.TallyvaneIcon(0).Picture().toImage();
    choose(form, 0, icon(root.Path() / "star.ico", Qt::red));
    choose(form, 6, icon(root.Path() / "moon.ico", Qt::blue));
    refills = 0;
    QTest::mouseClick(form.CmdRestoreDefault.Window(), Qt::LeftButton);
    EXPECT_EQ(storedSlots(), std::vector<std::string>(7, ""));
    EXPECT_EQ(refills, 1);
    for (int i = 0; i < frmOptions::kIconSlots; ++i) {
        EXPECT_EQ(form.IconFiles()[static_cast<size_t>(i)], (frmOptions::IconRow{"", ""}));
        EXPECT_EQ(form.TallyvaneIcon(i).Picture().toImage(), form.ImageList1.ListImages()(i + 1).Picture().toImage());
    }
    EXPECT_EQ(form.TallyvaneIcon(0).Picture().toImage(), designed);
    EXPECT_TRUE(vb::fso::FileExists(kept("star.ico")));
    EXPECT_TRUE(vb::fso::FileExists(kept("moon.ico")));
}

} // namespace
