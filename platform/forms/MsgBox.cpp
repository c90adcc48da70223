#include "platform/forms/MsgBox.h"

#include "platform/basic/App.h"
#include "platform/forms/Runtime.h"
#include "platform/win/MessageBox.h"

namespace forms {

namespace {

// The button sets, icons and answers are the system box's own numbers.
static_assert(vbYesNoCancel == int(win::MB_YESNOCANCEL) && vbRetryCancel == int(win::MB_RETRYCANCEL));
static_assert(vbCritical == int(win::MB_ICONHAND) && vbInformation == int(win::MB_ICONINFORMATION));
static_assert(vbDefaultButton3 == int(win::MB_DEFBUTTON3));
static_assert(vbOK == win::IDOK && vbCancel == win::IDCANCEL && vbNo == win::IDNO);

class DesktopMessageBox : public MessageBoxPort {
public:
    int Show(const MsgBoxRequest& r) override
    {
        detail::HandlerScope scope;
        return win::ShowDesktopMessageBox({nullptr, r.prompt, r.title, UINT(r.buttons)});
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
    return win::DefaultMessageBoxAnswer(UINT(buttons));
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
