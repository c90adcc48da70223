#include "platform/mfc/GlobalMemory.h"
#include "platform/mfc/CObject.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemoryTest, BlocksAreZeroedLockedAndResized)
{
    const SIZE_T before = GlobalBlockCount();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 64u);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(p[i], 0);
    std::memset(p, 0xAA, 64);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_FALSE(GlobalUnlock(h));

    ASSERT_EQ(GlobalReAlloc(h, 128, GMEM_MOVEABLE), h);
    p = static_cast<BYTE*>(GlobalLock(h));
    EXPECT_EQ(p[63], 0xAA);
    EXPECT_EQ(p[64], 0);
    GlobalUnlock(h);

    EXPECT_EQ(GlobalFree(h), nullptr);
    // A freed handle is no block any more.
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalFree(h), h);
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(GlobalMemoryTest, RequestsAboveTheCeilingFail)
{
    EXPECT_EQ(GlobalAlloc(GHND, kMaxGlobalBlock + 1), nullptr);
    HGLOBAL h = GlobalAlloc(GHND, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalReAlloc(h, SIZE_T(-1), GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    GlobalFree(h);
}

class CSample : public CObject {
    DECLARE_SERIAL(CSample)
};
IMPLEMENT_SERIAL(CSample, CObject, 0)

TEST(CObjectTest, RuntimeClassesAreFoundByNameAndCreate)
{
    const CRuntimeClass* c = CRuntimeClass::FromName("CSample");
    ASSERT_EQ(c, RUNTIME_CLASS(CSample));
    EXPECT_EQ(CRuntimeClass::FromName("CNothing"), nullptr);
    auto obj = c->CreateObject();
    ASSERT_NE(obj, nullptr);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(obj->IsSerializable());
    EXPECT_STREQ(obj->GetRuntimeClass()->m_lpszClassName, "CSample");
}

} // namespace
