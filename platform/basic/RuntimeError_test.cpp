#include "platform/basic/RuntimeError.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(RuntimeError, CarriesNumberAndStandardText)
{
    try {
        Raise(kErrTypeMismatch);
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 13);
        EXPECT_EQ(e.Description(), "Type mismatch");
    }
    EXPECT_EQ(RuntimeError(70).Description(), "Permission denied");
    EXPECT_EQ(RuntimeError(5, "custom").Description(), "custom");
    EXPECT_EQ(ErrorText(99999), "Application-defined or object-defined error");
}

TEST(RuntimeError, ResumeNextSkipsOnlyTheFailingStatement)
{
    std::vector<int> ran;
    ResumeNext resume;
    resume([&] { ran.push_back(1); });
    resume([&] {
        Raise(kErrOverflow);
        ran.push_back(99);
    });
    EXPECT_EQ(resume.Number(), 6);
    resume([&] { ran.push_back(3); });
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_EQ(resume.Number(), 6); // kept until cleared, as Err.Number is
    resume.Clear();
    EXPECT_EQ(resume.Number(), 0);
}

TEST(RuntimeError, UnhandledErrorsReachTheInstalledHandler)
{
    int seen = 0;
    SetUnhandledErrorHandler([&](const RuntimeError& e) { seen = e.Number(); });
    ReportUnhandledError(RuntimeError(91));
    EXPECT_EQ(seen, 91);
    SetUnhandledErrorHandler(nullptr);
}
