#include "platform/controls/TabControl.h"

#include "platform/forms/Form.h"

#include <QTabWidget>

namespace controls {

namespace {

QString toQt(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

} // namespace

class TabControl::Page : public forms::Container {
public:
    Page(TabControl& owner, QWidget* widget)
        : owner_(owner)
        , widget_(widget)
    {
    }
    QWidget* ClientWidget() const override { return widget_; }
    double TwipsPerUnit() const override { return owner_.Parent().TwipsPerUnit(); }
    forms::Form& ParentForm() override { return owner_.Parent().ParentForm(); }

    // Kept while the tab is taken away, for when it comes back.
    QString caption;

private:
    TabControl& owner_;
    QWidget* widget_;
};

TabControl::TabControl(forms::Container& parent, std::string name, int index, int tabs)
    : Control(parent, std::move(name), index)
    , tabs_(new QTabWidget(parent.ClientWidget()))
{
    // Every tab stays in sight: captions are shortened rather than scrolled.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideRight);
    QObject::connect(tabs_, &QTabWidget::currentChanged, tabs_, [this](int i) { userChanged(i); });
    Attach(tabs_);
    SetTabs(tabs);
}

TabControl::~TabControl() = default;

void TabControl::checkTab(int tab) const
{
    if (tab < 0 || tab >= count_)
        vb::Raise(vb::kErrInvalidProperty);
}

void TabControl::SetTabs(int count)
{
    if (count < 1)
        vb::Raise(vb::kErrInvalidProperty);
    codeChange_ = true;
    while (static_cast<int>(pages_.size()) < count) {
        // Pages have the colour of the form's surface, as its controls expect.
        auto* w = new QWidget(tabs_);
        w->setAutoFillBackground(true);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, forms::ToQColor(forms::vbButtonFace));
        w->setPalette(p);
        pages_.push_back(std::make_unique<Page>(*this, w));
    }
    // Tabs taken away keep their pages (the controls on them stay valid, unseen).
    while (tabs_->count() > count)
        tabs_->removeTab(tabs_->count() - 1);
    while (tabs_->count() < count) {
        const int i = tabs_->count();
        const Page& page = *pages_[static_cast<size_t>(i)];
        tabs_->addTab(page.ClientWidget(), page.caption);
    }
    count_ = count;
    current_ = tabs_->currentIndex();
    codeChange_ = false;
}

void TabControl::SetTab(int tab)
{
    checkTab(tab);
    if (tab == current_)
        return;
    const int previous = current_;
    {
        codeChange_ = true;
        struct Reset {
            bool& f;
            ~Reset() { f = false; }
        } reset{codeChange_};
        tabs_->setCurrentIndex(tab);
        current_ = tab;
    }
    Click.Raise(previous);
}

void TabControl::userChanged(int index)
{
    if (codeChange_ || index < 0 || index == current_)
        return;
    const int previous = current_;
    current_ = index;
    if (!Live())
        return;
    forms::detail::Dispatch([&] { Click.Raise(previous); });
}

std::string TabControl::TabCaption(int tab) const
{
    checkTab(tab);
    return tabs_->tabText(tab).toStdString();
}

void TabControl::SetTabCaption(int tab, std::string_view caption)
{
    checkTab(tab);
    pages_[static_cast<size_t>(tab)]->caption = toQt(caption);
    tabs_->setTabText(tab, toQt(caption));
}

forms::Container& TabControl::TabPage(int tab)
{
    if (tab < 0 || tab >= static_cast<int>(pages_.size()))
        vb::Raise(vb::kErrInvalidProperty);
    return *pages_[static_cast<size_t>(tab)];
}

} // namespace controls
