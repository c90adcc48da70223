#include "platform/com/Loader.h"

#include "platform/com/ConnectionInterfaces.h"
#include "platform/com/HandleTable.h"
#include "platform/com/Registration.h"
#include "platform/com/Server.h"
#include "platform/com/testserver/ComTestIds.h"
#include "platform/com/testserver/ComTesting.h"

#include "platform/basic/App.h"
#include "platform/registry/Registry.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

using com::ComPtr;
using com::ComVariant;
using namespace comtest;

const std::filesystem::path kServer = TV_COM_TEST_SERVER;

// The test's own registry store, and a desktop configuration folder of its
// own: the default store a library falls back to lives there.
class Stores {
public:
    Stores()
    {
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            old_ = old;
        setenv("XDG_CONFIG_HOME", (root_.Path() / "desktop").c_str(), 1);
    }
    ~Stores()
    {
        if (old_)
            setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::filesystem::path DesktopRegistry() const { return root_.Path() / "desktop" / "tallyvane" / "registry.txt"; }

private:
    tv::testing::TempRoot root_;
    std::optional<std::string> old_;
};

ComPtr<IDispatch> create(REFCLSID clsid)
{
    ComPtr<IDispatch> object;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid()), S_OK);
    return object;
}

std::int32_t liveCount(IDispatch* widget)
{
    return Get(widget, kLiveCount).lVal;
}

void setUserValue(std::string_view key, std::string_view name, std::string_view text)
{
    using namespace winreg;
    HKEY h = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &h, nullptr), ERROR_SUCCESS);
    const std::string bytes(text);
    RegSetValueEx(h, name, REG_SZ, reinterpret_cast<const winreg::BYTE*>(bytes.c_str()),
                  static_cast<winreg::DWORD>(bytes.size() + 1));
    RegCloseKey(h);
}

TEST(Loader, AServerRegistersIntoTheProgramsStoreOnly)
{
    Stores stores;
    ASSERT_EQ(com::RegisterServer(kServer), S_OK);

    const std::string classKey = com::ClassKey(CLSID_Widget);
    EXPECT_EQ(com::ClassesRootValue(classKey + "\\InprocServer32"), std::filesystem::canonical(kServer).string());
    EXPECT_EQ(com::ClassesRootValue(classKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(com::ClassesRootValue(classKey + "\\ProgID"), kProgId);
    EXPECT_EQ(com::ClassesRootValue(classKey), "Test widget");
    EXPECT_EQ(com::ClassesRootValue(std::string(kProgId) + "\\CLSID"), com::GuidText(CLSID_Widget));
    EXPECT_NE(tv::testing::ReadRaw(vb::AppPaths::RegistryFile()).find(com::GuidText(CLSID_Widget)),
              std::string::npos);
    // Nothing reached the desktop's own store.
    EXPECT_FALSE(std::filesystem::exists(stores.DesktopRegistry()));
}

TEST(Loader, ComponentsAreCreatedByProgIdAndByClassIdFromOneLoad)
{
    Stores stores;
    ASSERT_EQ(com::RegisterServer(kServer), S_OK);
    const std::size_t loaded = com::LoadedLibraryCount();

    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Widget);
    auto byProgId = create(clsid);
    auto byClassId = create(CLSID_Widget);
    ASSERT_TRUE(byProgId && byClassId);
    EXPECT_NE(byProgId.Get(), byClassId.Get());
    EXPECT_EQ(com::LoadedLibraryCount(), loaded);

    ComVariant sum;
    EXPECT_EQ(Call(byProgId.Get(), kAdd, DISPATCH_METHOD, {ComVariant::I4(2), ComVariant::I4(3)}, &sum), S_OK);
    EXPECT_EQ(sum.lVal, 5);
    EXPECT_EQ(IdOf(byClassId.Get(), u"DESCRIBE"), kDescribe);
    // Both widgets live in the one loaded copy of the library.
    EXPECT_EQ(liveCount(byClassId.Get()), 2);

    // The library's events reach a sink of ours.
    auto point = byClassId.As<IConnectionPointContainer>();
    ComPtr<IConnectionPoint> events;
    ASSERT_EQ(point->FindConnectionPoint(DIID_WidgetEvents, events.Receive()), S_OK);
    auto sink = ComPtr<RecordingSink>::Attach(new RecordingSink(DIID_WidgetEvents));
    DWORD cookie = 0;
    ASSERT_EQ(events->Advise(sink.Get(), &cookie), S_OK);
    EXPECT_EQ(Call(byClassId.Get(), kFire, DISPATCH_METHOD, {ComVariant::I2(4)}), S_OK);
    EXPECT_EQ(sink->heard.size(), 3u);
    EXPECT_EQ(events->Unadvise(cookie), S_OK);
}

TEST(Loader, TheLibraryWorksOnTheHostsStoreAndHandles)
{
    Stores stores;
    ASSERT_EQ(com::RegisterServer(kServer), S_OK);
    setUserValue("Software\\ComTest", "Colour", "Blue");
    auto widget = create(CLSID_Widget);
    ComVariant value;
    ASSERT_EQ(Call(widget.Get(), kSetting, DISPATCH_METHOD,
                   {ComVariant::Text("Software\\ComTest"), ComVariant::Text("colour")}, &value),
              S_OK);
    EXPECT_EQ(com::Utf8FromBstr(value.bstrVal), "Blue");

    int bitmap = 0;
    const OLE_HANDLE h = com::Handles().Add(com::HandleKind::Bitmap, &bitmap);
    ComVariant kind;
    ASSERT_EQ(Call(widget.Get(), kHandleKind, DISPATCH_METHOD, {ComVariant::I4(static_cast<std::int32_t>(h))}, &kind),
              S_OK);
    EXPECT_EQ(kind.iVal, 1);
    com::Handles().Remove(h);
    ASSERT_EQ(Call(widget.Get(), kHandleKind, DISPATCH_METHOD, {ComVariant::I4(static_cast<std::int32_t>(h))}, &kind),
              S_OK);
    EXPECT_EQ(kind.iVal, 0);
}

TEST(Loader, ObjectsDieAtTheirLastReleaseAndTheLibraryStaysWhileOneLives)
{
    Stores stores;
    ASSERT_EQ(com::RegisterServer(kServer), S_OK);
    auto first = create(CLSID_Widget);
    auto second = create(CLSID_Widget);
    EXPECT_EQ(comtest::CanUnloadNow(kServer), S_FALSE);
    EXPECT_EQ(second->Release(), 0u);
    second.Detach();
    EXPECT_EQ(liveCount(first.Get()), 1);
    EXPECT_EQ(comtest::CanUnloadNow(kServer), S_FALSE);

    // While an object lives the library is kept.
    const std::size_t loaded = com::LoadedLibraryCount();
    CoFreeUnusedLibraries();
    EXPECT_EQ(com::LoadedLibraryCount(), loaded);
    first.Reset();
    EXPECT_EQ(comtest::CanUnloadNow(kServer), S_OK);

    // A lock on the factory keeps it too.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_Widget, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReceiveVoid()),
              S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(comtest::CanUnloadNow(kServer), S_FALSE);
    CoFreeUnusedLibraries();
    EXPECT_EQ(com::LoadedLibraryCount(), loaded);
    ASSERT_EQ(CoGetClassObject(CLSID_Widget, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReceiveVoid()),
              S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(comtest::CanUnloadNow(kServer), S_OK);

    // Then it is forgotten, and the next creation loads it again.
    CoFreeUnusedLibraries();
    EXPECT_EQ(com::LoadedLibraryCount(), loaded - 1);
    auto again = create(CLSID_Widget);
    ASSERT_TRUE(again);
    EXPECT_EQ(com::LoadedLibraryCount(), loaded);
    EXPECT_EQ(liveCount(again.Get()), 1);
}

TEST(Loader, UnregisteringRemovesTheClass)
{
    Stores stores;
    ASSERT_EQ(com::RegisterServer(kServer), S_OK);
    ASSERT_EQ(com::UnregisterServer(kServer), S_OK);
    EXPECT_FALSE(com::ClassesRootValue(com::ClassKey(CLSID_Widget)));
    EXPECT_FALSE(com::ClassesRootValue(kProgId));
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(kProgId, &clsid), REGDB_E_CLASSNOTREG);
    ComPtr<IDispatch> object;
    EXPECT_EQ(CoCreateInstance(CLSID_Widget, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid()),
              REGDB_E_CLASSNOTREG);
    // Unregistering twice is no failure.
    EXPECT_EQ(com::UnregisterServer(kServer), S_OK);
}

TEST(Loader, FailuresAreToldApart)
{
    Stores stores;
    ComPtr<IDispatch> object;
    EXPECT_EQ(CoCreateInstance(CLSID_Widget, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid()),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(com::RegisterServer("/nonexistent/libnothing.so"), CO_E_DLLNOTFOUND);

    const CLSID missing = com::GuidLiteral("{3F1A5C29-8B4D-4E6A-9C71-5D2E8F04B3A1}");
    ASSERT_EQ(com::RegisterClass({missing, "ComTest.Missing", "Missing", "/nonexistent/libnothing.so"}), S_OK);
    EXPECT_EQ(CoCreateInstance(missing, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid()),
              CO_E_DLLNOTFOUND);

    // A library that is no component.
    Dl_info math{};
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(static_cast<double (*)(double)>(&std::cos)), &math));
    const CLSID plain = com::GuidLiteral("{3F1A5C2A-8B4D-4E6A-9C71-5D2E8F04B3A1}");
    ASSERT_EQ(com::RegisterClass({plain, "", "Plain", math.dli_fname}), S_OK);
    EXPECT_EQ(CoCreateInstance(plain, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid()),
              CO_E_ERRORINDLL);
    EXPECT_EQ(com::RegisterServer(math.dli_fname), CO_E_ERRORINDLL);

    ASSERT_EQ(com::RegisterServer(kServer), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_Widget, nullptr, 0x4, IID_IDispatch, object.ReceiveVoid()),
              REGDB_E_CLASSNOTREG);
    auto outer = create(CLSID_Widget);
    EXPECT_EQ(CoCreateInstance(CLSID_Widget, outer.Get(), CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid()),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_Widget, nullptr, CLSCTX_INPROC_SERVER, comtest::DIID_WidgetEvents, object.ReceiveVoid()),
              E_NOINTERFACE);

    // The library serves its own classes only.
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(CoGetClassObject(missing, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.ReceiveVoid()),
              CO_E_DLLNOTFOUND);
    ASSERT_EQ(com::SetClassesRootValue(com::ClassKey(plain) + "\\InprocServer32", {}, kServer.string()), S_OK);
    EXPECT_EQ(CoGetClassObject(plain, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.ReceiveVoid()),
              CLASS_E_CLASSNOTAVAILABLE);

    // ProgIDs that name no class id.
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID("", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID("Bad\\Name", &clsid), CO_E_CLASSSTRING);
    ASSERT_EQ(com::SetClassesRootValue("ComTest.Broken\\CLSID", {}, "{not a class id}"), S_OK);
    EXPECT_EQ(CLSIDFromProgID("ComTest.Broken", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, GUID_NULL);
}

TEST(Loader, ALibraryNotHandedTheStoreUsesTheDesktopDefault)
{
    Stores stores;
    tv::testing::TempRoot copies;
    // A second copy of the library, loaded behind the loader's back.
    const auto copy = copies.Path() / "libcomtestcopy.so";
    std::filesystem::copy_file(kServer, copy);
    void* handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const auto registerServer = reinterpret_cast<DllRegisterServerFunc>(dlsym(handle, com::kDllRegisterServer));
    ASSERT_NE(registerServer, nullptr);
    EXPECT_EQ(registerServer(), S_OK);
    dlclose(handle);

    EXPECT_NE(tv::testing::ReadRaw(stores.DesktopRegistry()).find(copy.string()), std::string::npos);
    EXPECT_FALSE(com::ClassesRootValue(com::ClassKey(CLSID_Widget)));
}

TEST(Registration, AProgIdTakenOverByAnotherClassIsLeftToIt)
{
    tv::testing::TempRoot root;
    const CLSID first = com::GuidLiteral("{3F1A5C2B-8B4D-4E6A-9C71-5D2E8F04B3A1}");
    const CLSID second = com::GuidLiteral("{3F1A5C2C-8B4D-4E6A-9C71-5D2E8F04B3A1}");
    ASSERT_EQ(com::RegisterClass({first, "ComTest.Shared", "First", "/lib/first.so"}), S_OK);
    ASSERT_EQ(com::RegisterClass({second, "ComTest.Shared", "Second", "/lib/second.so"}), S_OK);
    EXPECT_EQ(com::UnregisterClass(first, "ComTest.Shared"), S_OK);
    EXPECT_FALSE(com::ClassesRootValue(com::ClassKey(first)));
    EXPECT_EQ(com::ClassesRootValue("ComTest.Shared\\CLSID"), com::GuidText(second));
    EXPECT_EQ(com::ClassesRootValue("ComTest.Shared"), "Second");

    EXPECT_EQ(com::RegisterClass({first, "Bad\\ProgId", "First", "/lib/first.so"}), E_INVALIDARG);
    EXPECT_EQ(com::RegisterClass({first, "ComTest.First", "First", {}}), E_INVALIDARG);
    EXPECT_FALSE(com::ClassesRootValue(com::ClassKey(first)));
}

} // namespace
