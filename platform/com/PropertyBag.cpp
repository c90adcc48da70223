#include "platform/com/PropertyBag.h"

#include "platform/com/OleInterfaces.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace com {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string Utf8FromOleString(LPCOLESTR text)
{
    return Bstr::Attach(SysAllocString(text)).Utf8();
}

LPOLESTR TaskOleString(const std::string& utf8)
{
    const Bstr text(utf8);
    const std::size_t n = text.Length();
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((n + 1) * sizeof(OLECHAR)));
    if (out) {
        std::memcpy(out, text.Get(), n * sizeof(OLECHAR));
        out[n] = 0;
    }
    return out;
}

std::span<const InterfaceEntry> PropertyBag::InterfaceTable() const
{
    static constexpr InterfaceEntry table[] = {Implements<PropertyBag, IPropertyBag>()};
    return table;
}

const PropertyBag::Entry* PropertyBag::find(std::string_view name) const
{
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return sameName(e.name, name); });
    return it == entries_.end() ? nullptr : &*it;
}

HRESULT PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*)
{
    if (!name || !value)
        return E_POINTER;
    const Entry* e = find(Utf8FromOleString(name));
    if (!e)
        return E_INVALIDARG;
    const VARTYPE wanted = value->vt;
    VariantInit(value);
    if (wanted == VT_EMPTY || wanted == e->value.vt)
        return VariantCopy(value, &e->value);
    const HRESULT hr = VariantChangeType(value, &e->value, 0, wanted);
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

HRESULT PropertyBag::Write(LPCOLESTR name, VARIANT* value)
{
    if (!name || !value)
        return E_POINTER;
    SetValue(Utf8FromOleString(name), *value);
    return S_OK;
}

bool PropertyBag::Contains(std::string_view name) const
{
    return find(name) != nullptr;
}

ComVariant PropertyBag::Value(std::string_view name) const
{
    const Entry* e = find(name);
    return e ? e->value : ComVariant();
}

void PropertyBag::SetValue(std::string_view name, const VARIANT& value)
{
    ComVariant copy;
    VariantCopyInd(&copy, &value);
    if (auto* e = const_cast<Entry*>(find(name))) {
        e->value = copy;
        return;
    }
    entries_.push_back({std::string(name), copy});
}

bool PropertyBag::Remove(std::string_view name)
{
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return sameName(e.name, name); });
    if (it == entries_.end())
        return false;
    entries_.erase(it);
    return true;
}

std::vector<std::string> PropertyBag::Names() const
{
    std::vector<std::string> names;
    for (const Entry& e : entries_)
        names.push_back(e.name);
    return names;
}

ComPtr<PropertyBag> NewPropertyBag()
{
    return ComPtr<PropertyBag>::Attach(new PropertyBag());
}

} // namespace com
