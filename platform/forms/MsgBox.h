#pragma once
// The system message box, MsgBox(prompt, buttons, title), behind a seam:
// tests install a ScriptedMsgBox; on the offscreen platform the desktop box
// is never shown (nobody could answer it) and the default button answers.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

enum : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

enum : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct MsgBoxRequest {
    std::string prompt;
    int buttons = vbOKOnly;
    std::string title;
};

class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    // The answer: vbOK, vbYes...
    virtual int Show(const MsgBoxRequest& request) = 0;
};

// nullptr restores the desktop message box.
void SetMessageBoxPort(std::shared_ptr<MessageBoxPort> port);

// Title defaults to App.Title. Returns vbOK, vbCancel, vbYes, vbNo...
int MsgBox(std::string_view prompt, int buttons = vbOKOnly, std::optional<std::string> title = std::nullopt);

// The answer of the default button of a button set.
int DefaultAnswer(int buttons);

// Answers from a queue (the default button once it is empty) and keeps
// every request.
class ScriptedMsgBox : public MessageBoxPort {
public:
    int Show(const MsgBoxRequest& request) override;
    std::deque<int> answers;
    std::vector<MsgBoxRequest> shown;
};

} // namespace forms
