#include "platform/basic/ProgramSettings.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(ProgramSettings, NamesIgnoreCaseAndSectionsDeleteWhole)
{
    SetSettingsStore(nullptr);
    EXPECT_EQ(GetSetting("Tallyvane", "frmSales", "Height", "6000"), "6000");
    SaveSetting("Tallyvane", "frmSales", "Height", "7200");
    SaveSetting("Tallyvane", "frmSales", "Width", "9000");
    SaveSetting("Tallyvane", "frmOther", "Width", "1");
    EXPECT_EQ(GetSetting("TALLYVANE", "FRMSALES", "height"), "7200");
    DeleteSetting("Tallyvane", "frmSales", "Height");
    EXPECT_EQ(GetSetting("Tallyvane", "frmSales", "Height", "x"), "x");
    DeleteSetting("Tallyvane", "frmSales");
    EXPECT_EQ(GetSetting("Tallyvane", "frmSales", "Width", "y"), "y");
    EXPECT_EQ(GetSetting("Tallyvane", "frmOther", "Width"), "1");
    SetSettingsStore(nullptr);
}
