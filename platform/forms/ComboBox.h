#pragma once
// ComboBox: a drop-down list (Style 2) or a drop-down list with an edit box
// (Style 0). Setting ListIndex from code raises Click when the index changes,
// as a pick in the list does; typing, or setting Text of Style 0, raises
// Change.

#include "platform/forms/Control.h"

class QComboBox;

namespace forms {

enum : int { vbComboDropdown = 0, vbComboSimple = 1, vbComboDropdownList = 2 };

class ComboBox : public Control {
public:
    ComboBox(Container& parent, std::string name, int index = -1, int style = vbComboDropdownList);

    int Style() const { return style_; }
    // At the end, or before item index (0 to ListCount; otherwise 5).
    void AddItem(std::string_view item, std::optional<int> index = std::nullopt);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const;
    // Raises 381 for an index that is no item.
    std::string List(int index) const;
    void SetList(int index, std::string_view text);
    long ItemData(int index) const;
    void SetItemData(int index, long data);
    // The index of the item added last.
    int NewIndex() const { return newIndex_; }
    // -1 when no item is chosen (or the edit box holds other text); -1 to
    // ListCount - 1, otherwise 380.
    int ListIndex() const;
    void SetListIndex(int index);
    std::string Text() const;
    // Style 0: the edit text (raises Change). Style 2: chooses the item with
    // that text, or raises 383.
    void SetText(std::string_view text);
    long SelStart() const;
    void SetSelStart(long start);
    long SelLength() const;
    void SetSelLength(long length);

    Event<> Change;
    Event<> DropDown;

protected:
    bool ClicksOnMouse() const override { return false; }
    void TypeCharacter(int keyAscii) override;

private:
    void checkIndex(int index) const;
    QComboBox* combo_;
    int style_;
    int newIndex_ = -1;
    bool codeChange_ = false;
};

} // namespace forms
