#pragma once
// For the tests of any subsystem's windows and routines: a fresh program
// folder with both database files built for a fixed day, the settings in the
// registry, a fixed clock, scripted message boxes, and no notification
// connected. The build's button library is registered in the temporary
// registry and the forms read the build's design data, so the forms' buttons
// are the real ones.

#include "platform/basic/DateTime.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/com/Loader.h"
#include "platform/forms/OleControl.h"
#include "platform/forms/Form.h"
#include "platform/forms/MsgBox.h"
#include "platform/registry/RegistrySettingsStore.h"
#include "platform/testing/DesktopWaits.h"
#include "platform/testing/Quiescence.h"
#include "platform/testing/Screenshots.h"
#include "platform/testing/TempRoot.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_tallyvane_Values.h"
#include "program/services/Notifications.h"
#include "program/services/ShellState.h"
#include "tools/DatabaseBuilder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace tv::testing {

class ProgramFixture : public ::testing::Test {
protected:
    // A Monday; the example data is dated from it.
    static constexpr tools::BuildDay kToday{2025, 3, 10};

    void SetUp() override
    {
        vb::SetClock(clock);
        vb::SetSettingsStore(std::make_shared<winreg::RegistrySettingsStore>());
        std::filesystem::create_directories(root.ProgramFolder());
        const std::string schema = tools::ReadTextFile(std::filesystem::path(TV_DATA_DIR) / "schema.sql");
        tools::BuildDatabase(root.ProgramFolder() / Mod_tallyvane::kDatabaseFileName, schema, std::nullopt, kToday);
        tools::BuildDatabase(root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName, schema,
                             tools::ReadTextFile(std::filesystem::path(TV_DATA_DIR) / "example.sql"), kToday);
        MBoxMod::SetPresenter(mbox);
        forms::SetMessageBoxPort(msgbox);
        ASSERT_EQ(com::RegisterServer(TV_QUORVEL_LIBRARY), S_OK);
        forms::SetDesignFolder(TV_FORMS_DIR);
    }

    void TearDown() override
    {
        forms::ResetForms();
        forms::SetDesignFolder({});
        Notifications::Reset();
        MBoxMod::SetPresenter(nullptr);
        forms::SetMessageBoxPort(nullptr);
        vb::SetSettingsStore(nullptr);
        vb::SetClock(nullptr);
        tv::ResetShellState();
    }

    // A picture of the window: every text in it must be drawn inside it.
    // When pictures are asked for (tools/screenshots.sh) it is written; on a
    // real display (Xvfb with a window manager) the one written is taken
    // from the screen, frame included, once the window manager has placed
    // the window.
    static QImage Grab(QWidget* window, const QString& name)
    {
        const QImage picture = CheckedPicture(window, name);
        if (ScreenshotFolder().isEmpty())
            return picture;
        if (QGuiApplication::platformName() != QLatin1String("offscreen") && window->isWindow()
            && window->isVisible()) {
            // Placed and framed, and every move posted before that made.
            static_cast<void>(Framed(window));
            static_cast<void>(DrainPostedEvents());
            const QRect frame = window->frameGeometry();
            if (QScreen* screen = window->screen()) {
                SaveScreenshot(screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()), name);
                return picture;
            }
        }
        SaveScreenshot(picture, name);
        return picture;
    }

    TempRoot root;
    std::shared_ptr<vb::FakeClock> clock =
        std::make_shared<vb::FakeClock>(
        vb::Date::FromSerial(vb::DateSerial(kToday.year, kToday.month, kToday.day).Serial() + 0.375));
    std::shared_ptr<MBoxMod::ScriptedMBox> mbox = std::make_shared<MBoxMod::ScriptedMBox>();
    std::shared_ptr<forms::ScriptedMsgBox> msgbox = std::make_shared<forms::ScriptedMsgBox>();
};

// Runs SQL on a database file as another program would; the answer of the
// first column of the last row, or "".
inline std::string OnDatabaseFile(const std::filesystem::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string answer;
    EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    auto keep = [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) = values[0] ? values[0] : "";
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), keep, &answer, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return answer;
}

// Junk over the first page of the table's tree, as a failing disk leaves it.
inline void DamageTable(const std::filesystem::path& file, const std::string& table)
{
    const long page =
        std::stol(OnDatabaseFile(file, "SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'"));
    const long size = std::stol(OnDatabaseFile(file, "PRAGMA page_size"));
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((page - 1) * size);
    const std::string junk(static_cast<size_t>(size), '\xA5');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

} // namespace tv::testing
