#include "program/services/Mod_Registry.h"
#include "program/services/Mod_SpecialFunctions.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Mod_Registry;
using winreg::HKEY_CURRENT_USER;
using winreg::HKEY_LOCAL_MACHINE;
using winreg::REG_DWORD;
using winreg::REG_SZ;

namespace {

constexpr std::string_view kKey = "Software\\merrowgate\\Tallyvane";

// The program's keys, as the first run leaves them.
void createKeys()
{
    for (std::string_view path : {kProgramKey, kEMailKey, kImagesKey, kReportsKey}) {
        winreg::HKEY key = 0;
        ASSERT_EQ(winreg::RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, winreg::KEY_ALL_ACCESS, &key, nullptr), 0);
        winreg::RegCloseKey(key);
    }
}

winreg::DWORD typeOf(std::string_view subKey, std::string_view name)
{
    winreg::HKEY key = 0;
    winreg::DWORD type = winreg::REG_NONE;
    if (winreg::RegOpenKeyEx(HKEY_CURRENT_USER, subKey, 0, winreg::KEY_READ, &key) == 0) {
        winreg::RegQueryValueEx(key, name, &type, nullptr, nullptr);
        winreg::RegCloseKey(key);
    }
    return type;
}

ino_t fileIdentity()
{
    struct stat st {};
    return ::stat(vb::AppPaths::RegistryFile().c_str(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(Mod_Registry, ValuesReadBackExactly)
{
    tv::testing::TempRoot root;
    createKeys();
    // Texts, whatever they hold, come back as written: no character is cut.
    for (const char* text : {"False", "True", "", "25", "-1", "1.5", "x", "ends with a blank ", "mail@example.com"}) {
        EXPECT_EQ(WriteRegValue(HKEY_CURRENT_USER, kKey, "Text", text, REG_SZ), 0);
        EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "Text"), text);
    }
    EXPECT_EQ(WriteRegValue(HKEY_CURRENT_USER, kKey, "Number", vb::Variant(42), REG_SZ), 0);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "Number"), "42");

    // A dword reads as its signed decimal text.
    for (const auto& [value, text] : std::vector<std::pair<vb::Variant, std::string>>{
             {vb::Variant(12632256), "12632256"}, {vb::Variant(0), "0"}, {vb::Variant(-1), "-1"},
             {vb::Variant("255"), "255"}, {vb::Variant(int16_t(7)), "7"}}) {
        EXPECT_EQ(WriteRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor", value, REG_DWORD), 0);
        EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor"), text);
        EXPECT_EQ(typeOf(kReportsKey, "HeadingColor"), REG_DWORD);
    }
    // A dword that is not a number is the runtime's type mismatch, and nothing is written.
    EXPECT_THROW(WriteRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor", "red", REG_DWORD), vb::RuntimeError);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor"), "7");

    // The value-level half sees the terminating NUL that TrimRegString drops.
    winreg::HKEY key = 0;
    ASSERT_EQ(winreg::RegOpenKeyEx(HKEY_CURRENT_USER, kKey, 0, winreg::KEY_ALL_ACCESS, &key), 0);
    vb::Variant raw;
    EXPECT_EQ(ReadOpenKeyValue(key, "Text", raw), 0);
    EXPECT_EQ(vb::CStr(raw), std::string("mail@example.com\0", 17));
    EXPECT_EQ(ReadOpenKeyValue(key, "missing", raw), winreg::ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(raw.IsEmpty());
    EXPECT_EQ(WriteOpenKeyValue(key, "Binary", 3, "x"), 0) << "another type writes nothing";
    EXPECT_EQ(ReadOpenKeyValue(key, "Binary", raw), winreg::ERROR_FILE_NOT_FOUND);
    winreg::RegCloseKey(key);

    EXPECT_EQ(TrimRegString(std::string("abc\0", 4)), "abc");
    EXPECT_EQ(TrimRegString(std::string("25\0", 3)), "25");
    EXPECT_EQ(TrimRegString("abc"), "abc");
    EXPECT_EQ(TrimRegString("25"), "25");
    EXPECT_EQ(TrimRegString(""), "");
}

TEST(Mod_Registry, MissingKeysAndValues)
{
    tv::testing::TempRoot root;
    // Nothing exists: reads are empty, writes fail and create nothing.
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "ShowTips"), "");
    EXPECT_EQ(WriteRegValue(HKEY_CURRENT_USER, kKey, "ShowTips", "True", REG_SZ), winreg::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kKey, "ShowTips"));
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, kKey, "ShowTips"), winreg::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(vb::AppPaths::RegistryFile()));

    createKeys();
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "ShowTips"), "");
    EXPECT_EQ(WriteRegValue(HKEY_CURRENT_USER, kKey, "ShowTips", "True", REG_SZ), 0);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, "SOFTWARE\\MERROWGATE\\TALLYVANE", "showtips"));
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, kKey, "ShowTips"), 0);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kKey, "ShowTips"));
    EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, kKey, "ShowTips"), winreg::ERROR_FILE_NOT_FOUND);

    // An empty text exists; the root keys are kept apart.
    EXPECT_EQ(WriteRegValue(HKEY_CURRENT_USER, kKey, "Empty", "", REG_SZ), 0);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kKey, "Empty"));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kKey, "Empty"));

    // Booleans the way start-up reads them.
    for (const auto& [text, expected] : std::vector<std::pair<const char*, bool>>{
             {"True", true}, {"false", false}, {"1", true}, {"0", false}, {"-1", true}}) {
        WriteRegValue(HKEY_CURRENT_USER, kKey, "Flag", text, REG_SZ);
        EXPECT_EQ(ReadRegBoolean(HKEY_CURRENT_USER, kKey, "Flag", !expected), expected) << text;
    }
    for (const char* text : {"", "yes", "Tru"}) {
        WriteRegValue(HKEY_CURRENT_USER, kKey, "Flag", text, REG_SZ);
        EXPECT_TRUE(ReadRegBoolean(HKEY_CURRENT_USER, kKey, "Flag", true)) << text;
        EXPECT_FALSE(ReadRegBoolean(HKEY_CURRENT_USER, kKey, "Flag", false)) << text;
    }
    EXPECT_TRUE(ReadRegBoolean(HKEY_CURRENT_USER, kKey, "NoSuchValue", true));
}

TEST(Mod_SpecialFunctions, SettingsAreWrittenOnlyWhenTheyChange)
{
    tv::testing::TempRoot root;
    createKeys();
    using Mod_SpecialFunctions::SaveRegDWordIfChanged;
    using Mod_SpecialFunctions::SaveRegStringIfChanged;

    SaveRegStringIfChanged("True", kKey, "ScreenClose");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "ScreenClose"), "True");
    const ino_t written = fileIdentity();
    SaveRegStringIfChanged("True", kKey, "ScreenClose");
    EXPECT_EQ(fileIdentity(), written) << "the same text is not written again";
    SaveRegStringIfChanged("true", kKey, "ScreenClose");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "ScreenClose"), "true") << "case counts";

    // What is compared is the text: a dword holding the same number as the
    // text is left as it is (it would turn into a REG_SZ if written).
    SaveRegDWordIfChanged(vb::Variant(255), kReportsKey, "RowColor");
    EXPECT_EQ(typeOf(kReportsKey, "RowColor"), REG_DWORD);
    SaveRegStringIfChanged("255", kReportsKey, "RowColor");
    EXPECT_EQ(typeOf(kReportsKey, "RowColor"), REG_DWORD);

    // A number against numeric text compares as numbers.
    WriteRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor", "16776960", REG_SZ);
    SaveRegDWordIfChanged(vb::Variant(16776960), kReportsKey, "HeadingColor");
    EXPECT_EQ(typeOf(kReportsKey, "HeadingColor"), REG_SZ) << "equal as numbers: not written";
    SaveRegDWordIfChanged(vb::Variant(16776960.0), kReportsKey, "HeadingColor");
    EXPECT_EQ(typeOf(kReportsKey, "HeadingColor"), REG_SZ);
    SaveRegDWordIfChanged(vb::Variant(8421376), kReportsKey, "HeadingColor");
    EXPECT_EQ(typeOf(kReportsKey, "HeadingColor"), REG_DWORD);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor"), "8421376");
    // A missing value always differs.
    SaveRegDWordIfChanged(vb::Variant(0), kReportsKey, "NewColor");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kReportsKey, "NewColor"), "0");

    // A key that does not exist gets nothing, and nothing fails.
    SaveRegStringIfChanged("x", "Software\\merrowgate\\Nothing", "v");
    SaveRegDWordIfChanged(vb::Variant(1), "Software\\merrowgate\\Nothing", "v");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, "Software\\merrowgate\\Nothing", "v"), "");
}

TEST(Mod_SpecialFunctions, CalendarPictureNamesKeepTheirOrder)
{
    tv::testing::TempRoot root;
    createKeys();
    EXPECT_EQ(Mod_SpecialFunctions::GetImagePaths(), std::vector<std::string>(7));
    WriteRegValue(HKEY_CURRENT_USER, kImagesKey, "Insurance", "ins.ico", REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kImagesKey, "MultiImage", "multi.ico", REG_SZ);
    EXPECT_EQ(Mod_SpecialFunctions::GetImagePaths(),
              (std::vector<std::string>{"", "ins.ico", "", "", "", "", "multi.ico"}));

    Mod_SpecialFunctions::SaveImagePaths({"r.ico", "ins.ico", "s.ico", "o.ico", "a.ico", "l.ico", "", "extra.ico"});
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kImagesKey, "Renewal"), "r.ico");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kImagesKey, "SalesReport"), "s.ico");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kImagesKey, "Other"), "o.ico");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kImagesKey, "AnnualSalesReport"), "a.ico");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kImagesKey, "LeaseImage"), "l.ico");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kImagesKey, "MultiImage"), "");
    // A shorter array stores only what it holds.
    Mod_SpecialFunctions::SaveImagePaths({"renewal2.ico"});
    EXPECT_EQ(Mod_SpecialFunctions::GetImagePaths(),
              (std::vector<std::string>{"renewal2.ico", "ins.ico", "s.ico", "o.ico", "a.ico", "l.ico", ""}));
}
