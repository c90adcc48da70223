#include "program/reports/MailPrompts.h"

#include <cstdio>

namespace {

// Until the program's message boxes are wired in, the texts go to standard
// error and the size question is answered Yes.
class StderrPrompts : public MailPrompts {
public:
    void Inform(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void SendFailed(const std::string& prompt) override { std::fprintf(stderr, "%s\n", prompt.c_str()); }
    Answer AskYesNoCancel(const std::string& text) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        return Answer::Yes;
    }
};

} // namespace

std::shared_ptr<MailPrompts> DefaultMailPrompts()
{
    return std::make_shared<StderrPrompts>();
}
