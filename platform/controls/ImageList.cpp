#include "platform/controls/ImageList.h"

#include "platform/basic/RuntimeError.h"

namespace controls {

ListImage& ListImages::Add(std::string_view key, const QPixmap& picture)
{
    if (!key.empty()) {
        for (const auto& item : items_)
            if (item->Key() == key)
                vb::Raise(35602, "Key is not unique in collection");
    }
    items_.push_back(std::make_unique<ListImage>(Count() + 1, std::string(key), picture));
    return *items_.back();
}

const ListImage& ListImages::operator()(int index) const
{
    if (index < 1 || index > Count())
        vb::Raise(35600, "Index out of bounds");
    return *items_[static_cast<size_t>(index - 1)];
}

const ListImage& ListImages::operator()(std::string_view key) const
{
    for (const auto& item : items_)
        if (!key.empty() && item->Key() == key)
            return *item;
    vb::Raise(35601, "Element not found");
}

ImageList::ImageList(forms::Container&, std::string name, int index)
    : name_(std::move(name))
    , index_(index)
{
}

} // namespace controls
