#include "program/services/Notifications.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class NotificationsTest : public ::testing::Test {
protected:
    void TearDown() override { Notifications::Reset(); }
};

TEST_F(NotificationsTest, UnconnectedHooksDoNothingAndSendNothing)
{
    EXPECT_NO_THROW(Notifications::RefillCalendar());
    EXPECT_NO_THROW(Notifications::RefillCalendar(Notifications::CalendarWindow::OnlyWhenLoaded));
    EXPECT_NO_THROW(Notifications::RefreshTaskList());
    EXPECT_EQ(Notifications::SendEmail("Subject", "Body", "a@example.com", false, "", "plain"),
              Notifications::kEmailNotSent);
    EXPECT_EQ(Notifications::ReportBrowser(), nullptr);

    // Connected, then reset: nothing reaches the old hook.
    int refills = 0;
    Notifications::SetCalendarRefill([&](Notifications::CalendarWindow) { ++refills; });
    Notifications::RefillCalendar();
    Notifications::Reset();
    Notifications::RefillCalendar();
    EXPECT_EQ(refills, 1);
}

TEST_F(NotificationsTest, AHookThatDisconnectsItselfWhileItRunsFinishesSafely)
{
    // A window closing in the middle of its own refresh drops its hook; what
    // the hook holds must outlive that.
    std::string seen;
    const std::string owned(64, 'x');
    Notifications::SetTaskListRefresh([&seen, owned] {
        Notifications::SetTaskListRefresh(nullptr);
        seen = owned;
    });
    Notifications::RefreshTaskList();
    EXPECT_EQ(seen, owned);
    seen.clear();
    Notifications::RefreshTaskList();
    EXPECT_TRUE(seen.empty());

    std::string sentSubject;
    Notifications::SetEmailSender([&sentSubject, owned](const std::string& Subject, const std::string&,
                                                       const std::string&, bool, const std::string&,
                                                       const std::string&) -> long {
        Notifications::Reset();
        sentSubject = Subject + owned.substr(0, 1);
        return 0;
    });
    EXPECT_EQ(Notifications::SendEmail("Report", "", "a@example.com", false, "", "html"), 0);
    EXPECT_EQ(sentSubject, "Reportx");
}

} // namespace
