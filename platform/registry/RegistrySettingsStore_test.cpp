#include "platform/registry/RegistrySettingsStore.h"

#include "platform/registry/Registry.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <memory>

using namespace winreg;

namespace {

// Installs the registry-backed store for one test.
class UseRegistrySettings {
public:
    UseRegistrySettings() { vb::SetSettingsStore(std::make_shared<RegistrySettingsStore>()); }
    ~UseRegistrySettings() { vb::SetSettingsStore(nullptr); }
};

} // namespace

TEST(RegistrySettingsStore, SettingsLiveWhereTheFormsRuntimeKeptThem)
{
    tv::testing::TempRoot root;
    UseRegistrySettings use;
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmSales", "UseCents", "True"), "True");
    vb::SaveSetting("Tallyvane", "frmSales", "UseCents", "False");
    vb::SaveSetting("Tallyvane", "frmSales", "Height", "4500");
    vb::SaveSetting("Tallyvane", "frmTip", "ShowTips", "");
    EXPECT_EQ(vb::GetSetting("TALLYVANE", "FRMSALES", "usecents", "True"), "False");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmTip", "ShowTips", "default"), "") << "an empty text is a value";

    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\Tallyvane\\frmSales", 0,
                           KEY_READ, &key),
              ERROR_SUCCESS);
    char buffer[16] = {};
    DWORD size = sizeof buffer, type = 0;
    EXPECT_EQ(RegQueryValueEx(key, "Height", &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_STREQ(buffer, "4500");
    RegCloseKey(key);

    // A value of another type is not a setting.
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\Tallyvane\\frmSales", 0,
                           KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const BYTE four[4] = {4, 0, 0, 0};
    RegSetValueEx(key, "Width", REG_DWORD, four, 4);
    RegCloseKey(key);
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmSales", "Width", "10020"), "10020");

    vb::DeleteSetting("Tallyvane", "frmSales", "UseCents");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmSales", "UseCents", "gone"), "gone");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmSales", "Height"), "4500");
    vb::DeleteSetting("Tallyvane", "frmSales");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmSales", "Height", "none"), "none");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmTip", "ShowTips", "default"), "");
    vb::DeleteSetting("Tallyvane", "noSuchSection"); // nothing to delete, nothing happens
}

TEST(RegistrySettingsStore, ADamagedFileLosesNoSettings)
{
    tv::testing::TempRoot root;
    UseRegistrySettings use;
    vb::SaveSetting("Tallyvane", "frmReport", "ReportFont", "Arial");
    // Cut the file short: the settings read as their defaults, and saving
    // leaves the file for the user to repair.
    const auto file = vb::AppPaths::RegistryFile();
    std::string text = vb::fso::ReadAllBytes(file);
    text.resize(text.size() / 2);
    vb::fso::WriteAllBytesAtomic(file, text);
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmReport", "ReportFont", "Times New Roman"), "Times New Roman");
    vb::SaveSetting("Tallyvane", "frmReport", "ReportFont", "Courier");
    EXPECT_EQ(vb::fso::ReadAllBytes(file), text);
}
