#include "platform/forms/ListBox.h"

#include <QListWidget>

namespace forms {

namespace {
QString toQt(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
constexpr int kItemDataRole = Qt::UserRole;
} // namespace

ListBox::ListBox(Container& parent, std::string name, int index, int multiSelect)
    : Control(parent, std::move(name), index)
    , list_(new QListWidget(parent.ClientWidget()))
    , multiSelect_(multiSelect)
{
    list_->setSelectionMode(multiSelect == vbMultiSelectSimple     ? QAbstractItemView::MultiSelection
                            : multiSelect == vbMultiSelectExtended ? QAbstractItemView::ExtendedSelection
                                                                   : QAbstractItemView::SingleSelection);
    QObject::connect(list_, &QListWidget::itemSelectionChanged, list_, [this] {
        if (!codeChange_ && Live())
            detail::Dispatch([this] { Click.Raise(); });
    });
    Attach(list_);
    // Mouse events of a list arrive at its viewport.
    WatchInput(list_->viewport(), false);
    Control::SetBackColor(vbWindowBackground);
    Control::SetForeColor(vbWindowText);
}

void ListBox::checkIndex(int index) const
{
    if (index < 0 || index >= list_->count())
        vb::Raise(381, "Invalid property array index");
}

void ListBox::AddItem(std::string_view item, std::optional<int> index)
{
    const int at = index.value_or(list_->count());
    if (at < 0 || at > list_->count())
        vb::Raise(vb::kErrInvalidCall);
    codeChange_ = true;
    auto* it = new QListWidgetItem(toQt(item));
    it->setData(kItemDataRole, QVariant::fromValue<qlonglong>(0));
    list_->insertItem(at, it);
    codeChange_ = false;
    newIndex_ = at;
}

void ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= list_->count())
        vb::Raise(vb::kErrInvalidCall);
    codeChange_ = true;
    delete list_->takeItem(index);
    codeChange_ = false;
}

void ListBox::Clear()
{
    codeChange_ = true;
    list_->clear();
    codeChange_ = false;
    newIndex_ = -1;
}

int ListBox::ListCount() const
{
    return list_->count();
}

std::string ListBox::List(int index) const
{
    checkIndex(index);
    return list_->item(index)->text().toStdString();
}

void ListBox::SetList(int index, std::string_view text)
{
    checkIndex(index);
    list_->item(index)->setText(toQt(text));
}

long ListBox::ItemData(int index) const
{
    checkIndex(index);
    return static_cast<long>(list_->item(index)->data(kItemDataRole).toLongLong());
}

void ListBox::SetItemData(int index, long data)
{
    checkIndex(index);
    list_->item(index)->setData(kItemDataRole, QVariant::fromValue<qlonglong>(data));
}

int ListBox::ListIndex() const
{
    return list_->currentRow();
}

void ListBox::SetListIndex(int index)
{
    if (index < -1 || index >= list_->count())
        vb::Raise(vb::kErrInvalidProperty);
    if (index == ListIndex())
        return;
    codeChange_ = true;
    if (multiSelect_ == vbMultiSelectNone)
        list_->setCurrentRow(index);
    else
        list_->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    codeChange_ = false;
    Click.Raise();
}

bool ListBox::Selected(int index) const
{
    checkIndex(index);
    return list_->item(index)->isSelected();
}

void ListBox::SetSelected(int index, bool selected)
{
    checkIndex(index);
    if (Selected(index) == selected)
        return;
    codeChange_ = true;
    if (multiSelect_ == vbMultiSelectNone && selected)
        list_->setCurrentRow(index);
    else
        list_->item(index)->setSelected(selected);
    codeChange_ = false;
    Click.Raise();
}

int ListBox::SelCount() const
{
    return static_cast<int>(list_->selectedItems().size());
}

std::string ListBox::Text() const
{
    const int i = list_->currentRow();
    return i >= 0 ? list_->item(i)->text().toStdString() : std::string();
}

} // namespace forms
