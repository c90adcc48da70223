#pragma once
// The hidden main window: never shown, it keeps the program alive while no
// other window is open, owns the icon in the notification area with its
// menu, and carries the controls other parts need a window for: the e-mail
// timer with its seconds counter, the mail sender (its socket Winsock1), the
// browser that prints report pages, the common dialog and the HTTP control
// of the update check. Its caption
// "Main Form" is how the close of all windows recognises it.

#include "platform/controls/SmartPopup.h"
#include "platform/controls/TrayIcon.h"
#include "platform/forms/Forms.h"
#include "platform/net/Inet.h"
#include "platform/report/WebBrowser.h"

#include <cstdint>
#include <memory>
#include <string>

class SmtpSender;

class frmMain : public forms::FormOf<frmMain> {
public:
    static constexpr const char* kCaption = "Main Form";
    static constexpr long kEmailTimerInterval = 10000;
    // The runner runs once the counter has passed this many seconds.
    static constexpr int32_t kRunnerSeconds = 29;

    frmMain();
    ~frmMain() override;

    // Interval 10000 ms; enabled when the window loads.
    forms::Timer emailTimer{*this, "emailTimer"};
    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};
    report::WebBrowser WebBrowser1;
    // Fetches the update check's version file.
    vb::Inet Inet1;
    // The icon in the notification area, and its menu "POPUP".
    controls::TrayIcon Tray1{*this, "Tray1"};
    controls::SmartPopup SmartPopup{*this, "SmartPopup"};

    // Any use of the tray icon: the menu, rebuilt, at the bottom right of
    // the screen.
    void TrayIconEvent();
    // Rebuilds the menu "POPUP" with its twelve entries.
    void BuildTrayMenu();
    // The chosen entry's key (exact): shows a screen, checks for an update,
    // or quits.
    void TrayMenuCommand(const std::string& key);

    // The timer's tick: adds the interval's seconds to the counter and, once
    // it has passed 29, resets it and runs the scheduled reports.
    void emailTimer_Timer();
    int32_t EmailSeconds() const { return emailSeconds_; }

    // Sends one message through the window's mail sender: 0 when the server
    // accepted it, 1000 otherwise (see SmtpSender).
    long SendEmail(const std::string& Subject, const std::string& MailBody, const std::string& Recepitants,
                   bool HaveAttachment, const std::string& AttachmentFileName, const std::string& ContextType);
    SmtpSender& Mailer();

protected:
    void Form_Load() override;
    // The program ends with it: a silent update check under way is dropped.
    void Form_Unload(int& Cancel) override;

private:
    int32_t emailSeconds_ = 0;
    std::unique_ptr<SmtpSender> mailer_;
};
