#include "platform/registry/RegistryTree.h"

#include "platform/basic/Strings.h"

#include <array>
#include <cstdio>
#include <unordered_map>

namespace winreg::detail {

namespace {

constexpr std::string_view kHeader = "TALLYVANE-REGISTRY 1";
constexpr std::string_view kEndMarker = "; end";

constexpr std::array<std::pair<HKEY, std::string_view>, 3> kRoots{{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
}};

void appendHex(std::string& out, unsigned char u)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02x", u);
    out += buf;
}

// Bytes that are not part of a UTF-8 character are escaped too: written
// raw, they would make the reader take the whole line as Windows-1252.
void appendEscaped(std::string& out, std::string_view s)
{
    out += '"';
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            const size_t n = vb::Utf8SequenceLength(s, i);
            if (n == 0) {
                appendHex(out, u);
                ++i;
            } else {
                out.append(s.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || u == 0x7F)
                appendHex(out, u);
            else
                out += c;
        }
        ++i;
    }
    out += '"';
}

// Reads a quoted string at pos; pos ends after the closing quote.
bool readQuoted(std::string_view line, size_t& pos, std::string& out)
{
    if (pos >= line.size() || line[pos] != '"')
        return false;
    ++pos;
    out.clear();
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"')
            return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= line.size())
            return false;
        const char e = line[pos++];
        switch (e) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (pos + 2 > line.size())
                return false;
            const int hi = vb::HexDigitValue(line[pos]), lo = vb::HexDigitValue(line[pos + 1]);
            if (hi < 0 || lo < 0 || (hi == 0 && lo == 0))
                return false;
            out += static_cast<char>(hi * 16 + lo);
            pos += 2;
            break;
        }
        default: return false;
        }
    }
    return false;
}

bool parseDword(std::string_view s, uint32_t& out)
{
    if (s.size() != 8)
        return false;
    out = 0;
    for (const char c : s) {
        const int d = vb::HexDigitValue(c);
        if (d < 0)
            return false;
        out = out * 16 + static_cast<uint32_t>(d);
    }
    return true;
}

} // namespace

const Value* KeyData::FindValue(std::string_view name) const
{
    const std::string folded = Fold(name);
    for (const auto& v : values)
        if (Fold(v.name) == folded)
            return &v;
    return nullptr;
}

Value* KeyData::FindValue(std::string_view name)
{
    return const_cast<Value*>(static_cast<const KeyData*>(this)->FindValue(name));
}

std::string Fold(std::string_view name)
{
    if (vb::IsValidUtf8(name))
        return vb::UCase(name);
    // Bytes that are no characters stay apart: only ASCII letters fold.
    std::string out(name);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

Tree::Tree()
{
    for (const auto& [handle, name] : kRoots)
        keys_[std::string(name)] = KeyData{std::string(name), {}};
}

std::string_view Tree::RootName(HKEY root)
{
    for (const auto& [handle, name] : kRoots)
        if (handle == root)
            return name;
    return {};
}

bool Tree::ValidName(std::string_view name)
{
    if (name.empty())
        return false;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

const KeyData* Tree::Find(const std::string& foldedPath) const
{
    const auto it = keys_.find(foldedPath);
    return it == keys_.end() ? nullptr : &it->second;
}

KeyData* Tree::Find(const std::string& foldedPath)
{
    const auto it = keys_.find(foldedPath);
    return it == keys_.end() ? nullptr : &it->second;
}

KeyData& Tree::AddChild(const std::string& parentFolded, std::string_view name)
{
    const KeyData& parent = keys_.at(parentFolded);
    const std::string folded = parentFolded + "\\" + Fold(name);
    auto [it, inserted] = keys_.try_emplace(folded);
    if (inserted)
        it->second.path = parent.path + "\\" + std::string(name);
    return it->second;
}

std::vector<std::string> Tree::ChildNames(const std::string& foldedPath) const
{
    std::vector<std::string> names;
    const std::string prefix = foldedPath + "\\";
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it) {
        if (it->first.find('\\', prefix.size()) != std::string::npos)
            continue;
        const std::string& path = it->second.path;
        names.push_back(path.substr(path.rfind('\\') + 1));
    }
    return names;
}

bool Tree::HasChildren(const std::string& foldedPath) const
{
    const std::string prefix = foldedPath + "\\";
    const auto it = keys_.lower_bound(prefix);
    return it != keys_.end() && it->first.starts_with(prefix);
}

void Tree::Erase(const std::string& foldedPath)
{
    const std::string prefix = foldedPath + "\\";
    auto it = keys_.lower_bound(prefix);
    while (it != keys_.end() && it->first.starts_with(prefix))
        it = keys_.erase(it);
    keys_.erase(foldedPath);
}

std::string Tree::Serialize() const
{
    std::string out;
    out += kHeader;
    out += "\n; Tallyvane's settings. The program rewrites this file whole; edit it only while Tallyvane is not "
           "running.\n";
    for (const auto& [folded, key] : keys_) {
        const bool isRoot = folded.find('\\') == std::string::npos;
        if (isRoot && key.values.empty())
            continue;
        out += "\n[" + key.path + "]\n";
        for (const auto& v : key.values) {
            if (v.name.empty())
                out += '@';
            else
                appendEscaped(out, v.name);
            out += '=';
            if (v.type == REG_DWORD) {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", v.number);
                out += buf;
            } else {
                appendEscaped(out, v.text);
            }
            out += '\n';
        }
    }
    out += '\n';
    out += kEndMarker;
    out += '\n';
    return out;
}

Tree::ParseResult Tree::Parse(std::string_view text)
{
    ParseResult result;
    auto fail = [&](int line, std::string fault) {
        result.line = line;
        result.fault = std::move(fault);
        return std::move(result);
    };
    if (text.empty())
        return fail(0, "the file is empty");
    // The first line tells a settings file from any other file.
    {
        std::string_view first = text.substr(0, text.find('\n'));
        if (!first.empty() && first.back() == '\r')
            first.remove_suffix(1);
        if (first != kHeader) {
            result.foreign = true;
            return fail(1, "it is not a Tallyvane settings file");
        }
    }
    // A file without its end line was cut short, wherever the cut fell.
    {
        bool hasEnd = false;
        for (size_t at = text.find(kEndMarker); at != std::string_view::npos && !hasEnd;
             at = text.find(kEndMarker, at + 1)) {
            const size_t after = at + kEndMarker.size();
            hasEnd = (at == 0 || text[at - 1] == '\n') &&
                     (after == text.size() || text[after] == '\n' || text[after] == '\r');
        }
        if (!hasEnd)
            return fail(0, "the file is cut short (its end line is missing)");
    }

    Tree tree;
    std::string current; // folded path of the key the values belong to
    // Where each value sits in its key, by folded key path and folded name:
    // a key of many values is read in one pass, not one search per value.
    std::unordered_map<std::string, std::unordered_map<std::string, size_t>> placed;
    bool ended = false;
    int lineNo = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        for (const char c : raw)
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                return fail(lineNo, "a line with control characters");
        const std::string lineText = vb::DecodeLenient(raw);
        const std::string_view line = lineText;

        if (lineNo == 1)
            continue; // the header, checked above
        if (line.empty())
            continue;
        if (ended)
            return fail(lineNo, "text after the end line");
        if (line == kEndMarker) {
            ended = true;
            continue;
        }
        if (line.front() == ';')
            continue;

        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']')
                return fail(lineNo, "a key line without its closing bracket");
            const std::string_view path = line.substr(1, line.size() - 2);
            const std::vector<std::string> names = vb::Split(path, "\\");
            if (names.empty())
                return fail(lineNo, "a key line without a key");
            std::string rootFolded = Fold(names.front());
            if (!tree.Find(rootFolded))
                return fail(lineNo, "a key outside the known root keys");
            current = rootFolded;
            for (size_t i = 1; i < names.size(); ++i) {
                if (!ValidName(names[i]))
                    return fail(lineNo, "a key name that is empty or holds control characters");
                tree.AddChild(current, names[i]);
                current += "\\" + Fold(names[i]);
            }
            continue;
        }

        if (current.empty())
            return fail(lineNo, "a value before the first key");
        std::string name;
        size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!readQuoted(line, pos, name) || name.empty()) {
            return fail(lineNo, "a value line that is not understood");
        }
        if (pos >= line.size() || line[pos] != '=')
            return fail(lineNo, "a value line without \"=\"");
        ++pos;
        Value value;
        value.name = name;
        if (line.substr(pos).starts_with("dword:")) {
            value.type = REG_DWORD;
            if (!parseDword(line.substr(pos + 6), value.number))
                return fail(lineNo, "a dword that is not eight hexadecimal digits");
        } else {
            value.type = REG_SZ;
            if (!readQuoted(line, pos, value.text) || pos != line.size())
                return fail(lineNo, "a text value that is not understood");
        }
        KeyData& key = *tree.Find(current);
        auto [at, added] = placed[current].try_emplace(Fold(value.name), key.values.size());
        if (added)
            key.values.push_back(std::move(value));
        else
            key.values[at->second] = std::move(value);
    }
    if (!ended)
        return fail(lineNo, "the file is cut short (its end line is missing)");
    result.tree = std::move(tree);
    return result;
}

} // namespace winreg::detail
