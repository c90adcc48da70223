#include "platform/controls/SmartMenuBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <functional>

namespace controls {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

const char* const kKeyProperty = "smuiKey";

} // namespace

SmartMenuBar::SmartMenuBar(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , bar_(new QMenuBar(parent.ClientWidget()))
    , items_([this] { changed(); })
{
    bar_->setNativeMenuBar(false);
    Attach(bar_);
}

void SmartMenuBar::changed()
{
    // The entries are rebuilt once the current event is over: a handler that
    // changes an entry runs inside the action being triggered.
    if (rebuildPending_)
        return;
    rebuildPending_ = true;
    QTimer::singleShot(0, bar_, [this] { rebuild(); });
}

void SmartMenuBar::rebuild()
{
    rebuildPending_ = false;
    bar_->clear();
    // The old entries go once no handler runs and no modal box is up: the
    // command of one of them may be waiting in a box, its menu still
    // handling the click.
    for (auto& old : owned_)
        if (old)
            forms::detail::DeleteLater([old] { delete old.data(); });
    owned_.clear();
    actions_.clear();
    auto addCommand = [this](QWidget* owner, const SmartItem& item) -> QAction* {
        QAction* action = new QAction(qs(item.Caption()), owner);
        owned_.emplace_back(action);
        actions_.emplace_back(item.Key(), action);
        action->setProperty(kKeyProperty, qs(item.Key()));
        action->setEnabled(item.Enabled());
        action->setVisible(item.Visible());
        action->setToolTip(qs(item.ToolTipText()));
        if (item.Checked()) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        const std::string key = item.Key();
        QObject::connect(action, &QAction::triggered, owner, [this, key] {
            if (Live())
                forms::detail::Dispatch([&] { ItemClick.Raise(key); });
        });
        return action;
    };
    // A menu's entries, each a command or, when it has entries of its own,
    // a menu one level deeper.
    std::function<void(QMenu*, const SmartItem&)> fill = [&](QMenu* menu, const SmartItem& owner) {
        for (const auto& entry : owner.Items()) {
            if (entry->IsSeparator()) {
                menu->addSeparator()->setVisible(entry->Visible());
                continue;
            }
            if (entry->Items().Count() == 0) {
                menu->addAction(addCommand(menu, *entry));
                continue;
            }
            QMenu* sub = menu->addMenu(qs(entry->Caption()));
            owned_.emplace_back(sub);
            sub->menuAction()->setProperty(kKeyProperty, qs(entry->Key()));
            sub->menuAction()->setVisible(entry->Visible());
            sub->setEnabled(entry->Enabled());
            fill(sub, *entry);
        }
    };
    for (const auto& top : items_) {
        if (top->Items().Count() == 0 && !top->IsSeparator()) {
            bar_->addAction(addCommand(bar_, *top));
            continue;
        }
        QMenu* menu = bar_->addMenu(qs(top->Caption()));
        owned_.emplace_back(menu);
        menu->menuAction()->setProperty(kKeyProperty, qs(top->Key()));
        menu->menuAction()->setVisible(top->Visible());
        menu->setEnabled(top->Enabled());
        fill(menu, *top);
    }
}

void SmartMenuBar::Choose(std::string_view key)
{
    if (rebuildPending_)
        rebuild();
    for (auto& [k, a] : actions_) {
        if (k == key && a && a->isEnabled() && a->isVisible()) {
            a->trigger();
            return;
        }
    }
}

} // namespace controls
