#include "platform/controls/SmartTabStrip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QTabBar>

namespace controls {

namespace {

// Tells the strip which tab the mouse is over, for the hot pictures.
class TabBar : public QTabBar {
public:
    using QTabBar::QTabBar;
    std::function<void()> hoverChanged;
    int hot = -1;

protected:
    void mouseMoveEvent(QMouseEvent* e) override
    {
        setHot(tabAt(e->position().toPoint()));
        QTabBar::mouseMoveEvent(e);
    }
    void leaveEvent(QEvent* e) override
    {
        setHot(-1);
        QTabBar::leaveEvent(e);
    }

private:
    void setHot(int index)
    {
        if (index == hot)
            return;
        hot = index;
        if (hoverChanged)
            hoverChanged();
    }
};

} // namespace

SmartTabStrip::SmartTabStrip(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , bar_(new TabBar(parent.ClientWidget()))
    , tabs_([this] { changed(); })
    , images_([this] { changed(); })
{
    bar_->setMouseTracking(true);
    bar_->setExpanding(false);
    static_cast<TabBar*>(bar_)->hoverChanged = [this] { rebuild(); };
    QObject::connect(bar_, &QTabBar::currentChanged, bar_, [this](int index) {
        if (rebuilding_ || !Live() || index < 0)
            return;
        const std::string key = bar_->tabData(index).toString().toStdString();
        for (const auto& t : tabs_)
            t->selected_ = t->Key() == key;
        forms::detail::Dispatch([&] { TabClick.Raise(key); });
    });
    Attach(bar_);
}

void SmartTabStrip::changed()
{
    rebuild();
}

void SmartTabStrip::rebuild()
{
    rebuilding_ = true;
    const int hot = static_cast<TabBar*>(bar_)->hot;
    while (bar_->count() > tabs_.Count())
        bar_->removeTab(bar_->count() - 1);
    int selected = -1;
    int i = 0;
    for (const auto& t : tabs_) {
        if (i >= bar_->count())
            bar_->addTab(QString());
        bar_->setTabText(i, QString::fromStdString(t->Caption()));
        bar_->setTabData(i, QString::fromStdString(t->Key()));
        bar_->setTabToolTip(i, QString::fromStdString(t->ToolTipText()));
        bar_->setTabEnabled(i, t->Enabled());
        bar_->setTabVisible(i, t->Visible());
        QPixmap picture = images_.Picture(i == hot && images_.Exists(t->HotImage()) ? t->HotImage() : t->Image());
        bar_->setTabIcon(i, picture.isNull() ? QIcon() : QIcon(picture));
        if (t->Selected())
            selected = i;
        ++i;
    }
    if (selected >= 0)
        bar_->setCurrentIndex(selected);
    rebuilding_ = false;
}

std::string SmartTabStrip::SelectedTab() const
{
    const int i = bar_->currentIndex();
    return i < 0 ? std::string() : bar_->tabData(i).toString().toStdString();
}

void SmartTabStrip::Choose(std::string_view key)
{
    for (int i = 0; i < bar_->count(); ++i)
        if (bar_->tabData(i).toString().toStdString() == key && bar_->isTabEnabled(i)) {
            if (bar_->currentIndex() == i) {
                const std::string k(key);
                forms::detail::Dispatch([&] { TabClick.Raise(k); });
            } else {
                bar_->setCurrentIndex(i);
            }
            return;
        }
}

} // namespace controls
