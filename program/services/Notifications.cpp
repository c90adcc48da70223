#include "program/services/Notifications.h"

namespace Notifications {

namespace {

struct Hooks {
    std::function<void(CalendarWindow)> calendarRefill;
    std::function<void()> taskListRefresh;
    EmailSender emailSender;
    std::function<report::WebBrowser&()> reportBrowser;
};

Hooks& hooks()
{
    static Hooks h;
    return h;
}

} // namespace

// Each hook runs from a copy, so one that disconnects itself (a window
// closing while it refills) does not pull the code from under its own feet.

void RefillCalendar(CalendarWindow window)
{
    if (const auto refill = hooks().calendarRefill)
        refill(window);
}

void SetCalendarRefill(std::function<void(CalendarWindow)> refill)
{
    hooks().calendarRefill = std::move(refill);
}

void RefreshTaskList()
{
    if (const auto refresh = hooks().taskListRefresh)
        refresh();
}

void SetTaskListRefresh(std::function<void()> refresh)
{
    hooks().taskListRefresh = std::move(refresh);
}

long SendEmail(const std::string& Subject, const std::string& MailBody, const std::string& Recepitants,
               bool HaveAttachment, const std::string& AttachmentFileName, const std::string& ContextType)
{
    const EmailSender sender = hooks().emailSender;
    if (!sender)
        return kEmailNotSent;
    return sender(Subject, MailBody, Recepitants, HaveAttachment, AttachmentFileName, ContextType);
}

void SetEmailSender(EmailSender sender)
{
    hooks().emailSender = std::move(sender);
}

report::WebBrowser* ReportBrowser()
{
    const auto browser = hooks().reportBrowser;
    return browser ? &browser() : nullptr;
}

void SetReportBrowser(std::function<report::WebBrowser&()> browser)
{
    hooks().reportBrowser = std::move(browser);
}

void Reset()
{
    hooks() = Hooks{};
}

} // namespace Notifications
