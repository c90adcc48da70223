#include "platform/controls/ListView.h"

#include "platform/basic/RuntimeError.h"
#include "platform/controls/ImageList.h"

#include <QHeaderView>
#include <QIcon>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace controls {

namespace {

// A new column's width when none is given, as the control's.
constexpr double kDefaultColumnWidth = 1440;

QString toQt(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

int toPixels(double twips)
{
    return forms::detail::TwipsToPixels(twips);
}

[[noreturn]] void outOfBounds()
{
    vb::Raise(35600, "Index out of bounds");
}

} // namespace

// --- Columns ---

std::string ColumnHeader::Text() const
{
    return view_.tree_->headerItem()->text(index_ - 1).toStdString();
}

void ColumnHeader::SetText(std::string_view text)
{
    view_.tree_->headerItem()->setText(index_ - 1, toQt(text));
    view_.fitHeaders();
}

double ColumnHeader::Width() const
{
    return view_.widths_[static_cast<size_t>(index_ - 1)];
}

void ColumnHeader::SetWidth(double twips)
{
    if (!(twips >= 0))
        vb::Raise(vb::kErrInvalidProperty);
    view_.widths_[static_cast<size_t>(index_ - 1)] = twips;
    view_.tree_->setColumnWidth(index_ - 1, toPixels(twips));
    view_.fitHeaders();
}

ColumnHeader& ColumnHeaders::Add(std::string_view text, double width)
{
    if (width < 0)
        width = kDefaultColumnWidth;
    headers_.push_back(std::make_unique<ColumnHeader>(view_, Count() + 1));
    view_.widths_.push_back(width);
    view_.columnsChanged();
    ColumnHeader& header = *headers_.back();
    header.SetText(text);
    header.SetWidth(width);
    return header;
}

void ColumnHeaders::Clear()
{
    headers_.clear();
    view_.widths_.clear();
    view_.columnsChanged();
}

ColumnHeader& ColumnHeaders::operator()(int index) const
{
    if (index < 1 || index > Count())
        outOfBounds();
    return *headers_[static_cast<size_t>(index - 1)];
}

// --- Rows ---

int ListItem::Index() const
{
    return view_.tree_->indexOfTopLevelItem(item_) + 1;
}

std::string ListItem::Text() const
{
    return item_->text(0).toStdString();
}

void ListItem::SetText(std::string_view text)
{
    item_->setText(0, toQt(text));
}

void ListItem::SetSmallIcon(std::string_view key)
{
    if (key.empty()) {
        smallIcon_.clear();
        item_->setIcon(0, QIcon());
        return;
    }
    if (!view_.smallIcons_)
        vb::Raise(35613, "ImageList must be initialized before it can be used");
    const ListImage& image = view_.smallIcons_->ListImages()(key);
    smallIcon_ = std::string(key);
    item_->setIcon(0, QIcon(image.Picture()));
}

void ListItem::checkSubItem(int index) const
{
    if (index < 1 || index >= view_.headers_.Count())
        vb::Raise(vb::kErrInvalidProperty);
}

std::string ListItem::SubItem(int index) const
{
    checkSubItem(index);
    return item_->text(index).toStdString();
}

void ListItem::SetSubItem(int index, std::string_view text)
{
    checkSubItem(index);
    item_->setText(index, toQt(text));
}

bool ListItem::Selected() const
{
    return item_->isSelected();
}

ListItem& ListItems::Add(std::string_view text, std::string_view smallIcon)
{
    auto* row = new QTreeWidgetItem(view_.tree_);
    auto item = std::make_unique<ListItem>(view_, row);
    try {
        item->SetText(text);
        item->SetSmallIcon(smallIcon);
    } catch (...) {
        delete row;
        throw;
    }
    items_.push_back(std::move(item));
    return *items_.back();
}

void ListItems::Clear()
{
    items_.clear();
    view_.tree_->clear();
}

ListItem& ListItems::operator()(int index) const
{
    if (index < 1 || index > Count())
        outOfBounds();
    return *items_[static_cast<size_t>(index - 1)];
}

// --- The control ---

ListView::ListView(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , tree_(new QTreeWidget(parent.ClientWidget()))
{
    tree_->setRootIsDecorated(false);
    tree_->setItemsExpandable(false);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setIconSize(QSize(16, 16));
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionsMovable(false);
    columnsChanged();
    QObject::connect(tree_, &QTreeWidget::itemClicked, tree_, [this](QTreeWidgetItem* row, int) {
        if (!Live())
            return;
        const int at = tree_->indexOfTopLevelItem(row) + 1;
        if (at < 1 || at > items_.Count())
            return;
        forms::detail::Dispatch([&] { ItemClick.Raise(items_(at)); });
    });
    Attach(tree_);
    // The mouse arrives at the list's viewport, below the column headers.
    WatchInput(tree_->viewport(), false);
    Control::SetBackColor(forms::vbWindowBackground);
    Control::SetForeColor(forms::vbWindowText);
}

ListView::~ListView() = default;

void ListView::columnsChanged()
{
    const int count = static_cast<int>(widths_.size());
    // The widget keeps at least one column; without headers it shows none.
    tree_->setColumnCount(std::max(1, count));
    tree_->setHeaderHidden(count == 0);
    for (int i = 0; i < count; ++i)
        tree_->setColumnWidth(i, toPixels(widths_[static_cast<size_t>(i)]));
    fitHeaders();
}

void ListView::SetFont(const QFont& font)
{
    Control::SetFont(font);
    fitHeaders();
}

void ListView::fitHeaders()
{
    constexpr qreal kSmallest = 7.0;
    QHeaderView* header = tree_->header();
    const QFont base = tree_->font();
    const int count = static_cast<int>(widths_.size());
    auto fits = [&] {
        for (int i = 0; i < count; ++i)
            if (header->sectionSizeHint(i) > header->sectionSize(i))
                return false;
        return true;
    };
    QFont type = base;
    header->setFont(type);
    if (base.pointSizeF() <= 0)
        return;
    for (qreal size = base.pointSizeF(); !fits() && size - 0.5 >= kSmallest;) {
        size -= 0.5;
        type.setPointSizeF(size);
        header->setFont(type);
    }
}

} // namespace controls
