// The control base in the test container: lifecycle, extent, activation,
// input through the window layer, stock members, events, persistence.

#include "platform/com/PropertyBag.h"
#include "platform/com/TestContainer.h"
#include "platform/mfc/OleControlTestSupport.h"
#include "platform/testing/Quiescence.h"
#include "platform/win/VirtualKeys.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using mfctest::NewSampleControl;
using mfctest::SampleControl;

std::string bytesOf(IStream* stream)
{
    std::uint64_t end = 0;
    stream->Seek(0, STREAM_SEEK_CUR, &end);
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    std::string bytes(end, '\0');
    ULONG got = 0;
    stream->Read(bytes.data(), ULONG(bytes.size()), &got);
    return bytes;
}

com::ComPtr<IStream> streamOf(std::string_view bytes)
{
    com::ComPtr<IStream> stream;
    com::CreateStreamOnMemory(bytes, stream.Receive());
    return stream;
}

std::vector<DISPID> eventIds(const com::TestContainer::Log& log)
{
    std::vector<DISPID> ids;
    for (const auto& e : log.events)
        ids.push_back(e.id);
    return ids;
}

HRESULT put(IUnknown* control, DISPID id, com::ComVariant value)
{
    auto disp = com::ComPtr<IUnknown>(control).As<IDispatch>();
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

com::ComVariant get(IUnknown* control, DISPID id)
{
    auto disp = com::ComPtr<IUnknown>(control).As<IDispatch>();
    com::ComVariant result;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    return result;
}

HRESULT call(IUnknown* control, DISPID id)
{
    auto disp = com::ComPtr<IUnknown>(control).As<IDispatch>();
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
}

// A control in a shown container, loaded with its defaults, 96 x 48 at
// (10, 20), active.
struct Active {
    Active()
    {
        control = NewSampleControl(&sample);
        site = box.Add(control.Get());
        site->InitNew();
        site->SetRect(RECT{10, 20, 106, 68});
        box.Host().show();
        box.Host().activateWindow();
        if (!QTest::qWaitForWindowActive(&box.Host()))
            ADD_FAILURE() << "the container never became active";
        site->Activate();
        hwnd = site->ControlWindow();
    }
    com::TestContainer box;
    SampleControl* sample = nullptr;
    com::ComPtr<IUnknown> control;
    com::ControlSite* site = nullptr;
    win::HWND hwnd = nullptr;
};

TEST(COleControlTest, SiteComesFirstThenStateAndExtentGivesPixels)
{
    com::TestContainer box;
    SampleControl* sample = nullptr;
    auto control = NewSampleControl(&sample);
    auto* site = box.Add(control.Get());
    ASSERT_TRUE(site);
    // The control asks for its site first: it is there before any state.
    ASSERT_EQ(sample->notes, std::vector<std::string>{"site"});
    ASSERT_EQ(site->InitNew(), S_OK);
    EXPECT_EQ(sample->notes, (std::vector<std::string>{"site", "exchange-load"}));
    EXPECT_EQ(sample->GetCount(), mfctest::kDefaultCount);
    EXPECT_EQ(sample->IsModified(), FALSE);

    // 2540 x 1270 HIMETRIC at 96 dpi is 96 x 48 pixels.
    ASSERT_EQ(site->SetExtent(SIZEL{2540, 1270}), S_OK);
    int cx = 0, cy = 0;
    sample->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 96);
    EXPECT_EQ(cy, 48);
    EXPECT_EQ(site->Rect().right - site->Rect().left, 96);
    EXPECT_EQ(site->Rect().bottom - site->Rect().top, 48);

    // Saved and loaded into a second control: the same state, the same bytes.
    sample->SetCount(42);
    sample->SetLabel("Hello");
    sample->SetText("Caption");
    EXPECT_EQ(sample->IsModified(), TRUE);
    auto saved = streamOf({});
    ASSERT_EQ(site->Save(saved.Get()), S_OK);
    EXPECT_EQ(sample->IsModified(), FALSE);
    const std::string bytes = bytesOf(saved.Get());

    SampleControl* second = nullptr;
    auto copy = NewSampleControl(&second);
    auto* site2 = box.Add(copy.Get());
    auto loading = streamOf(bytes + "tail");
    ASSERT_EQ(site2->Load(loading.Get()), S_OK);
    EXPECT_EQ(second->notes, (std::vector<std::string>{"site", "exchange-load"}));
    EXPECT_EQ(second->GetCount(), 42);
    EXPECT_EQ(second->GetLabel(), "Hello");
    EXPECT_EQ(second->GetText(), "Caption");
    EXPECT_EQ(second->GetVersionLoaded(), mfctest::kSampleVersion);
    int cx2 = 0, cy2 = 0;
    second->GetControlSize(&cx2, &cy2);
    EXPECT_EQ(cx2, 96);
    EXPECT_EQ(cy2, 48);
    // The stream is left right after the control's bytes.
    std::uint64_t at = 0;
    loading->Seek(0, STREAM_SEEK_CUR, &at);
    EXPECT_EQ(at, bytes.size());
    auto again = streamOf({});
    site2->Save(again.Get());
    EXPECT_EQ(bytesOf(again.Get()), bytes);
}

TEST(COleControlTest, DamagedStreamsResetTheControl)
{
    SampleControl* sample = nullptr;
    auto control = NewSampleControl(&sample);
    auto persist = control.As<IPersistStreamInit>();
    sample->SetCount(-5);
    sample->SetLabel("Kept");
    auto saved = streamOf({});
    ASSERT_EQ(persist->Save(saved.Get(), TRUE), S_OK);
    const std::string bytes = bytesOf(saved.Get());

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        SampleControl* target = nullptr;
        auto fresh = NewSampleControl(&target);
        target->SetCount(99);
        target->SetLabel("Before");
        auto short_ = streamOf(bytes.substr(0, cut));
        EXPECT_EQ(fresh.As<IPersistStreamInit>()->Load(short_.Get()), E_FAIL) << cut;
        // Nothing half-loaded: every value is its default.
        EXPECT_EQ(target->GetCount(), mfctest::kDefaultCount) << cut;
        EXPECT_EQ(target->GetLabel(), mfctest::kDefaultLabel) << cut;
        EXPECT_EQ(target->IsModified(), FALSE) << cut;
    }
    // A font with a size of 0 is no font of ours.
    std::string badFont = bytes;
    const std::size_t sizeAt = badFont.size() - (1 + 13) - 4;
    std::memset(badFont.data() + sizeAt, 0, 4);
    SampleControl* target = nullptr;
    auto fresh = NewSampleControl(&target);
    EXPECT_EQ(fresh.As<IPersistStreamInit>()->Load(streamOf(badFont).Get()), E_FAIL);
    EXPECT_EQ(target->GetCount(), mfctest::kDefaultCount);
}

TEST(COleControlTest, PropertyBagRoundTripAndDefaults)
{
    SampleControl* sample = nullptr;
    auto control = NewSampleControl(&sample);
    sample->SetCount(3);
    sample->SetLabel("Bag");
    sample->SetEnabled(FALSE);
    bool bold = false;
    sample->Font().m_pFont->put_Bold(TRUE);
    auto bag = com::NewPropertyBag();
    ASSERT_EQ(control.As<IPersistPropertyBag>()->Save(bag.Get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(bag->Names(), (std::vector<std::string>{"_Version", "_ExtentX", "_ExtentY", "_StockProps", "Caption",
                                                      "Enabled", "Count", "Label", "Font"}));
    EXPECT_EQ(bag->Value("count").iVal, 3);

    SampleControl* second = nullptr;
    auto copy = NewSampleControl(&second);
    ASSERT_EQ(copy.As<IPersistPropertyBag>()->Load(bag.Get(), nullptr), S_OK);
    EXPECT_EQ(second->GetCount(), 3);
    EXPECT_EQ(second->GetLabel(), "Bag");
    EXPECT_EQ(second->GetEnabled(), FALSE);
    BOOL b = FALSE;
    second->Font().m_pFont->get_Bold(&b);
    bold = b != FALSE;
    EXPECT_TRUE(bold);

    // Missing values take their defaults; text is read as the type wanted.
    bag->Remove("Count");
    bag->SetValue("Label", com::ComVariant::Text("Typed"));
    bag->SetValue("Enabled", com::ComVariant::Text("True"));
    SampleControl* third = nullptr;
    auto other = NewSampleControl(&third);
    third->SetCount(11);
    ASSERT_EQ(other.As<IPersistPropertyBag>()->Load(bag.Get(), nullptr), S_OK);
    EXPECT_EQ(third->GetCount(), mfctest::kDefaultCount);
    EXPECT_EQ(third->GetLabel(), "Typed");
    EXPECT_EQ(third->GetEnabled(), TRUE);
}

TEST(COleControlTest, ActivationPutsTheWindowUnderTheSiteAndDeactivationTakesItAway)
{
    Active a;
    ASSERT_TRUE(a.hwnd);
    EXPECT_EQ(a.hwnd->parentWidget(), &a.box.Host());
    EXPECT_EQ(a.hwnd->geometry(), QRect(10, 20, 96, 48));
    EXPECT_TRUE(a.sample->IsInPlaceActive());
    RECT inContainer{};
    ASSERT_TRUE(a.sample->GetRectInContainer(&inContainer));
    EXPECT_EQ(inContainer.left, 10);
    EXPECT_EQ(inContainer.bottom, 68);
    EXPECT_EQ(win::TimerCount(a.hwnd), 1u);
    EXPECT_EQ(a.box.LogOf(a.site).showObjects, 1);
    QTRY_VERIFY(a.sample->timerTicks > 0);

    // Moved by the container.
    a.site->SetRect(RECT{30, 5, 130, 45});
    EXPECT_EQ(a.hwnd->geometry(), QRect(30, 5, 100, 40));

    QPointer<QWidget> window(a.hwnd);
    ASSERT_EQ(a.site->Deactivate(), S_OK);
    EXPECT_FALSE(window);
    EXPECT_FALSE(win::IsWindow(a.hwnd));
    EXPECT_FALSE(a.site->ControlWindow());
    EXPECT_FALSE(a.site->Active());
    EXPECT_TRUE(a.box.Host().findChildren<QWidget*>().isEmpty());
    // No timer is left to tick, and none of its ticks is still queued.
    EXPECT_EQ(win::TimerCount(), 0u);
    const int ticks = a.sample->timerTicks;
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_EQ(a.sample->timerTicks, ticks);

    // Active again: a new window, a new timer.
    ASSERT_EQ(a.site->Activate(), S_OK);
    EXPECT_EQ(win::TimerCount(a.site->ControlWindow()), 1u);
}

TEST(COleControlTest, ClickOnlyForAReleaseInside)
{
    Active a;
    auto& log = a.box.LogOf(a.site);
    QTest::mouseClick(a.hwnd, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_EQ(eventIds(log), (std::vector<DISPID>{DISPID_MOUSEDOWN, DISPID_MOUSEUP, DISPID_CLICK}));
    ASSERT_EQ(log.events[0].args.size(), 4u);
    EXPECT_EQ(log.events[0].args[0].iVal, LEFT_BUTTON);
    EXPECT_EQ(log.events[0].args[1].iVal, 0);
    EXPECT_EQ(log.events[0].args[2].lVal, 5);
    EXPECT_EQ(log.events[0].args[3].lVal, 6);
    // The press took the focus, as a button's does.
    EXPECT_EQ(win::GetFocus(), a.hwnd);

    // Pressed inside, dragged out, released outside: no click.
    log.events.clear();
    QTest::mousePress(a.hwnd, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseMove(a.hwnd, QPoint(150, 100));
    QTest::mouseRelease(a.hwnd, Qt::LeftButton, {}, QPoint(150, 100));
    const auto dragged = eventIds(log);
    EXPECT_EQ(std::count(dragged.begin(), dragged.end(), DISPID_CLICK), 0);
    EXPECT_EQ(std::count(dragged.begin(), dragged.end(), DISPID_MOUSEUP), 1);
    EXPECT_FALSE(win::GetCapture());

    // Right button with Shift: the button and shift codes of the events.
    log.events.clear();
    QTest::mouseClick(a.hwnd, Qt::RightButton, Qt::ShiftModifier, QPoint(50, 10));
    ASSERT_EQ(eventIds(log), (std::vector<DISPID>{DISPID_MOUSEDOWN, DISPID_MOUSEUP, DISPID_CLICK}));
    EXPECT_EQ(log.events[0].args[0].iVal, RIGHT_BUTTON);
    EXPECT_EQ(log.events[0].args[1].iVal, win::SHIFT_MASK);
    EXPECT_EQ(a.sample->clicks.back(), RIGHT_BUTTON);

    // A double click: the release that ends it is no second click.
    log.events.clear();
    // As the platform delivers one: press, release, double click, release.
    const QPoint at(5, 6);
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                      QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, a.hwnd->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(a.hwnd, &e);
    }
    const auto ids = eventIds(log);
    EXPECT_EQ(ids, (std::vector<DISPID>{DISPID_MOUSEDOWN, DISPID_MOUSEUP, DISPID_CLICK, DISPID_DBLCLICK,
                                        DISPID_MOUSEUP}));
    EXPECT_EQ(std::count(ids.begin(), ids.end(), DISPID_DBLCLICK), 1);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), DISPID_CLICK), 1);
}

TEST(COleControlTest, KeysAndTheButtonHighlight)
{
    Active a;
    auto& log = a.box.LogOf(a.site);
    a.hwnd->setFocus();
    QTRY_COMPARE(win::GetFocus(), a.hwnd);
    EXPECT_EQ(a.box.LogOf(a.site).focus.back(), true);

    QTest::keyPress(a.hwnd, Qt::Key_Space);
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.back().id, DISPID_KEYDOWN);
    EXPECT_EQ(log.events.back().args[0].iVal, win::VK_SPACE);
    EXPECT_EQ(win::SendMessage(a.hwnd, win::BM_GETSTATE, 0, 0) & win::BST_PUSHED, win::LRESULT(win::BST_PUSHED));
    a.hwnd->repaint();
    EXPECT_EQ(a.sample->drawStates.back(), win::ODS_SELECTED | win::ODS_FOCUS);
    QTest::keyRelease(a.hwnd, Qt::Key_Space);
    EXPECT_EQ(log.events.back().id, DISPID_KEYUP);
    a.hwnd->repaint();
    EXPECT_EQ(a.sample->drawStates.back(), win::ODS_FOCUS);

    QTest::keyClick(a.hwnd, Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier);
    const auto& down = *std::find_if(log.events.begin(), log.events.end(), [](const auto& e) {
        return e.id == DISPID_KEYDOWN && e.args[0].iVal == 'A';
    });
    EXPECT_EQ(down.id, DISPID_KEYDOWN);
    EXPECT_EQ(down.args[0].iVal, 'A');
    EXPECT_EQ(down.args[1].iVal, win::SHIFT_MASK | win::CTRL_MASK);

    // A sink that takes the key: the button never sees the space.
    a.site->Events()->On(DISPID_KEYDOWN, [](DISPID, std::span<VARIANT* const> args) { *args[0]->piVal = 0; });
    QTest::keyPress(a.hwnd, Qt::Key_Space);
    EXPECT_EQ(win::SendMessage(a.hwnd, win::BM_GETSTATE, 0, 0) & win::BST_PUSHED, 0);
    QTest::keyRelease(a.hwnd, Qt::Key_Space);

    // Disabled: drawn so, and no input.
    put(a.control.Get(), DISPID_ENABLED, com::ComVariant::Bool(false));
    EXPECT_FALSE(a.hwnd->isEnabled());
    a.hwnd->repaint();
    EXPECT_TRUE(a.sample->drawStates.back() & win::ODS_DISABLED);
    log.events.clear();
    QTest::mouseClick(a.hwnd, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_TRUE(log.events.empty());
}

TEST(COleControlTest, PaintsTheOwnerDrawnFace)
{
    Active a;
    const QImage normal = a.hwnd->grab().toImage();
    EXPECT_EQ(normal.size(), QSize(96, 48));
    EXPECT_EQ(QColor(normal.pixel(1, 1)), QColor(224, 224, 160));
    win::SendMessage(a.hwnd, win::BM_SETSTATE, 1, 0);
    const QImage pressed = a.hwnd->grab().toImage();
    EXPECT_EQ(QColor(pressed.pixel(1, 1)), QColor(64, 64, 128));

    // Drawn into a DC of the caller's (a snapshot).
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(GetDC(nullptr), 20, 10);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT bounds{0, 0, 20, 10};
    ASSERT_EQ(a.control.As<IViewObject>()->Draw(DVASPECT_CONTENT, dc, &bounds), S_OK);
    EXPECT_EQ(a.sample->drawStates.back() & win::ODS_SELECTED, win::ODS_SELECTED);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);

    // The hit test of the base is the rectangle.
    DWORD hit = 0;
    a.control.As<IViewObjectEx>()->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{19, 9}, 0, &hit);
    EXPECT_EQ(hit, HITRESULT_HIT);
    a.control.As<IViewObjectEx>()->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{20, 9}, 0, &hit);
    EXPECT_EQ(hit, HITRESULT_OUTSIDE);
}

TEST(COleControlTest, UserModeChangeReachesTheControl)
{
    Active a;
    EXPECT_EQ(a.sample->AmbientUserMode(), TRUE);
    a.box.SetUserMode(false);
    EXPECT_EQ(a.sample->ambientChanges, std::vector<DISPID>{DISPID_AMBIENT_USERMODE});
    EXPECT_EQ(a.sample->AmbientUserMode(), FALSE);
    a.site->SetBackColor(0x123456);
    EXPECT_EQ(a.sample->ambientChanges.back(), DISPID_AMBIENT_BACKCOLOR);
    EXPECT_EQ(a.sample->AmbientBackColor(), 0x123456u);
    BOOL reflect = FALSE;
    EXPECT_TRUE(a.sample->GetAmbientProperty(DISPID_AMBIENT_MESSAGEREFLECT, VT_BOOL, &reflect));
    EXPECT_EQ(reflect, TRUE);
    a.box.SetUserMode(true);
    EXPECT_EQ(a.sample->AmbientUserMode(), TRUE);
}

TEST(COleControlTest, StockMembersEventsAndNotifications)
{
    Active a;
    auto& log = a.box.LogOf(a.site);
    IUnknown* c = a.control.Get();

    ASSERT_EQ(put(c, DISPID_CAPTION, com::ComVariant::Text("Go")), S_OK);
    EXPECT_EQ(win::GetWindowText(a.hwnd), "Go");
    EXPECT_EQ(com::Utf8FromBstr(get(c, DISPID_CAPTION).bstrVal), "Go");
    EXPECT_EQ(log.changed, std::vector<DISPID>{DISPID_CAPTION});

    // hWnd is a handle of the process's table that names the window.
    const auto handle = OLE_HANDLE(get(c, DISPID_HWND).lVal);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(com::Handles().Find(handle, com::HandleKind::Window), a.hwnd);

    log.events.clear();
    ASSERT_EQ(put(c, mfctest::kDispCount, com::ComVariant::I2(12)), S_OK);
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].id, mfctest::kEventCounted);
    EXPECT_EQ(log.events[0].args[0].iVal, 12);
    EXPECT_EQ(log.changed.back(), mfctest::kDispCount);

    ASSERT_EQ(call(c, DISPID_DOCLICK), S_OK);
    EXPECT_EQ(log.events.back().id, DISPID_CLICK);

    // Frozen events are dropped.
    a.control.As<IOleControl>()->FreezeEvents(TRUE);
    call(c, DISPID_DOCLICK);
    EXPECT_EQ(log.events.back().id, DISPID_CLICK);
    EXPECT_EQ(log.events.size(), 2u);
    a.control.As<IOleControl>()->FreezeEvents(FALSE);

    auto ui = std::make_shared<com::RecordingUiServices>();
    com::SetUiServices(ui);
    a.sample->notes.clear();
    call(c, DISPID_ABOUTBOX);
    com::SetUiServices(nullptr);
    ASSERT_EQ(ui->aboutBoxes.size(), 1u);
    EXPECT_EQ(a.sample->notes, (std::vector<std::string>{"modal", "modeless"}));
    EXPECT_EQ(ui->aboutBoxes[0].owner, &a.box.Host());

    // The deactivated window's handle is released.
    a.site->Deactivate();
    EXPECT_EQ(get(c, DISPID_HWND).lVal, 0);
    EXPECT_FALSE(com::Handles().Find(handle, com::HandleKind::Window));

    // Type information tells a container the events to listen to.
    GUID events{};
    a.control.As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events);
    EXPECT_EQ(events, mfctest::DIID_SampleEvents);
}

TEST(COleControlTest, MnemonicReachesTheControlThroughItsSite)
{
    Active a;
    auto* other = new QWidget(&a.box.Host());
    other->setGeometry(200, 200, 20, 20);
    other->setFocusPolicy(Qt::StrongFocus);
    other->show();
    a.sample->SetLabel("&Go");
    EXPECT_EQ(a.box.LogOf(a.site).controlInfoChanges, 1);
    QTest::keyClick(other, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(a.sample->mnemonics, 1);
    EXPECT_EQ(a.box.LogOf(a.site).events.back().id, DISPID_CLICK);
    // Another key, or no Alt: nothing.
    QTest::keyClick(other, Qt::Key_H, Qt::AltModifier);
    QTest::keyClick(other, Qt::Key_G);
    EXPECT_EQ(a.sample->mnemonics, 1);
}

TEST(COleControlTest, FontChangeNotifiesTheControlOnce)
{
    SampleControl* sample = nullptr;
    auto control = NewSampleControl(&sample);
    sample->SetModifiedFlag(FALSE);
    IFont* font = sample->Font().m_pFont;
    font->put_Italic(TRUE);
    EXPECT_EQ(sample->fontChanges, 1);
    EXPECT_EQ(sample->IsModified(), TRUE);
    font->put_Italic(TRUE);
    EXPECT_EQ(sample->fontChanges, 1);
    font->put_Bold(TRUE);
    EXPECT_EQ(sample->fontChanges, 2);
}

TEST(COleControlTest, PropertiesVerbWithoutPagesAndTheFrame)
{
    Active a;
    auto object = a.control.As<IOleObject>();
    // The sample has no pages: nothing to show.
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr), E_FAIL);
    CAUUID pages{};
    ASSERT_EQ(a.control.As<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
    EXPECT_EQ(pages.cElems, 0u);

    // A page no library serves: the frame has nothing to show and says so.
    const CLSID page = com::GuidLiteral("{7A0C55E9-3B1D-4E0B-9F4A-52D6C1A0B001}");
    a.sample->pages = {page};
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr), E_FAIL);
    ASSERT_EQ(a.control.As<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_EQ(pages.pElems[0], page);
    CoTaskMemFree(pages.pElems);
    // A recorder is asked with the control and its page.
    auto ui = std::make_shared<com::RecordingUiServices>();
    com::SetUiServices(ui);
    a.sample->notes.clear();
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
    com::SetUiServices(nullptr);
    EXPECT_EQ(a.sample->notes, (std::vector<std::string>{"modal", "modeless"}));
    ASSERT_EQ(ui->frames.size(), 1u);
    EXPECT_EQ(ui->frames[0].pages, std::vector<CLSID>{page});
    ASSERT_EQ(ui->frames[0].objects.size(), 1u);
    EXPECT_EQ(ui->frames[0].objects[0].Get(), a.sample->GetControllingUnknown());
    EXPECT_EQ(ui->frames[0].owner, &a.box.Host());

    LPOLESTR type = nullptr;
    object->GetUserType(USERCLASSTYPE_FULL, &type);
    EXPECT_EQ(com::Utf8FromOleString(type), "Control");
    CoTaskMemFree(type);
    DWORD status = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &status);
    EXPECT_TRUE(status & OLEMISC_SETCLIENTSITEFIRST);
    EXPECT_TRUE(status & OLEMISC_ACTIVATEWHENVISIBLE);
}

TEST(COleControlTest, SizeRequestsGoThroughTheSiteWhileActive)
{
    // Inactive: the control sets its own extent.
    {
        SampleControl* sample = nullptr;
        auto control = NewSampleControl(&sample);
        ASSERT_TRUE(sample->SetControlSize(48, 24));
        SIZEL extent{};
        control.As<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent);
        EXPECT_EQ(extent.cx, 1270);
        EXPECT_EQ(extent.cy, 635);
        EXPECT_FALSE(sample->SetControlSize(-1, 5));
        RECT nowhere{};
        EXPECT_FALSE(sample->GetRectInContainer(&nowhere));
    }

    // Active: the container is asked, and the window goes where it says.
    Active a;
    auto& log = a.box.LogOf(a.site);
    ASSERT_TRUE(a.sample->SetControlSize(50, 30));
    ASSERT_EQ(log.posRectChanges.size(), 1u);
    EXPECT_EQ(log.posRectChanges[0].left, 10);
    EXPECT_EQ(log.posRectChanges[0].top, 20);
    EXPECT_EQ(log.posRectChanges[0].right, 60);
    EXPECT_EQ(log.posRectChanges[0].bottom, 50);
    EXPECT_EQ(a.hwnd->geometry(), QRect(10, 20, 50, 30));
    int cx = 0, cy = 0;
    a.sample->GetControlSize(&cx, &cy);
    EXPECT_EQ(cx, 50);
    EXPECT_EQ(cy, 30);

    const RECT moved{100, 110, 140, 130};
    ASSERT_TRUE(a.sample->SetRectInContainer(&moved));
    EXPECT_EQ(a.hwnd->geometry(), QRect(100, 110, 40, 20));
    RECT back{};
    ASSERT_TRUE(a.sample->GetRectInContainer(&back));
    EXPECT_EQ(back.left, 100);
    EXPECT_EQ(back.bottom, 130);

    // A container that changes the extent while the control is active
    // resizes the window and keeps its corner.
    ASSERT_EQ(a.site->SetExtent(SIZEL{2540, 2540}), S_OK);
    EXPECT_EQ(a.hwnd->geometry(), QRect(100, 110, 96, 96));
}

TEST(COleControlTest, ContainerMayRefuseEditsAndTheDirtyFlagFollowsSaves)
{
    Active a;
    auto persist = a.control.As<IPersistStreamInit>();
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    // A container that refuses the edit: the caption stays, nothing changes.
    a.site->onRequestEdit = [](DISPID id) { return id != DISPID_CAPTION; };
    EXPECT_EQ(put(a.control.Get(), DISPID_CAPTION, com::ComVariant::Text("No")), S_OK);
    EXPECT_EQ(a.sample->GetText(), "");
    EXPECT_EQ(win::GetWindowText(a.hwnd), "");
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    EXPECT_TRUE(a.box.LogOf(a.site).changed.empty());
    a.sample->SetEnabled(FALSE);
    EXPECT_EQ(a.sample->GetEnabled(), FALSE);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    // Saving without clearing keeps the control dirty; with clearing not.
    auto stream = streamOf({});
    ASSERT_EQ(persist->Save(stream.Get(), FALSE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    // The display name the container gives is the control's ambient.
    a.site->SetDisplayName("Button1");
    EXPECT_EQ(a.sample->ambientChanges.back(), DISPID_AMBIENT_DISPLAYNAME);
    EXPECT_EQ(a.sample->AmbientDisplayName(), "Button1");
}

TEST(COleControlTest, ClosingTheSiteLetsTheControlGo)
{
    Active a;
    QPointer<QWidget> window(a.hwnd);
    auto& log = a.box.LogOf(a.site);
    a.site->Close();
    // Deactivated, disconnected and told to forget its site.
    EXPECT_FALSE(window);
    EXPECT_EQ(a.sample->notes.back(), "no-site");
    EXPECT_FALSE(a.sample->GetClientSite());
    EXPECT_FALSE(a.site->Control());
    log.events.clear();
    call(a.control.Get(), DISPID_DOCLICK);
    EXPECT_TRUE(log.events.empty());
    // A second close, and the container's own at its end, do nothing more.
    a.site->Close();
    EXPECT_EQ(std::count(a.sample->notes.begin(), a.sample->notes.end(), "no-site"), 1);

}

} // namespace
