#include "program/shell/frmMain.h"

#include "program/reports/Mod_tallyvane_Runner.h"
#include "program/reports/frmMain_SendEmail.h"

#include <cmath>

frmMain::frmMain()
    : FormOf("frmMain")
{
    SetCaption(kCaption);
    SetShowInTaskbar(false);
    emailTimer.SetEnabled(false);
    emailTimer.SetInterval(kEmailTimerInterval);
    emailTimer.Tick = [this] { emailTimer_Timer(); };
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    emailTimer.SetEnabled(true);
}

void frmMain::emailTimer_Timer()
{
    // The runtime rounds half to even when the sum goes back into the Long.
    emailSeconds_ = static_cast<int32_t>(std::nearbyint(emailTimer.Interval() / 1000.0 + emailSeconds_));
    if (emailSeconds_ > kRunnerSeconds) {
        emailSeconds_ = 0;
        Mod_tallyvane::RunScheduledTasks();
    }
}

SmtpSender& frmMain::Mailer()
{
    if (!mailer_)
        mailer_ = std::make_unique<SmtpSender>();
    return *mailer_;
}

long frmMain::SendEmail(const std::string& Subject, const std::string& MailBody, const std::string& Recepitants,
                        bool HaveAttachment, const std::string& AttachmentFileName, const std::string& ContextType)
{
    return Mailer().SendEmail(Subject, MailBody, Recepitants, HaveAttachment, AttachmentFileName, ContextType);
}
