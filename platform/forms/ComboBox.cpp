#include "platform/forms/ComboBox.h"

#include "platform/forms/Keys.h"

#include <QComboBox>
#include <QLineEdit>

namespace forms {

namespace {

QString toQt(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

class DropDownCombo : public QComboBox {
public:
    DropDownCombo(QWidget* parent, std::function<void()> dropping)
        : QComboBox(parent)
        , dropping_(std::move(dropping))
    {
    }

    void showPopup() override
    {
        dropping_();
        QComboBox::showPopup();
    }

private:
    std::function<void()> dropping_;
};

} // namespace

ComboBox::ComboBox(Container& parent, std::string name, int index, int style)
    : Control(parent, std::move(name), index)
    , style_(style == vbComboDropdownList ? vbComboDropdownList : vbComboDropdown)
{
    combo_ = new DropDownCombo(parent.ClientWidget(), [this] {
        if (Live())
            detail::Dispatch([this] { DropDown.Raise(); });
    });
    if (style_ != vbComboDropdownList) {
        combo_->setEditable(true);
        combo_->setInsertPolicy(QComboBox::NoInsert);
        combo_->setCompleter(nullptr);
        QObject::connect(combo_->lineEdit(), &QLineEdit::textEdited, combo_, [this] {
            if (!codeChange_ && Live())
                detail::Dispatch([this] { Change.Raise(); });
        });
    }
    combo_->setCurrentIndex(-1);
    QObject::connect(combo_, &QComboBox::activated, combo_, [this] {
        if (Live())
            detail::Dispatch([this] { Click.Raise(); });
    });
    Attach(combo_);
    if (combo_->lineEdit())
        WatchInput(combo_->lineEdit(), true);
    Control::SetBackColor(vbWindowBackground);
    Control::SetForeColor(vbWindowText);
}

void ComboBox::checkIndex(int index) const
{
    if (index < 0 || index >= combo_->count())
        vb::Raise(381, "Invalid property array index");
}

void ComboBox::AddItem(std::string_view item, std::optional<int> index)
{
    const int at = index.value_or(combo_->count());
    if (at < 0 || at > combo_->count())
        vb::Raise(vb::kErrInvalidCall);
    const QString keep = combo_->currentText();
    const bool none = combo_->currentIndex() < 0;
    codeChange_ = true;
    combo_->insertItem(at, toQt(item), QVariant::fromValue<qlonglong>(0));
    // Adding an item chooses none.
    if (none)
        combo_->setCurrentIndex(-1);
    if (combo_->isEditable())
        combo_->setEditText(keep);
    codeChange_ = false;
    newIndex_ = at;
}

void ComboBox::RemoveItem(int index)
{
    if (index < 0 || index >= combo_->count())
        vb::Raise(vb::kErrInvalidCall);
    codeChange_ = true;
    combo_->removeItem(index);
    codeChange_ = false;
}

void ComboBox::Clear()
{
    codeChange_ = true;
    combo_->clear();
    combo_->setCurrentIndex(-1);
    codeChange_ = false;
    newIndex_ = -1;
}

int ComboBox::ListCount() const
{
    return combo_->count();
}

std::string ComboBox::List(int index) const
{
    checkIndex(index);
    return combo_->itemText(index).toStdString();
}

void ComboBox::SetList(int index, std::string_view text)
{
    checkIndex(index);
    combo_->setItemText(index, toQt(text));
}

long ComboBox::ItemData(int index) const
{
    checkIndex(index);
    return static_cast<long>(combo_->itemData(index).toLongLong());
}

void ComboBox::SetItemData(int index, long data)
{
    checkIndex(index);
    combo_->setItemData(index, QVariant::fromValue<qlonglong>(data));
}

int ComboBox::ListIndex() const
{
    const int i = combo_->currentIndex();
    if (i >= 0 && combo_->isEditable() && combo_->currentText() != combo_->itemText(i))
        return -1;
    return i;
}

void ComboBox::SetListIndex(int index)
{
    if (index < -1 || index >= combo_->count())
        vb::Raise(vb::kErrInvalidProperty);
    if (index == ListIndex())
        return;
    codeChange_ = true;
    combo_->setCurrentIndex(index);
    if (index < 0 && combo_->isEditable())
        combo_->setEditText(QString());
    codeChange_ = false;
    Click.Raise();
}

std::string ComboBox::Text() const
{
    return combo_->currentText().toStdString();
}

void ComboBox::SetText(std::string_view text)
{
    if (style_ == vbComboDropdownList) {
        const int i = combo_->findText(toQt(text), Qt::MatchFixedString);
        if (i < 0)
            vb::Raise(383, "'Text' property is read-only");
        SetListIndex(i);
        return;
    }
    if (Text() == text)
        return;
    codeChange_ = true;
    combo_->setEditText(toQt(text));
    codeChange_ = false;
    Change.Raise();
}

long ComboBox::SelStart() const
{
    QLineEdit* e = combo_->lineEdit();
    if (!e)
        return 0;
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

void ComboBox::SetSelStart(long start)
{
    if (QLineEdit* e = combo_->lineEdit())
        e->setCursorPosition(static_cast<int>(std::clamp<long>(start, 0, e->text().size())));
}

long ComboBox::SelLength() const
{
    QLineEdit* e = combo_->lineEdit();
    return e && e->hasSelectedText() ? e->selectedText().size() : 0;
}

void ComboBox::SetSelLength(long length)
{
    QLineEdit* e = combo_->lineEdit();
    if (!e)
        return;
    const int start = static_cast<int>(SelStart());
    const int len = static_cast<int>(std::clamp<long>(length, 0, e->text().size() - start));
    if (len > 0)
        e->setSelection(start, len);
    else
        e->setCursorPosition(start);
}

void ComboBox::TypeCharacter(int keyAscii)
{
    if (QLineEdit* e = combo_->lineEdit())
        e->insert(QString::fromStdString(AsciiText(keyAscii)));
}

} // namespace forms
