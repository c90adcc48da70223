// libquorvel.so as a container meets it: registered with quorvel-register
// into a registry store of the test's own, then loaded with dlopen and its
// button created by ProgID.

#include "buttonlib/control/ControlIds.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/com/Loader.h"
#include "platform/com/Registration.h"
#include "platform/com/Server.h"
#include "platform/com/TestContainer.h"
#include "platform/com/testserver/ComTesting.h"
#include "platform/com/UiServices.h"
#include "platform/registry/Registry.h"
#include "platform/testing/TempRoot.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

namespace fs = std::filesystem;

const fs::path kLibrary = TV_QUORVEL_LIBRARY;

// A registry store in a desktop configuration folder of the test's own,
// which quorvel-register finds through XDG_CONFIG_HOME.
struct Store {
    Store() { vb::AppPaths::SetConfigFolder(root.Path() / "xdg" / "tallyvane"); }

    struct Result {
        int exitCode;
        std::string output;
    };
    Result Run(QStringList arguments) const
    {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString((root.Path() / "xdg").string()));
        tool.setProcessEnvironment(env);
        tool.start(TV_QUORVEL_REGISTER, arguments);
        if (!tool.waitForFinished(60000))
            ADD_FAILURE() << "quorvel-register did not finish";
        return {tool.exitCode(), tool.readAllStandardOutput().toStdString()};
    }

    tv::testing::TempRoot root;
};

std::optional<std::string> value(const std::string& key, const std::string& name = {})
{
    return com::ClassesRootValue(key, name);
}

bool keyExists(const std::string& key)
{
    winreg::HKEY h = 0;
    if (winreg::RegOpenKeyEx(winreg::HKEY_CLASSES_ROOT, key, 0, winreg::KEY_READ, &h) != winreg::ERROR_SUCCESS)
        return false;
    winreg::RegCloseKey(h);
    return true;
}

TEST(LumvexRegistration, QuorvelRegisterWritesEveryKeyAndUnregisteringKeepsTheCategories)
{
    Store store;
    const QString library = QString::fromStdString(kLibrary.string());
    const Store::Result registered = store.Run({library});
    EXPECT_EQ(registered.exitCode, 0);
    EXPECT_NE(registered.output.find("0x00000000"), std::string::npos) << registered.output;

    const std::string path = fs::canonical(kLibrary).string();
    const std::string cls = com::ClassKey(CLSID_LumvexCtrl);
    const std::string clsid = com::GuidText(CLSID_LumvexCtrl);
    const std::string libid = com::GuidText(LIBID_LUMVEXLib4);
    const std::string scripting = com::GuidText(CATID_SafeForScripting);
    const std::string initializing = com::GuidText(CATID_SafeForInitializing);
    const std::pair<std::string, std::string> values[] = {
        {cls, "Quorvel Button"},
        {cls + "\\InprocServer32", path},
        {cls + "\\ProgID", "LUMVEX.LumvexCtrl.4"},
        {cls + "\\Control", ""},
        {cls + "\\MiscStatus", "0"},
        {cls + "\\MiscStatus\\1", "131473"},
        {cls + "\\TypeLib", libid},
        {cls + "\\Version", "6.0"},
        {cls + "\\ToolboxBitmap32", path + ", 1"},
        {"LUMVEX.LumvexCtrl.4", "Quorvel Button"},
        {"LUMVEX.LumvexCtrl.4\\CLSID", clsid},
        {"TypeLib\\" + libid + "\\6.0", "LUMVEXLib4"},
        {"TypeLib\\" + libid + "\\6.0\\FLAGS", "0"},
        {"TypeLib\\" + libid + "\\6.0\\HELPDIR", fs::path(path).parent_path().string()},
        {"TypeLib\\" + libid + "\\6.0\\0\\linux", path},
    };
    for (const auto& [key, text] : values)
        EXPECT_EQ(value(key), text) << key;
    EXPECT_EQ(value(cls + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(value("Component Categories\\" + scripting, "409"), "Controls that are safely scriptable");
    EXPECT_EQ(value("Component Categories\\" + initializing, "409"),
              "Controls safely initializable from persistent data");
    EXPECT_TRUE(keyExists(cls + "\\Implemented Categories\\" + scripting));
    EXPECT_TRUE(keyExists(cls + "\\Implemented Categories\\" + initializing));

    const Store::Result removed = store.Run({"-u", library});
    EXPECT_EQ(removed.exitCode, 0) << removed.output;
    EXPECT_FALSE(keyExists(cls));
    EXPECT_FALSE(keyExists("LUMVEX.LumvexCtrl.4"));
    EXPECT_FALSE(keyExists("TypeLib\\" + libid));
    EXPECT_EQ(value("Component Categories\\" + scripting, "409"), "Controls that are safely scriptable");
    EXPECT_EQ(value("Component Categories\\" + initializing, "409"),
              "Controls safely initializable from persistent data");
}

TEST(LumvexRegistration, AFailingTypeLibraryStepAndBadUseAreReported)
{
    Store store;
    // A damaged store refuses every write: the type library, registered
    // first, fails, and the file is left as it was.
    const std::string damaged = "TALLYVANE-REGISTRY 1\n[HKEY_CLASSES_ROOT\\CLSID]\n\"Cut";
    fs::create_directories(vb::AppPaths::RegistryFile().parent_path());
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), damaged);
    const Store::Result failed = store.Run({QString::fromStdString(kLibrary.string())});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("0x80040200"), std::string::npos) << failed.output;
    EXPECT_EQ(vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile()), damaged);

    EXPECT_EQ(store.Run({}).exitCode, 2);
    const Store::Result missing = store.Run({QString::fromStdString((store.root.Path() / "none.so").string())});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("0x800401F8"), std::string::npos) << missing.output;
}

TEST(LumvexRegistration, TheButtonIsCreatedByProgIdThroughTheLoaderAndLetsTheLibraryGo)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(com::RegisterServer(kLibrary), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kLumvexProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_LumvexCtrl);

    auto recorder = std::make_shared<com::RecordingUiServices>();
    com::SetUiServices(recorder);
    {
        com::TestContainer box;
        com::ControlSite* site = box.Create(clsid);
        ASSERT_TRUE(site);
        ASSERT_EQ(site->InitNew(), S_OK);
        ASSERT_EQ(site->SetRect(RECT{10, 20, 106, 68}), S_OK);
        box.Host().show();
        box.Host().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box.Host()));
        ASSERT_EQ(site->Activate(), S_OK);
        ASSERT_TRUE(site->ControlWindow());
        EXPECT_EQ(site->ControlWindow()->parentWidget(), &box.Host());

        // The library shows its about box through the test's recorder.
        auto dispatch = site->ControlAs<IDispatch>();
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        EXPECT_EQ(dispatch->Invoke(DISPID_ABOUTBOX, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                                   nullptr, nullptr),
                  S_OK);
        dispatch.Reset();
        EXPECT_EQ(recorder->aboutBoxes.size(), 1u);
        EXPECT_EQ(comtest::CanUnloadNow(kLibrary), S_FALSE);

        ASSERT_EQ(site->Deactivate(), S_OK);
        EXPECT_FALSE(site->ControlWindow());
        box.CloseAll();
    }
    com::SetUiServices(nullptr);
    EXPECT_EQ(comtest::CanUnloadNow(kLibrary), S_OK);
}

} // namespace
