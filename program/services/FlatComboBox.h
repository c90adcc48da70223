#pragma once
// The flat combo box ("Tallyvane.FlatComboBox"): a borderless text box and a
// painted drop button inside a single-line border, with a drop-down list that
// leaves the keyboard in the text box and completes what is typed from the
// list. The text can only come to show what begins an item.

#include "platform/forms/Forms.h"
#include "platform/win/Cursor.h"

#include <QPointer>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QListWidget;

// The control's inner list (its combo1): the items, the chosen one, and the
// pop-up list under the control. The pop-up never takes the focus; while
// locked it follows neither the mouse nor its clicks.
class FlatComboList {
public:
    explicit FlatComboList(QWidget* owner);
    ~FlatComboList();
    FlatComboList(const FlatComboList&) = delete;
    FlatComboList& operator=(const FlatComboList&) = delete;

    void AddItem(std::string_view item, std::optional<long> index = std::nullopt);
    void Clear();
    long ListCount() const { return static_cast<long>(items_.size()); }
    // Raises 381 for an index that is no item.
    std::string List(long index) const;
    long ItemData(long index) const;
    void SetItemData(long index, long data);
    long ListIndex() const { return listIndex_; }
    // Raises Click when the index changes; -1 to ListCount - 1, else 380.
    void SetListIndex(long index);
    // The chosen item's text ("" for none).
    std::string Text() const;

    // The combo-box messages: the first item equal to text, not minding case
    // (-1 for none); the first item after start (wrapping round) that begins
    // with prefix, not minding case; the list's state; choosing without Click.
    long FindStringExact(std::string_view text) const;
    long FindString(long start, std::string_view prefix) const;
    bool Dropped() const { return dropped_; }
    // Opening raises DropDown.
    void ShowDropDown(bool show);
    void SetCurSel(long index);
    bool Locked() const { return locked_; }
    void SetLocked(bool locked) { locked_ = locked; }
    void SetFont(const QFont& font);
    // Height of a combo box in this font, twips.
    double Height() const;

    forms::Event<> Click;
    forms::Event<> DropDown;
    // A click on an item of the open list (unlocked).
    forms::Event<long> Picked;

    QListWidget* PopupWidget() const { return popup_; }

private:
    friend class FlatComboPopup;
    void place();
    void showCurrent();

    struct Item {
        std::string text;
        long data = 0;
    };
    QWidget* owner_;
    QListWidget* popup_;
    QPointer<QObject> watch_;
    std::vector<Item> items_;
    long listIndex_ = -1;
    bool dropped_ = false;
    bool locked_ = false;
    QFont font_;
};

class FlatComboBox : public forms::UserControl {
public:
    FlatComboBox(forms::Container& parent, std::string name, int index = -1);
    ~FlatComboBox() override;

    forms::TextBox Text1{*this, "Text1"};
    forms::Timer Timer1{*this, "Timer1"};
    FlatComboList* combo1() const { return combo1_.get(); }

    // Public members. Setting ListIndex raises Click as a pick does; setting
    // Text never does.
    QFont Font() const;
    void SetFont(const QFont& font) override;
    long ColorMode() const { return colorMode_; }
    void SetColorMode(long mode);
    // 0 for an index that is no item; writing there does nothing.
    long ItemData(long Index) const;
    void SetItemData(long Index, long value);
    long ListIndex() const;
    void SetListIndex(long value);
    void SetMouseIcon(const QPixmap& icon);
    long MousePointer() const { return mousePointer_; }
    void SetMousePointer(long pointer);
    long Appearance() const { return appearance_; }
    void SetAppearance(long appearance);
    std::string Text() const;
    void SetText(std::string_view text);
    void SetEnabled(bool enabled) override;
    // The number of items, as text.
    std::string Count() const;
    std::string ListCount() const;
    // Unguarded: an index that is no item raises 381.
    std::string List(long Index) const;
    void AddItem(std::string_view Item, std::optional<long> Index = std::nullopt);
    bool InList(const vb::Variant& Item) const;
    void Clear();

    // Events: Click, KeyDown(KeyCode&, Shift&), KeyPress(KeyAscii&) and
    // KeyUp(KeyCode&, Shift&) are the members of forms::Control.

protected:
    void UserControl_Initialize() override;
    void UserControl_Terminate() override;
    void UserControl_Resize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_ExitFocus() override;
    void UserControl_KeyDown(int& KeyCode, int& Shift) override;
    void UserControl_KeyPress(int& KeyAscii) override;
    void UserControl_KeyUp(int& KeyCode, int& Shift) override;
    void UserControl_MouseDown(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;

private:
    void RefreshControl();
    void DrawButton(forms::OLE_COLOR background, forms::OLE_COLOR glyph);
    void SelectionChanged();
    void ShowDropDown();
    void SelectAllText();
    void LockMouse(bool lock);
    void CancelDropDown();
    void CommitDropDown();
    void PickFromList(long index);
    void TypeAhead();
    void Timer1_Timer();

    std::unique_ptr<FlatComboList> combo1_;
    win::POINTAPI recordedCursor_;
    bool suppressClick_ = false;
    long rememberedIndex_ = -1;
    long colorMode_ = 0;
    long mousePointer_ = 0;
    long appearance_ = 0;
};
