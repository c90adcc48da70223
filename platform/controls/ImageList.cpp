#include "platform/controls/ImageList.h"

#include "platform/basic/RuntimeError.h"

namespace controls {

uint32_t ListImages::positionOf(std::string_view key) const
{
    if (key.empty())
        return KeyIndex::kNone;
    return byKey_.Find(key, [this](uint32_t at) -> std::string_view { return items_[at]->Key(); });
}

ListImage& ListImages::Add(std::string_view key, const QPixmap& picture)
{
    if (positionOf(key) != KeyIndex::kNone)
        vb::Raise(35602, "Key is not unique in collection");
    items_.push_back(std::make_unique<ListImage>(Count() + 1, std::string(key), picture));
    if (!key.empty())
        byKey_.Insert(items_.back()->Key(), static_cast<uint32_t>(items_.size() - 1),
                      [this](uint32_t at) -> std::string_view { return items_[at]->Key(); });
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
    const uint32_t position = positionOf(key);
    if (position == KeyIndex::kNone)
        vb::Raise(35601, "Element not found");
    return *items_[position];
}

ImageList::ImageList(forms::Container&, std::string name, int index)
    : name_(std::move(name))
    , index_(index)
{
}

} // namespace controls
