#include "platform/forms/Menu.h"

#include "platform/forms/Form.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace forms {

namespace {
QString toQt(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
} // namespace

Menu::Menu(Form& form, std::string name, std::string_view caption)
    : form_(form)
    , name_(std::move(name))
{
    menu_ = new QMenu(toQt(caption), form.hWnd());
    action_ = MenuBarOf(form)->addMenu(menu_);
}

Menu::Menu(Menu& parent, std::string name, std::string_view caption)
    : form_(parent.form_)
    , parent_(&parent)
    , name_(std::move(name))
{
    QMenu* owner = parent.ensureMenu();
    if (caption == "-") {
        action_ = owner->addSeparator();
        return;
    }
    action_ = owner->addAction(toQt(caption));
    QObject::connect(action_, &QAction::triggered, action_, [this] {
        if (form_.Loaded() && !form_.Dying())
            detail::Dispatch([this] { Click.Raise(); });
    });
}

Menu::~Menu()
{
    if (form_.Dying() || !form_.hWnd())
        return;
    // A top-level menu owns its action; an item's action belongs to its menu.
    if (!parent_)
        delete menu_;
    else
        delete action_;
}

QMenu* Menu::ensureMenu()
{
    if (!menu_) {
        // An item that gets items becomes a submenu.
        menu_ = new QMenu(action_->text(), form_.hWnd());
        action_->setMenu(menu_);
    }
    return menu_;
}

std::string Menu::Caption() const
{
    return action_->text().toStdString();
}

void Menu::SetCaption(std::string_view caption)
{
    action_->setText(toQt(caption));
    if (menu_)
        menu_->setTitle(toQt(caption));
}

bool Menu::Checked() const
{
    return action_->isChecked();
}

void Menu::SetChecked(bool checked)
{
    action_->setCheckable(true);
    action_->setChecked(checked);
}

bool Menu::Enabled() const
{
    return action_->isEnabled();
}

void Menu::SetEnabled(bool enabled)
{
    action_->setEnabled(enabled);
}

void Menu::SetVisible(bool visible)
{
    visible_ = visible;
    action_->setVisible(visible);
}

} // namespace forms
