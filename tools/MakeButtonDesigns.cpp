// MakeButtonDesigns <library> <designs.txt> <output folder>
// Writes the design data of the buttons on the program's forms: for each
// line of the designs file, a button is made from the freshly built library,
// sized, given its properties through its automation interface and saved as
// "<form>.<control>.stm" in the output folder. The library is registered in
// a registry store of the tool's own, in a temporary folder.
//
// A line of the designs file (blank lines and lines starting with # are
// skipped):
//   <form> <control> <width>x<height> <Property>=<value> ...
// The size is in twips. A property is named as the button's automation
// interface names it; "Font.Name" sets a member of a font property. A value
// is a quoted text ("" inside for a quote), True or False, a decimal number,
// or a hexadecimal one written &H... (colours as the forms write them).

#include "platform/basic/App.h"
#include "platform/com/ControlSite.h"
#include "platform/com/Loader.h"
#include "platform/com/Stream.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgId = "LUMVEX.LumvexCtrl.4";

struct Setting {
    std::vector<std::string> path; // "FontTextCaption.Name" gives two names
    com::ComVariant value;
};

struct Design {
    int line = 0;
    std::string form;
    std::string control;
    long width = 0;
    long height = 0;
    std::vector<Setting> settings;
};

struct Failure {
    std::string text;
};

[[noreturn]] void fail(int line, const std::string& text)
{
    throw Failure{"line " + std::to_string(line) + ": " + text};
}

long number(int line, const std::string& text)
{
    try {
        std::size_t used = 0;
        long value = 0;
        if (text.size() > 2 && (text[0] == '&') && (text[1] == 'H' || text[1] == 'h')) {
            std::string digits = text.substr(2);
            if (!digits.empty() && digits.back() == '&')
                digits.pop_back();
            value = static_cast<long>(std::stoul(digits, &used, 16));
            if (used == digits.size() && !digits.empty())
                return value;
        } else {
            value = std::stol(text, &used, 10);
            if (used == text.size())
                return value;
        }
    } catch (const std::exception&) {
    }
    fail(line, "'" + text + "' is no number");
}

com::ComVariant valueOf(int line, const std::string& text)
{
    if (text == "True")
        return com::ComVariant::Bool(true);
    if (text == "False")
        return com::ComVariant::Bool(false);
    return com::ComVariant::I4(static_cast<std::int32_t>(number(line, text)));
}

// The settings after the size: Name=value, values quoted when they hold blanks.
std::vector<Setting> settingsOf(int line, std::istream& in)
{
    std::vector<Setting> settings;
    in >> std::ws;
    while (in.peek() != EOF) {
        std::string name;
        while (in.peek() != EOF && in.peek() != '=' && !std::isspace(in.peek()))
            name.push_back(static_cast<char>(in.get()));
        if (name.empty() || in.get() != '=')
            fail(line, "a property is written Name=value");
        Setting s;
        std::stringstream parts(name);
        for (std::string part; std::getline(parts, part, '.');)
            s.path.push_back(part);
        if (in.peek() == '"') {
            in.get();
            std::string text;
            for (;;) {
                const int c = in.get();
                if (c == EOF)
                    fail(line, "the text of " + name + " is not closed");
                if (c == '"') {
                    if (in.peek() != '"')
                        break;
                    in.get();
                }
                text.push_back(static_cast<char>(c));
            }
            s.value = com::ComVariant::Text(text);
        } else {
            std::string text;
            while (in.peek() != EOF && !std::isspace(in.peek()))
                text.push_back(static_cast<char>(in.get()));
            s.value = valueOf(line, text);
        }
        settings.push_back(std::move(s));
        in >> std::ws;
    }
    return settings;
}

std::vector<Design> readDesigns(const fs::path& file)
{
    std::ifstream in(file);
    if (!in)
        throw Failure{"cannot read " + file.string()};
    std::vector<Design> designs;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::istringstream words(text);
        Design d;
        d.line = line;
        if (!(words >> d.form) || d.form[0] == '#')
            continue;
        std::string size;
        if (!(words >> d.control >> size))
            fail(line, "form, control and size are needed");
        const auto x = size.find('x');
        if (x == std::string::npos)
            fail(line, "the size is written <width>x<height>");
        d.width = number(line, size.substr(0, x));
        d.height = number(line, size.substr(x + 1));
        if (d.width <= 0 || d.height <= 0)
            fail(line, "the size must be positive");
        d.settings = settingsOf(line, words);
        designs.push_back(std::move(d));
    }
    return designs;
}

std::u16string wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

HRESULT memberId(IDispatch* object, const std::string& name, DISPID* id)
{
    std::u16string w = wide(name);
    LPOLESTR names[] = {w.data()};
    return object->GetIDsOfNames(IID_NULL, names, 1, 0, id);
}

void apply(const Design& d, IDispatch* control, const Setting& s)
{
    const std::string& last = s.path.back();
    com::ComPtr<IDispatch> object(control);
    for (std::size_t i = 0; i + 1 < s.path.size(); ++i) {
        DISPID id = 0;
        com::ComVariant inner;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        if (FAILED(memberId(object.Get(), s.path[i], &id)) ||
            FAILED(object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &inner, nullptr, nullptr)) ||
            inner.vt != VT_DISPATCH || !inner.pdispVal)
            fail(d.line, "the button has no object property " + s.path[i]);
        object = com::ComPtr<IDispatch>(inner.pdispVal);
    }
    DISPID id = 0;
    if (FAILED(memberId(object.Get(), last, &id)))
        fail(d.line, "the button has no property " + last);
    com::ComVariant value = s.value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    if (const HRESULT hr = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
        FAILED(hr)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
        fail(d.line, "setting " + last + " failed (" + code + ")");
    }
}

// Written beside the target first, so a failed run leaves the old file.
void save(const Design& d, com::ControlSite& site, const fs::path& target)
{
    const fs::path temporary = target.string() + ".new";
    {
        com::ComPtr<IStream> stream;
        if (FAILED(com::CreateStreamOnFile(temporary, STGM_CREATE | STGM_WRITE, stream.Receive())) ||
            FAILED(site.Save(stream.Get())) || FAILED(stream->Commit(0)))
            fail(d.line, "cannot write " + temporary.string());
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec)
        fail(d.line, "cannot write " + target.string() + ": " + ec.message());
}

void make(const Design& d, const CLSID& clsid, QWidget& host, const fs::path& folder)
{
    com::ComPtr<com::ControlSite> site = com::NewControlSite(&host);
    if (FAILED(site->Create(clsid)) || FAILED(site->InitNew()))
        fail(d.line, "cannot make a button");
    // Twips to HIMETRIC: 1440 twips and 2540 HIMETRIC units to the inch.
    const SIZEL extent{static_cast<LONG>((d.width * 2540 + 720) / 1440),
                       static_cast<LONG>((d.height * 2540 + 720) / 1440)};
    if (FAILED(site->SetExtent(extent)))
        fail(d.line, "the button refuses its size");
    auto control = site->ControlAs<IDispatch>();
    for (const Setting& s : d.settings)
        apply(d, control.Get(), s);
    save(d, *site.Get(), folder / (d.form + "." + d.control + ".stm"));
    site->Close();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: MakeButtonDesigns <library> <designs.txt> <output folder>\n");
        return 2;
    }
    QApplication app(argc, argv);
    std::error_code ec;
    const fs::path library = fs::absolute(argv[1], ec);
    const fs::path folder = argv[3];
    QTemporaryDir store;
    int result = 0;
    try {
        const std::vector<Design> designs = readDesigns(argv[2]);
        if (!store.isValid())
            throw Failure{"cannot create a temporary folder"};
        vb::AppPaths::SetConfigFolder(store.path().toStdString());
        if (FAILED(com::RegisterServer(library)))
            throw Failure{"cannot register " + library.string()};
        CLSID clsid{};
        if (FAILED(CLSIDFromProgID(kProgId, &clsid)))
            throw Failure{std::string(kProgId) + " is not registered by " + library.string()};
        QWidget host;
        for (const Design& d : designs)
            make(d, clsid, host, folder);
    } catch (const Failure& f) {
        std::fprintf(stderr, "MakeButtonDesigns: %s: %s\n", argv[2], f.text.c_str());
        result = 1;
    }
    CoFreeUnusedLibraries();
    return result;
}
