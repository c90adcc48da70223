// The form lifecycle the program relies on: created on first use, unloaded
// and created afresh, the last unload ending the event loop, and handlers
// that outlive their form inside nested loops.

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/forms/Forms.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QTest>
#include <QTimer>


#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::string> g_log;

class frmFirst : public forms::FormOf<frmFirst> {
public:
    frmFirst() : FormOf("frmFirst")
    {
        cmdGo.Click = [this] { cmdGo_Click(); };
    }

    forms::CommandButton cmdGo{*this, "cmdGo"};
    forms::TextBox txtName{*this, "txtName"};
    int counter = 0;
    int cancelQuery = 0;
    int cancelUnload = 0;
    std::function<void()> onClick;
    std::function<void()> onUnload;

protected:
    void Form_Load() override
    {
        g_log.push_back("load");
        // The form counts as loaded while it loads: no second instance.
        EXPECT_EQ(&Instance(), this);
        EXPECT_EQ(IfLoaded(), this);
    }
    void Form_QueryUnload(int& Cancel, int UnloadMode) override
    {
        g_log.push_back("query " + std::to_string(UnloadMode));
        Cancel = cancelQuery;
    }
    void Form_Unload(int& Cancel) override
    {
        g_log.push_back("unload");
        Cancel = cancelUnload;
        if (onUnload)
            onUnload();
    }

private:
    void cmdGo_Click()
    {
        if (onClick)
            onClick();
    }
};

class frmSecond : public forms::FormOf<frmSecond> {
public:
    frmSecond() : FormOf("frmSecond") {}
    int activations = 0;

protected:
    void Form_Activate() override { ++activations; }
};

// Restores its size as it loads and stores it as it unloads, as the
// program's windows do.
class frmSized : public forms::FormOf<frmSized> {
public:
    frmSized() : FormOf("frmSized") { SetCaption("Sized"); }

protected:
    void Form_Load() override { RestoreSize(4005, 6000); }
    void Form_Unload(int&) override { SaveSize(); }
};

// Lays out by its outer height, as the program's resizable windows do.
class frmLaidOut : public forms::FormOf<frmLaidOut> {
public:
    frmLaidOut() : FormOf("frmLaidOut") { SetCaption("Laid out"); }
    forms::Label lblBottom{*this, "lblBottom"};
    std::vector<double> seenHeights;

protected:
    void Form_Resize() override
    {
        seenHeights.push_back(Height());
        lblBottom.Move(0, std::max(0.0, Height() - 1000), 1500, 255);
    }
};

class FormLifecycle : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    void TearDown() override
    {
        forms::ResetForms();
        vb::SetUnhandledErrorHandler(nullptr);
    }
};

TEST_F(FormLifecycle, CreatedOnFirstUseAndFreshAfterUnload)
{
    EXPECT_EQ(frmFirst::IfLoaded(), nullptr);
    EXPECT_EQ(forms::Forms().Count(), 0);

    frmFirst& first = frmFirst::Instance();
    EXPECT_EQ(&frmFirst::Instance(), &first);
    EXPECT_EQ(g_log, (std::vector<std::string>{"load"}));
    EXPECT_EQ(forms::Forms().Count(), 1);
    EXPECT_EQ(forms::Forms()(0).Name(), "frmFirst");
    first.counter = 7;
    first.txtName.SetText("kept?");
    forms::FormRef<frmFirst> old(&first);

    EXPECT_TRUE(first.Unload());
    EXPECT_EQ(g_log, (std::vector<std::string>{"load", "query 1", "unload"}));
    EXPECT_EQ(frmFirst::IfLoaded(), nullptr);
    EXPECT_EQ(forms::Forms().Count(), 0);

    frmFirst& again = frmFirst::Instance();
    EXPECT_NE(&again, old.get());
    EXPECT_EQ(again.counter, 0);
    EXPECT_EQ(again.txtName.Text(), "");

    // The old object goes once the event loop has its turn.
    QCoreApplication::processEvents();
    EXPECT_FALSE(old);
}

TEST_F(FormLifecycle, QueryUnloadOrUnloadCancel)
{
    frmFirst& f = frmFirst::Instance();
    f.cancelQuery = 1;
    EXPECT_FALSE(f.Unload());
    EXPECT_TRUE(f.Loaded());
    f.cancelQuery = 0;
    f.cancelUnload = 1;
    EXPECT_FALSE(f.Unload());
    EXPECT_EQ(frmFirst::IfLoaded(), &f);
    EXPECT_EQ(forms::Forms().Count(), 1);

    // The close box asks with UnloadMode 0 and stays open when cancelled.
    f.Show();
    f.hWnd()->close();
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(g_log.back(), "unload");
    EXPECT_NE(std::find(g_log.begin(), g_log.end(), "query 0"), g_log.end());
    f.cancelUnload = 0;
    f.hWnd()->close();
    EXPECT_EQ(frmFirst::IfLoaded(), nullptr);
}

TEST_F(FormLifecycle, UnloadInsideUnloadIsSkipped)
{
    frmFirst& f = frmFirst::Instance();
    frmSecond::Instance();
    // As closing all windows from a window's own Unload does.
    f.onUnload = [] {
        for (int i = forms::Forms().Count() - 1; i >= 0; --i)
            forms::Forms()(i).Unload();
    };
    EXPECT_TRUE(f.Unload());
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "unload"), 1);
    EXPECT_EQ(forms::Forms().Count(), 0);
}

TEST_F(FormLifecycle, FormsCollectionWalksByIndex)
{
    frmFirst::Instance();
    frmSecond::Instance();
    ASSERT_EQ(forms::Forms().Count(), 2);
    EXPECT_EQ(forms::Forms()(1).Name(), "frmSecond");
    try {
        forms::Forms()(2);
        FAIL();
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::kErrSubscript);
    }
}

TEST_F(FormLifecycle, LastUnloadEndsTheEventLoop)
{
    frmFirst::Instance().Show();
    frmSecond::Instance().Show();
    // Run in the order they were queued, not after a time.
    QTimer::singleShot(0, [] { frmSecond::Instance().Unload(); });
    QTimer::singleShot(0, [] {
        EXPECT_EQ(forms::Forms().Count(), 1);
        frmFirst::Instance().Unload();
    });
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(10000);
    EXPECT_EQ(forms::Run(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(forms::Forms().Count(), 0);
}

TEST_F(FormLifecycle, RunWithoutFormsReturnsAtOnce)
{
    EXPECT_EQ(forms::Run(), 0);
}

TEST_F(FormLifecycle, HandlerOutlivesItsFormInANestedLoop)
{
    frmFirst& f = frmFirst::Instance();
    f.Show();
    forms::FormRef<frmFirst> ref(&f);
    bool ranToEnd = false;
    f.onClick = [&] {
        frmFirst* self = ref.get();
        // A timer unloads this very form while the handler waits in a modal box.
        QTimer::singleShot(0, [] {
            frmFirst::IfLoaded()->Unload();
            frmSecond::Instance().Hide();
        });
        frmSecond::Instance().Show(forms::vbModal);
        ASSERT_TRUE(ref) << "deleted while its handler ran";
        EXPECT_FALSE(self->Loaded());
        // The handler goes on with its controls, as the original code would.
        self->txtName.SetText("after");
        self->counter = 3;
        ranToEnd = true;
    };
    QTest::mouseClick(f.cmdGo.Widget(), Qt::LeftButton);
    EXPECT_TRUE(ranToEnd);
    EXPECT_EQ(frmFirst::IfLoaded(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ref);
}

TEST_F(FormLifecycle, ErrorsFromTheWindowSystemReachTheTopLevelHandler)
{
    std::vector<int> reported;
    vb::SetUnhandledErrorHandler([&](const vb::RuntimeError& e) { reported.push_back(e.Number()); });
    frmFirst& f = frmFirst::Instance();
    f.Show();
    f.onClick = [] { vb::Raise(vb::kErrTypeMismatch); };
    QTest::mouseClick(f.cmdGo.Widget(), Qt::LeftButton);
    EXPECT_EQ(reported, std::vector<int>{vb::kErrTypeMismatch});

    // A change made by the program reports to the program.
    f.txtName.Change = [] { vb::Raise(vb::kErrOverflow); };
    EXPECT_THROW(f.txtName.SetText("x"), vb::RuntimeError);
    EXPECT_EQ(reported.size(), 1u);
    // Typing is the window system's: the handler's error goes to the top.
    QTest::keyClick(f.txtName.Widget(), Qt::Key_A);
    EXPECT_EQ(reported, (std::vector<int>{vb::kErrTypeMismatch, vb::kErrOverflow}));
}

TEST_F(FormLifecycle, TopLevelHandlerShowsTheRuntimeMessage)
{
    auto boxes = std::make_shared<forms::ScriptedMsgBox>();
    forms::SetMessageBoxPort(boxes);
    forms::InstallErrorHandler();
    vb::ReportUnhandledError(vb::RuntimeError(vb::kErrTypeMismatch));
    forms::SetMessageBoxPort(nullptr);
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].prompt, "Run-time error '13':\r\n\r\nType mismatch");
    EXPECT_EQ(boxes->shown[0].title, vb::App::Title());
}

TEST_F(FormLifecycle, ModalShowReturnsOnHideAndShowAgainBringsToFront)
{
    frmSecond& s = frmSecond::Instance();
    QTimer::singleShot(0, [&] { s.Hide(); });
    s.Show(forms::vbModal);
    EXPECT_FALSE(s.Visible());
    EXPECT_TRUE(s.Loaded());
    EXPECT_EQ(s.activations, 1);

    s.Show();
    s.Show();
    EXPECT_TRUE(s.Visible());
    EXPECT_EQ(forms::Forms().Count(), 1);
    // A visible modeless form cannot become modal.
    EXPECT_THROW(s.Show(forms::vbModal), vb::RuntimeError);

    // Unloading ends a modal show as well.
    s.Hide();
    QTimer::singleShot(0, [&] { s.Unload(); });
    s.Show(forms::vbModal);
    EXPECT_EQ(frmSecond::IfLoaded(), nullptr);
}

TEST_F(FormLifecycle, SizesInTwipsAndSavedUnderTheFormsName)
{
    frmFirst& f = frmFirst::Instance();
    f.Move(150, 300, 4605, 2190);
    EXPECT_EQ(f.Left(), 150);
    EXPECT_EQ(f.Width(), 4605);
    EXPECT_EQ(f.Height(), 2190);
    EXPECT_EQ(f.ScaleWidth(), 4605);
    f.SetScaleMode(forms::vbPixels);
    EXPECT_EQ(f.ScaleWidth(), 307);
    EXPECT_THROW(f.SetWidth(-15), vb::RuntimeError);

    f.SaveSize();
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmFirst", "Height"), "2190");
    vb::SaveSetting("Tallyvane", "frmFirst", "Width", "6000");
    vb::SaveSetting("Tallyvane", "frmFirst", "Height", "tall");
    f.RestoreSize(3000, 9000);
    EXPECT_EQ(f.Width(), 6000);
    EXPECT_EQ(f.Height(), 3000);

    // A damaged size is held to the desktop: the window still shows.
    vb::SaveSetting("Tallyvane", "frmFirst", "Width", "1E+300");
    vb::SaveSetting("Tallyvane", "frmFirst", "Height", "900000000");
    f.RestoreSize(3000, 9000);
    const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
    EXPECT_EQ(f.Width(), desktop.width() * 15);
    EXPECT_EQ(f.Height(), desktop.height() * 15);
    f.Show();
    EXPECT_EQ(f.hWnd()->grab().width(), desktop.width());
    vb::DeleteSetting("Tallyvane", "frmFirst");
}

TEST_F(FormLifecycle, AStoredSizeComesBackTheSameAtEveryReopen)
{
    // The window system adds its frame once the window is on show; the size
    // restored before that and the size stored after it mean the same.
    vb::SaveSetting("Tallyvane", "frmSized", "Width", "6000");
    vb::SaveSetting("Tallyvane", "frmSized", "Height", "4005");
    std::vector<std::string> stored;
    std::vector<QSize> inner;
    for (int round = 0; round < 5; ++round) {
        frmSized& f = frmSized::Instance();
        f.Show();
        QCoreApplication::processEvents();
        inner.push_back(f.hWnd()->size());
        ASSERT_TRUE(f.Unload());
        QCoreApplication::processEvents();
        stored.push_back(vb::GetSetting("Tallyvane", "frmSized", "Width") + "x" +
                         vb::GetSetting("Tallyvane", "frmSized", "Height"));
    }
    EXPECT_EQ(stored, std::vector<std::string>(5, "6000x4005"));
    EXPECT_EQ(inner, std::vector<QSize>(5, QSize(400, 267)));
    vb::DeleteSetting("Tallyvane", "frmSized");
}

} // namespace

namespace {

// The window system frames a window once it is on show: a size set before
// then is the inner one, and the form lays itself out for the frame, so a
// maximise and a restore give the layout back as it was.
TEST_F(FormLifecycle, ASizeSetBeforeTheFrameIsTheInnerOneAndTheFrameLaysTheFormOut)
{
    frmLaidOut& l = frmLaidOut::Instance();
    l.Move(600, 600, 6000, 4500);
    l.Show();
    QCoreApplication::processEvents();
    ASSERT_NE(l.hWnd()->frameGeometry().size(), l.hWnd()->size()) << "the platform draws no frame";
    EXPECT_EQ(l.hWnd()->size(), QSize(400, 300));
    ASSERT_FALSE(l.seenHeights.empty());
    EXPECT_EQ(l.seenHeights.back(), l.Height());
    // Once framed, a new size is the outer one.
    l.SetHeight(3000);
    EXPECT_EQ(l.hWnd()->frameGeometry().height(), 200);
    const QRect label = l.lblBottom.Widget()->geometry();
    l.hWnd()->showMaximized();
    QCoreApplication::processEvents();
    l.hWnd()->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(l.lblBottom.Widget()->geometry(), label);
}

// A window shown where part of it would be off the screen comes onto it;
// one larger than the screen keeps its size and shows its top left corner.
TEST_F(FormLifecycle, AWindowOnShowLiesWhollyOnTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    frmFirst& f = frmFirst::Instance();
    f.SetStartUpPosition(forms::vbStartUpManual);
    f.Move((area.right() - 100) * 15.0, (area.bottom() - 50) * 15.0, 6000, 4500);
    f.Show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(area.contains(f.hWnd()->frameGeometry())) << "window at " << f.hWnd()->frameGeometry().x() << ","
                                                          << f.hWnd()->frameGeometry().y();
    EXPECT_EQ(f.hWnd()->size(), QSize(400, 300));

    frmSized& big = frmSized::Instance();
    big.Move(-3000, -3000);
    big.hWnd()->resize(area.width() + 200, area.height() + 100);
    big.Show();
    QCoreApplication::processEvents();
    EXPECT_EQ(big.hWnd()->frameGeometry().topLeft(), area.topLeft());
    EXPECT_EQ(big.hWnd()->size(), QSize(area.width() + 200, area.height() + 100));

    // Moved by the program once on show, it stays where it was put.
    f.Move(-1500, 300);
    EXPECT_EQ(f.hWnd()->frameGeometry().x(), -100);
}

TEST_F(FormLifecycle, WindowKindsAndPlaces)
{
    frmSecond& s = frmSecond::Instance();
    s.SetBorderStyle(forms::vbBSNone);
    s.SetShowInTaskbar(false);
    EXPECT_TRUE(s.hWnd()->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(s.hWnd()->windowType(), Qt::Tool);
    s.SetBorderStyle(forms::vbFixedDialog);
    s.SetShowInTaskbar(true);
    EXPECT_EQ(s.hWnd()->windowType(), Qt::Dialog);
    s.Move(0, 0, 3000, 1500);
    EXPECT_EQ(s.hWnd()->minimumSize(), s.hWnd()->maximumSize()) << "a fixed border keeps its size";
    // ... which the program itself may change.
    s.SetHeight(2250);
    EXPECT_EQ(s.Height(), 2250);
    EXPECT_EQ(s.Width(), 3000);
    EXPECT_EQ(s.hWnd()->minimumSize(), s.hWnd()->maximumSize());

    frmFirst& f = frmFirst::Instance();
    f.SetStartUpPosition(forms::vbStartUpScreen);
    f.Move(0, 0, 3000, 1500);
    f.SetCaption("Store Information");
    f.Show();
    EXPECT_EQ(f.Caption(), "Store Information");
    EXPECT_NEAR(f.Left() + f.Width() / 2, vb::Screen::Width() / 2, 30);
}

TEST_F(FormLifecycle, ADialogCentredOnItsOwnerOpensOverTheWindowTheUserIsIn)
{
    frmFirst& owner = frmFirst::Instance();
    owner.Move(600, 900, 6000, 4500);
    owner.Show();
    QApplication::setActiveWindow(owner.hWnd());
    QCoreApplication::processEvents();
    frmSecond& dialog = frmSecond::Instance();
    dialog.SetStartUpPosition(forms::vbStartUpOwner);
    dialog.Move(0, 0, 3000, 1500);
    dialog.Show();
    EXPECT_NEAR(dialog.Left() + dialog.Width() / 2, owner.Left() + owner.Width() / 2, 30);
    EXPECT_NEAR(dialog.Top() + dialog.Height() / 2, owner.Top() + owner.Height() / 2, 30);
}

TEST_F(FormLifecycle, ADialogCentredOnItsOwnerWithNoWindowOpenTakesTheScreen)
{
    frmSecond& dialog = frmSecond::Instance();
    dialog.SetStartUpPosition(forms::vbStartUpOwner);
    dialog.Move(0, 0, 3000, 1500);
    dialog.Show();
    EXPECT_NEAR(dialog.Left() + dialog.Width() / 2, vb::Screen::Width() / 2, 30);
}

TEST_F(FormLifecycle, ActivateOnceAShowAndResizeWhileShown)
{
    frmSecond& s = frmSecond::Instance();
    s.Show();
    s.Show();
    QCoreApplication::processEvents();
    EXPECT_EQ(s.activations, 1);
    s.Hide();
    s.Show();
    EXPECT_EQ(s.activations, 2);
}

TEST_F(FormLifecycle, NewMakesAnotherInstance)
{
    frmSecond& main = frmSecond::Instance();
    forms::FormRef<frmSecond> extra = forms::New<frmSecond>();
    ASSERT_TRUE(extra);
    EXPECT_NE(extra.get(), &main);
    EXPECT_EQ(frmSecond::IfLoaded(), &main);
    EXPECT_EQ(forms::Forms().Count(), 2);
    extra->Unload();
    EXPECT_EQ(forms::Forms().Count(), 1);
    EXPECT_EQ(frmSecond::IfLoaded(), &main);
    QCoreApplication::processEvents();
    EXPECT_FALSE(extra);
}

} // namespace
