#include "platform/forms/TextBox.h"

#include "platform/forms/Keys.h"
#include "platform/forms/Label.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace forms {

namespace {

QString toQt(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// Multi-line text: Qt keeps LF, the program sees CR LF.
QString fromProgram(std::string_view s)
{
    return toQt(s).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

std::string toProgram(const QString& s)
{
    QString t = s;
    return t.replace(QLatin1Char('\n'), QLatin1String("\r\n")).toStdString();
}

// Positions: the program counts CR LF as two characters.
long qtToProgram(const QString& text, int pos)
{
    long extra = 0;
    for (int i = 0; i < pos && i < text.size(); ++i)
        if (text[i] == QLatin1Char('\n'))
            ++extra;
    return pos + extra;
}

int programToQt(const QString& text, long pos)
{
    long counted = 0;
    int i = 0;
    for (; i < text.size() && counted < pos; ++i)
        counted += text[i] == QLatin1Char('\n') ? 2 : 1;
    return i;
}

} // namespace

TextBox::TextBox(Container& parent, std::string name, int index, bool multiLine)
    : Control(parent, std::move(name), index)
{
    QWidget* w;
    if (multiLine) {
        multi_ = new QPlainTextEdit(parent.ClientWidget());
        multi_->setTabChangesFocus(true);
        QObject::connect(multi_, &QPlainTextEdit::textChanged, multi_, [this] { userChanged(); });
        w = multi_;
    } else {
        line_ = new QLineEdit(parent.ClientWidget());
        QObject::connect(line_, &QLineEdit::textChanged, line_, [this] { userChanged(); });
        w = line_;
    }
    Attach(w);
    if (multi_)
        WatchInput(multi_->viewport(), false);
    Control::SetBackColor(vbWindowBackground);
    Control::SetForeColor(vbWindowText);
}

void TextBox::userChanged()
{
    if (codeChange_ || !Live())
        return;
    detail::Dispatch([this] { Change.Raise(); });
}

std::string TextBox::Text() const
{
    return line_ ? line_->text().toStdString() : toProgram(multi_->toPlainText());
}

void TextBox::SetText(std::string_view text)
{
    if (Text() == text)
        return;
    {
        codeChange_ = true;
        struct Reset {
            bool& f;
            ~Reset() { f = false; }
        } reset{codeChange_};
        if (line_) {
            line_->setText(toQt(text));
            line_->setCursorPosition(0);
        } else {
            multi_->setPlainText(fromProgram(text));
        }
    }
    Change.Raise();
}

long TextBox::SelStart() const
{
    if (line_)
        return line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
    const QTextCursor c = multi_->textCursor();
    return qtToProgram(multi_->toPlainText(), c.selectionStart());
}

void TextBox::SetSelStart(long start)
{
    if (start < 0)
        vb::Raise(vb::kErrInvalidProperty);
    if (line_) {
        line_->setCursorPosition(static_cast<int>(std::min<long>(start, line_->text().size())));
        return;
    }
    QTextCursor c = multi_->textCursor();
    c.setPosition(std::min(programToQt(multi_->toPlainText(), start), static_cast<int>(multi_->toPlainText().size())));
    multi_->setTextCursor(c);
}

static long SelLengthOf(const QLineEdit* line)
{
    return line->hasSelectedText() ? line->selectedText().size() : 0;
}

long TextBox::SelLength() const
{
    if (line_)
        return SelLengthOf(line_);
    const QTextCursor c = multi_->textCursor();
    const QString t = multi_->toPlainText();
    return qtToProgram(t, c.selectionEnd()) - qtToProgram(t, c.selectionStart());
}

void TextBox::SetSelLength(long length)
{
    if (length < 0)
        vb::Raise(vb::kErrInvalidProperty);
    const long start = SelStart();
    if (line_) {
        const int len = static_cast<int>(std::min<long>(length, line_->text().size() - start));
        if (len > 0)
            line_->setSelection(static_cast<int>(start), len);
        else
            line_->setCursorPosition(static_cast<int>(start));
        return;
    }
    const QString t = multi_->toPlainText();
    QTextCursor c = multi_->textCursor();
    const int from = programToQt(t, start);
    c.setPosition(from);
    c.setPosition(std::min(programToQt(t, start + length), static_cast<int>(t.size())), QTextCursor::KeepAnchor);
    multi_->setTextCursor(c);
}

std::string TextBox::SelText() const
{
    if (line_)
        return line_->selectedText().toStdString();
    return toProgram(multi_->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
}

void TextBox::SetSelText(std::string_view text)
{
    codeChange_ = true;
    if (line_)
        line_->insert(toQt(text));
    else
        multi_->textCursor().insertText(fromProgram(text));
    codeChange_ = false;
    Change.Raise();
}

bool TextBox::Locked() const
{
    return line_ ? line_->isReadOnly() : multi_->isReadOnly();
}

void TextBox::SetLocked(bool locked)
{
    if (line_)
        line_->setReadOnly(locked);
    else
        multi_->setReadOnly(locked);
}

void TextBox::SetMaxLength(long length)
{
    maxLength_ = std::max(0L, length);
    if (line_)
        line_->setMaxLength(maxLength_ > 0 ? static_cast<int>(maxLength_) : 32767);
}

void TextBox::SetAlignment(int alignment)
{
    alignment_ = alignment;
    const Qt::Alignment a = alignment == vbRightJustify ? Qt::AlignRight : alignment == vbCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    if (line_)
        line_->setAlignment(a | Qt::AlignVCenter);
}

void TextBox::SetAppearance(int appearance)
{
    appearance_ = appearance;
    applyFrame();
}

void TextBox::SetBorderStyle(int style)
{
    borderStyle_ = style;
    applyFrame();
}

void TextBox::applyFrame()
{
    if (line_) {
        line_->setFrame(borderStyle_ != 0);
        line_->setStyleSheet(borderStyle_ != 0 && appearance_ == 0 ? QStringLiteral("QLineEdit { border: 1px solid black; }")
                                                                    : QString());
        if (borderStyle_ == 0)
            line_->setTextMargins(0, 0, 0, 0);
    } else {
        multi_->setFrameShape(borderStyle_ == 0 ? QFrame::NoFrame : appearance_ == 0 ? QFrame::Box : QFrame::StyledPanel);
    }
}

void TextBox::TypeCharacter(int keyAscii)
{
    if (Locked())
        return;
    const QString s = QString::fromStdString(AsciiText(keyAscii));
    if (line_)
        line_->insert(s);
    else
        multi_->insertPlainText(s);
}

} // namespace forms
