#include "platform/forms/Label.h"

#include <QFontMetrics>
#include <QLabel>

namespace forms {

namespace {
QString text(std::string_view s)
{
    // Captions break lines at CR LF as well as at LF.
    return QString::fromUtf8(s.data(), static_cast<int>(s.size())).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}
} // namespace

Label::Label(Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , label_(new QLabel(parent.ClientWidget()))
{
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setAutoFillBackground(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setText(QString::fromStdString(Name()));
    Attach(label_);
    Control::SetBackColor(vbButtonFace);
    Control::SetForeColor(vbButtonText);
}

std::string Label::Caption() const
{
    return label_->text().replace(QLatin1String("\n"), QLatin1String("\r\n")).toStdString();
}

void Label::SetCaption(std::string_view caption)
{
    label_->setText(text(caption));
    fit();
}

void Label::SetAlignment(int alignment)
{
    alignment_ = alignment;
    Qt::Alignment h = alignment == vbRightJustify ? Qt::AlignRight : alignment == vbCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    label_->setAlignment(h | Qt::AlignTop);
}

void Label::SetAutoSize(bool on)
{
    autoSize_ = on;
    fit();
}

void Label::SetWordWrap(bool on)
{
    wordWrap_ = on;
    label_->setWordWrap(on);
    fit();
}

void Label::SetBackStyle(int style)
{
    backStyle_ = style;
    label_->setAutoFillBackground(style == vbOpaque);
}

void Label::SetFont(const QFont& font)
{
    Control::SetFont(font);
    fit();
}

void Label::SetWidth(double value)
{
    Control::SetWidth(value);
    fit();
}

void Label::fit()
{
    if (!autoSize_)
        return;
    const QFontMetrics fm(label_->font());
    const double k = 15.0 / Parent().TwipsPerUnit();
    if (wordWrap_) {
        const int w = label_->width();
        const QRect r = fm.boundingRect(QRect(0, 0, w, 100000), Qt::TextWordWrap | Qt::AlignLeft, label_->text());
        Move(Left(), Top(), Width(), std::max(r.height(), fm.height()) * k);
    } else {
        const QRect r = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft, label_->text());
        Move(Left(), Top(), r.width() * k, std::max(r.height(), fm.height()) * k);
    }
}

} // namespace forms
