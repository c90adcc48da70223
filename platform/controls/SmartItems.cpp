#include "platform/controls/SmartItems.h"

#include "platform/basic/RuntimeError.h"

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

void SmartItems::renumberFrom(size_t position)
{
    for (size_t i = position; i < items_.size(); ++i)
        items_[i]->index_ = static_cast<int>(i);
}

uint32_t SmartItems::positionOf(std::string_view key) const
{
    if (key.empty())
        return KeyIndex::kNone;
    return byKey_.Find(key, [this](uint32_t at) -> std::string_view { return items_[at]->key_; });
}

SmartItem& SmartItems::Add(std::string_view key, std::string_view caption, int kind, std::string_view image)
{
    if (positionOf(key) != KeyIndex::kNone)
        vb::Raise(kErrKeyNotUnique, "Key is not unique in collection");
    items_.push_back(std::make_unique<SmartItem>(text(key), text(caption), kind, text(image), changed_));
    SmartItem& item = *items_.back();
    const auto position = static_cast<uint32_t>(items_.size() - 1);
    item.index_ = static_cast<int>(position);
    if (!key.empty())
        byKey_.Insert(item.key_, position, [this](uint32_t at) -> std::string_view { return items_[at]->key_; });
    if (changed_)
        changed_();
    return item;
}

SmartItem& SmartItems::AddSeparator(std::string_view key)
{
    SmartItem& item = Add(key, {}, smuiCommandItem);
    item.separator_ = true;
    return item;
}

void SmartItems::Remove(std::string_view key)
{
    const uint32_t position = positionOf(key);
    if (position == KeyIndex::kNone)
        vb::Raise(kErrElementNotFound, "Element not found");
    byKey_.Erase(key, [this](uint32_t at) -> std::string_view { return items_[at]->key_; });
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
    byKey_.ShiftDownAfter(position);
    renumberFrom(position);
    if (changed_)
        changed_();
}

void SmartItems::Clear()
{
    byKey_.Clear();
    items_.clear();
    if (changed_)
        changed_();
}

bool SmartItems::Exists(std::string_view key) const
{
    return positionOf(key) != KeyIndex::kNone;
}

SmartItem& SmartItems::Item(std::string_view key) const
{
    const uint32_t position = positionOf(key);
    if (position == KeyIndex::kNone)
        vb::Raise(kErrElementNotFound, "Element not found");
    return *items_[position];
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
    if (const uint32_t position = positionOf(key); position != KeyIndex::kNone)
        return items_[position].get();
    for (const auto& i : items_)
        if (i->items_)
            if (SmartItem* inner = i->items_->Find(key))
                return inner;
    return nullptr;
}

SmartImages::SmartImages(std::function<void()> changed)
    : changed_(std::move(changed))
{
}

uint32_t SmartImages::positionOf(std::string_view key) const
{
    return byKey_.Find(key, [this](uint32_t at) -> std::string_view { return pictures_[at].first; });
}

void SmartImages::Add(std::string_view key, const QPixmap& picture)
{
    if (positionOf(key) != KeyIndex::kNone)
        vb::Raise(kErrKeyNotUnique, "Key is not unique in collection");
    pictures_.emplace_back(text(key), picture);
    byKey_.Insert(pictures_.back().first, static_cast<uint32_t>(pictures_.size() - 1),
                  [this](uint32_t at) -> std::string_view { return pictures_[at].first; });
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
    const uint32_t position = positionOf(key);
    if (position == KeyIndex::kNone)
        vb::Raise(kErrElementNotFound, "Element not found");
    byKey_.Erase(key, [this](uint32_t at) -> std::string_view { return pictures_[at].first; });
    // The last picture takes the place of the one that goes: their order
    // is nobody's business.
    const auto last = static_cast<uint32_t>(pictures_.size() - 1);
    if (position != last) {
        pictures_[position] = std::move(pictures_[last]);
        byKey_.Move(pictures_[position].first, last, position);
    }
    pictures_.pop_back();
    if (changed_)
        changed_();
}

void SmartImages::Clear()
{
    byKey_.Clear();
    pictures_.clear();
    if (changed_)
        changed_();
}

bool SmartImages::Exists(std::string_view key) const
{
    return positionOf(key) != KeyIndex::kNone;
}

QPixmap SmartImages::Picture(std::string_view key) const
{
    const uint32_t position = positionOf(key);
    return position == KeyIndex::kNone ? QPixmap() : pictures_[position].second;
}

} // namespace controls
