// The flat combo box's inner list and its pop-up.

#include "program/services/FlatComboBox.h"

#include "platform/basic/Strings.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QMouseEvent>

#include <algorithm>

namespace {

QString toQt(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

bool sameText(std::string_view a, std::string_view b)
{
    return vb::StrComp(a, b, vb::CompareMethod::Text) == 0;
}

} // namespace

// The pop-up: a frameless list that never takes the focus, so the keys stay
// in the text box; it reports hover and clicks to the list.
class FlatComboPopup : public QListWidget {
public:
    explicit FlatComboPopup(FlatComboList& list)
        : QListWidget(nullptr)
        , list_(list)
    {
        setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

protected:
    void mouseMoveEvent(QMouseEvent* e) override
    {
        // An unlocked list follows the mouse, without choosing anything yet.
        const int row = indexAt(e->position().toPoint()).row();
        if (!list_.locked_ && row >= 0)
            list_.SetCurSel(row);
    }

    void mousePressEvent(QMouseEvent* e) override { e->accept(); }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        const int row = indexAt(e->position().toPoint()).row();
        if (list_.locked_ || row < 0)
            return;
        forms::detail::Dispatch([&] { list_.Picked.Raise(row); });
    }

private:
    FlatComboList& list_;
};

// Closes the pop-up when the window under it hides, moves or loses the focus.
class FlatComboWindowWatch : public QObject {
public:
    FlatComboWindowWatch(FlatComboList& list, QWidget* window)
        : QObject(window)
        , list_(list)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::WindowDeactivate:
            list_.ShowDropDown(false);
            break;
        default:
            break;
        }
        return false;
    }

private:
    FlatComboList& list_;
};

FlatComboList::FlatComboList(QWidget* owner)
    : owner_(owner)
    , popup_(new FlatComboPopup(*this))
    , watch_(new FlatComboWindowWatch(*this, owner->window()))
    , font_(owner->font())
{
}

FlatComboList::~FlatComboList()
{
    delete watch_.data();
    delete popup_;
}

void FlatComboList::AddItem(std::string_view item, std::optional<long> index)
{
    const long at = index.value_or(ListCount());
    if (at < 0 || at > ListCount())
        vb::Raise(vb::kErrInvalidCall);
    items_.insert(items_.begin() + at, Item{std::string(item), 0});
    popup_->insertItem(static_cast<int>(at), toQt(item));
    if (listIndex_ >= at)
        ++listIndex_;
}

void FlatComboList::Clear()
{
    items_.clear();
    popup_->clear();
    listIndex_ = -1;
}

std::string FlatComboList::List(long index) const
{
    if (index < 0 || index >= ListCount())
        vb::Raise(381, "Invalid property array index");
    return items_[static_cast<size_t>(index)].text;
}

long FlatComboList::ItemData(long index) const
{
    if (index < 0 || index >= ListCount())
        vb::Raise(381, "Invalid property array index");
    return items_[static_cast<size_t>(index)].data;
}

void FlatComboList::SetItemData(long index, long data)
{
    if (index < 0 || index >= ListCount())
        vb::Raise(381, "Invalid property array index");
    items_[static_cast<size_t>(index)].data = data;
}

void FlatComboList::SetListIndex(long index)
{
    if (index < -1 || index >= ListCount())
        vb::Raise(vb::kErrInvalidProperty);
    if (index == listIndex_)
        return;
    SetCurSel(index);
    Click.Raise();
}

std::string FlatComboList::Text() const
{
    return listIndex_ >= 0 ? items_[static_cast<size_t>(listIndex_)].text : std::string();
}

long FlatComboList::FindStringExact(std::string_view text) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (sameText(items_[i].text, text))
            return static_cast<long>(i);
    return -1;
}

long FlatComboList::FindString(long start, std::string_view prefix) const
{
    const long n = ListCount();
    if (n == 0)
        return -1;
    const long first = (start < -1 || start >= n) ? 0 : start + 1;
    const long length = vb::Len(prefix);
    for (long k = 0; k < n; ++k) {
        const long i = (first + k) % n;
        if (sameText(vb::Left(items_[static_cast<size_t>(i)].text, length), prefix))
            return i;
    }
    return -1;
}

void FlatComboList::SetCurSel(long index)
{
    listIndex_ = (index >= -1 && index < ListCount()) ? index : -1;
    showCurrent();
}

void FlatComboList::showCurrent()
{
    popup_->setCurrentRow(static_cast<int>(listIndex_));
    if (listIndex_ >= 0)
        popup_->scrollToItem(popup_->item(static_cast<int>(listIndex_)));
}

void FlatComboList::ShowDropDown(bool show)
{
    if (show == dropped_)
        return;
    dropped_ = show;
    if (!show) {
        popup_->hide();
        return;
    }
    DropDown.Raise();
    if (!dropped_)
        return;
    place();
    popup_->show();
    showCurrent();
}

void FlatComboList::place()
{
    popup_->setFont(font_);
    const int rows = std::clamp(static_cast<int>(items_.size()), 1, 8);
    const int rowHeight = std::max(popup_->sizeHintForRow(0), QFontMetrics(font_).height());
    popup_->setGeometry(QRect(owner_->mapToGlobal(QPoint(0, owner_->height())),
                              QSize(owner_->width(), rows * rowHeight + 2 * popup_->frameWidth())));
}

void FlatComboList::SetFont(const QFont& font)
{
    font_ = font;
    popup_->setFont(font);
}

double FlatComboList::Height() const
{
    return (QFontMetrics(font_).height() + 8) * 15.0;
}
