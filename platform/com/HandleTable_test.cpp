#include "platform/com/HandleTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(HandleTable, HandlesStandForTheirObjectsUntilReleased)
{
    com::OwnHandleTable table;
    int bitmap = 0, cursor = 0;
    const OLE_HANDLE b = table.Add(com::HandleKind::Bitmap, &bitmap);
    const OLE_HANDLE c = table.Add(com::HandleKind::Cursor, &cursor);
    EXPECT_NE(b, 0u);
    EXPECT_NE(b, c);
    EXPECT_LT(b, 0x80000000u);
    EXPECT_EQ(table.Find(b, com::HandleKind::Bitmap), &bitmap);
    EXPECT_EQ(table.Find(c, com::HandleKind::Cursor), &cursor);
    // A handle of another kind, an unknown one and a released one are refused.
    EXPECT_EQ(table.Find(b, com::HandleKind::Cursor), nullptr);
    EXPECT_EQ(table.Find(0, com::HandleKind::Bitmap), nullptr);
    EXPECT_EQ(table.Find(0xDEADBEEF, com::HandleKind::Window), nullptr);
    EXPECT_TRUE(table.Remove(b));
    EXPECT_FALSE(table.Remove(b));
    EXPECT_EQ(table.Find(b, com::HandleKind::Bitmap), nullptr);
    // A released number is not handed out again soon after.
    std::set<OLE_HANDLE> seen{b, c};
    for (int i = 0; i < 100; ++i) {
        const OLE_HANDLE h = table.Add(com::HandleKind::Window, &bitmap);
        EXPECT_TRUE(seen.insert(h).second);
        table.Remove(h);
    }
}

TEST(HandleTable, TheProcessTableCanBeReplaced)
{
    com::OwnHandleTable other;
    int window = 0;
    com::SetHandleTable(&other);
    const OLE_HANDLE h = com::Handles().Add(com::HandleKind::Window, &window);
    EXPECT_EQ(other.Find(h, com::HandleKind::Window), &window);
    com::SetHandleTable(nullptr);
    EXPECT_EQ(com::Handles().Find(h, com::HandleKind::Window), nullptr);
}

} // namespace
