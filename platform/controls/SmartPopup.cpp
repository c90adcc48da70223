#include "platform/controls/SmartPopup.h"

#include "platform/forms/Form.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace controls {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

// A menu goes once no handler runs and no modal box is up: a command may
// open a box, whose event loop would otherwise delete the menu while it is
// still handling the click that chose the command.
void deleteWhenIdle(QMenu* menu)
{
    if (menu)
        forms::detail::DeleteLater([menu = QPointer<QMenu>(menu)] { delete menu.data(); });
}

} // namespace

SmartPopup::SmartPopup(forms::Container& parent, std::string name)
    : parent_(parent)
    , name_(std::move(name))
    , menus_({})
{
}

SmartPopup::~SmartPopup()
{
    if (shown_)
        shown_->hide();
    deleteWhenIdle(shown_);
}

QMenu* SmartPopup::build(const SmartItem& menu) const
{
    auto* m = new QMenu();
    m->setAttribute(Qt::WA_DeleteOnClose, false);
    for (const auto& item : menu.Items()) {
        if (!item->Visible())
            continue;
        if (item->IsSeparator()) {
            m->addSeparator();
            continue;
        }
        if (item->Kind() == smuiHeadingItem) {
            m->addSection(qs(item->Caption()));
            continue;
        }
        QAction* a = m->addAction(qs(item->Caption()));
        a->setData(qs(item->Key()));
        a->setEnabled(item->Enabled());
        const QPixmap picture = images_.Picture(item->Image());
        if (!picture.isNull())
            a->setIcon(QIcon(picture));
        if (item->Checked()) {
            a->setCheckable(true);
            a->setChecked(true);
        }
    }
    return m;
}

double SmartPopup::Width() const
{
    int widest = 0;
    for (const auto& menu : menus_) {
        QMenu* m = build(*menu);
        widest = std::max(widest, m->sizeHint().width());
        delete m;
    }
    return widest * 15.0;
}

void SmartPopup::PopupMenu(std::string_view key, double x, double y)
{
    const SmartItem& menu = menus_.Item(key);
    if (shown_)
        shown_->hide();
    deleteWhenIdle(shown_);
    QMenu* m = build(menu);
    shown_ = m;
    QObject::connect(m, &QMenu::triggered, m, [this, form = &parent_.ParentForm()](QAction* a) {
        const std::string chosen = a->data().toString().toStdString();
        if (chosen.empty() || !form->Loaded() || form->Dying())
            return;
        forms::detail::Dispatch([&] { ItemClick.Raise(chosen); });
    });
    QObject::connect(m, &QMenu::aboutToHide, m, [m] { deleteWhenIdle(m); });

    // (x, y) is where the menu's bottom left corner goes; the screen keeps it.
    QPoint at(static_cast<int>(std::lround(x / 15.0)), static_cast<int>(std::lround(y / 15.0)));
    const QSize size = m->sizeHint();
    at.ry() -= size.height();
    if (QScreen* s = QGuiApplication::screenAt(at) ? QGuiApplication::screenAt(at) : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    }
    m->popup(at);
}

QMenu* SmartPopup::ShownMenu() const
{
    return shown_ && shown_->isVisible() ? shown_.data() : nullptr;
}

} // namespace controls
