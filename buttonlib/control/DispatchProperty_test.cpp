// Reading and writing a property of any dispatch object.

#include "buttonlib/control/DispatchProperty.h"
#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/mfc/OleControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(DispatchProperty, ReadsAndWritesByTypeAndKeepsTheValueOnFailure)
{
    mfctest::SampleControl* sample = nullptr;
    auto control = mfctest::NewSampleControl(&sample);
    auto dispatch = control.As<IDispatch>();

    SetDispatchPropertyShort(dispatch.Get(), mfctest::kDispCount, 12);
    EXPECT_EQ(sample->GetCount(), 12);
    short count = 0;
    GetDispatchProperty(dispatch.Get(), mfctest::kDispCount, VT_I2, &count);
    EXPECT_EQ(count, 12);
    LONG wide = 0;
    GetDispatchProperty(dispatch.Get(), mfctest::kDispCount, VT_I4, &wide);
    EXPECT_EQ(wide, 12);
    CString label;
    GetDispatchProperty(dispatch.Get(), mfctest::kDispLabel, VT_BSTR, &label);
    EXPECT_EQ(label, mfctest::kDefaultLabel);
    BOOL enabled = FALSE;
    GetDispatchProperty(dispatch.Get(), DISPID_ENABLED, VT_BOOL, &enabled);
    EXPECT_EQ(enabled, TRUE);

    // A member that is not there, or a value that does not convert: the
    // caller's value stays.
    short kept = -5;
    GetDispatchProperty(dispatch.Get(), 999, VT_I2, &kept);
    EXPECT_EQ(kept, -5);
    GetDispatchProperty(dispatch.Get(), mfctest::kDispLabel, VT_I2, &kept);
    EXPECT_EQ(kept, -5);
    SetDispatchPropertyShort(dispatch.Get(), 999, 1);
    SetDispatchPropertyShort(nullptr, mfctest::kDispCount, 1);
    GetDispatchProperty(nullptr, mfctest::kDispCount, VT_I2, &kept);
    EXPECT_EQ(sample->GetCount(), 12);
    EXPECT_EQ(kept, -5);
}

} // namespace
