#pragma once
// The property bag a user control reads its design values from and writes
// them to. A value equal to the default given on write is not stored, and a
// missing key reads as the default given on read.

#include "platform/basic/Variant.h"

#include <QFont>
#include <QPixmap>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace forms {

// A number, text or Boolean; a font; a picture.
using PropertyValue = std::variant<vb::Variant, QFont, QPixmap>;

bool SameProperty(const PropertyValue& a, const PropertyValue& b);
// The value as a font or a picture; another kind raises 13.
QFont FontValue(const PropertyValue& v);
QPixmap PictureValue(const PropertyValue& v);
// The value as a Variant; a font or picture raises 13.
const vb::Variant& VariantValue(const PropertyValue& v);

class PropertyBag {
public:
    // The stored value, or defaultValue when the key is missing (Empty
    // without one).
    PropertyValue ReadProperty(std::string_view name, const PropertyValue& defaultValue = vb::Variant());
    void WriteProperty(std::string_view name, const PropertyValue& value,
                       const std::optional<PropertyValue>& defaultValue = std::nullopt);

    bool Contains(std::string_view name) const;
    // The keys in the order they were read or written, for checking the
    // order a control follows.
    const std::vector<std::string>& ReadOrder() const { return reads_; }
    const std::vector<std::string>& WriteOrder() const { return writes_; }

private:
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, PropertyValue, NoCase> values_;
    std::vector<std::string> reads_;
    std::vector<std::string> writes_;
};

} // namespace forms
