#pragma once
// ListBox: a list of items, one chosen (MultiSelect 0) or several (1 simple,
// 2 extended). Setting ListIndex or Selected from code raises Click when it
// changes something, as a choice by the user does.

#include "platform/forms/Control.h"

class QListWidget;

namespace forms {

enum : int { vbMultiSelectNone = 0, vbMultiSelectSimple = 1, vbMultiSelectExtended = 2 };

class ListBox : public Control {
public:
    ListBox(Container& parent, std::string name, int index = -1, int multiSelect = vbMultiSelectNone);

    int MultiSelect() const { return multiSelect_; }
    void AddItem(std::string_view item, std::optional<int> index = std::nullopt);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    std::string List(int index) const;
    void SetList(int index, std::string_view text);
    long ItemData(int index) const;
    void SetItemData(int index, long data);
    int NewIndex() const { return newIndex_; }
    int ListIndex() const;
    void SetListIndex(int index);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelCount() const;
    std::string Text() const;

protected:
    bool ClicksOnMouse() const override { return false; }

private:
    void checkIndex(int index) const;
    QListWidget* list_;
    int multiSelect_;
    int newIndex_ = -1;
    bool codeChange_ = false;
};

} // namespace forms
