#pragma once
// The keyed collections the SmartUI controls share: items (menu entries,
// panel entries, side-bar groups, tabs) and pictures by key.
//
// An item has a key, a caption, a kind, the key of its picture, and the
// switches Visible, Enabled, Checked and Selected; a change redraws the
// control that holds it. Items of a menu have items of their own.
//
// Lookups by a key that is not there raise 35601 ("Element not found"), a
// second item with a key already used raises 35602, as the outside controls'
// collections did. Keys compare exactly. Index() is the 0-based position.
// Adding, finding by key and by position cost the same however many items
// there are: a list of thousands of stores fills in time in step with its
// length.

#include "platform/controls/KeyIndex.h"
#include "platform/forms/Color.h"

#include <QPixmap>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace controls {

inline constexpr int kErrElementNotFound = 35601;
inline constexpr int kErrKeyNotUnique = 35602;

// Item kinds the program passes.
enum : int {
    smuiMenuPopup = 107,       // a popup menu
    smuiCommandItem = 200,     // an entry that gives a command
    smuiHeadingItem = 204,     // a heading that groups the entries below it
    smuiListItem = 901,        // an entry of a list, selectable
    smuiTab = 1000,            // a tab of a tab strip
    smuiContainerGroup = 1102, // a group of a container
    smuiGroup = 1301,          // a group of a side bar
};

class SmartItems;

class SmartItem {
public:
    SmartItem(std::string key, std::string caption, int kind, std::string image, std::function<void()> changed);
    ~SmartItem();
    SmartItem(const SmartItem&) = delete;
    SmartItem& operator=(const SmartItem&) = delete;

    const std::string& Key() const { return key_; }
    int Index() const { return index_; }
    int Kind() const { return kind_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view caption);
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(std::string_view text);
    // The key of the item's picture in its control's picture collection.
    const std::string& Image() const { return image_; }
    void SetImage(std::string_view key);
    // The picture shown while the mouse is over the item (tabs).
    const std::string& HotImage() const { return hotImage_; }
    void SetHotImage(std::string_view key);
    // A free text; a side-bar group's value names the panel it shows.
    const std::string& Value() const { return value_; }
    void SetValue(std::string_view value);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Selected() const { return selected_; }
    void SetSelected(bool selected);
    forms::OLE_COLOR SelectedBackColor() const { return selectedBackColor_; }
    void SetSelectedBackColor(forms::OLE_COLOR color);
    bool IsSeparator() const { return separator_; }

    // The entries of a menu.
    SmartItems& Items();
    const SmartItems& Items() const;

private:
    friend class SmartItems;
    friend class SmartTabStrip;
    void changed() const;

    std::string key_;
    std::string caption_;
    int kind_;
    std::string image_;
    std::string hotImage_;
    std::string toolTip_;
    std::string value_;
    bool visible_ = true;
    bool enabled_ = true;
    bool checked_ = false;
    bool selected_ = false;
    bool separator_ = false;
    int index_ = 0;
    forms::OLE_COLOR selectedBackColor_ = forms::vbHighlight;
    std::function<void()> changed_;
    std::unique_ptr<SmartItems> items_;
};

class SmartItems {
public:
    explicit SmartItems(std::function<void()> changed);
    ~SmartItems();
    SmartItems(const SmartItems&) = delete;
    SmartItems& operator=(const SmartItems&) = delete;

    // A key may be empty (headings, separators); a key used before raises 35602.
    SmartItem& Add(std::string_view key, std::string_view caption, int kind = smuiCommandItem,
                   std::string_view image = {});
    SmartItem& AddSeparator(std::string_view key = {});
    void Remove(std::string_view key);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    bool Exists(std::string_view key) const;
    // By key (raises 35601), or by 0-based position (raises 9).
    SmartItem& Item(std::string_view key) const;
    SmartItem& Item(int index) const;
    SmartItem& operator()(std::string_view key) const { return Item(key); }
    // By key anywhere below (menus' entries too); nullptr when there is none.
    SmartItem* Find(std::string_view key) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    void renumberFrom(size_t position);
    uint32_t positionOf(std::string_view key) const;
    std::vector<std::unique_ptr<SmartItem>> items_;
    KeyIndex byKey_;
    std::function<void()> changed_;
};

// Pictures by key (the controls' ListImages).
class SmartImages {
public:
    explicit SmartImages(std::function<void()> changed = {});

    // A key used before raises 35602.
    void Add(std::string_view key, const QPixmap& picture);
    // Loads the file; a file that cannot be read raises 481 ("Invalid
    // picture") and adds nothing.
    void Add(std::string_view key, const std::filesystem::path& file);
    void Remove(std::string_view key);
    void Clear();
    int Count() const { return static_cast<int>(pictures_.size()); }
    bool Exists(std::string_view key) const;
    // A null picture for a key that is not there.
    QPixmap Picture(std::string_view key) const;

private:
    uint32_t positionOf(std::string_view key) const;
    std::vector<std::pair<std::string, QPixmap>> pictures_;
    KeyIndex byKey_;
    std::function<void()> changed_;
};

} // namespace controls
