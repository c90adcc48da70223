#pragma once
// ImageList: pictures kept for other controls and for code, reached by their
// position (from 1) or their key. It has no window of its own.

#include "platform/controls/KeyIndex.h"

#include <QPixmap>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace forms {
class Container;
}

namespace controls {

class ListImage {
public:
    ListImage(int index, std::string key, QPixmap picture)
        : index_(index)
        , key_(std::move(key))
        , picture_(std::move(picture))
    {
    }
    int Index() const { return index_; }
    const std::string& Key() const { return key_; }
    const QPixmap& Picture() const { return picture_; }

private:
    int index_;
    std::string key_;
    QPixmap picture_;
};

class ListImages {
public:
    // Adds a picture at the end; a key already in use raises 35602 (an empty
    // key is no key).
    ListImage& Add(std::string_view key, const QPixmap& picture);
    int Count() const { return static_cast<int>(items_.size()); }
    // From 1; out of range raises 35600. A key not in the list raises 35601.
    const ListImage& operator()(int index) const;
    const ListImage& operator()(std::string_view key) const;

private:
    std::vector<std::unique_ptr<ListImage>> items_;
    uint32_t positionOf(std::string_view key) const;
    KeyIndex byKey_;
};

class ImageList {
public:
    ImageList(forms::Container& parent, std::string name, int index = -1);

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }
    controls::ListImages& ListImages() { return images_; }
    const controls::ListImages& ListImages() const { return images_; }

private:
    std::string name_;
    int index_;
    controls::ListImages images_;
};

} // namespace controls
