// Any bytes as the registry file, parsed and then used through the calls
// the program and the button library make. What parses writes back to the
// same contents; every key and value the calls list, open and query is the
// one the parsed tree holds; a text (any bytes up to a NUL, read as UTF-8
// or else as Windows-1252) and a number set through them read back as set, and deleting values, keys and trees
// leaves a file that parses again. A file that does not parse is a
// problem the store tells, every change is refused and the file is never
// rewritten.

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTree.h"

#include "platform/basic/App.h"
#include "platform/basic/Strings.h"
#include "platform/testing/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace winreg;
using detail::Fold;
using detail::Tree;

std::string fileBytes()
{
    std::ifstream in(vb::AppPaths::RegistryFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// The value's type and bytes, read with the two-call protocol.
std::vector<BYTE> query(HKEY key, std::string_view name, DWORD& type)
{
    DWORD size = 0;
    check(RegQueryValueEx(key, name, &type, nullptr, &size) == ERROR_SUCCESS);
    std::vector<BYTE> bytes(size);
    if (size > 0) {
        DWORD small = size - 1;
        check(RegQueryValueEx(key, name, &type, bytes.data(), &small) == ERROR_MORE_DATA && small == size);
    }
    check(RegQueryValueEx(key, name, &type, bytes.data(), &size) == ERROR_SUCCESS && size == bytes.size());
    return bytes;
}

std::vector<BYTE> asStored(const detail::Value& v)
{
    if (v.type == REG_DWORD)
        return {BYTE(v.number), BYTE(v.number >> 8), BYTE(v.number >> 16), BYTE(v.number >> 24)};
    std::vector<BYTE> bytes(v.text.begin(), v.text.end());
    bytes.push_back(0);
    return bytes;
}

// Lists the key and what lies below it through the calls, as the tree has
// them; budget bounds the walk of a file of many keys.
void walk(const Tree& tree, HKEY key, const std::string& folded, int& budget)
{
    const detail::KeyData* data = tree.Find(folded);
    check(data != nullptr);
    std::size_t i = 0;
    for (;; ++i) {
        std::string name;
        DWORD type = REG_NONE, size = 0;
        const LONG rc = RegEnumValue(key, DWORD(i), &name, &type, nullptr, &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        check(rc == ERROR_SUCCESS && i < data->values.size() && name == data->values[i].name);
        DWORD queried = REG_NONE;
        check(query(key, name, queried) == asStored(data->values[i]) && queried == data->values[i].type &&
              type == queried);
    }
    check(i == data->values.size());
    const std::vector<std::string> children = tree.ChildNames(folded);
    std::size_t k = 0;
    for (;; ++k) {
        std::string name;
        const LONG rc = RegEnumKeyEx(key, DWORD(k), &name);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        check(rc == ERROR_SUCCESS && k < children.size() && name == children[k]);
        if (--budget <= 0)
            continue;
        HKEY child = 0;
        check(RegOpenKeyEx(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS);
        walk(tree, child, folded + "\\" + Fold(name), budget);
        check(RegCloseKey(child) == ERROR_SUCCESS);
    }
    check(k == children.size());
}

// What a program changes: a key of its own with a text and a number, set,
// read and deleted; and the whole first key under HKEY_CURRENT_USER deleted.
void change(std::string_view input)
{
    HKEY key = 0;
    DWORD disposition = 0;
    check(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane\\Fuzz", REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, &key, &disposition) == ERROR_SUCCESS);
    const std::string text(input.substr(0, std::min(input.find('\0'), std::size_t(64))));
    check(RegSetValueEx(key, "Text", REG_SZ, reinterpret_cast<const BYTE*>(text.data()), DWORD(text.size() + 1)) ==
          ERROR_SUCCESS);
    const BYTE number[4] = {0x78, 0x56, 0x34, 0x12};
    check(RegSetValueEx(key, "Number", REG_DWORD, number, 4) == ERROR_SUCCESS);
    DWORD type = REG_NONE;
    // Strings are UTF-8: bytes that are not are taken as Windows-1252.
    const std::string stored = vb::DecodeLenient(text);
    std::vector<BYTE> expected(stored.begin(), stored.end());
    expected.push_back(0);
    check(query(key, "Text", type) == expected && type == REG_SZ);
    check(query(key, "Number", type) == std::vector<BYTE>(number, number + 4) && type == REG_DWORD);
    check(RegDeleteValue(key, "Text") == ERROR_SUCCESS);
    check(RegQueryValueEx(key, "Text", &type, nullptr, nullptr) == ERROR_FILE_NOT_FOUND);
    check(RegCloseKey(key) == ERROR_SUCCESS);
    // A key the file already had may have keys below it, which keep it.
    if (disposition == REG_CREATED_NEW_KEY)
        check(RegDeleteKey(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane\\Fuzz") == ERROR_SUCCESS);

    std::string first;
    if (RegEnumKeyEx(HKEY_CURRENT_USER, 0, &first) == ERROR_SUCCESS) {
        check(RegDeleteTree(HKEY_CURRENT_USER, first) == ERROR_SUCCESS);
        HKEY gone = 0;
        check(RegOpenKeyEx(HKEY_CURRENT_USER, first, 0, KEY_READ, &gone) == ERROR_FILE_NOT_FOUND);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool set = [] {
        vb::AppPaths::SetConfigFolder(tv::fuzzing::TempFolder());
        return true;
    }();
    (void)set;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parsed = Tree::Parse(text);
    if (parsed.tree) {
        const std::string written = parsed.tree->Serialize();
        auto again = Tree::Parse(written);
        if (!again.tree || !(*again.tree == *parsed.tree) || again.tree->Serialize() != written)
            std::abort();
    }

    {
        std::ofstream out(vb::AppPaths::RegistryFile(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), std::streamsize(text.size()));
    }
    if (!parsed.tree) {
        HKEY key = 0;
        check(StoreProblem().has_value());
        check(RegCreateKeyEx(HKEY_CURRENT_USER, "Software", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key, nullptr) ==
              ERROR_REGISTRY_CORRUPT);
        check(RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, KEY_READ, &key) != ERROR_SUCCESS || RegCloseKey(key) == 0);
        check(fileBytes() == text);
        return 0;
    }
    check(!StoreProblem());
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        int budget = 256;
        walk(*parsed.tree, root, std::string(Tree::RootName(root)), budget);
    }
    change(text);
    check(!StoreProblem() && Tree::Parse(fileBytes()).tree.has_value());
    return 0;
}
