#pragma once
// What the mail sender says to the user, behind one interface so that a send
// started by the timer can be driven by a script in tests.

#include <memory>
#include <string>

class MailPrompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~MailPrompts() = default;
    // The system message box with the information icon and OK.
    virtual void Inform(const std::string& text) = 0;
    // The program's own box "Failed to send email!" (colour scheme 4, OK, icon 10).
    virtual void SendFailed(const std::string& prompt) = 0;
    // The system message box with Yes, No and Cancel.
    virtual Answer AskYesNoCancel(const std::string& text) = 0;
};

// The prompts of the running program.
std::shared_ptr<MailPrompts> DefaultMailPrompts();
