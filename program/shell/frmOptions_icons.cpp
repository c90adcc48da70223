// The calendar icon picker on the options window's Misc page: seven pictures,
// one per image slot. A click on one chooses a file, which is copied into the
// program folder's icons and named in the slot; the calendar is refilled.

#include "program/shell/frmOptions.h"

#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/Notifications.h"
#include "program/services/ShellState.h"
#include "program/shell/Mod_tallyvane_Calendar.h"

#include <QDir>
#include <QPixmap>
#include <QStandardPaths>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

constexpr int kPictureSize = 32;

// Whether two files hold the same picture: the same file, or the same bytes.
bool samePicture(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    if (ec || fs::file_size(a, ec) != fs::file_size(b, ec) || ec)
        return false;
    try {
        return vb::fso::ReadAllBytes(a) == vb::fso::ReadAllBytes(b);
    } catch (const vb::RuntimeError&) {
        return false;
    }
}

std::string slotNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& n : names)
        text += (text.empty() ? "" : ", ") + n;
    return text;
}

} // namespace

void frmOptions::LoadIcons()
{
    std::vector<std::string> paths = Mod_SpecialFunctions::GetImagePaths();
    paths.resize(kIconSlots);
    for (int i = 0; i < kIconSlots; ++i) {
        IconFiles_[static_cast<size_t>(i)] = {"", paths[static_cast<size_t>(i)]};
        // The design picture stays where the stored one cannot be shown.
        if (const auto file = Mod_tallyvane::IconFile(paths[static_cast<size_t>(i)])) {
            QPixmap picture;
            if (picture.load(QString::fromStdString(file->string())))
                showIcon(i, picture);
        }
    }
}

std::string frmOptions::pictureFolder()
{
    std::error_code ec;
    const std::string& last = tv::Shell().lastPictureFolder;
    if (!last.empty() && fs::is_directory(last, ec))
        return last;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && fs::is_directory(pictures.toStdString(), ec))
        return pictures.toStdString();
    return QDir::homePath().toStdString();
}

void frmOptions::showIcon(int slot, const QPixmap& picture)
{
    // A large picture is shown at the calendar's size.
    const QPixmap shown = picture.width() > kPictureSize || picture.height() > kPictureSize
                              ? picture.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio,
                                               Qt::SmoothTransformation)
                              : picture;
    TallyvaneIcon(slot).SetPicture(shown);
}

void frmOptions::TallyvaneIcon_MouseDown(int Index)
{
    TallyvaneIcon(Index).SetAppearance(1);
}

void frmOptions::TallyvaneIcon_MouseUp(int Index)
{
    TallyvaneIcon(Index).SetAppearance(0);
    ChooseIcon(Index);
}

void frmOptions::ChooseIcon(int Index)
{
    if (Index < 0 || Index >= kIconSlots)
        vb::Raise(vb::kErrSubscript);
    std::string file;
    try {
        CommonDialog1.CancelError = true;
        CommonDialog1.DefaultExt = ".ico";
        CommonDialog1.Filter = "Icon Files (*.ico)|*.ico|All Picture Files |" + PicturePatterns();
        CommonDialog1.FilterIndex = 1;
        // Where the last picture was chosen, else the user's pictures.
        CommonDialog1.InitDir = pictureFolder();
        CommonDialog1.FileName.clear();
        CommonDialog1.ShowOpen();
        file = CommonDialog1.FileName;
        tv::Shell().lastPictureFolder = fs::path(file).parent_path().string();
    } catch (const vb::RuntimeError&) {
        return; // Cancel: nothing changes, nothing is stored.
    }
    std::error_code ec;
    if (!file.empty() && fs::is_regular_file(file, ec)) {
        QPixmap picture;
        if (!picture.load(QString::fromStdString(file)) || picture.isNull()) {
            MBoxMod::ShowMBox("\"" + file + "\" cannot be read as a picture. The icon is not changed.", 4, 0, 4);
            return;
        }
        showIcon(Index, picture);
        IconFiles_[static_cast<size_t>(Index)] = {file, iconName(Index, file)};
    }
    SaveIcons();
}

std::string frmOptions::iconName(int slot, const fs::path& chosen) const
{
    const fs::path folder = Mod_tallyvane::IconsFolder();
    // A name is free unless another slot keeps a different picture under it.
    auto free = [&](const std::string& name) {
        for (int k = 0; k < kIconSlots; ++k) {
            if (k == slot || IconFiles_[static_cast<size_t>(k)][1] != name)
                continue;
            std::error_code ec;
            if (!fs::exists(folder / name, ec) || !samePicture(chosen, folder / name))
                return false;
        }
        return true;
    };
    const std::string own = chosen.filename().string();
    if (free(own))
        return own;
    // "Insurance_star.ico", then "Insurance_star_2.ico" and so on.
    const std::string prefix = Mod_SpecialFunctions::ImageValueNames()[static_cast<size_t>(slot)] + "_";
    const std::string stem = chosen.stem().string();
    const std::string ext = chosen.extension().string();
    std::string name = prefix + own;
    for (int n = 2; !free(name); ++n)
        name = prefix + stem + "_" + std::to_string(n) + ext;
    return name;
}

void frmOptions::SaveIcons()
{
    vb::ResumeNext step;
    std::vector<std::string> failed;
    step([&] {
        const fs::path folder = Mod_tallyvane::IconsFolder();
        std::vector<std::string> stored = Mod_SpecialFunctions::GetImagePaths();
        stored.resize(kIconSlots);
        for (int i = 0; i < kIconSlots; ++i) {
            IconRow& row = IconFiles_[static_cast<size_t>(i)];
            if (row[0].empty())
                continue;
            // A file copied before and gone since: the copy stays as it is.
            std::error_code ec;
            if (row[1] == stored[static_cast<size_t>(i)] && !fs::exists(row[0], ec) &&
                fs::exists(folder / row[1], ec))
                continue;
            try {
                vb::fso::CreateFolder(folder);
                // Copying a file onto itself leaves it as it is.
                vb::fso::CopyFile(row[0], folder / row[1], true);
            } catch (const vb::RuntimeError&) {
                // The slot keeps what it had: a name without its file would
                // lose the user's picture for the default one.
                failed.push_back(row[0]);
                row = {"", stored[static_cast<size_t>(i)]};
                QPixmap picture;
                const auto file = Mod_tallyvane::IconFile(row[1]);
                if (file && picture.load(QString::fromStdString(file->string())))
                    showIcon(i, picture);
                else
                    showIcon(i, ImageList1.ListImages()(i + 1).Picture());
            }
        }
    });
    step([&] {
        std::vector<std::string> paths;
        for (int i = 0; i < kIconSlots; ++i)
            paths.push_back(IconFiles_[static_cast<size_t>(i)][1]);
        Mod_SpecialFunctions::SaveImagePaths(paths);
    });
    // Through the hook the start connects to the refill, as every refill
    // after a change goes.
    step([&] { Notifications::RefillCalendar(); });
    if (!failed.empty())
        MBoxMod::ShowMBox("The picture could not be copied into \"" + Mod_tallyvane::IconsFolder().string() +
                              "\": " + slotNames(failed) + ". The icon is not changed.",
                          4, 0, 4);
}

void frmOptions::CmdRestoreDefault_Click()
{
    for (int i = 0; i < kIconSlots; ++i) {
        TallyvaneIcon(i).SetPicture(ImageList1.ListImages()(i + 1).Picture());
        IconFiles_[static_cast<size_t>(i)] = {"", ""};
    }
    SaveIcons();
}
