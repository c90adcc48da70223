#include "platform/controls/RichTextBox.h"

#include "platform/controls/Rtf.h"
#include "platform/forms/Keys.h"

#include <QFocusEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>

namespace controls {

// Raises Validate before the focus is seen to leave (filters installed later
// run first).
class RichTextBox::FocusWatch : public QObject {
public:
    FocusWatch(RichTextBox& box, QObject* parent)
        : QObject(parent)
        , box_(box)
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Another window or a menu taking the focus is not a move inside the window.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                box_.focusLeft();
        }
        return false;
    }

private:
    RichTextBox& box_;
};

RichTextBox::RichTextBox(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , edit_(new QTextEdit(parent.ClientWidget()))
{
    edit_->setAcceptRichText(false);
    edit_->setTabChangesFocus(true);
    QObject::connect(edit_, &QTextEdit::textChanged, edit_, [this] { userChanged(); });
    Attach(edit_);
    WatchInput(edit_->viewport(), false);
    edit_->installEventFilter(new FocusWatch(*this, edit_));
    Control::SetBackColor(forms::vbWindowBackground);
    Control::SetForeColor(forms::vbWindowText);
}

RichTextBox::~RichTextBox() = default;

RtfDocument RichTextBox::content() const
{
    RtfDocument doc;
    const QTextDocument* d = edit_->document();
    for (QTextBlock block = d->begin(); block.isValid(); block = block.next()) {
        if (block != d->begin())
            doc.Append("\n", RtfStyle{});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid())
                continue;
            const QTextCharFormat fmt = f.charFormat();
            RtfStyle s;
            s.bold = fmt.fontWeight() >= QFont::DemiBold;
            s.italic = fmt.fontItalic();
            s.underline = fmt.fontUnderline();
            if (fmt.hasProperty(QTextFormat::FontPointSize))
                s.halfPoints = static_cast<int>(std::lround(fmt.fontPointSize() * 2));
            QString t = f.text();
            t.replace(QChar::LineSeparator, QLatin1Char('\n'));
            t.remove(QChar::ObjectReplacementCharacter);
            doc.Append(t.toStdString(), s);
        }
    }
    return doc;
}

void RichTextBox::load(const RtfDocument& document)
{
    codeChange_ = true;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{codeChange_};
    edit_->clear();
    edit_->setCurrentCharFormat(QTextCharFormat());
    QTextCursor c(edit_->document());
    for (const RtfRun& run : document.runs) {
        QTextCharFormat f;
        f.setFontWeight(run.style.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run.style.italic);
        f.setFontUnderline(run.style.underline);
        if (run.style.halfPoints > 0)
            f.setFontPointSize(run.style.halfPoints / 2.0);
        const QStringList lines = QString::fromStdString(run.text).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                c.insertBlock(QTextBlockFormat(), f);
            c.insertText(lines[i], f);
        }
    }
    edit_->moveCursor(QTextCursor::Start);
}

std::string RichTextBox::Text() const
{
    return content().PlainText();
}

void RichTextBox::SetText(std::string_view text)
{
    if (Text() == text)
        return;
    RtfDocument doc;
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            plain.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            plain.push_back(text[i]);
        }
    }
    doc.Append(plain, RtfStyle{});
    load(doc);
    Change.Raise();
}

std::string RichTextBox::TextRTF() const
{
    return WriteRtf(content(), edit_->font().family().toStdString());
}

void RichTextBox::SetTextRTF(std::string_view rtf)
{
    const RtfDocument doc = ReadRtf(rtf);
    if (doc == content())
        return;
    load(doc);
    Change.Raise();
}

void RichTextBox::userChanged()
{
    if (codeChange_ || !Live())
        return;
    forms::detail::Dispatch([this] { Change.Raise(); });
}

void RichTextBox::focusLeft()
{
    if (!Live())
        return;
    bool cancel = false;
    forms::detail::Dispatch([&] { Validate.Raise(cancel); });
    if (cancel && edit_)
        edit_->setFocus(Qt::OtherFocusReason);
}

void RichTextBox::TypeCharacter(int keyAscii)
{
    edit_->insertPlainText(QString::fromStdString(forms::AsciiText(keyAscii)));
}

} // namespace controls
