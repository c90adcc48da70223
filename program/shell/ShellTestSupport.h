#pragma once
// For the tests of the shell's windows: the program fixture with what the
// installer leaves (registry values), a notification area, and the
// notifications connected as the start connects them.

#include "platform/controls/TrayIcon.h"
#include "program/reports/ReportsState.h"
#include "program/services/ServicesTestSupport.h"
#include "program/shell/FirstRun.h"
#include "program/shell/Mod_tallyvane.h"

namespace tv::testing {

class ShellFixture : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        FirstRun::Run();
        controls::TrayIcon::SetAvailable(true);
        Mod_tallyvane::ConnectNotifications();
    }

    void TearDown() override
    {
        ProgramFixture::TearDown();
        controls::TrayIcon::SetAvailable(std::nullopt);
        tv::ResetReportsState();
    }
};

} // namespace tv::testing
