// The buttons on the program's forms are the button library's own: made by
// class id through the registry that first run fills, loaded from the forms'
// design data, clicked and typed into as a user does, and released again
// when their forms go. A missing design file leaves a default button; a
// class that cannot be made stops the form with the runtime's error 339.

#include "program/shell/ShellTestSupport.h"

#include "platform/basic/FileSystem.h"
#include "platform/com/Registration.h"
#include "platform/com/Server.h"
#include "platform/com/Stream.h"
#include "platform/com/TestContainer.h"
#include "program/reports/frmHeadingColor.h"
#include "program/services/Mod_DBConnections.h"
#include "program/shell/frmAbout.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmOptions.h"
#include "program/shell/frmTip.h"
#include "program/stores/frmAddress.h"
#include "program/stores/frmStoreInfo.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <functional>
#include <regex>

namespace {

namespace fs = std::filesystem;

std::string textOf(IDispatch* object, DISPID id)
{
    com::ComVariant value;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!object || FAILED(object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr)) ||
        value.vt != VT_BSTR)
        return "?";
    return com::Utf8FromBstr(value.bstrVal);
}

std::string captionOf(const forms::OleControl& button)
{
    return textOf(button.Object().Get(), DISPID_CAPTION);
}

// The file whose code made the object: its vtable lies in that file.
std::string madeIn(const QObject* object)
{
    Dl_info info{};
    if (!object || !dladdr(*reinterpret_cast<void* const*>(object), &info) || !info.dli_fname)
        return {};
    return fs::path(info.dli_fname).filename().string();
}

HRESULT canUnloadNow()
{
    void* library = dlopen(TV_QUORVEL_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return S_OK; // not loaded at all
    auto entry = reinterpret_cast<DllCanUnloadNowFunc>(dlsym(library, com::kDllCanUnloadNow));
    const HRESULT hr = entry ? entry() : E_FAIL;
    dlclose(library);
    return hr;
}

void pump()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

class FormButtons : public tv::testing::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        tv::Shell().g_DatabaseFileName = Mod_tallyvane::kExampleDatabaseFileName;
        Mod_DBConnections::OpenDatabase();
    }

    static const std::string& serverKey()
    {
        static const std::string key = com::ClassKey(CLSID_Lumvex) + "\\InprocServer32";
        return key;
    }

    // Makes the window the active one, so that it takes the keyboard.
    static void activate(forms::Form& form)
    {
        QWidget* window = form.hWnd();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
};

TEST_F(FormButtons, FirstRunRegistersTheLibraryAndTheAddressDialogsButtonsAreItsWidgets)
{
    ASSERT_EQ(com::UnregisterServer(TV_QUORVEL_LIBRARY), S_OK);
    CLSID clsid{};
    ASSERT_NE(CLSIDFromProgID(FirstRun::kButtonProgId, &clsid), S_OK);

    const FirstRun::Report report = FirstRun::Run();
    EXPECT_EQ(report.registeredLibrary, FirstRun::ButtonLibrary());
    ASSERT_EQ(CLSIDFromProgID(FirstRun::kButtonProgId, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Lumvex);
    EXPECT_EQ(com::ClassesRootValue(serverKey()), fs::canonical(TV_QUORVEL_LIBRARY).string());

    frmAddress& d = frmAddress::Instance();
    EXPECT_EQ(canUnloadNow(), S_FALSE); // its buttons are alive
    struct Expected {
        Lumvex& button;
        const char* caption;
    };
    for (const Expected& e : {Expected{d.cmdOK, "OK"}, Expected{d.cmdCancel, "Cancel"}, Expected{d.cmdHelp, "Help"}}) {
        QWidget* window = e.button.Window();
        ASSERT_TRUE(window) << e.caption;
        EXPECT_EQ(madeIn(window), "libquorvel.so") << e.caption;
        EXPECT_EQ(window->parentWidget(), e.button.Widget());
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->size(), e.button.Widget()->size());
        EXPECT_EQ(captionOf(e.button), e.caption);
    }
    // Placed by the form's layout, in the form's twips.
    EXPECT_DOUBLE_EQ(d.cmdCancel.Width(), 1200);
    EXPECT_DOUBLE_EQ(d.cmdCancel.Top(), 3330);
    d.cmdCancel.Move(600, 3330, 1500, 450);
    EXPECT_EQ(d.cmdCancel.Window()->size(), QSize(100, 30));
    EXPECT_EQ(d.cmdCancel.Widget()->pos(), QPoint(40, 222));
}

TEST_F(FormButtons, TabVisitsTheButtonsInTheFormsOrderAndSpaceClicksTheFocusedOne)
{
    frmAddress& d = frmAddress::Instance();
    activate(d);
    d.cboCountry.SetFocus();
    std::vector<QWidget*> reached;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(reached, (std::vector<QWidget*>{d.cmdOK.Window(), d.cmdCancel.Window(), d.cmdHelp.Window()}));
    EXPECT_LT(d.cmdOK.TabIndex(), d.cmdCancel.TabIndex());
    EXPECT_EQ(d.cmdCancel.TabIndex() + 1, d.cmdHelp.TabIndex());

    // SetFocus goes to the button's own window.
    d.cmdCancel.SetFocus();
    ASSERT_EQ(QApplication::focusWidget(), d.cmdCancel.Window());
    QTest::keyClick(d.cmdCancel.Window(), Qt::Key_Space);
    pump();
    EXPECT_EQ(frmAddress::IfLoaded(), nullptr);
}

TEST_F(FormButtons, ClicksReachTheFormsHandlers)
{
    frmHeadingColor::Instance().Show();
    QTest::mouseClick(frmHeadingColor::Instance().Lumvex2.Window(), Qt::LeftButton);
    EXPECT_EQ(frmHeadingColor::IfLoaded(), nullptr);

    frmAbout::Instance().Show();
    QTest::mouseClick(frmAbout::Instance().cmdOK.Window(), Qt::LeftButton);
    EXPECT_EQ(frmAbout::IfLoaded(), nullptr);

    // A disabled button clicks nothing and says so in its look.
    frmTip& tip = frmTip::Instance();
    tip.Show();
    tip.cmdOK.SetEnabled(false);
    EXPECT_FALSE(tip.cmdOK.Enabled());
    EXPECT_FALSE(tip.cmdOK.Window()->isEnabled());
    QTest::mouseClick(tip.cmdOK.Window(), Qt::LeftButton);
    EXPECT_EQ(frmTip::IfLoaded(), &tip);
    tip.cmdOK.SetEnabled(true);
    QTest::mouseClick(tip.cmdOK.Window(), Qt::LeftButton);
    EXPECT_EQ(frmTip::IfLoaded(), nullptr);
}

// Opens a form the way the program does and closes it again.
struct Round {
    const char* form;
    std::function<void()> openAndClose;
};

class FormRounds : public FormButtons, public ::testing::WithParamInterface<Round> {};

// A button left alive by one round stays alive; ten rounds also show one
// that only a later opening would leave.
TEST_P(FormRounds, TenOpenAndCloseRoundsLeaveNoButtonAlive)
{
    for (int i = 0; i < 10; ++i) {
        GetParam().openAndClose();
        forms::detail::DeletePendingNow();
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
}

template <class F>
std::function<void()> showAndUnload()
{
    return [] {
        F& form = F::Instance();
        form.Show();
        ASSERT_TRUE(form.Unload());
    };
}

INSTANTIATE_TEST_SUITE_P(EachForm, FormRounds,
                         ::testing::Values(Round{"frmAddress", showAndUnload<frmAddress>()},
                                           Round{"frmTip", showAndUnload<frmTip>()},
                                           Round{"frmStoreInfo", showAndUnload<frmStoreInfo>()},
                                           Round{"frmAbout", showAndUnload<frmAbout>()},
                                           Round{"frmOptions",
                                                 [] {
                                                     frmOptions& form = frmOptions::Instance();
                                                     form.Show();
                                                     // Both pages with buttons, so both are activated.
                                                     form.SmartTabStrip.Choose("EMAIL");
                                                     form.SmartTabStrip.Choose("MISC");
                                                     ASSERT_TRUE(form.Unload());
                                                 }},
                                           Round{"frmHeadingColor", showAndUnload<frmHeadingColor>()}),
                         [](const auto& info) { return std::string(info.param.form); });

// The lines of the designs file: form, control and caption.
struct DesignLine {
    std::string form, control, caption;
};

std::vector<DesignLine> designLines()
{
    std::ifstream in(fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "buttons" /
                     "designs.txt");
    std::vector<DesignLine> lines;
    const std::regex line(R"(^(\S+)\s+(\S+)\s+\S+.*Caption="([^"]*)\")");
    std::smatch m;
    for (std::string text; std::getline(in, text);)
        if (!text.empty() && text[0] != '#' && std::regex_search(text, m, line))
            lines.push_back({m[1], m[2], m[3]});
    return lines;
}

TEST_F(FormButtons, EachDesignStreamLoadsIntoAButtonWithItsCaptionAndFont)
{
    const std::vector<DesignLine> lines = designLines();
    ASSERT_EQ(lines.size(), 11u);
    com::TestContainer box;
    for (const DesignLine& l : lines) {
        const fs::path file = fs::path(TV_FORMS_DIR) / (l.form + "." + l.control + ".stm");
        com::ComPtr<IStream> stream;
        ASSERT_EQ(com::CreateStreamOnFile(file, STGM_READ, stream.Receive()), S_OK) << file;
        com::ControlSite* site = box.Create(CLSID_Lumvex);
        ASSERT_TRUE(site);
        ASSERT_EQ(site->Load(stream.Get()), S_OK) << file;
        auto object = site->ControlAs<IDispatch>();
        EXPECT_EQ(textOf(object.Get(), DISPID_CAPTION), l.caption) << file;
        // The caption font, through the font object the button hands out.
        std::u16string name = u"FontTextCaption";
        LPOLESTR names[] = {name.data()};
        DISPID id = 0;
        ASSERT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        com::ComVariant font;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        ASSERT_EQ(object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &font, nullptr, nullptr), S_OK);
        ASSERT_EQ(font.vt, VT_DISPATCH);
        EXPECT_EQ(textOf(font.pdispVal, DISPID_FONT_NAME), "MS Sans Serif") << file;
    }
    box.CloseAll();
}

TEST_F(FormButtons, WithoutItsDesignFileAButtonHasItsDefaultsAndStillWorks)
{
    const fs::path folder = root.Path() / "forms";
    fs::copy(TV_FORMS_DIR, folder);
    fs::remove(folder / "frmAbout.cmdOK.stm");
    vb::fso::WriteAllBytesAtomic(folder / "frmTip.cmdOK.stm", "not a stream");
    forms::SetDesignFolder(folder);

    ::testing::internal::CaptureStderr();
    frmAbout& about = frmAbout::Instance();
    about.Show();
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::regex line("frmAbout\\.cmdOK: no usable design data in .*frmAbout\\.cmdOK\\.stm.*\n");
    EXPECT_EQ(std::distance(std::sregex_iterator(said.begin(), said.end(), line), std::sregex_iterator()), 1) << said;
    EXPECT_EQ(captionOf(about.cmdOK), "");
    ASSERT_TRUE(about.cmdOK.Window());
    QTest::mouseClick(about.cmdOK.Window(), Qt::LeftButton);
    EXPECT_EQ(frmAbout::IfLoaded(), nullptr);

    // An unreadable one is the same; the form's other button keeps its design.
    ::testing::internal::CaptureStderr();
    frmTip& tip = frmTip::Instance();
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("frmTip.cmdOK"), std::string::npos) << told;
    EXPECT_EQ(captionOf(tip.cmdOK), "");
    EXPECT_EQ(captionOf(tip.cmdNextTip), "&Next Tip");
}

TEST_F(FormButtons, AClassThatCannotBeMadeStopsTheFormWithError339NamingTheLibrary)
{
    // A registration whose file is gone is repaired by the next start.
    ASSERT_EQ(com::SetClassesRootValue(serverKey(), {}, (root.Path() / "gone" / "libquorvel.so").string()), S_OK);
    EXPECT_EQ(FirstRun::Run().registeredLibrary, FirstRun::ButtonLibrary());
    EXPECT_NO_THROW(frmAbout::Instance());
    ASSERT_TRUE(frmAbout::Instance().Unload());
    forms::detail::DeletePendingNow();

    // One whose file is no library is not.
    const fs::path broken = root.Path() / "libquorvel.so";
    vb::fso::WriteAllBytesAtomic(broken, "not a library");
    ASSERT_EQ(com::SetClassesRootValue(serverKey(), {}, broken.string()), S_OK);
    EXPECT_TRUE(FirstRun::Run().registeredLibrary.empty());
    try {
        frmAbout::Instance();
        FAIL() << "the form opened";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 339);
        EXPECT_NE(e.Description().find("'libquorvel.so'"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(frmAbout::IfLoaded(), nullptr);
}

// Every button in its form as it opens, focused, and held down: held down
// it looks different.
TEST_F(FormButtons, Pictures)
{
    struct Shot {
        forms::Form& form;
        Lumvex& button;
        const char* name;
    };
    frmAddress& address = frmAddress::Instance();
    frmTip& tip = frmTip::Instance();
    tip.Show();
    frmStoreInfo& store = frmStoreInfo::Instance();
    store.Show();
    frmAbout& about = frmAbout::Instance();
    about.Show();
    frmOptions& options = frmOptions::Instance();
    options.Show();
    frmHeadingColor& colours = frmHeadingColor::Instance();
    colours.Show();
    const Shot shots[] = {
        {address, address.cmdOK, "frmAddress-cmdOK"},
        {address, address.cmdCancel, "frmAddress-cmdCancel"},
        {address, address.cmdHelp, "frmAddress-cmdHelp"},
        {tip, tip.cmdNextTip, "frmTip-cmdNextTip"},
        {tip, tip.cmdOK, "frmTip-cmdOK"},
        {store, store.cmAddress(0), "frmStoreInfo-cmAddress0"},
        {store, store.cmAddress(1), "frmStoreInfo-cmAddress1"},
        {about, about.cmdOK, "frmAbout-cmdOK"},
        {options, options.Lumvex1, "frmOptions-Lumvex1"},
        {options, options.CmdRestoreDefault, "frmOptions-CmdRestoreDefault"},
        {colours, colours.Lumvex2, "frmHeadingColor-Lumvex2"},
    };
    for (const Shot& s : shots) {
        if (&s.button == &store.cmAddress(1))
            store.SSTab1.SetTab(1);
        if (&s.button == &options.Lumvex1)
            options.SmartTabStrip.Choose("EMAIL");
        if (&s.button == &options.CmdRestoreDefault)
            options.SmartTabStrip.Choose("MISC");
        const QString name = QStringLiteral("buttons-") + QString::fromLatin1(s.name);
        activate(s.form);
        QWidget* window = s.button.Window();
        ASSERT_TRUE(window) << s.name;
        // The button's own part of the window's picture.
        const auto button = [&](const QImage& picture) {
            return picture.copy(QRect(window->mapTo(s.form.hWnd(), QPoint(0, 0)), window->size()));
        };
        const QImage normal = button(Grab(s.form.hWnd(), name + QStringLiteral("-normal")));
        s.button.SetFocus();
        pump();
        EXPECT_EQ(QApplication::focusWidget(), window) << s.name;
        const QImage focused = button(Grab(s.form.hWnd(), name + QStringLiteral("-focused")));
        QTest::mousePress(window, Qt::LeftButton);
        pump();
        const QImage pressed = button(Grab(s.form.hWnd(), name + QStringLiteral("-pressed")));
        // (A form may give the button the focus as it opens.)
        EXPECT_NE(normal, pressed) << s.name;
        EXPECT_NE(focused, pressed) << s.name;
        // Let go outside: no click.
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(-20, -20));
        pump();
    }
    EXPECT_TRUE(frmAddress::IfLoaded() && frmTip::IfLoaded() && frmAbout::IfLoaded() && frmOptions::IfLoaded() &&
                frmHeadingColor::IfLoaded());
}

} // namespace
