#include "platform/controls/SmartPanel.h"

#include "platform/controls/SmartSideBar.h"
#include "platform/forms/Keys.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <functional>

namespace controls {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

// Space above the first entry and under the last.
constexpr int kTopMargin = 4;
constexpr int kBottomMargin = 5;

// The entries, drawn one under another, as tall as they need; the panel's
// scroll area scrolls them.
class PanelCanvas : public QWidget {
public:
    explicit PanelCanvas(SmartPanel& panel)
        : panel_(panel)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
    }

    struct Row {
        int index;
        QRect rect;
    };

    // The entries' rows, laid out again only after a change: a panel of
    // thousands of entries is laid out once however many were added.
    const std::vector<Row>& Rows()
    {
        if (dirty_)
            layout();
        return rows_;
    }
    int IconSize()
    {
        if (dirty_)
            layout();
        return iconSize_;
    }
    int EntryHeight() { return std::max(QFontMetrics(font()).height() + 10, IconSize() + 6); }
    int ContentHeight()
    {
        const auto& rows = Rows();
        return rows.empty() ? 0 : rows.back().rect.bottom() + kBottomMargin;
    }
    void Invalidate() { dirty_ = true; }

    int RowAt(const QPoint& pos)
    {
        const auto& rows = Rows();
        const auto after = std::upper_bound(rows.begin(), rows.end(), pos.y(),
                                            [](int y, const Row& r) { return y < r.rect.top(); });
        if (after == rows.begin())
            return -1;
        const Row& r = *std::prev(after);
        return r.rect.contains(pos) ? r.index : -1;
    }

private:
    void layout()
    {
        dirty_ = false;
        iconSize_ = 16;
        for (const auto& item : panel_.items_) {
            const QPixmap p = panel_.images_.Picture(item->Image());
            if (!p.isNull() && p.height() > 16) {
                iconSize_ = 32;
                break;
            }
        }
        rows_.clear();
        rows_.reserve(static_cast<size_t>(panel_.items_.Count()));
        const QFontMetrics fm(font());
        const int entryH = std::max(fm.height() + 10, iconSize_ + 6);
        int y = kTopMargin;
        for (const auto& item : panel_.items_) {
            if (!item->Visible())
                continue;
            const int h = item->IsSeparator() ? 9 : item->Kind() == smuiHeadingItem ? fm.height() + 8 : entryH;
            rows_.push_back({item->Index(), QRect(0, y, width(), h)});
            y += h;
        }
    }

protected:
    void resizeEvent(QResizeEvent*) override { dirty_ = true; }

    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        p.fillRect(event->rect(), QColor(236, 240, 248));
        const int icon = IconSize();
        // Only the rows in the part to paint.
        const auto& rows = Rows();
        auto first = std::upper_bound(rows.begin(), rows.end(), event->rect().top(),
                                      [](int y, const Row& r) { return y <= r.rect.bottom(); });
        for (auto row = first; row != rows.end() && row->rect.top() <= event->rect().bottom(); ++row) {
            const Row& r = *row;
            const SmartItem& item = panel_.items_.Item(r.index);
            const QRect box = r.rect.adjusted(4, 1, -4, -1);
            if (item.IsSeparator()) {
                p.setPen(QColor(160, 170, 190));
                p.drawLine(box.left() + 4, box.center().y(), box.right() - 4, box.center().y());
                continue;
            }
            if (item.Kind() == smuiHeadingItem) {
                QFont bold = font();
                bold.setBold(true);
                p.setFont(bold);
                p.setPen(QColor(40, 60, 110));
                p.drawText(box.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, qs(item.Caption()));
                p.setFont(font());
                continue;
            }
            if (item.Selected())
                p.fillRect(box, forms::ToQColor(item.SelectedBackColor()));
            else if (r.index == hot_ && item.Enabled())
                p.fillRect(box, QColor(255, 238, 194));
            int x = box.left() + 6;
            const QPixmap picture = panel_.images_.Picture(item.Image());
            if (!picture.isNull()) {
                const QRect target(x, box.top() + (box.height() - icon) / 2, icon, icon);
                p.drawPixmap(target, picture.scaled(icon, icon, Qt::KeepAspectRatio, Qt::SmoothTransformation));
                x += icon + 6;
            }
            p.setPen(item.Enabled() ? QColor(0, 0, 0) : QColor(150, 150, 150));
            p.drawText(QRect(x, box.top(), box.right() - x, box.height()), Qt::AlignLeft | Qt::AlignVCenter,
                       qs(item.Caption()));
        }
    }

    void mouseMoveEvent(QMouseEvent* e) override
    {
        const int row = RowAt(e->position().toPoint());
        if (row != hot_) {
            hot_ = row;
            update();
        }
    }

    void leaveEvent(QEvent*) override
    {
        hot_ = -1;
        update();
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        int button = 0;
        if (e->button() == Qt::LeftButton)
            button = forms::vbLeftButton;
        else if (e->button() == Qt::RightButton)
            button = forms::vbRightButton;
        else if (e->button() == Qt::MiddleButton)
            button = forms::vbMiddleButton;
        int shift = 0;
        if (e->modifiers() & Qt::ShiftModifier)
            shift |= forms::vbShiftMask;
        if (e->modifiers() & Qt::ControlModifier)
            shift |= forms::vbCtrlMask;
        if (e->modifiers() & Qt::AltModifier)
            shift |= forms::vbAltMask;
        panel_.pressed(RowAt(e->position().toPoint()), button, shift, e->position());
    }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton)
            return;
        const int row = RowAt(e->position().toPoint());
        if (row >= 0)
            panel_.clicked(row);
    }

    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(e);
            const int row = RowAt(help->pos());
            if (row >= 0 && !panel_.items_.Item(row).ToolTipText().empty())
                QToolTip::showText(help->globalPos(), qs(panel_.items_.Item(row).ToolTipText()), this);
            else
                QToolTip::hideText();
            return true;
        }
        return QWidget::event(e);
    }

private:
    SmartPanel& panel_;
    int hot_ = -1;
    bool dirty_ = true;
    int iconSize_ = 16;
    std::vector<Row> rows_;
};

// The entries follow the visible area's size, which a hidden panel only
// learns once it is shown.
class ViewportWatch : public QObject {
public:
    ViewportWatch(QObject* parent, std::function<void()> resized)
        : QObject(parent)
        , resized_(std::move(resized))
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            resized_();
        return false;
    }

private:
    std::function<void()> resized_;
};

SmartPanel::SmartPanel(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , area_(new QScrollArea(parent.ClientWidget()))
    , canvas_(new PanelCanvas(*this))
    , items_([this] { changed(); })
    , images_([this] { changed(); })
{
    area_->setFrameShape(QFrame::NoFrame);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setWidgetResizable(false);
    area_->setWidget(canvas_);
    area_->viewport()->installEventFilter(new ViewportWatch(area_, [this] { changed(); }));
    Attach(area_);
    sideBar_ = dynamic_cast<SmartSideBar*>(&parent);
    if (sideBar_)
        sideBar_->attach(*this);
    changed();
}

SmartPanel::~SmartPanel()
{
    if (sideBar_)
        sideBar_->detach(*this);
}

std::string SmartPanel::BoundName() const
{
    return Index() < 0 ? Name() : Name() + "(" + std::to_string(Index()) + ")";
}

double SmartPanel::HeightFor(int entries) const
{
    // Entry rows run from 0: the last one's bottom pixel is one short of
    // their sum, and the margin follows it.
    const int pixels = kTopMargin + entries * canvas_->EntryHeight() - 1 + kBottomMargin;
    return std::max(0, pixels) * 15.0;
}

void SmartPanel::changed()
{
    // A fill changes the panel once per entry: the entries are laid out and
    // drawn once, when the fill is over.
    canvas_->Invalidate();
    if (relayoutPending_)
        return;
    relayoutPending_ = true;
    QTimer::singleShot(0, area_, [this] { relayout(); });
}

void SmartPanel::relayout()
{
    relayoutPending_ = false;
    const int w = std::max(0, area_->viewport()->width());
    canvas_->resize(w, std::max(canvas_->ContentHeight(), area_->viewport()->height()));
    canvas_->Invalidate();
    canvas_->update();
}

void SmartPanel::clicked(int index)
{
    if (!Live() || index < 0 || index >= items_.Count())
        return;
    SmartItem& item = items_.Item(index);
    if (!item.Visible() || !item.Enabled() || item.IsSeparator() || item.Kind() == smuiHeadingItem || !Enabled())
        return;
    if (item.Kind() == smuiListItem) {
        for (const auto& other : items_)
            if (other.get() != &item && other->Selected())
                other->SetSelected(false);
        item.SetSelected(true);
    }
    const std::string key = item.Key();
    forms::detail::Dispatch([&] { ItemClick.Raise(key); });
}

void SmartPanel::pressed(int index, int button, int shift, QPointF pos)
{
    if (!Live() || !Enabled())
        return;
    if (index >= 0 && index < items_.Count()) {
        const SmartItem& item = items_.Item(index);
        if (item.Visible() && !item.IsSeparator()) {
            const std::string key = item.Key();
            forms::detail::Dispatch([&] { ItemPress.Raise(key); });
        }
    }
    // Positions from the panel's top left corner, in its container's units.
    const QPointF inPanel = canvas_->mapTo(area_, pos);
    const double k = 15.0 / Parent().TwipsPerUnit();
    const float x = static_cast<float>(inPanel.x() * k);
    const float y = static_cast<float>(inPanel.y() * k);
    forms::detail::Dispatch([&] { MouseDown.Raise(button, shift, x, y); });
}

void SmartPanel::Press(std::string_view key, int button)
{
    if (!items_.Exists(key) || !items_.Item(key).Visible())
        return;
    relayout();
    const int index = items_.Item(key).Index();
    for (const auto& row : canvas_->Rows()) {
        if (row.index != index)
            continue;
        pressed(index, button, 0, QPointF(row.rect.center()));
        if (button == forms::vbLeftButton)
            clicked(index);
        return;
    }
}

void SmartPanel::Choose(std::string_view key)
{
    if (items_.Exists(key))
        clicked(items_.Item(key).Index());
}

} // namespace controls
