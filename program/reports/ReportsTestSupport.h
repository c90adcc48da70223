#pragma once
// Test support for the report builder and the runner: a program folder with
// the fixed report database in use, the report clock at a fixed moment, and
// the heading colour in the registry.

#include "platform/basic/DateTime.h"
#include "platform/registry/Registry.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/DataReport.h"
#include "platform/report/ReportTestSupport.h"
#include "platform/testing/TempRoot.h"
#include "program/reports/ReportsState.h"
#include "program/services/Mod_Registry.h"
#include "program/services/ShellState.h"

#include <memory>
#include <string>

namespace reporttest {

class ReportWorld {
public:
    // Friday 31 January 2003, 9:00 AM.
    static vb::Date FixedNow() { return vb::Date::FromSerial(vb::DateSerial(2003, 1, 31).Serial() + vb::TimeSerial(9, 0, 0).Serial()); }

    ReportWorld()
    {
        tv::ResetReportsState();
        tv::ResetShellState();
        report::ResetDataEnvironment1();
        report::ResetReports();
        clock = std::make_shared<vb::FakeClock>(FixedNow());
        vb::SetClock(clock);
        std::filesystem::create_directories(root.ProgramFolder());
        BuildFixtureDatabase(root.ProgramFolder() / "Tallyvane.mdb", TV_DATA_DIR, TV_REPORT_FIXTURE);
        tv::Shell().g_DatabaseFileName = "Tallyvane.mdb";
    }
    ~ReportWorld()
    {
        report::ResetDataEnvironment1();
        report::ResetReports();
        vb::SetClock(nullptr);
        tv::ResetReportsState();
        tv::ResetShellState();
    }

    static void SetHeadingColor(uint32_t colour)
    {
        winreg::HKEY key{};
        winreg::RegCreateKeyEx(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, 0, winreg::KEY_ALL_ACCESS, &key,
                               nullptr);
        const auto bytes = reinterpret_cast<const winreg::BYTE*>(&colour);
        winreg::RegSetValueEx(key, "HeadingColor", winreg::REG_DWORD, bytes, 4);
        winreg::RegCloseKey(key);
    }

    tv::testing::TempRoot root;
    std::shared_ptr<vb::FakeClock> clock;
};

} // namespace reporttest
