#include "platform/controls/ColorPicker.h"

#include "platform/forms/CommonDialog.h"

#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include <algorithm>

namespace controls {

ColorPicker::ColorPicker(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , button_(new QToolButton(parent.ClientWidget()))
{
    button_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button_->setAutoRaise(false);
    QObject::connect(button_, &QToolButton::clicked, button_, [this] { clicked(); });
    Attach(button_);
    // The classic size: 1215 x 315 twips (81 x 21 pixels).
    Move(Left(), Top(), 1215, 315);
}

void ColorPicker::SetColor(forms::OLE_COLOR color)
{
    color_ = color;
    paintSwatch();
}

void ColorPicker::Choose()
{
    if (Visible() && Enabled())
        button_->click();
}

void ColorPicker::clicked()
{
    if (!Live() || !Enabled())
        return;
    forms::detail::Dispatch([this] {
        const std::optional<forms::OLE_COLOR> chosen = forms::Dialogs().ChooseColor(color_);
        if (!chosen || *chosen == color_)
            return;
        SetColor(*chosen);
        ColorChanged.Raise(color_);
    });
}

void ColorPicker::GeometryApplied()
{
    paintSwatch();
}

// The colour fills the button but for a small margin, framed so that a
// colour close to the button's own still shows where it ends. Qt greys the
// picture of a disabled button.
void ColorPicker::paintSwatch()
{
    const QSize size(std::max(1, button_->width() - 8), std::max(1, button_->height() - 8));
    QPixmap swatch(size);
    swatch.fill(forms::ToQColor(color_));
    QPainter p(&swatch);
    p.setPen(QColor(64, 64, 64));
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    p.end();
    button_->setIconSize(size);
    button_->setIcon(QIcon(swatch));
}

} // namespace controls
