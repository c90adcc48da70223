// A control module's factories: created by class through the entry point,
// registered with the keys of a control class, initialised once.

#include "platform/com/HostServices.h"
#include "platform/com/Registration.h"
#include "platform/mfc/COleControlModule.h"
#include "platform/mfc/COleObjectFactory.h"
#include "platform/mfc/OleControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

using mfctest::CLSID_SampleControl;

class CountingModule : public COleControlModule {
public:
    using COleControlModule::COleControlModule;
    BOOL InitInstance() override
    {
        ++initialised;
        return result;
    }
    int initialised = 0;
    BOOL result = TRUE;
};

TEST(COleObjectFactoryTest, EntryPointCreatesByClassAfterInitialisingTheModule)
{
    CountingModule module("Sample");
    COleObjectFactory factory(CLSID_SampleControl, &com::CreateObject<mfctest::SampleControl>, "Sample.Control.1",
                              "Sample control");
    com::ComPtr<IClassFactory> classFactory;
    ASSERT_EQ(AfxDllGetClassObject(CLSID_SampleControl, IID_IClassFactory, classFactory.ReceiveVoid()), S_OK);
    EXPECT_EQ(AfxDllCanUnloadNow(), S_FALSE);
    com::ComPtr<IOleObject> control;
    ASSERT_EQ(classFactory->CreateInstance(nullptr, IOleObject::kIid, control.ReceiveVoid()), S_OK);
    CLSID clsid{};
    control->GetUserClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_SampleControl);
    EXPECT_EQ(AfxDllGetClassObject(com::GuidLiteral("{00000000-0000-0000-0000-00000000BEEF}"), IID_IClassFactory,
                                   classFactory.ReceiveVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
    // The host's hand-over class is served beside the module's own.
    com::ComPtr<IUnknown> sink;
    EXPECT_EQ(AfxDllGetClassObject(com::CLSID_HostServicesSink, com::IHostServicesSink::kIid, sink.ReceiveVoid()), S_OK);
    EXPECT_EQ(module.initialised, 1);

    // A module that fails to start serves nothing.
    CountingModule failing("Failing");
    failing.result = FALSE;
    EXPECT_EQ(AfxDllGetClassObject(CLSID_SampleControl, IID_IClassFactory, classFactory.ReceiveVoid()), E_FAIL);
    EXPECT_EQ(AfxDllGetClassObject(CLSID_SampleControl, IID_IClassFactory, classFactory.ReceiveVoid()), E_FAIL);
    EXPECT_EQ(failing.initialised, 1);
}

TEST(COleObjectFactoryTest, RegistersAControlClass)
{
    COleObjectFactory factory(CLSID_SampleControl, &com::CreateObject<mfctest::SampleControl>, "Sample.Control.1",
                              "Sample control");
    ASSERT_TRUE(COleObjectFactory::UpdateRegistryAll(TRUE));
    const std::string key = com::ClassKey(CLSID_SampleControl);
    EXPECT_EQ(com::ClassesRootValue(key), "Sample control");
    EXPECT_EQ(com::ClassesRootValue(key + "\\ProgID"), "Sample.Control.1");
    EXPECT_FALSE(com::ClassesRootValue(key + "\\Control"));

    const GUID tlid = com::GuidLiteral("{7A0C55E0-3B1D-4E0B-9F4A-52D6C1A0B001}");
    ASSERT_TRUE(AfxOleRegisterControlClass(CLSID_SampleControl, "Sample.Control.1", "Sample control", 0x20191, tlid,
                                           6, 0));
    EXPECT_EQ(com::ClassesRootValue(key + "\\Control"), "");
    EXPECT_EQ(com::ClassesRootValue(key + "\\MiscStatus\\1"), "131473");
    EXPECT_EQ(com::ClassesRootValue(key + "\\TypeLib"), com::GuidText(tlid));
    EXPECT_EQ(com::ClassesRootValue(key + "\\Version"), "6.0");
    EXPECT_EQ(com::ClassesRootValue("Sample.Control.1\\CLSID"), com::GuidText(CLSID_SampleControl));

    ASSERT_TRUE(AfxOleUnregisterClass(CLSID_SampleControl, "Sample.Control.1"));
    EXPECT_FALSE(com::ClassesRootValue(key));
    EXPECT_FALSE(com::ClassesRootValue("Sample.Control.1\\CLSID"));
}

} // namespace
