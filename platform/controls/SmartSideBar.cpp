#include "platform/controls/SmartSideBar.h"

#include "platform/controls/SmartPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

namespace controls {

// The side bar's area: the group headers on top, the shown panel below.
class SideBarWidget : public QWidget {
public:
    SideBarWidget(SmartSideBar& bar, QWidget* parent)
        : QWidget(parent)
        , bar_(bar)
    {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(214, 222, 238));
        setPalette(pal);
    }

    std::vector<QPushButton*> headers;
    QLabel* caption = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override { bar_.layout(); }

private:
    SmartSideBar& bar_;
};

SmartSideBar::SmartSideBar(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , widget_(new SideBarWidget(*this, parent.ClientWidget()))
    , groups_([this] { changed(); })
{
    Attach(widget_);
}

SmartSideBar::~SmartSideBar() = default;

QWidget* SmartSideBar::ClientWidget() const
{
    return widget_;
}

void SmartSideBar::attach(SmartPanel& panel)
{
    panels_.push_back(&panel);
    layout();
}

void SmartSideBar::detach(SmartPanel& panel)
{
    panels_.erase(std::remove(panels_.begin(), panels_.end(), &panel), panels_.end());
}

SmartPanel* SmartSideBar::ShownPanel() const
{
    if (selected_ < 0 || selected_ >= groups_.Count())
        return nullptr;
    const std::string& value = groups_.Item(selected_).Value();
    for (SmartPanel* p : panels_)
        if (p->BoundName() == value)
            return p;
    return nullptr;
}

void SmartSideBar::SelectGroup(int index)
{
    if (index < 0 || index >= groups_.Count())
        vb::Raise(vb::kErrSubscript);
    selected_ = index;
    layout();
}

void SmartSideBar::SetCaption(std::string_view caption)
{
    caption_ = std::string(caption);
    if (!widget_->caption) {
        widget_->caption = new QLabel(widget_);
        widget_->caption->setStyleSheet(QStringLiteral("QLabel { background: #1f3360; color: white; font-weight: bold;"
                                                       " padding: 4px; }"));
    }
    widget_->caption->setText(QString::fromStdString(caption_));
    layout();
}

void SmartSideBar::changed()
{
    if (selected_ >= groups_.Count())
        selected_ = groups_.Count() - 1;
    if (selected_ < 0 && groups_.Count() > 0)
        selected_ = 0;
    // Headers are rebuilt after the current event: a header's own click may
    // be what changed the groups.
    QTimer::singleShot(0, widget_, [this] { layout(); });
    layout();
}

void SmartSideBar::headerClicked(const std::string& key)
{
    if (!Live() || !Enabled() || !groups_.Exists(key))
        return;
    selected_ = groups_.Item(key).Index();
    layout();
    forms::detail::Dispatch([&] { ItemClick.Raise(key); });
}

void SmartSideBar::Choose(std::string_view key)
{
    if (groups_.Exists(key))
        headerClicked(std::string(key));
}

void SmartSideBar::layout()
{
    auto& headers = widget_->headers;
    // Rebuild the buttons when the groups changed.
    bool same = static_cast<int>(headers.size()) == groups_.Count();
    for (size_t i = 0; same && i < headers.size(); ++i)
        same = headers[i]->property("smuiKey").toString().toStdString() == groups_.Item(static_cast<int>(i)).Key() &&
               headers[i]->text().toStdString() == groups_.Item(static_cast<int>(i)).Caption();
    if (!same) {
        for (QPushButton* b : headers)
            b->deleteLater();
        headers.clear();
        for (const auto& g : groups_) {
            auto* b = new QPushButton(QString::fromStdString(g->Caption()), widget_);
            b->setProperty("smuiKey", QString::fromStdString(g->Key()));
            b->setFlat(false);
            b->setStyleSheet(QStringLiteral("QPushButton { background: #3c5a96; color: white; font-weight: bold;"
                                            " border: 1px solid #2a4070; padding: 3px; text-align: left; }"));
            const std::string key = g->Key();
            QObject::connect(b, &QPushButton::clicked, widget_, [this, key] { headerClicked(key); });
            headers.push_back(b);
        }
    }
    int y = 0;
    const int w = widget_->width();
    if (QLabel* caption = widget_->caption) {
        caption->setVisible(!caption_.empty());
        if (!caption_.empty()) {
            const int h = caption->sizeHint().height();
            caption->setGeometry(0, 0, w, h);
            y = h;
        }
    }
    for (size_t i = 0; i < headers.size(); ++i) {
        const SmartItem& g = groups_.Item(static_cast<int>(i));
        headers[i]->setVisible(g.Visible());
        headers[i]->setEnabled(g.Enabled());
        if (!g.Visible())
            continue;
        const int h = headers[i]->sizeHint().height();
        headers[i]->setGeometry(0, y, w, h);
        y += h;
    }
    SmartPanel* shown = ShownPanel();
    for (SmartPanel* p : panels_) {
        QWidget* pw = p->Widget();
        if (!pw)
            continue;
        if (p == shown) {
            pw->setGeometry(0, y, w, std::max(0, widget_->height() - y));
            pw->show();
            p->changed();
        } else {
            pw->hide();
        }
    }
}

} // namespace controls
