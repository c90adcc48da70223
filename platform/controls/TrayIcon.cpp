#include "platform/controls/TrayIcon.h"

#include "platform/forms/Form.h"

#include <QSystemTrayIcon>

namespace controls {

namespace {

std::optional<bool>& availableOverride()
{
    static std::optional<bool> value;
    return value;
}

int kindOf(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Context: return trayContext;
    case QSystemTrayIcon::DoubleClick: return trayDoubleClick;
    case QSystemTrayIcon::Trigger: return trayClick;
    case QSystemTrayIcon::MiddleClick: return trayMiddleClick;
    default: return trayUnknown;
    }
}

} // namespace

TrayIcon::TrayIcon(forms::Container& parent, std::string name)
    : form_(parent.ParentForm())
    , name_(std::move(name))
    , tray_(std::make_unique<QSystemTrayIcon>())
{
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated, tray_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) { Use(kindOf(reason)); });
}

TrayIcon::~TrayIcon()
{
    tray_->hide();
}

void TrayIcon::SetPicture(const QPixmap& picture)
{
    tray_->setIcon(QIcon(picture));
}

std::string TrayIcon::ToolTipText() const
{
    return tray_->toolTip().toStdString();
}

void TrayIcon::SetToolTipText(std::string_view text)
{
    tray_->setToolTip(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

void TrayIcon::ShowIcon()
{
    shown_ = true;
    if (QSystemTrayIcon::isSystemTrayAvailable())
        tray_->show();
}

void TrayIcon::RemoveIcon()
{
    shown_ = false;
    tray_->hide();
}

bool TrayIcon::Available()
{
    if (availableOverride())
        return *availableOverride();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::SetAvailable(std::optional<bool> available)
{
    availableOverride() = available;
}

void TrayIcon::Use(int kind)
{
    if (!shown_ || !form_.Loaded() || form_.Dying())
        return;
    forms::detail::Dispatch([&] { IconEvent.Raise(kind); });
}

} // namespace controls
