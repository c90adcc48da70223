#include "platform/registry/Registry.h"

#include "platform/registry/RegistryFile.h"
#include "platform/registry/RegistryTree.h"

#include "platform/basic/App.h"
#include "platform/basic/Strings.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace winreg {

using detail::Fold;
using detail::KeyData;
using detail::RegistryFile;
using detail::Tree;
using detail::Value;

namespace {

struct Handle {
    std::string folded; // the key's folded full path
    REGSAM access = 0;
};

// The classes root of a registry file that cannot be read or written, kept
// in memory for the rest of the process: the components registered there
// (the button library the program's windows are made with) must still be
// found, or no window could open.
struct ClassesInMemory {
    std::filesystem::path file; // the registry file it stands in for
    Tree tree;
};

struct State {
    std::mutex mutex;
    RegistryFile file;
    // Whether this process keeps the classes root in memory at all
    // (KeepClassesRootInMemory), and what it keeps.
    bool classesFallback = false;
    std::optional<ClassesInMemory> classes;
    std::map<HKEY, Handle> handles;
    HKEY nextHandle = 0x1000;
    std::map<int, ChangeListener> listeners;
    int nextListener = 1;
};

State& state()
{
    static State s;
    return s;
}

// The work of one call: holds the lock, and tells the listeners about a
// rewrite once the lock is released.
bool allows(const Handle& handle, REGSAM needed);

class Call {
public:
    Call() : s_(state()), lock_(s_.mutex) {}

    State& s() { return s_; }

    // The handle's key, or nothing when the handle is unknown.
    std::optional<Handle> Lookup(HKEY h) const
    {
        if (const std::string_view root = Tree::RootName(h); !root.empty())
            return Handle{Fold(root), KEY_ALL_ACCESS};
        const auto it = s_.handles.find(h);
        if (it == s_.handles.end())
            return std::nullopt;
        return it->second;
    }

    // The handle's key, checked for the access a call needs.
    LONG Open(HKEY h, REGSAM needed, Handle& out) const
    {
        const auto handle = Lookup(h);
        if (!handle)
            return ERROR_INVALID_HANDLE;
        if (!allows(*handle, needed))
            return ERROR_ACCESS_DENIED;
        out = *handle;
        return ERROR_SUCCESS;
    }

    // The current contents with the handle's key in them.
    LONG ReadKey(const Handle& handle, const Tree*& tree, const KeyData*& key)
    {
        if (const LONG rc = ReadTree(handle.folded, tree); rc != ERROR_SUCCESS)
            return rc;
        key = tree->Find(handle.folded);
        return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
    }

    // The contents a key's path is read from: the file's, or the classes
    // root kept in memory. A file that cannot be read leaves the classes
    // root in memory from then on.
    LONG ReadTree(const std::string& folded, const Tree*& tree)
    {
        if (s_.classesFallback && isClassesPath(folded)) {
            if (Tree* memory = classesInMemory()) {
                tree = memory;
                return ERROR_SUCCESS;
            }
            const LONG rc = s_.file.Read(tree);
            if (!storeFailed(rc))
                return rc;
            tree = &keepClassesInMemory();
            return ERROR_SUCCESS;
        }
        return s_.file.Read(tree);
    }

    // Applies change to the contents that hold folded. A change of the
    // classes root that the file cannot take is kept in memory instead.
    LONG Modify(const std::string& folded, const std::function<LONG(Tree&)>& change)
    {
        const bool classes = s_.classesFallback && isClassesPath(folded);
        if (!classes || !classesInMemory()) {
            // Whether the store failed or the change itself refused.
            bool changeAnswered = false;
            bool written = false;
            const LONG rc = s_.file.Modify(
                [&](Tree& tree) {
                    const LONG changed = change(tree);
                    changeAnswered = changed != ERROR_SUCCESS;
                    return changed;
                },
                written);
            written_ = written_ || written;
            if (!classes || changeAnswered || !storeFailed(rc))
                return rc;
            keepClassesInMemory();
        }
        Tree& memory = *classesInMemory();
        Tree edited = memory;
        const LONG rc = change(edited);
        if (rc == ERROR_SUCCESS)
            memory = std::move(edited);
        return rc;
    }

    HKEY NewHandle(const std::string& folded, REGSAM access)
    {
        HKEY h = s_.nextHandle;
        s_.nextHandle += 4;
        if (s_.nextHandle >= HKEY_CLASSES_ROOT)
            s_.nextHandle = 0x1000;
        s_.handles[h] = Handle{folded, access};
        return h;
    }

    // Ends the call: the lock goes, then the listeners hear of a rewrite.
    LONG Finish(LONG rc)
    {
        if (!written_)
            return rc;
        std::vector<ChangeListener> listeners;
        for (const auto& [id, listener] : s_.listeners)
            listeners.push_back(listener);
        lock_.unlock();
        for (const auto& listener : listeners)
            listener();
        return rc;
    }

private:
    static bool isClassesPath(const std::string& folded)
    {
        static const std::string root = Fold(Tree::RootName(HKEY_CLASSES_ROOT));
        return folded.starts_with(root) && (folded.size() == root.size() || folded[root.size()] == '\\');
    }

    // The file cannot be used at all, as opposed to a key or value that is
    // not there.
    static bool storeFailed(LONG rc)
    {
        return rc == ERROR_REGISTRY_CORRUPT || rc == ERROR_REGISTRY_IO_FAILED || rc == ERROR_ACCESS_DENIED;
    }

    // The classes root kept in memory for the current registry file, if any.
    Tree* classesInMemory()
    {
        if (s_.classes && s_.classes->file != vb::AppPaths::RegistryFile())
            s_.classes.reset();
        return s_.classes ? &s_.classes->tree : nullptr;
    }

    // Starts keeping the classes root in memory, with what the file holds
    // when it can still be read.
    Tree& keepClassesInMemory()
    {
        const Tree* tree = nullptr;
        const bool readable = s_.file.Read(tree) == ERROR_SUCCESS;
        s_.classes = ClassesInMemory{vb::AppPaths::RegistryFile(), readable ? *tree : Tree()};
        return s_.classes->tree;
    }

    State& s_;
    std::unique_lock<std::mutex> lock_;
    bool written_ = false;
};

bool allows(const Handle& handle, REGSAM needed)
{
    return (handle.access & needed) == needed;
}

// The names of a path below a key; a trailing backslash is allowed, an
// empty name elsewhere or a control character is not.
bool splitPath(std::string_view subKey, std::vector<std::string>& names)
{
    names.clear();
    if (subKey.empty())
        return true;
    if (subKey.back() == '\\')
        subKey.remove_suffix(1);
    for (std::string& name : vb::Split(subKey, "\\")) {
        if (!Tree::ValidName(name))
            return false;
        names.push_back(std::move(name));
    }
    return true;
}

std::string foldedPath(const std::string& base, const std::vector<std::string>& names)
{
    std::string path = base;
    for (const auto& name : names)
        path += "\\" + Fold(name);
    return path;
}

bool validValueName(std::string_view name)
{
    return name.find('\0') == std::string_view::npos;
}

std::string bytesOf(const Value& v)
{
    if (v.type == REG_DWORD) {
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[static_cast<size_t>(i)] = static_cast<char>((v.number >> (8 * i)) & 0xFF);
        return b;
    }
    std::string b = v.text;
    b += '\0';
    return b;
}

LONG deliver(const Value& v, DWORD* type, BYTE* data, DWORD* cbData)
{
    if (data && !cbData)
        return ERROR_INVALID_PARAMETER;
    const std::string bytes = bytesOf(v);
    const auto size = static_cast<DWORD>(bytes.size());
    if (type)
        *type = v.type;
    if (data) {
        if (*cbData < size) {
            *cbData = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, bytes.data(), bytes.size());
    }
    if (cbData)
        *cbData = size;
    return ERROR_SUCCESS;
}

LONG deleteKey(HKEY hKey, std::string_view subKey, bool wholeTree)
{
    Call call;
    const auto base = call.Lookup(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> names;
    if (!splitPath(subKey, names) || names.empty())
        return ERROR_INVALID_PARAMETER;
    const std::string target = foldedPath(base->folded, names);
    const LONG rc = call.Modify(target, [&](Tree& tree) {
        if (!tree.Find(base->folded))
            return ERROR_KEY_DELETED;
        if (!tree.Find(target))
            return ERROR_FILE_NOT_FOUND;
        if (!wholeTree && tree.HasChildren(target))
            return ERROR_ACCESS_DENIED;
        tree.Erase(target);
        return ERROR_SUCCESS;
    });
    return call.Finish(rc);
}

} // namespace

// The calls of this copy's own store, the registry file.
namespace file {

LONG RegOpenKeyEx(HKEY hKey, std::string_view subKey, DWORD /*options*/, REGSAM samDesired, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    Call call;
    const auto base = call.Lookup(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> names;
    if (!splitPath(subKey, names))
        return ERROR_INVALID_PARAMETER;
    const Tree* tree = nullptr;
    const KeyData* key = nullptr;
    if (const LONG rc = call.ReadKey(*base, tree, key); rc != ERROR_SUCCESS)
        return rc;
    const std::string target = foldedPath(base->folded, names);
    if (!tree->Find(target))
        return ERROR_FILE_NOT_FOUND;
    *result = call.NewHandle(target, samDesired);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY hKey, std::string_view subKey, DWORD /*options*/, REGSAM samDesired, HKEY* result,
                    DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    Call call;
    const auto base = call.Lookup(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    std::vector<std::string> names;
    if (!splitPath(subKey, names))
        return ERROR_INVALID_PARAMETER;
    const std::string target = foldedPath(base->folded, names);

    const Tree* tree = nullptr;
    const KeyData* key = nullptr;
    if (const LONG rc = call.ReadKey(*base, tree, key); rc != ERROR_SUCCESS)
        return rc;
    bool created = false;
    if (!tree->Find(target)) {
        if (!allows(*base, KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        const LONG rc = call.Modify(target, [&](Tree& t) {
            if (!t.Find(base->folded))
                return ERROR_KEY_DELETED;
            std::string path = base->folded;
            for (const auto& name : names) {
                const std::string next = path + "\\" + Fold(name);
                if (!t.Find(next)) {
                    t.AddChild(path, name);
                    created = true;
                }
                path = next;
            }
            return ERROR_SUCCESS;
        });
        if (rc != ERROR_SUCCESS)
            return call.Finish(rc);
    }
    *result = call.NewHandle(target, samDesired);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return call.Finish(ERROR_SUCCESS);
}

LONG RegCloseKey(HKEY hKey)
{
    if (!Tree::RootName(hKey).empty())
        return ERROR_SUCCESS;
    Call call;
    return call.s().handles.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueEx(HKEY hKey, std::string_view valueName, DWORD* type, BYTE* data, DWORD* cbData)
{
    Call call;
    Handle handle;
    if (const LONG rc = call.Open(hKey, KEY_QUERY_VALUE, handle); rc != ERROR_SUCCESS)
        return rc;
    const Tree* tree = nullptr;
    const KeyData* key = nullptr;
    if (const LONG rc = call.ReadKey(handle, tree, key); rc != ERROR_SUCCESS)
        return rc;
    const Value* value = key->FindValue(valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return deliver(*value, type, data, cbData);
}

LONG RegSetValueEx(HKEY hKey, std::string_view valueName, DWORD type, const BYTE* data, DWORD cbData)
{
    if (!validValueName(valueName) || (!data && cbData > 0))
        return ERROR_INVALID_PARAMETER;
    Value value;
    value.name = std::string(valueName);
    value.type = type;
    if (type == REG_SZ) {
        std::string_view text(reinterpret_cast<const char*>(data), data ? cbData : 0);
        text = text.substr(0, text.find('\0'));
        value.text = vb::DecodeLenient(text);
    } else if (type == REG_DWORD) {
        if (cbData != 4)
            return ERROR_INVALID_PARAMETER;
        value.number = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                       static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    } else {
        return ERROR_INVALID_PARAMETER;
    }

    Call call;
    Handle handle;
    if (const LONG rc = call.Open(hKey, KEY_SET_VALUE, handle); rc != ERROR_SUCCESS)
        return rc;
    const LONG rc = call.Modify(handle.folded, [&](Tree& tree) {
        KeyData* key = tree.Find(handle.folded);
        if (!key)
            return ERROR_KEY_DELETED;
        if (Value* existing = key->FindValue(valueName)) {
            value.name = existing->name; // the name keeps the case it was created with
            *existing = value;
        } else {
            key->values.push_back(value);
        }
        return ERROR_SUCCESS;
    });
    return call.Finish(rc);
}

LONG RegDeleteValue(HKEY hKey, std::string_view valueName)
{
    Call call;
    Handle handle;
    if (const LONG rc = call.Open(hKey, KEY_SET_VALUE, handle); rc != ERROR_SUCCESS)
        return rc;
    const Tree* tree = nullptr;
    const KeyData* key = nullptr;
    if (const LONG rc = call.ReadKey(handle, tree, key); rc != ERROR_SUCCESS)
        return rc;
    if (!key->FindValue(valueName))
        return ERROR_FILE_NOT_FOUND;
    const LONG rc = call.Modify(handle.folded, [&](Tree& t) {
        KeyData* k = t.Find(handle.folded);
        if (!k)
            return ERROR_KEY_DELETED;
        const Value* v = k->FindValue(valueName);
        if (!v)
            return ERROR_FILE_NOT_FOUND;
        k->values.erase(k->values.begin() + (v - k->values.data()));
        return ERROR_SUCCESS;
    });
    return call.Finish(rc);
}

LONG RegDeleteKey(HKEY hKey, std::string_view subKey)
{
    return deleteKey(hKey, subKey, false);
}

LONG RegDeleteTree(HKEY hKey, std::string_view subKey)
{
    return deleteKey(hKey, subKey, true);
}

LONG RegEnumKeyEx(HKEY hKey, DWORD index, std::string* name)
{
    if (!name)
        return ERROR_INVALID_PARAMETER;
    Call call;
    Handle handle;
    if (const LONG rc = call.Open(hKey, KEY_ENUMERATE_SUB_KEYS, handle); rc != ERROR_SUCCESS)
        return rc;
    const Tree* tree = nullptr;
    const KeyData* key = nullptr;
    if (const LONG rc = call.ReadKey(handle, tree, key); rc != ERROR_SUCCESS)
        return rc;
    const std::vector<std::string> names = tree->ChildNames(handle.folded);
    if (index >= names.size())
        return ERROR_NO_MORE_ITEMS;
    *name = names[index];
    return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY hKey, DWORD index, std::string* valueName, DWORD* type, BYTE* data, DWORD* cbData)
{
    Call call;
    Handle handle;
    if (const LONG rc = call.Open(hKey, KEY_QUERY_VALUE, handle); rc != ERROR_SUCCESS)
        return rc;
    const Tree* tree = nullptr;
    const KeyData* key = nullptr;
    if (const LONG rc = call.ReadKey(handle, tree, key); rc != ERROR_SUCCESS)
        return rc;
    if (index >= key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& value = key->values[index];
    if (valueName)
        *valueName = value.name;
    return deliver(value, type, data, cbData);
}

std::optional<std::string> StoreProblem()
{
    Call call;
    return call.s().file.Problem();
}

std::optional<std::string> StoreWriteProblem()
{
    Call call;
    return call.s().file.WriteProblem();
}

void KeepClassesRootInMemory()
{
    Call call;
    call.s().classesFallback = true;
}

int AddChangeListener(ChangeListener listener)
{
    Call call;
    const int id = call.s().nextListener++;
    call.s().listeners[id] = std::move(listener);
    return id;
}

void RemoveChangeListener(int id)
{
    Call call;
    call.s().listeners.erase(id);
}

} // namespace file

namespace {

// The store of this copy of the registry code: the file of vb::AppPaths.
class FileStore final : public Store {
public:
    LONG OpenKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result) override
    {
        return file::RegOpenKeyEx(hKey, subKey, options, samDesired, result);
    }
    LONG CreateKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result,
                     DWORD* disposition) override
    {
        return file::RegCreateKeyEx(hKey, subKey, options, samDesired, result, disposition);
    }
    LONG CloseKey(HKEY hKey) override { return file::RegCloseKey(hKey); }
    LONG QueryValueEx(HKEY hKey, std::string_view valueName, DWORD* type, BYTE* data, DWORD* cbData) override
    {
        return file::RegQueryValueEx(hKey, valueName, type, data, cbData);
    }
    LONG SetValueEx(HKEY hKey, std::string_view valueName, DWORD type, const BYTE* data, DWORD cbData) override
    {
        return file::RegSetValueEx(hKey, valueName, type, data, cbData);
    }
    LONG DeleteValue(HKEY hKey, std::string_view valueName) override { return file::RegDeleteValue(hKey, valueName); }
    LONG DeleteKey(HKEY hKey, std::string_view subKey) override { return file::RegDeleteKey(hKey, subKey); }
    LONG DeleteTree(HKEY hKey, std::string_view subKey) override { return file::RegDeleteTree(hKey, subKey); }
    LONG EnumKeyEx(HKEY hKey, DWORD index, std::string* name) override { return file::RegEnumKeyEx(hKey, index, name); }
    LONG EnumValue(HKEY hKey, DWORD index, std::string* valueName, DWORD* type, BYTE* data, DWORD* cbData) override
    {
        return file::RegEnumValue(hKey, index, valueName, type, data, cbData);
    }
    std::optional<std::string> Problem() override { return file::StoreProblem(); }
    int AddChangeListener(ChangeListener listener) override { return file::AddChangeListener(std::move(listener)); }
    void RemoveChangeListener(int id) override { file::RemoveChangeListener(id); }
};

std::atomic<Store*> g_installed{nullptr};

} // namespace

Store& OwnStore()
{
    static FileStore store;
    return store;
}

Store& CurrentStore()
{
    Store* installed = g_installed.load(std::memory_order_acquire);
    return installed ? *installed : OwnStore();
}

void SetStore(Store* store)
{
    g_installed.store(store == &OwnStore() ? nullptr : store, std::memory_order_release);
}

LONG RegOpenKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result)
{
    return CurrentStore().OpenKeyEx(hKey, subKey, options, samDesired, result);
}

LONG RegCreateKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result,
                    DWORD* disposition)
{
    return CurrentStore().CreateKeyEx(hKey, subKey, options, samDesired, result, disposition);
}

LONG RegCloseKey(HKEY hKey)
{
    return CurrentStore().CloseKey(hKey);
}

LONG RegQueryValueEx(HKEY hKey, std::string_view valueName, DWORD* type, BYTE* data, DWORD* cbData)
{
    return CurrentStore().QueryValueEx(hKey, valueName, type, data, cbData);
}

LONG RegSetValueEx(HKEY hKey, std::string_view valueName, DWORD type, const BYTE* data, DWORD cbData)
{
    return CurrentStore().SetValueEx(hKey, valueName, type, data, cbData);
}

LONG RegDeleteValue(HKEY hKey, std::string_view valueName)
{
    return CurrentStore().DeleteValue(hKey, valueName);
}

LONG RegDeleteKey(HKEY hKey, std::string_view subKey)
{
    return CurrentStore().DeleteKey(hKey, subKey);
}

LONG RegDeleteTree(HKEY hKey, std::string_view subKey)
{
    return CurrentStore().DeleteTree(hKey, subKey);
}

LONG RegEnumKeyEx(HKEY hKey, DWORD index, std::string* name)
{
    return CurrentStore().EnumKeyEx(hKey, index, name);
}

LONG RegEnumValue(HKEY hKey, DWORD index, std::string* valueName, DWORD* type, BYTE* data, DWORD* cbData)
{
    return CurrentStore().EnumValue(hKey, index, valueName, type, data, cbData);
}

std::optional<std::string> StoreProblem()
{
    return CurrentStore().Problem();
}

std::optional<std::string> StoreWriteProblem()
{
    // The process's own file, as the program asks at its start.
    return file::StoreWriteProblem();
}

void KeepClassesRootInMemory()
{
    // The process's own file; a library handed the host's store never asks.
    file::KeepClassesRootInMemory();
}

int AddChangeListener(ChangeListener listener)
{
    return CurrentStore().AddChangeListener(std::move(listener));
}

void RemoveChangeListener(int id)
{
    CurrentStore().RemoveChangeListener(id);
}

} // namespace winreg
