#include "platform/controls/SmartItems.h"

#include "platform/basic/RuntimeError.h"

#include <algorithm>

namespace controls {

namespace {
constexpr int kErrInvalidPicture = 481;

std::string text(std::string_view s)
{
    return std::string(s);
}
} // namespace

SmartItem::SmartItem(std::string key, std::string caption, int kind, std::string image, std::function<void()> changed)
    : key_(std::move(key))
    , caption_(std::move(caption))
    , kind_(kind)
    , image_(std::move(image))
    , changed_(std::move(changed))
{
}

SmartItem::~SmartItem() = default;

void SmartItem::changed() const
{
    if (changed_)
        changed_();
}

void SmartItem::SetCaption(std::string_view caption)
{
    caption_ = text(caption);
    changed();
}

void SmartItem::SetToolTipText(std::string_view t)
{
    toolTip_ = text(t);
    changed();
}

void SmartItem::SetImage(std::string_view key)
{
    image_ = text(key);
    changed();
}

void SmartItem::SetHotImage(std::string_view key)
{
    hotImage_ = text(key);
    changed();
}

void SmartItem::SetValue(std::string_view value)
{
    value_ = text(value);
    changed();
}

void SmartItem::SetVisible(bool visible)
{
    visible_ = visible;
    changed();
}

void SmartItem::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    changed();
}

void SmartItem::SetChecked(bool checked)
{
    checked_ = checked;
    changed();
}

void SmartItem::SetSelected(bool selected)
{
    selected_ = selected;
    changed();
}

void SmartItem::SetSelectedBackColor(forms::OLE_COLOR color)
{
    selectedBackColor_ = color;
    changed();
}

SmartItems& SmartItem::Items()
{
    if (!items_)
        items_ = std::make_unique<SmartItems>(changed_);
    return *items_;
}

const SmartItems& SmartItem::Items() const
{
    return const_cast<SmartItem*>(this)->Items();
}

SmartItems::SmartItems(std::function<void()> changed)
    : changed_(std::move(changed))
{
}

SmartItems::~SmartItems() = default;

void SmartItems::renumber()
{
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->index_ = static_cast<int>(i);
}

SmartItem& SmartItems::Add(std::string_view key, std::string_view caption, int kind, std::string_view image)
{
    if (!key.empty() && Exists(key))
        vb::Raise(kErrKeyNotUnique, "Key is not unique in collection");
    items_.push_back(std::make_unique<SmartItem>(text(key), text(caption), kind, text(image), changed_));
    renumber();
    if (changed_)
        changed_();
    return *items_.back();
}

SmartItem& SmartItems::AddSeparator(std::string_view key)
{
    SmartItem& item = Add(key, {}, smuiCommandItem);
    item.separator_ = true;
    return item;
}

void SmartItems::Remove(std::string_view key)
{
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& i) { return i->Key() == key; });
    if (key.empty() || it == items_.end())
        vb::Raise(kErrElementNotFound, "Element not found");
    items_.erase(it);
    renumber();
    if (changed_)
        changed_();
}

void SmartItems::Clear()
{
    items_.clear();
    if (changed_)
        changed_();
}

bool SmartItems::Exists(std::string_view key) const
{
    return !key.empty() && std::any_of(items_.begin(), items_.end(), [&](const auto& i) { return i->Key() == key; });
}

SmartItem& SmartItems::Item(std::string_view key) const
{
    for (const auto& i : items_)
        if (!key.empty() && i->Key() == key)
            return *i;
    vb::Raise(kErrElementNotFound, "Element not found");
}

SmartItem& SmartItems::Item(int index) const
{
    if (index < 0 || index >= Count())
        vb::Raise(vb::kErrSubscript);
    return *items_[static_cast<size_t>(index)];
}

SmartItem* SmartItems::Find(std::string_view key) const
{
    if (key.empty())
        return nullptr;
    for (const auto& i : items_) {
        if (i->Key() == key)
            return i.get();
        if (i->items_)
            if (SmartItem* inner = i->items_->Find(key))
                return inner;
    }
    return nullptr;
}

SmartImages::SmartImages(std::function<void()> changed)
    : changed_(std::move(changed))
{
}

void SmartImages::Add(std::string_view key, const QPixmap& picture)
{
    if (Exists(key))
        vb::Raise(kErrKeyNotUnique, "Key is not unique in collection");
    pictures_.emplace(text(key), picture);
    if (changed_)
        changed_();
}

void SmartImages::Add(std::string_view key, const std::filesystem::path& file)
{
    QPixmap picture;
    if (!picture.load(QString::fromStdString(file.string())))
        vb::Raise(kErrInvalidPicture, "Invalid picture");
    Add(key, picture);
}

void SmartImages::Remove(std::string_view key)
{
    auto it = pictures_.find(key);
    if (it == pictures_.end())
        vb::Raise(kErrElementNotFound, "Element not found");
    pictures_.erase(it);
    if (changed_)
        changed_();
}

void SmartImages::Clear()
{
    pictures_.clear();
    if (changed_)
        changed_();
}

bool SmartImages::Exists(std::string_view key) const
{
    return pictures_.find(key) != pictures_.end();
}

QPixmap SmartImages::Picture(std::string_view key) const
{
    auto it = pictures_.find(key);
    return it == pictures_.end() ? QPixmap() : it->second;
}

} // namespace controls
