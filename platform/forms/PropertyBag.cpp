#include "platform/forms/PropertyBag.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"

namespace forms {

bool SameProperty(const PropertyValue& a, const PropertyValue& b)
{
    if (a.index() != b.index())
        return false;
    if (const auto* v = std::get_if<vb::Variant>(&a)) {
        const auto& w = std::get<vb::Variant>(b);
        if (v->IsEmpty() || w.IsEmpty())
            return v->IsEmpty() && w.IsEmpty();
        return *v == w;
    }
    if (const auto* f = std::get_if<QFont>(&a))
        return *f == std::get<QFont>(b);
    return std::get<QPixmap>(a).toImage() == std::get<QPixmap>(b).toImage();
}

QFont FontValue(const PropertyValue& v)
{
    if (const auto* f = std::get_if<QFont>(&v))
        return *f;
    vb::Raise(vb::kErrTypeMismatch);
}

QPixmap PictureValue(const PropertyValue& v)
{
    if (const auto* p = std::get_if<QPixmap>(&v))
        return *p;
    vb::Raise(vb::kErrTypeMismatch);
}

const vb::Variant& VariantValue(const PropertyValue& v)
{
    if (const auto* x = std::get_if<vb::Variant>(&v))
        return *x;
    vb::Raise(vb::kErrTypeMismatch);
}

bool PropertyBag::NoCase::operator()(const std::string& a, const std::string& b) const
{
    return vb::StrComp(a, b, vb::CompareMethod::Text) < 0;
}

PropertyValue PropertyBag::ReadProperty(std::string_view name, const PropertyValue& defaultValue)
{
    reads_.emplace_back(name);
    auto it = values_.find(std::string(name));
    return it == values_.end() ? defaultValue : it->second;
}

void PropertyBag::WriteProperty(std::string_view name, const PropertyValue& value,
                                const std::optional<PropertyValue>& defaultValue)
{
    writes_.emplace_back(name);
    if (defaultValue && SameProperty(value, *defaultValue)) {
        values_.erase(std::string(name));
        return;
    }
    values_[std::string(name)] = value;
}

bool PropertyBag::Contains(std::string_view name) const
{
    return values_.count(std::string(name)) > 0;
}

} // namespace forms
