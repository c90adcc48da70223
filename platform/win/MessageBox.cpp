#include "platform/win/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>
#include <cstdio>

namespace win {

namespace {

std::vector<int> answersOf(UINT type)
{
    switch (type & 0xF) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

QMessageBox::StandardButton standardButton(int answer)
{
    switch (answer) {
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

class DesktopMessageBox : public MessageBoxPort {
public:
    int Show(const MessageBoxRequest& r) override { return ShowDesktopMessageBox(r); }
};

std::shared_ptr<MessageBoxPort>& port()
{
    static std::shared_ptr<MessageBoxPort> p = std::make_shared<DesktopMessageBox>();
    return p;
}

} // namespace

void SetMessageBoxPort(std::shared_ptr<MessageBoxPort> p)
{
    port() = p ? std::move(p) : std::make_shared<DesktopMessageBox>();
}

int DefaultMessageBoxAnswer(UINT type)
{
    const std::vector<int> answers = answersOf(type);
    const std::size_t index = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    return answers[std::min(index, answers.size() - 1)];
}

int ShowDesktopMessageBox(const MessageBoxRequest& r)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::fprintf(stderr, "[headless] %s: %s\n", r.caption.c_str(), r.text.c_str());
        return DefaultMessageBoxAnswer(r.type);
    }
    // A box without an owner still opens over the modal dialog it
    // interrupts, not in the middle of the screen.
    QMessageBox box(r.owner ? r.owner : QApplication::activeModalWidget());
    box.setWindowTitle(QString::fromStdString(r.caption));
    // The text as it stands: a "<" in a path or a message is no markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(r.text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    switch (r.type & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    const std::vector<int> answers = answersOf(r.type);
    for (int a : answers)
        box.addButton(standardButton(a));
    box.setDefaultButton(standardButton(DefaultMessageBoxAnswer(r.type)));
    // Esc and the close box answer as the last button (Cancel, No) would.
    box.setEscapeButton(standardButton(answers.back()));
    const int chosen = box.exec();
    for (int a : answers)
        if (standardButton(a) == chosen)
            return a;
    return answers.back();
}

int MessageBox(QWidget* owner, LPCTSTR text, LPCTSTR caption, UINT type)
{
    auto p = port();
    return p->Show({owner, text ? text : "", caption ? caption : "Error", type});
}

} // namespace win
