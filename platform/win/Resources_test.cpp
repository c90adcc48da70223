#include "platform/win/Resources.h"
#include "platform/win/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

TEST(ResourcesTest, FoundByTypeAndIdAndReadOnly)
{
    EXPECT_TRUE(win::RegisterResource(win::RT_BITMAP, 7001, {1, 2, 3}));
    EXPECT_TRUE(win::RegisterResource(win::RT_CURSOR, 7001, {9}));
    // The first registration stays: its bytes may be in use.
    EXPECT_FALSE(win::RegisterResource(win::RT_BITMAP, 7001, {4}));

    win::HRSRC bitmap = win::FindResource(nullptr, 7001, win::RT_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(win::SizeofResource(nullptr, bitmap), 3u);
    const auto* bytes = static_cast<const BYTE*>(win::LockResource(win::LoadResource(nullptr, bitmap)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[2], 3);
    win::HRSRC cursor = win::FindResource(nullptr, 7001, win::RT_CURSOR);
    EXPECT_EQ(static_cast<const BYTE*>(win::LockResource(win::LoadResource(nullptr, cursor)))[0], 9);

    EXPECT_EQ(win::FindResource(nullptr, 7001, win::RT_GROUP_CURSOR), nullptr);
    EXPECT_EQ(win::LockResource(nullptr), nullptr);
    EXPECT_EQ(win::SizeofResource(nullptr, nullptr), 0u);
}

TEST(WaitCursorTest, ShowsTheHourglassForItsScope)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        win::WaitCursor outer;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            win::WaitCursor inner;
        }
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
