#include "platform/forms/MsgBox.h"

#include "platform/basic/App.h"
#include "platform/forms/Runtime.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace forms {

namespace {

std::vector<int> answersOf(int buttons)
{
    switch (buttons & 0xF) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {vbOK};
    }
}

QMessageBox::StandardButton standardButton(int answer)
{
    switch (answer) {
    case vbCancel: return QMessageBox::Cancel;
    case vbAbort: return QMessageBox::Abort;
    case vbRetry: return QMessageBox::Retry;
    case vbIgnore: return QMessageBox::Ignore;
    case vbYes: return QMessageBox::Yes;
    case vbNo: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

class DesktopMessageBox : public MessageBoxPort {
public:
    int Show(const MsgBoxRequest& r) override
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            std::fprintf(stderr, "[headless] %s: %s\n", r.title.c_str(), r.prompt.c_str());
            return DefaultAnswer(r.buttons);
        }
        QMessageBox box;
        box.setWindowTitle(QString::fromStdString(r.title));
        box.setText(QString::fromStdString(r.prompt).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        switch (r.buttons & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        const std::vector<int> answers = answersOf(r.buttons);
        for (int a : answers)
            box.addButton(standardButton(a));
        box.setDefaultButton(standardButton(DefaultAnswer(r.buttons)));
        // The last button answers Esc and the close box, as Cancel or No would.
        box.setEscapeButton(standardButton(answers.back()));
        detail::HandlerScope scope;
        const int chosen = box.exec();
        for (int a : answers)
            if (standardButton(a) == chosen)
                return a;
        return answers.back();
    }
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

int DefaultAnswer(int buttons)
{
    const std::vector<int> answers = answersOf(buttons);
    const size_t index = (buttons & vbDefaultButton3) ? 2 : (buttons & vbDefaultButton2) ? 1 : 0;
    return answers[std::min(index, answers.size() - 1)];
}

int MsgBox(std::string_view prompt, int buttons, std::optional<std::string> title)
{
    auto p = port();
    return p->Show({std::string(prompt), buttons, title ? *title : vb::App::Title()});
}

int ScriptedMsgBox::Show(const MsgBoxRequest& request)
{
    shown.push_back(request);
    if (answers.empty())
        return DefaultAnswer(request.buttons);
    const int a = answers.front();
    answers.pop_front();
    return a;
}

} // namespace forms
