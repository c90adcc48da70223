#include "platform/com/testserver/TestWidget.h"

#include "platform/com/HandleTable.h"
#include "platform/com/testserver/ComTestIds.h"
#include "platform/registry/Registry.h"

#include <atomic>
#include <cctype>
#include <vector>

namespace comtest {

namespace {

std::atomic<std::int32_t> g_live{0};

void echo(Widget&, com::InvokeCall& call)
{
    call.SetResult(*call.Arg<VARIANT*>(0));
}

using com::Method;
using com::Property;
using com::ReadOnlyProperty;

constexpr com::DispatchMember kMembers[] = {
    Property<Widget, &Widget::Number, &Widget::SetNumber>("Number", kNumber, VT_I4),
    Property<Widget, &Widget::Small, &Widget::SetSmall>("Small", kSmall, VT_I2),
    Property<Widget, &Widget::Title, &Widget::SetTitle>("Title", kTitle, VT_BSTR),
    Property<Widget, &Widget::Flag, &Widget::SetFlag>("Flag", kFlag, VT_BOOL),
    Property<Widget, &Widget::Ratio, &Widget::SetRatio>("Ratio", kRatio, VT_R8),
    Property<Widget, &Widget::Address, &Widget::SetAddress>("Address", kAddress, VT_I8),
    ReadOnlyProperty<Widget, &Widget::LiveCount>("LiveCount", kLiveCount, VT_I4),
    Method<Widget, &Widget::Add>("Add", kAdd, VT_I4, {{"a", VT_I4}, {"b", VT_I4}}),
    Method<Widget, &Widget::Describe>("Describe", kDescribe, VT_BSTR,
                                      {{"text", VT_BSTR}, {"length", VT_BYREF | VT_I2}, {"words", VT_BYREF | VT_I4}}),
    Method<Widget, &Widget::Fail>("Fail", kFail, VT_EMPTY, {{"message", VT_BSTR}}),
    Method<Widget, &Widget::Fire>("Fire", kFire, VT_I2, {{"code", VT_I2}}),
    Method<Widget, &Widget::Setting>("Setting", kSetting, VT_BSTR, {{"key", VT_BSTR}, {"name", VT_BSTR}}),
    Method<Widget, &Widget::HandleKind>("HandleKind", kHandleKind, VT_I2, {{"handle", VT_I4}}),
    Method<Widget, &echo>("Echo", kEcho, VT_VARIANT, {{"value", VT_VARIANT}}),
    Method<Widget, &Widget::Ring>("Ring", kRing, VT_EMPTY, {{"code", VT_I2}}),
};

constexpr com::DispatchMember kEvents[] = {
    com::Event("Ping", kPing, {{"code", VT_I2}}),
    com::Event("Key", kKey, {{"code", VT_BYREF | VT_I2}, {"shift", VT_BOOL}}),
    com::Event("Total", kTotal, {{"total", VT_I4}}),
};

} // namespace

Widget::Widget()
    : events_(*static_cast<IDispatch*>(this), DIID_WidgetEvents),
      notify_(*static_cast<IDispatch*>(this), IID_IPropertyNotifySink)
{
    ++g_live;
}

Widget::~Widget()
{
    --g_live;
}

const com::DispatchTable& Widget::Table()
{
    static constexpr com::DispatchTable table{&DIID_Widget, "Widget", kMembers};
    return table;
}

const com::DispatchTable& Widget::EventTable()
{
    static constexpr com::DispatchTable table{&DIID_WidgetEvents, "WidgetEvents", kEvents};
    return table;
}

const com::CoClassInfo& Widget::ClassInfo()
{
    static const com::CoClassInfo info{&CLSID_Widget, "Widget", &Table(), &EventTable()};
    return info;
}

std::span<const com::InterfaceEntry> Widget::InterfaceTable() const
{
    using com::Implements;
    static constexpr com::InterfaceEntry table[] = {
        Implements<Widget, IDispatch>(),
        Implements<Widget, IDispatch>(DIID_Widget),
        Implements<Widget, IConnectionPointContainer>(),
        Implements<Widget, IProvideClassInfo>(),
        Implements<Widget, IProvideClassInfo2>(),
    };
    return table;
}

HRESULT Widget::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    com::ConnectionPoint* const all[] = {&events_, &notify_};
    return com::EnumConnectionPoints(all, points);
}

HRESULT Widget::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    com::ConnectionPoint* const all[] = {&events_, &notify_};
    return com::FindConnectionPoint(all, iid, point);
}

HRESULT Widget::GetClassInfo(ITypeInfo** info)
{
    return com::CreateClassTypeInfo(ClassInfo(), info);
}

HRESULT Widget::GetGUID(DWORD kind, GUID* guid)
{
    return com::ClassDefaultSource(ClassInfo(), kind, guid);
}

void Widget::SetNumber(std::int32_t n)
{
    if (!notify_.FireOnRequestEdit(kNumber))
        return;
    number_ = n;
    notify_.FireOnChanged(kNumber);
}

std::int32_t Widget::LiveCount()
{
    return g_live;
}

std::int32_t Widget::Add(std::int32_t a, std::int32_t b)
{
    const std::int64_t sum = std::int64_t(a) + b;
    if (sum != static_cast<std::int32_t>(sum))
        throw com::DispatchException(DISP_E_OVERFLOW, "The sum does not fit a long.");
    return static_cast<std::int32_t>(sum);
}

std::string Widget::Describe(std::string text, std::int16_t* length, std::int32_t* words)
{
    *length = static_cast<std::int16_t>(text.size());
    std::int32_t count = 0;
    bool inWord = false;
    for (char& c : text) {
        const bool letter = !std::isspace(static_cast<unsigned char>(c));
        count += letter && !inWord;
        inWord = letter;
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    *words = count;
    return text;
}

void Widget::Fail(std::string message)
{
    throw com::DispatchException(E_FAIL, message);
}

std::int16_t Widget::Fire(std::int16_t code)
{
    // Sinks may release this widget while it fires; keep it for the rest.
    com::ComPtr<IDispatch> self(this);
    events_.FireEvent(kPing, {com::EventArg::I2(code)});
    events_.FireEvent(kKey, {com::EventArg::I2Ref(&code), com::EventArg::Bool(true)});
    events_.FireEvent(kTotal, {com::EventArg::I4(number_ + code)});
    return code;
}

void Widget::Ring(std::int16_t code)
{
    // Nothing after the firing: a sink may have ended this widget.
    events_.FireEvent(kPing, {com::EventArg::I2(code)});
}

std::string Widget::Setting(std::string key, std::string name)
{
    using namespace winreg;
    HKEY h = 0;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
        return {};
    winreg::DWORD type = REG_NONE;
    winreg::DWORD size = 0;
    std::string value;
    if (RegQueryValueEx(h, name, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ && size > 0) {
        std::vector<winreg::BYTE> bytes(size);
        if (RegQueryValueEx(h, name, &type, bytes.data(), &size) == ERROR_SUCCESS)
            value.assign(bytes.begin(), bytes.begin() + size - 1);
    }
    RegCloseKey(h);
    return value;
}

std::int16_t Widget::HandleKind(std::int32_t handle)
{
    const auto h = static_cast<OLE_HANDLE>(handle);
    if (com::Handles().Find(h, com::HandleKind::Bitmap))
        return 1;
    if (com::Handles().Find(h, com::HandleKind::Cursor))
        return 2;
    if (com::Handles().Find(h, com::HandleKind::Window))
        return 3;
    return 0;
}

} // namespace comtest
