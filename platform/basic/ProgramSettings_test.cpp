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

// Stored texts are read as the runtime reads numbers; anything else, a
// number out of the runtime's range included, reads as nothing.
TEST(ProgramSettings, StoredNumbersReadOnlyWhatTheyHold)
{
    EXPECT_EQ(StoredNumber("7200"), 7200.0);
    EXPECT_EQ(StoredNumber(" 1.5 "), 1.5);
    EXPECT_EQ(StoredNumber("-3"), -3.0);
    for (const char* bad : {"", "abc", "12px", "1e400"})
        EXPECT_FALSE(StoredNumber(bad)) << bad;

    EXPECT_EQ(StoredWholeNumber("0", 0, 8), 0);
    EXPECT_EQ(StoredWholeNumber("8", 0, 8), 8);
    EXPECT_EQ(StoredWholeNumber("16777215", 0, 0xFFFFFF), 0xFFFFFF);
    for (const char* bad : {"", "x", "-1", "9", "2.5", "1e400"})
        EXPECT_FALSE(StoredWholeNumber(bad, 0, 8)) << bad;
}
