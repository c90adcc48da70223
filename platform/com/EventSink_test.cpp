// A container's event sink: handlers by member id, arguments first to last,
// references written back to the control.

#include "platform/com/EventSink.h"

#include <gtest/gtest.h>

namespace {

constexpr IID kEvents = com::GuidLiteral("{7A0C55F0-3B1D-4E0B-9F4A-52D6C1A0B001}");

TEST(EventSinkTest, HandlersGetTheArgumentsInOrderAndMayChangeReferences)
{
    auto sink = com::ComPtr<com::EventSink>::Attach(new com::EventSink(kEvents));
    std::vector<DISPID> heard;
    std::vector<std::int32_t> values;
    sink->OnAny([&](DISPID id, std::span<VARIANT* const>) { heard.push_back(id); });
    sink->On(7, [&](DISPID, std::span<VARIANT* const> args) {
        for (VARIANT* a : args)
            values.push_back(a->vt == (VT_BYREF | VT_I2) ? *a->piVal : a->lVal);
        *args[0]->piVal = 0;
    });

    // The sink answers under the event interface's id as a dispatch.
    com::ComPtr<IDispatch> disp;
    ASSERT_EQ(sink->QueryInterface(kEvents, disp.ReceiveVoid()), S_OK);

    // Arguments travel last to first in DISPPARAMS.
    std::int16_t key = 65;
    com::ComVariant args[] = {com::ComVariant::I4(3), com::ComVariant::I2Ref(&key)};
    DISPPARAMS params{args, nullptr, 2, 0};
    ASSERT_EQ(disp->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(values, (std::vector<std::int32_t>{65, 3}));
    EXPECT_EQ(key, 0);

    // An event without a handler is heard by OnAny only.
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(disp->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(disp->Invoke(9, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(heard, (std::vector<DISPID>{7, 8, 9}));
    EXPECT_EQ(values.size(), 2u);

    // A count without its arguments is refused, not read.
    DISPPARAMS broken{nullptr, nullptr, 3, 0};
    EXPECT_EQ(disp->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &broken, nullptr, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(heard.size(), 3u);
}

} // namespace
