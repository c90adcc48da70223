#pragma once
// A property bag in memory: named values, names compared without case, kept
// in the order first written. A container keeps a control's saved state in
// one; a value that is itself a bag (a font, for instance) is kept as the
// bag's IUnknown.

#include "platform/com/PersistInterfaces.h"

#include <string>
#include <string_view>
#include <vector>

namespace com {

class PropertyBag final : public ComObject<PropertyBag, IPropertyBag> {
public:
    std::span<const InterfaceEntry> InterfaceTable() const;

    HRESULT Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT Write(LPCOLESTR name, VARIANT* value) override;

    // For the container's own use and for tests.
    bool Contains(std::string_view name) const;
    // The stored value (VT_EMPTY when missing).
    ComVariant Value(std::string_view name) const;
    void SetValue(std::string_view name, const VARIANT& value);
    bool Remove(std::string_view name);
    // The names in the order they were first written.
    std::vector<std::string> Names() const;

private:
    struct Entry {
        std::string name;
        ComVariant value;
    };
    const Entry* find(std::string_view name) const;
    std::vector<Entry> entries_;
};

// A NUL-terminated (not length-prefixed) string as UTF-8.
std::string Utf8FromOleString(LPCOLESTR text);
// A NUL-terminated copy in task memory, for the receiver to free with
// CoTaskMemFree; null when there is no memory.
LPOLESTR TaskOleString(const std::string& utf8);

// A new empty bag with one reference for the caller.
ComPtr<PropertyBag> NewPropertyBag();

} // namespace com
