#pragma once
// Where a subsystem must reach a window of the shell above it: a named hook
// the lower code calls, which the shell connects at start-up (and a test may
// connect to its own). A hook nobody connected does nothing, as if the window
// it stands for were not there.

#include <functional>
#include <string>

namespace report {
class WebBrowser;
}

namespace Notifications {

// --- Main calendar ---

// Whether a refill may load the main calendar window: a reminder change
// loads it as any reference from code does; a deleted store refills it only
// when it is loaded.
enum class CalendarWindow { Load, OnlyWhenLoaded };

// The reminders in CalInfo changed: the main calendar shows them again.
void RefillCalendar(CalendarWindow window = CalendarWindow::Load);
void SetCalendarRefill(std::function<void(CalendarWindow)> refill);

// --- Task list ---

// The scheduled reports or the reminders changed: the task list refills
// itself. Connected while the list is open.
void RefreshTaskList();
void SetTaskListRefresh(std::function<void()> refresh);

// --- Hidden main window ---

// What a send gives when no sender is connected: nothing went out.
inline constexpr long kEmailNotSent = 1000;

using EmailSender = std::function<long(const std::string& Subject, const std::string& MailBody,
                                       const std::string& Recepitants, bool HaveAttachment,
                                       const std::string& AttachmentFileName, const std::string& ContextType)>;

// Sends one message through the hidden main window's mail sender; its
// result, or kEmailNotSent.
long SendEmail(const std::string& Subject, const std::string& MailBody, const std::string& Recepitants,
               bool HaveAttachment, const std::string& AttachmentFileName, const std::string& ContextType);
void SetEmailSender(EmailSender sender);

// The hidden main window's browser, with which report pages are printed;
// nullptr when none is connected.
report::WebBrowser* ReportBrowser();
void SetReportBrowser(std::function<report::WebBrowser&()> browser);

// --- end of the hidden main window ---

// Every hook disconnected (tests).
void Reset();

} // namespace Notifications
