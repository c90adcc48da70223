#pragma once
// The registry's contents in memory and their text form.
//
// The file is line based:
//
//   TALLYVANE-REGISTRY 1
//   [HKEY_CURRENT_USER\Software\merrowgate\Tallyvane]
//   "ShowTips"="True"
//   "HeadingColor"=dword:00c0c0c0
//   @="the key's default value"
//   ; end
//
// Strings escape \\, \", \n, \r, \t, other control characters and bytes
// that are not part of a UTF-8 character as \xHH.
// The closing "; end" line tells a whole file from one cut short.

#include "platform/registry/Registry.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winreg::detail {

struct Value {
    std::string name;
    DWORD type = REG_SZ;
    std::string text;    // REG_SZ
    uint32_t number = 0; // REG_DWORD
    bool operator==(const Value&) const = default;
};

struct KeyData {
    std::string path; // from the root's name, as the names were first written
    std::vector<Value> values; // in the order they were created
    bool operator==(const KeyData&) const = default;

    const Value* FindValue(std::string_view name) const;
    Value* FindValue(std::string_view name);
};

// The folded form of a name or path: names match when their folded forms are equal.
std::string Fold(std::string_view name);

// Every key by its folded full path ("HKEY_CURRENT_USER\SOFTWARE\..."), the
// three roots always present. A key's subkeys are the entries that continue
// its path with one more name; they sort together right after it.
class Tree {
public:
    Tree();

    static std::string_view RootName(HKEY root); // "" for anything else
    static bool ValidName(std::string_view name);

    const KeyData* Find(const std::string& foldedPath) const;
    KeyData* Find(const std::string& foldedPath);
    // Creates the key below the existing parent; returns the key.
    KeyData& AddChild(const std::string& parentFolded, std::string_view name);
    // The direct subkeys' names, sorted without case.
    std::vector<std::string> ChildNames(const std::string& foldedPath) const;
    bool HasChildren(const std::string& foldedPath) const;
    // Removes the key and everything below it.
    void Erase(const std::string& foldedPath);

    bool operator==(const Tree&) const = default;

    std::string Serialize() const;

    struct ParseResult;
    static ParseResult Parse(std::string_view text);

private:
    std::map<std::string, KeyData> keys_;
};

struct Tree::ParseResult {
    std::optional<Tree> tree;
    int line = 0; // where the fault is; 0 for the whole file
    std::string fault;
    bool foreign = false; // not a settings file at all (its first line says so)
};

} // namespace winreg::detail
