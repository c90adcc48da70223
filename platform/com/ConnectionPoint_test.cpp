#include "platform/com/ConnectionPoint.h"

#include "platform/com/testserver/ComTestIds.h"
#include "platform/com/testserver/ComTesting.h"
#include "platform/com/testserver/TestWidget.h"

#include <gtest/gtest.h>

namespace {

using com::ComPtr;
using com::ComVariant;
using namespace comtest;

ComPtr<IConnectionPoint> eventsOf(IDispatch* widget, const IID& iid = DIID_WidgetEvents)
{
    auto container = ComPtr<IDispatch>(widget).As<IConnectionPointContainer>();
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(iid, point.Receive()), S_OK);
    return point;
}

ComPtr<RecordingSink> newSink()
{
    return ComPtr<RecordingSink>::Attach(new RecordingSink(DIID_WidgetEvents));
}

std::int16_t fire(IDispatch* widget, std::int16_t code)
{
    ComVariant result;
    EXPECT_EQ(Call(widget, kFire, DISPATCH_METHOD, {ComVariant::I2(code)}, &result), S_OK);
    return result.iVal;
}

TEST(ConnectionPoint, EverySinkHearsEachEventOnce)
{
    auto widget = ComPtr<IDispatch>::Attach(new Widget());
    auto point = eventsOf(widget.Get());
    auto first = newSink();
    auto second = newSink();
    DWORD c1 = 0, c2 = 0;
    ASSERT_EQ(point->Advise(first.Get(), &c1), S_OK);
    ASSERT_EQ(point->Advise(second.Get(), &c2), S_OK);
    EXPECT_NE(c1, 0u);
    EXPECT_NE(c1, c2);

    // Each sink adds one to the code it gets by reference; the source sees both.
    for (auto* sink : {first.Get(), second.Get()})
        sink->onEvent = [](DISPID id, DISPPARAMS& p) {
            if (id == kKey)
                ++*p.rgvarg[1].piVal;
        };
    EXPECT_EQ(fire(widget.Get(), 5), 7);

    for (auto* sink : {first.Get(), second.Get()}) {
        ASSERT_EQ(sink->heard.size(), 3u);
        EXPECT_EQ(sink->heard[0].id, kPing);
        ASSERT_EQ(sink->heard[0].args.size(), 1u);
        EXPECT_EQ(sink->heard[0].args[0].vt, VT_I2);
        EXPECT_EQ(sink->heard[0].args[0].iVal, 5);
        EXPECT_EQ(sink->heard[1].id, kKey);
        ASSERT_EQ(sink->heard[1].args.size(), 2u);
        EXPECT_EQ(sink->heard[1].args[1].vt, VT_BOOL);
        EXPECT_EQ(sink->heard[1].args[1].boolVal, VARIANT_TRUE);
        EXPECT_EQ(sink->heard[2].id, kTotal);
        EXPECT_EQ(sink->heard[2].args[0].vt, VT_I4);
        EXPECT_EQ(sink->heard[2].args[0].lVal, 7);
    }
    // The second sink saw the first one's change.
    EXPECT_EQ(first->heard[1].args[0].iVal, 5);
    EXPECT_EQ(second->heard[1].args[0].iVal, 6);

    EXPECT_EQ(point->Unadvise(c1), S_OK);
    EXPECT_EQ(point->Unadvise(c1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(0), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(c2 + 100), CONNECT_E_NOCONNECTION);
    fire(widget.Get(), 1);
    EXPECT_EQ(first->heard.size(), 3u);
    EXPECT_EQ(second->heard.size(), 6u);
    EXPECT_EQ(point->Unadvise(c2), S_OK);
}

TEST(ConnectionPoint, SinksThatUnadviseDuringAnEvent)
{
    auto widget = ComPtr<IDispatch>::Attach(new Widget());
    auto point = eventsOf(widget.Get());
    auto quitter = newSink();
    auto stopper = newSink();
    auto stopped = newSink();
    DWORD cq = 0, cs = 0, cd = 0;
    point->Advise(quitter.Get(), &cq);
    point->Advise(stopper.Get(), &cs);
    point->Advise(stopped.Get(), &cd);
    // The first sink leaves at its first event; the second cuts off the third
    // before it is reached.
    IConnectionPoint* p = point.Get();
    quitter->onEvent = [&](DISPID, DISPPARAMS&) { EXPECT_EQ(p->Unadvise(cq), S_OK); };
    stopper->onEvent = [&](DISPID, DISPPARAMS&) { p->Unadvise(cd); };
    int stoppedCalls = 0;
    stopped->onEvent = [&](DISPID, DISPPARAMS&) { ++stoppedCalls; };
    // The only references to the first and third sinks are the point's now.
    RecordingSink* quitterRaw = quitter.Get();
    quitter->AddRef();
    quitter.Reset();
    stopped.Reset();

    fire(widget.Get(), 3);
    EXPECT_EQ(quitterRaw->heard.size(), 1u);
    EXPECT_EQ(stopper->heard.size(), 3u);
    EXPECT_EQ(stoppedCalls, 0);
    quitterRaw->Release();

    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.Receive()), S_OK);
    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(data[0].dwCookie, cs);
    data[0].pUnk->Release();
}

TEST(ConnectionPoint, ASinkMayReleaseTheSourceDuringAnEvent)
{
    IDispatch* widget = new Widget();
    auto point = eventsOf(widget);
    auto releaser = newSink();
    auto after = newSink();
    DWORD c1 = 0, c2 = 0;
    point->Advise(releaser.Get(), &c1);
    point->Advise(after.Get(), &c2);
    point.Reset();
    // The first sink drops the last reference to the widget; the event still
    // reaches the second sink, and the widget dies when the firing is over.
    int liveDuringSecond = -1;
    releaser->onEvent = [&](DISPID, DISPPARAMS&) { widget->Release(); };
    after->onEvent = [&](DISPID, DISPPARAMS&) { liveDuringSecond = Widget::LiveCount(); };
    EXPECT_EQ(Call(widget, kRing, DISPATCH_METHOD, {ComVariant::I2(1)}), S_OK);
    EXPECT_EQ(releaser->heard.size(), 1u);
    EXPECT_EQ(after->heard.size(), 1u);
    EXPECT_EQ(liveDuringSecond, 1);
    EXPECT_EQ(Widget::LiveCount(), 0);
}

TEST(ConnectionPoint, AdviceNeedsTheInterfaceAndThePointsAreFoundByIt)
{
    auto widget = ComPtr<IDispatch>::Attach(new Widget());
    auto point = eventsOf(widget.Get());
    auto stranger = ComPtr<RecordingSink>::Attach(new RecordingSink(DIID_Widget));
    DWORD cookie = 7;
    EXPECT_EQ(point->Advise(stranger.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);

    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, DIID_WidgetEvents);
    ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(point->GetConnectionPointContainer(container.Receive()), S_OK);
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(container->FindConnectionPoint(DIID_Widget, none.Receive()), CONNECT_E_NOCONNECTION);
    EXPECT_FALSE(none);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Receive()), S_OK);
    IConnectionPoint* found[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, found, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(found[0], point.Get());
    ComPtr<IEnumConnectionPoints> again;
    ASSERT_EQ(points->Clone(again.Receive()), S_OK);
    EXPECT_EQ(again->Next(1, found, nullptr), S_FALSE);
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(3), S_FALSE);
    for (IConnectionPoint* f : found)
        f->Release();
}

// A container's sink for bound properties: records changes, may refuse them.
class NotifySink final : public com::ComObject<NotifySink, IPropertyNotifySink> {
public:
    std::span<const com::InterfaceEntry> InterfaceTable() const
    {
        static constexpr com::InterfaceEntry table[] = {com::Implements<NotifySink, IPropertyNotifySink>()};
        return table;
    }
    HRESULT OnChanged(DISPID id) override
    {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT OnRequestEdit(DISPID) override { return refuse ? S_FALSE : S_OK; }

    std::vector<DISPID> changed;
    bool refuse = false;
};

TEST(ConnectionPoint, BoundPropertiesTellTheContainer)
{
    auto widget = ComPtr<IDispatch>::Attach(new Widget());
    auto point = eventsOf(widget.Get(), IID_IPropertyNotifySink);
    auto sink = ComPtr<NotifySink>::Attach(new NotifySink());
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink.Get(), &cookie), S_OK);
    EXPECT_EQ(Put(widget.Get(), kNumber, ComVariant::I4(8)), S_OK);
    EXPECT_EQ(sink->changed, std::vector<DISPID>{kNumber});
    sink->refuse = true;
    EXPECT_EQ(Put(widget.Get(), kNumber, ComVariant::I4(9)), S_OK);
    EXPECT_EQ(Get(widget.Get(), kNumber).lVal, 8);
    EXPECT_EQ(sink->changed.size(), 1u);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
}

} // namespace
