#pragma once
// The system message box, MessageBox(owner, text, caption, type), behind a
// seam: the button library shows every box it has through it. Tests install
// a RecordingMessageBox; on the offscreen platform the desktop box is never
// shown (nobody could answer it) and the default button answers.

#include "platform/mfc/WinTypes.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace win {

// Button sets, icons and modality of the type argument.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = MB_OK;
};

class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    // The answer: IDOK, IDYES...
    virtual int Show(const MessageBoxRequest& request) = 0;
};

// nullptr restores the desktop message box.
void SetMessageBoxPort(std::shared_ptr<MessageBoxPort> port);

// Text and caption are UTF-8; a null caption reads "Error", as the system's does.
int MessageBox(QWidget* owner, LPCTSTR text, LPCTSTR caption, UINT type);

// The answer of the default button of the type's button set.
int DefaultMessageBoxAnswer(UINT type);

// The desktop's own box, whatever port is installed (other seams that show
// the system box build on it); headless it answers with the default button.
int ShowDesktopMessageBox(const MessageBoxRequest& request);

// Keeps every request and answers from a queue, then with the default button.
class RecordingMessageBox : public MessageBoxPort {
public:
    int Show(const MessageBoxRequest& request) override
    {
        shown.push_back(request);
        if (answers.empty())
            return DefaultMessageBoxAnswer(request.type);
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<int> answers;
    std::vector<MessageBoxRequest> shown;
};

} // namespace win
