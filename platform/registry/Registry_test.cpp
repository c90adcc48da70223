#include "platform/registry/Registry.h"

#include "platform/basic/App.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace winreg;

namespace {

HKEY create(HKEY root, std::string_view path)
{
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyEx(root, path, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
    return key;
}

LONG setText(HKEY key, std::string_view name, std::string_view text)
{
    return RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                         static_cast<DWORD>(text.size() + 1));
}

LONG setNumber(HKEY key, std::string_view name, uint32_t n)
{
    const BYTE bytes[4] = {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
    return RegSetValueEx(key, name, REG_DWORD, bytes, 4);
}

// The value's type and bytes, read with the two-call protocol.
struct Read {
    LONG rc = 0;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    std::string text() const { return std::string(bytes.begin(), bytes.end() - (bytes.empty() ? 0 : 1)); }
    uint32_t number() const
    {
        return bytes.size() != 4 ? 0xDEAD : bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
    }
};

Read query(HKEY key, std::string_view name)
{
    Read r;
    DWORD size = 0;
    r.rc = RegQueryValueEx(key, name, &r.type, nullptr, &size);
    if (r.rc != ERROR_SUCCESS)
        return r;
    r.bytes.resize(size);
    r.rc = RegQueryValueEx(key, name, &r.type, r.bytes.data(), &size);
    r.bytes.resize(size);
    return r;
}

// Points the registry at a copy of its file, so that what follows is read
// from disk, not from what this process remembers.
class ReadFromDisk {
public:
    ReadFromDisk()
    {
        std::filesystem::copy_file(original_, vb::AppPaths::RegistryFile());
    }

private:
    std::filesystem::path original_ = vb::AppPaths::RegistryFile();
    tv::testing::TempRoot root_;
};

} // namespace

TEST(Registry, NamesMatchWithoutCaseAndKeepTheirCase)
{
    tv::testing::TempRoot root;
    const HKEY key = create(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane\\");
    ASSERT_EQ(setText(key, "ShowTips", "True"), ERROR_SUCCESS);
    ASSERT_EQ(setText(key, "SHOWTIPS", "False"), ERROR_SUCCESS); // the same value
    ASSERT_EQ(setText(key, "Ärger", "x"), ERROR_SUCCESS);
    RegCloseKey(key);

    HKEY again = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\MerrowGate\\tallyvane", 0, KEY_ALL_ACCESS, &again),
              ERROR_SUCCESS);
    EXPECT_EQ(query(again, "showtips").text(), "False");
    EXPECT_EQ(query(again, "ÄRGER").text(), "x");
    std::string name;
    ASSERT_EQ(RegEnumValue(again, 0, &name, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(name, "ShowTips");
    EXPECT_EQ(RegEnumValue(again, 2, &name, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    // A key created again under another case is the same key, spelt as first.
    HKEY other = 0;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "software\\MERROWGATE", 0, KEY_ALL_ACCESS, &other, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    ASSERT_EQ(RegEnumKeyEx(other, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Tallyvane");
    ASSERT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Software");

    // The roots are told apart.
    HKEY machine = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\merrowgate", 0, KEY_ALL_ACCESS, &machine),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(again);
    RegCloseKey(other);
}

TEST(Registry, ValuesRoundTripThroughTheFile)
{
    tv::testing::TempRoot root;
    const std::vector<std::string> texts = {
        "False", "", "25", "He said \"hi\"", "C:\\path\\x", "two\nlines\r\n", "tab\there", "\x01\x1f\x7f",
        "€ Ünïcødé ✓", "; end", "[HKEY_CURRENT_USER\\fake]", "=dword:00000001", "\\x41"};
    const std::vector<uint32_t> numbers = {0, 1, 0xC0C0C0, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const HKEY key = create(HKEY_CLASSES_ROOT, "CLSID\\{0F1E2D3C-0000-1111-2222-333344445555}\\InprocServer32");
    for (size_t i = 0; i < texts.size(); ++i)
        ASSERT_EQ(setText(key, "text" + std::to_string(i), texts[i]), ERROR_SUCCESS);
    for (size_t i = 0; i < numbers.size(); ++i)
        ASSERT_EQ(setNumber(key, "number" + std::to_string(i), numbers[i]), ERROR_SUCCESS);
    ASSERT_EQ(setText(key, "", "/usr/lib/libquorvel.so"), ERROR_SUCCESS); // the default value
    ASSERT_EQ(setText(key, "odd \"name\" \\ = ;", "v"), ERROR_SUCCESS);
    // A text given without its NUL is stored the same; one with a NUL inside ends there.
    ASSERT_EQ(RegSetValueEx(key, "noNul", REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key, "innerNul", REG_SZ, reinterpret_cast<const BYTE*>("ab\0cd"), 6), ERROR_SUCCESS);
    RegCloseKey(key);

    ReadFromDisk disk;
    HKEY back = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "clsid\\{0f1e2d3c-0000-1111-2222-333344445555}\\inprocserver32", 0,
                           KEY_READ, &back),
              ERROR_SUCCESS);
    for (size_t i = 0; i < texts.size(); ++i) {
        const Read r = query(back, "text" + std::to_string(i));
        EXPECT_EQ(r.rc, ERROR_SUCCESS);
        EXPECT_EQ(r.type, REG_SZ);
        EXPECT_EQ(r.bytes.size(), texts[i].size() + 1) << "the size counts the terminating NUL";
        EXPECT_EQ(r.text(), texts[i]);
    }
    for (size_t i = 0; i < numbers.size(); ++i) {
        const Read r = query(back, "number" + std::to_string(i));
        EXPECT_EQ(r.type, REG_DWORD);
        EXPECT_EQ(r.number(), numbers[i]);
    }
    EXPECT_EQ(query(back, "").text(), "/usr/lib/libquorvel.so");
    EXPECT_EQ(query(back, "ODD \"NAME\" \\ = ;").text(), "v");
    EXPECT_EQ(query(back, "noNul").text(), "abc");
    EXPECT_EQ(query(back, "innerNul").text(), "ab");
    RegCloseKey(back);
}

TEST(Registry, QueryTellsTypeAndSizeAndRefusesASmallBuffer)
{
    tv::testing::TempRoot root;
    const HKEY key = create(HKEY_CURRENT_USER, "Software\\t");
    setText(key, "s", "hello");
    setNumber(key, "n", 7);

    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueEx(key, "s", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6u);
    BYTE small[3] = {};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "s", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(RegQueryValueEx(key, "s", nullptr, small, nullptr), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(RegQueryValueEx(key, "n", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);

    // Only the two types, a dword of exactly four bytes.
    const BYTE three[3] = {1, 2, 3};
    EXPECT_EQ(RegSetValueEx(key, "n", REG_DWORD, three, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueEx(key, "b", 3 /*binary*/, three, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(query(key, "n").number(), 7u);
    // Setting a value to another type replaces it.
    setText(key, "n", "seven");
    EXPECT_EQ(query(key, "n").type, REG_SZ);
    RegCloseKey(key);
}

TEST(Registry, MissingThingsAndBadHandles)
{
    tv::testing::TempRoot root;
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\nothing", 0, KEY_ALL_ACCESS, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(vb::AppPaths::RegistryFile())) << "reading creates no file";

    key = create(HKEY_CURRENT_USER, "Software\\t");
    EXPECT_EQ(query(key, "missing").rc, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValue(key, "missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\nothing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(query(key, "x").rc, ERROR_INVALID_HANDLE);
    EXPECT_EQ(setText(0x80000003u, "x", "y"), ERROR_INVALID_HANDLE); // a root this store does not keep
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

    // Bad key names.
    HKEY bad = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "a\\\\b", 0, KEY_ALL_ACCESS, &bad, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "\\a", 0, KEY_ALL_ACCESS, &bad, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "line\nbreak", 0, KEY_ALL_ACCESS, &bad, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_INVALID_PARAMETER);
}

TEST(Registry, AccessRightsDeletionAndEnumeration)
{
    tv::testing::TempRoot root;
    const HKEY top = create(HKEY_CURRENT_USER, "Software\\top");
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2"}) {
        HKEY k = create(top, name);
        RegCloseKey(k);
    }
    for (const char* name : {"z", "a", "m"})
        setText(top, name, name);
    std::vector<std::string> keys, values;
    std::string name;
    for (DWORD i = 0; RegEnumKeyEx(top, i, &name) == ERROR_SUCCESS; ++i)
        keys.push_back(name);
    for (DWORD i = 0; RegEnumValue(top, i, &name, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i)
        values.push_back(name);
    EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"}));
    EXPECT_EQ(values, (std::vector<std::string>{"z", "a", "m"}));

    // A handle opened for reading cannot write.
    HKEY readOnly = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\top", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(setText(readOnly, "z", "changed"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(readOnly, "z"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(query(readOnly, "z").text(), "z");
    HKEY writeOnly = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\top", 0, KEY_SET_VALUE, &writeOnly), ERROR_SUCCESS);
    EXPECT_EQ(query(writeOnly, "z").rc, ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegEnumKeyEx(writeOnly, 0, &name), ERROR_ACCESS_DENIED);
    HKEY child = 0;
    EXPECT_EQ(RegCreateKeyEx(readOnly, "new", 0, KEY_ALL_ACCESS, &child, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyEx(readOnly, "beta", 0, KEY_ALL_ACCESS, &child, nullptr), ERROR_SUCCESS)
        << "opening an existing key creates nothing";
    RegCloseKey(child);

    // A key with subkeys is deleted only as a tree; handles to it then fail.
    HKEY deep = create(top, "beta\\inner\\deeper");
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\top"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(top, "beta\\inner\\deeper"), ERROR_SUCCESS);
    EXPECT_EQ(setText(deep, "x", "y"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "software\\TOP"), ERROR_SUCCESS);
    EXPECT_EQ(query(readOnly, "z").rc, ERROR_KEY_DELETED);
    EXPECT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Software");
    EXPECT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 1, &name), ERROR_NO_MORE_ITEMS);
    HKEY gone = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\top\\alpha", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    for (HKEY h : {top, readOnly, writeOnly, deep})
        EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
}

TEST(Registry, ListenersHearOfEveryRewriteAndMayUseTheRegistry)
{
    tv::testing::TempRoot root;
    int calls = 0;
    std::string seen;
    const int id = AddChangeListener([&] {
        ++calls;
        HKEY k = 0;
        if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\watch", 0, KEY_READ, &k) == ERROR_SUCCESS) {
            seen = query(k, "v").text();
            RegCloseKey(k);
        }
    });
    const HKEY key = create(HKEY_LOCAL_MACHINE, "Software\\watch");
    EXPECT_EQ(calls, 1);
    setText(key, "v", "one");
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(seen, "one");
    setText(key, "v", "one"); // nothing changes, nothing is written
    EXPECT_EQ(calls, 2);
    RegDeleteValue(key, "v");
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(seen, "");
    RemoveChangeListener(id);
    setText(key, "v", "two");
    EXPECT_EQ(calls, 3);
    RegCloseKey(key);
}

// A store standing for another copy's: passes every call on, counting them.
class CountingStore final : public Store {
public:
    explicit CountingStore(Store& inner) : inner_(inner) {}
    LONG OpenKeyEx(HKEY h, std::string_view s, DWORD o, REGSAM a, HKEY* r) override
    {
        ++calls;
        return inner_.OpenKeyEx(h, s, o, a, r);
    }
    LONG CreateKeyEx(HKEY h, std::string_view s, DWORD o, REGSAM a, HKEY* r, DWORD* d) override
    {
        ++calls;
        return inner_.CreateKeyEx(h, s, o, a, r, d);
    }
    LONG CloseKey(HKEY h) override
    {
        ++calls;
        return inner_.CloseKey(h);
    }
    LONG QueryValueEx(HKEY h, std::string_view n, DWORD* t, BYTE* d, DWORD* c) override
    {
        ++calls;
        return inner_.QueryValueEx(h, n, t, d, c);
    }
    LONG SetValueEx(HKEY h, std::string_view n, DWORD t, const BYTE* d, DWORD c) override
    {
        ++calls;
        return inner_.SetValueEx(h, n, t, d, c);
    }
    LONG DeleteValue(HKEY h, std::string_view n) override { return inner_.DeleteValue(h, n); }
    LONG DeleteKey(HKEY h, std::string_view s) override { return inner_.DeleteKey(h, s); }
    LONG DeleteTree(HKEY h, std::string_view s) override { return inner_.DeleteTree(h, s); }
    LONG EnumKeyEx(HKEY h, DWORD i, std::string* n) override { return inner_.EnumKeyEx(h, i, n); }
    LONG EnumValue(HKEY h, DWORD i, std::string* n, DWORD* t, BYTE* d, DWORD* c) override
    {
        return inner_.EnumValue(h, i, n, t, d, c);
    }
    std::optional<std::string> Problem() override { return inner_.Problem(); }
    int AddChangeListener(ChangeListener l) override { return inner_.AddChangeListener(std::move(l)); }
    void RemoveChangeListener(int id) override { inner_.RemoveChangeListener(id); }

    int calls = 0;

private:
    Store& inner_;
};

TEST(Registry, CallsGoToTheStoreSetForTheProcess)
{
    tv::testing::TempRoot root;
    CountingStore store(OwnStore());
    SetStore(&store);
    EXPECT_EQ(&CurrentStore(), &store);
    const HKEY key = create(HKEY_CURRENT_USER, "Software\\handed");
    EXPECT_EQ(setText(key, "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(query(key, "v").text(), "x");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(store.calls, 5);

    // Setting this copy's own store, or none, ends the detour.
    SetStore(&OwnStore());
    EXPECT_EQ(&CurrentStore(), &OwnStore());
    SetStore(&store);
    SetStore(nullptr);
    const HKEY again = create(HKEY_CURRENT_USER, "Software\\handed");
    RegCloseKey(again);
    EXPECT_EQ(store.calls, 5);
}
