#pragma once
// For the tests of the options window: the shell fixture with scripted file
// and colour dialogs, the autostart entry in the temporary folder, no tip
// window at start-up, and helpers to reach the stored settings.

#include "platform/basic/ProgramSettings.h"
#include "platform/forms/CommonDialog.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/Autostart.h"
#include "program/shell/Mod_tallyvane.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmOptions.h"
#include "program/shell/frmTallyvane.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tv::testing {

class OptionsFixture : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        forms::SetDialogPort(dialogs);
        Autostart::SetFolder(root.Path() / "autostart");
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "ShowTips", "False",
                                    winreg::REG_SZ);
    }

    void TearDown() override
    {
        ShellFixture::TearDown();
        forms::SetDialogPort(nullptr);
        Autostart::SetFolder({});
    }

    // The program's start: the main calendar is up.
    void start() { ASSERT_TRUE(Mod_tallyvane::Main()); }

    frmOptions& open()
    {
        frmOptions& form = frmOptions::Instance();
        form.Show();
        return form;
    }

    // The main calendar closed (and every window with it) and opened again.
    void reopenCalendar()
    {
        mbox->answers.push_back({0, 1});
        frmTallyvane::Instance().Unload();
        QCoreApplication::processEvents();
        frmTallyvane::Instance();
    }

    static std::string setting(const std::string& key)
    {
        return vb::GetSetting("Tallyvane", "frmOptions", key, "<none>");
    }
    static void save(const std::string& key, const std::string& value)
    {
        vb::SaveSetting("Tallyvane", "frmOptions", key, value);
    }
    static std::string reg(std::string_view subKey, std::string_view name)
    {
        return Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, subKey, name);
    }

    // The whole screen, next to Grab's pictures (under a real X server),
    // when pictures are asked for.
    static void GrabScreen(const QString& name)
    {
        if (QScreen* screen = QGuiApplication::primaryScreen(); screen && !ScreenshotFolder().isEmpty())
            SaveScreenshot(screen->grabWindow(0), name);
    }

    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
};

} // namespace tv::testing
