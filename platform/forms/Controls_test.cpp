// The intrinsic controls' members and events: values set by the program
// raise the same events as the user's input, keys can be swallowed or
// replaced, control arrays pass their Index, timers tick on injected time.

#include "platform/forms/Forms.h"

#include "platform/basic/App.h"

#include <QCoreApplication>
#include <QMenu>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class frmHost : public forms::FormOf<frmHost> {
public:
    frmHost() : FormOf("frmHost") {}
    forms::TextBox txtOne{*this, "txtOne"};
    forms::TextBox txtNotes{*this, "txtNotes", -1, true};
    forms::CheckBox chkOne{*this, "chkOne"};
    forms::ComboBox cboList{*this, "cboList"};
    forms::ComboBox cboEdit{*this, "cboEdit", -1, forms::vbComboDropdown};
    forms::ListBox lstMulti{*this, "lstMulti", -1, forms::vbMultiSelectSimple};
    forms::ControlArray<forms::OptionButton> optKind{*this, "optKind", {0, 1, 2}};
    forms::ControlArray<forms::Label> lblCell{*this, "lblCell", {0, 1}};
    forms::Timer tmrFast{*this, "tmrFast"};
    forms::Timer tmrSlow{*this, "tmrSlow"};
    forms::PictureBox picCanvas{*this, "picCanvas"};
    forms::Label lblWrap{*this, "lblWrap"};
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &frmHost::Instance();
        form->Show();
    }
    void TearDown() override { forms::ResetForms(); }
    // The picture box as a borderless 20 x 20 pixel canvas of the colour.
    forms::PictureBox& canvas(forms::OLE_COLOR back)
    {
        auto& p = form->picCanvas;
        p.SetBorderStyle(0);
        p.SetScaleMode(forms::vbPixels);
        p.Move(0, 0, 300, 300); // twips
        p.SetBackColor(back);
        return p;
    }
    frmHost* form = nullptr;
    std::vector<std::string> events;
};

TEST_F(Controls, TextBoxChangeFromCodeAndFromTyping)
{
    auto& t = form->txtOne;
    t.Change = [&] { events.push_back("change:" + t.Text()); };
    t.SetText("abc");
    t.SetText("abc"); // the same text changes nothing
    EXPECT_EQ(events, std::vector<std::string>{"change:abc"});
    EXPECT_EQ(t.SelStart(), 0);

    t.SetSelStart(1);
    t.SetSelLength(5);
    EXPECT_EQ(t.SelLength(), 2);
    EXPECT_EQ(t.SelText(), "bc");
    events.clear();
    QTest::keyClicks(t.Widget(), "X");
    EXPECT_EQ(t.Text(), "aX");
    EXPECT_EQ(events, std::vector<std::string>{"change:aX"});

    // Multi-line text keeps CR LF and counts it in SelStart.
    form->txtNotes.SetText("one\r\ntwo");
    EXPECT_EQ(form->txtNotes.Text(), "one\r\ntwo");
    form->txtNotes.SetSelStart(5);
    form->txtNotes.SetSelLength(3);
    EXPECT_EQ(form->txtNotes.SelText(), "two");
}

TEST_F(Controls, KeysCanBeSwallowedOrReplaced)
{
    auto& t = form->txtOne;
    t.KeyDown = [&](int& KeyCode, int& Shift) {
        events.push_back("down " + std::to_string(KeyCode) + " " + std::to_string(Shift));
        if (KeyCode == forms::vbKeyDelete)
            KeyCode = 0;
    };
    t.KeyPress = [&](int& KeyAscii) {
        events.push_back("press " + std::to_string(KeyAscii));
        if (KeyAscii == '1')
            KeyAscii = 0;
        else if (KeyAscii >= 'a' && KeyAscii <= 'z')
            KeyAscii -= 32;
    };
    t.KeyUp = [&](int& KeyCode, int&) { events.push_back("up " + std::to_string(KeyCode)); };
    QTest::keyClicks(t.Widget(), "a1b");
    EXPECT_EQ(t.Text(), "AB");
    QTest::keyClick(t.Widget(), Qt::Key_Home);
    QTest::keyClick(t.Widget(), Qt::Key_Delete);
    EXPECT_EQ(t.Text(), "AB") << "KeyCode 0 keeps the key from the box";
    QTest::keyClick(t.Widget(), Qt::Key_Backspace);
    EXPECT_EQ(events[0], "down 65 0");
    EXPECT_EQ(events[1], "press 97");
    EXPECT_EQ(events[2], "up 65");
    EXPECT_EQ(events.back(), "up 8");
    EXPECT_NE(std::find(events.begin(), events.end(), "press 8"), events.end());
    events.clear();
    QTest::keyClick(t.Widget(), Qt::Key_A, Qt::ShiftModifier);
    EXPECT_NE(std::find(events.begin(), events.end(), "down 65 1"), events.end());
}

TEST_F(Controls, ValuesSetByCodeRaiseClick)
{
    form->chkOne.Click = [&] { events.push_back("chk " + std::to_string(form->chkOne.Value())); };
    form->chkOne.SetValue(1);
    form->chkOne.SetValue(1);
    form->chkOne.SetValue(2);
    QTest::mouseClick(form->chkOne.Widget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(events, (std::vector<std::string>{"chk 1", "chk 2", "chk 1"}));
    EXPECT_THROW(form->chkOne.SetValue(3), vb::RuntimeError);

    events.clear();
    auto& c = form->cboList;
    c.Click = [&] { events.push_back("cbo " + std::to_string(c.ListIndex()) + " " + c.Text()); };
    c.AddItem("January");
    c.AddItem("March");
    c.AddItem("February", 1);
    c.SetItemData(2, 3);
    EXPECT_EQ(c.NewIndex(), 1);
    EXPECT_EQ(c.ListIndex(), -1);
    c.SetListIndex(1);
    c.SetListIndex(1);
    c.SetText("march");
    EXPECT_EQ(events, (std::vector<std::string>{"cbo 1 February", "cbo 2 March"}));
    EXPECT_EQ(c.ItemData(c.ListIndex()), 3);
    EXPECT_THROW(c.List(3), vb::RuntimeError);
    EXPECT_THROW(c.SetListIndex(3), vb::RuntimeError);
    EXPECT_THROW(c.SetText("May"), vb::RuntimeError);
    c.Clear();
    EXPECT_EQ(c.ListCount(), 0);
    EXPECT_EQ(c.ListIndex(), -1);
}

TEST_F(Controls, EditableComboAndMultiSelectList)
{
    auto& c = form->cboEdit;
    c.Change = [&] { events.push_back("change " + c.Text()); };
    c.Click = [&] { events.push_back("click"); };
    c.AddItem("Canada");
    c.AddItem("Chile");
    c.SetText("Ch");
    EXPECT_EQ(c.ListIndex(), -1);
    c.SetListIndex(1);
    EXPECT_EQ(c.Text(), "Chile");
    EXPECT_EQ(events, (std::vector<std::string>{"change Ch", "click"}));

    events.clear();
    auto& l = form->lstMulti;
    l.Click = [&] { events.push_back("click " + std::to_string(l.SelCount())); };
    for (const char* s : {"BASE RATE", "CAM RATE", "TAX RATE"})
        l.AddItem(s);
    l.SetSelected(0, true);
    l.SetSelected(2, true);
    l.SetSelected(2, true);
    EXPECT_TRUE(l.Selected(2));
    EXPECT_FALSE(l.Selected(1));
    EXPECT_EQ(events, (std::vector<std::string>{"click 1", "click 2"}));
    l.SetItemData(1, 42);
    EXPECT_EQ(l.ItemData(1), 42);
    l.RemoveItem(0);
    EXPECT_EQ(l.List(0), "CAM RATE");
    EXPECT_EQ(l.SelCount(), 1);
}

TEST_F(Controls, ControlArraysPassTheirIndex)
{
    form->optKind.On(&forms::OptionButton::Click, [&](int Index) { events.push_back("opt " + std::to_string(Index)); });
    form->optKind(2).SetValue(true);
    form->optKind(1).SetValue(true);
    EXPECT_FALSE(form->optKind(2).Value());
    QTest::mouseClick(form->optKind(0).Widget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(form->optKind(0).Value());
    EXPECT_FALSE(form->optKind(1).Value());
    EXPECT_EQ(events, (std::vector<std::string>{"opt 2", "opt 1", "opt 0"}));
    EXPECT_THROW(form->optKind(7), vb::RuntimeError);

    // A new element gets the array's handlers; its own event may not unload it.
    events.clear();
    form->lblCell.On(&forms::Label::MouseDown, [&](int Index, int Button, int, float, float) {
        events.push_back("down " + std::to_string(Index) + " " + std::to_string(Button));
        EXPECT_THROW(form->lblCell.Unload(Index), vb::RuntimeError);
    });
    auto& added = form->lblCell.Load(5);
    added.Move(0, 0, 600, 300);
    QTest::mousePress(added.Widget(), Qt::RightButton, {}, QPoint(2, 2));
    QTest::mouseRelease(added.Widget(), Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(events, std::vector<std::string>{"down 5 2"});
    form->lblCell.Unload(5);
    EXPECT_FALSE(form->lblCell.Exists(5));
}

TEST_F(Controls, GeometryInTheContainersUnits)
{
    form->SetScaleMode(forms::vbPixels);
    auto& l = form->lblCell(0);
    l.Move(115.5, 117, 76, 18);
    EXPECT_EQ(l.Left(), 115.5);
    EXPECT_EQ(l.Widget()->x(), 115);
    l.SetLeft(l.Left() + 1);
    EXPECT_EQ(l.Left(), 116.5);
    EXPECT_THROW(l.SetWidth(-1), vb::RuntimeError);
    EXPECT_EQ(l.Width(), 76);
    form->SetScaleMode(forms::vbTwips);
    EXPECT_EQ(l.Width(), 1140);

    // A wrapping label that sizes itself keeps its width and grows down.
    auto& w = form->lblWrap;
    w.Move(0, 0, 1500, 195);
    w.SetWordWrap(true);
    w.SetAutoSize(true);
    w.SetCaption("word ");
    const double one = w.Height();
    w.SetCaption("many words that cannot possibly fit on a single line of a hundred pixels");
    EXPECT_EQ(w.Width(), 1500);
    EXPECT_GT(w.Height(), 2 * one);
}

TEST_F(Controls, TimersTickOnInjectedTime)
{
    forms::ManualTimers clock;
    auto& fast = form->tmrFast;
    auto& slow = form->tmrSlow;
    fast.Tick = [&] { events.push_back("fast " + std::to_string(clock.Now())); };
    slow.Tick = [&] {
        events.push_back("slow " + std::to_string(clock.Now()));
        slow.SetInterval(50); // a handler may change its own timer
    };
    fast.SetInterval(100);
    slow.SetInterval(250);
    clock.Advance(350);
    EXPECT_EQ(events, (std::vector<std::string>{"fast 100", "fast 200", "slow 250", "fast 300", "slow 300",
                                                "slow 350"}));
    events.clear();
    fast.SetEnabled(false);
    slow.SetInterval(0);
    clock.Advance(1000);
    EXPECT_TRUE(events.empty());

    // An unloaded form's timers tick no more.
    fast.SetEnabled(true);
    form->Unload();
    clock.Advance(500);
    EXPECT_TRUE(events.empty());
}

TEST_F(Controls, DrawingKeepsWhatIsDrawn)
{
    auto& p = canvas(forms::RGB(255, 255, 255));
    p.Line(2, 5, 10, 5, forms::RGB(255, 0, 0));
    EXPECT_EQ(p.Point(2, 5), forms::RGB(255, 0, 0));
    EXPECT_EQ(p.Point(9, 5), forms::RGB(255, 0, 0));
    EXPECT_EQ(p.Point(10, 5), forms::RGB(255, 255, 255)) << "a line leaves out its end point";
    p.Box(1, 1, 4, 3, forms::RGB(0, 0, 255));
    EXPECT_EQ(p.Point(4, 3), forms::RGB(0, 0, 255)) << "a box includes its corners";
    EXPECT_EQ(p.Point(2, 2), forms::RGB(255, 255, 255));
    p.Box(12, 12, 14, 14, forms::RGB(0, 128, 0), true);
    EXPECT_EQ(p.Point(13, 13), forms::RGB(0, 128, 0));
    EXPECT_EQ(p.Point(25, 25), -1);
    p.SetForeColor(forms::vbGrayText);
    p.PolyPolyline({{0, 18}, {3, 18}, {5, 10}, {5, 12}}, {2, 2});
    EXPECT_EQ(p.Point(2, 18), forms::RGB(128, 128, 128));
    EXPECT_EQ(p.Point(3, 18), forms::RGB(255, 255, 255));
    EXPECT_EQ(p.Point(5, 11), forms::RGB(128, 128, 128));
    // What is drawn is what the window shows.
    const QImage shown = p.Widget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(2, 5), QColor(255, 0, 0));
    p.Cls();
    EXPECT_EQ(p.Point(2, 5), forms::RGB(255, 255, 255));
}

TEST_F(Controls, ABlankSurfaceShowsItsColourAndTakesDrawingAtAnySize)
{
    auto& p = canvas(forms::RGB(10, 120, 230));
    const auto shown = [&] { return p.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const QImage blank = shown();
    ASSERT_EQ(blank.size(), QSize(20, 20));
    EXPECT_EQ(blank.pixelColor(0, 0), QColor(10, 120, 230));
    EXPECT_EQ(blank.pixelColor(19, 19), QColor(10, 120, 230));
    EXPECT_EQ(p.Point(19, 19), forms::RGB(10, 120, 230));
    // Read back, the drawing is the colour at the window's size, and the
    // window shows the same whether or not it was read.
    EXPECT_GE(p.Image().width(), 20);
    EXPECT_GE(p.Image().height(), 20);
    EXPECT_EQ(shown(), blank);

    // Grown while blank, the first drawing reaches the new edge.
    p.Cls();
    p.Move(0, 0, 600, 600);
    p.PSet(35, 36, forms::RGB(255, 0, 0));
    EXPECT_EQ(p.Point(35, 36), forms::RGB(255, 0, 0));
    EXPECT_EQ(p.Point(30, 30), forms::RGB(10, 120, 230));
    EXPECT_EQ(shown().pixelColor(35, 36), QColor(255, 0, 0));
    // Cleared, with a new colour, nothing of the drawing is left.
    p.SetBackColor(forms::RGB(200, 200, 0));
    EXPECT_EQ(p.Point(35, 36), forms::RGB(200, 200, 0));
    EXPECT_EQ(shown().pixelColor(35, 36), QColor(200, 200, 0));
    EXPECT_EQ(shown().pixelColor(0, 0), QColor(200, 200, 0));
}

TEST_F(Controls, MenusRaiseClick)
{
    forms::Menu mnuPopup(*form, "mnuPopup", "Popup");
    forms::Menu mnuOpen(mnuPopup, "mnuOpen", "&Open");
    forms::Menu mnuSep(mnuPopup, "mnuSep", "-");
    mnuPopup.SetVisible(false);
    mnuOpen.Click = [&] { events.push_back("open"); };
    mnuOpen.SetChecked(true);
    EXPECT_TRUE(mnuOpen.Checked());
    mnuPopup.PopupWidget()->actions().first()->trigger();
    EXPECT_EQ(events, std::vector<std::string>{"open"});
}

TEST(MsgBoxSeam, ScriptedAnswersAndDefaults)
{
    auto boxes = std::make_shared<forms::ScriptedMsgBox>();
    forms::SetMessageBoxPort(boxes);
    boxes->answers.push_back(forms::vbNo);
    EXPECT_EQ(forms::MsgBox("Delete?", forms::vbYesNo | forms::vbQuestion, "Stores"), forms::vbNo);
    EXPECT_EQ(forms::MsgBox("Go on?", forms::vbYesNoCancel | forms::vbDefaultButton3), forms::vbCancel);
    EXPECT_EQ(forms::MsgBox("Note"), forms::vbOK);
    forms::SetMessageBoxPort(nullptr);
    ASSERT_EQ(boxes->shown.size(), 3u);
    EXPECT_EQ(boxes->shown[0].title, "Stores");
    EXPECT_EQ(boxes->shown[1].title, vb::App::Title());
    // Headless, the desktop box answers its default button at once.
    EXPECT_EQ(forms::MsgBox("Sure?", forms::vbYesNo | forms::vbDefaultButton2), forms::vbNo);
}

TEST(CommonDialogSeam, FiltersChoicesAndCancel)
{
    EXPECT_EQ(forms::QtNameFilters("All Picture Files |*.bmp;*.gif|Icon Files (*.ico)|*.ico"),
              (std::vector<std::string>{"All Picture Files (*.bmp *.gif)", "Icon Files (*.ico)"}));
    auto dialogs = std::make_shared<forms::ScriptedDialogs>();
    forms::SetDialogPort(dialogs);
    dialogs->files.push_back("/tmp/pictures/star.ico");
    dialogs->files.push_back(std::nullopt);
    dialogs->files.push_back("/tmp/out/report");
    dialogs->printers = {"Office", "Laser"};
    dialogs->printerChoices.push_back("Laser");

    class Host : public forms::Form {
    public:
        Host() : Form("Host") {}
    } host;
    forms::CommonDialog dlg(host, "CommonDialog1");
    dlg.Filter = "Icon Files |*.ico";
    dlg.CancelError = true;
    dlg.ShowOpen();
    EXPECT_EQ(dlg.FileName, "/tmp/pictures/star.ico");
    EXPECT_EQ(dlg.FileTitle, "star.ico");
    EXPECT_EQ(dialogs->fileRequests[0].filter, "Icon Files |*.ico");
    try {
        dlg.ShowOpen();
        FAIL();
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), forms::cdlCancel);
    }
    EXPECT_EQ(dlg.FileName, "/tmp/pictures/star.ico") << "Cancel keeps the last choice";
    dlg.DefaultExt = ".htm";
    dlg.ShowSave();
    EXPECT_EQ(dlg.FileName, "/tmp/out/report.htm");

    EXPECT_EQ(forms::Printer().DeviceName(), "Office");
    dlg.ShowPrinter();
    EXPECT_EQ(forms::Printer().DeviceName(), "Laser");
    dlg.CancelError = false;
    dlg.ShowColor(); // cancelled quietly
    forms::Printer().SetDeviceName("");
    forms::SetDialogPort(nullptr);
}

} // namespace

namespace {

class frmParts : public forms::FormOf<frmParts> {
public:
    frmParts() : FormOf("frmParts") {}
    forms::Frame fraMisc{*this, "fraMisc"};
    forms::CheckBox chkInFrame{fraMisc, "chkInFrame"};
    forms::PictureBox picPixels{*this, "picPixels"};
    forms::Image imgIcon{*this, "imgIcon"};
    forms::ListBox lstOne{*this, "lstOne"};
    forms::TextBox txtA{*this, "txtA"};
    forms::TextBox txtB{*this, "txtB"};
    forms::Label lblLink{*this, "lblLink"};
};

class MoreControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &frmParts::Instance();
        form->Show();
    }
    void TearDown() override { forms::ResetForms(); }
    frmParts* form = nullptr;
    std::vector<std::string> events;
};

TEST_F(MoreControls, ContainersPlaceAndScaleTheirControls)
{
    form->fraMisc.Move(1500, 1500, 3000, 1500);
    form->chkInFrame.Move(150, 300, 1500, 300);
    EXPECT_EQ(form->chkInFrame.Widget()->parentWidget(), form->fraMisc.Widget());
    EXPECT_EQ(form->chkInFrame.Widget()->pos(), QPoint(10, 20));

    // Mouse positions come in the picture box's own units.
    auto& p = form->picPixels;
    p.SetScaleMode(forms::vbPixels);
    p.Move(0, 0, 1500, 1500);
    float x = -1, y = -1;
    p.MouseDown = [&](int, int, float X, float Y) {
        x = X;
        y = Y;
    };
    QTest::mousePress(p.ClientWidget(), Qt::LeftButton, {}, QPoint(7, 9));
    QTest::mouseRelease(p.ClientWidget(), Qt::LeftButton, {}, QPoint(7, 9));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 9);
    p.SetScaleMode(forms::vbTwips);
    QTest::mousePress(p.ClientWidget(), Qt::LeftButton, {}, QPoint(2, 3));
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 45);
    QTest::mouseRelease(p.ClientWidget(), Qt::LeftButton, {}, QPoint(2, 3));
    EXPECT_EQ(p.ScaleWidth(), 1440) << "the border takes its share";

    // Without Stretch an image takes its picture's size.
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    form->imgIcon.SetPicture(picture);
    EXPECT_EQ(form->imgIcon.Width(), 240);
    form->imgIcon.SetStretch(true);
    form->imgIcon.Move(0, 0, 960, 960);
    EXPECT_EQ(form->imgIcon.Width(), 960);
}

TEST_F(MoreControls, ClicksFocusAndLockedText)
{
    form->lblLink.Move(0, 0, 1500, 300);
    form->lblLink.Click = [&] { events.push_back("label"); };
    QTest::mouseClick(form->lblLink.Widget(), Qt::LeftButton, {}, QPoint(3, 3));
    // Pressed on the label, released elsewhere: no click.
    QTest::mousePress(form->lblLink.Widget(), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(form->lblLink.Widget(), Qt::LeftButton, {}, QPoint(300, 3));
    EXPECT_EQ(events, std::vector<std::string>{"label"});

    form->txtA.LostFocus = [&] { events.push_back("lost A"); };
    form->txtB.GotFocus = [&] { events.push_back("got B"); };
    form->hWnd()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->hWnd()));
    form->txtA.SetFocus();
    form->txtB.SetFocus();
    QCoreApplication::processEvents();
    EXPECT_NE(std::find(events.begin(), events.end(), "lost A"), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), "got B"), events.end());

    // A locked box types nothing, even a key a handler replaced.
    form->txtA.SetLocked(true);
    form->txtA.KeyPress = [](int& k) { k = 'Z'; };
    QTest::keyClicks(form->txtA.Widget(), "ab");
    EXPECT_EQ(form->txtA.Text(), "");
    form->txtA.SetLocked(false);
    form->txtA.SetMaxLength(3);
    QTest::keyClicks(form->txtA.Widget(), "abcdef");
    EXPECT_EQ(form->txtA.Text(), "ZZZ");
}

TEST_F(MoreControls, SingleChoiceListAndPrintedText)
{
    auto& l = form->lstOne;
    l.Click = [&] { events.push_back("click " + l.Text()); };
    l.AddItem("Daily");
    l.AddItem("Weekly");
    l.SetListIndex(1);
    EXPECT_TRUE(l.Selected(1));
    l.SetSelected(0, true);
    EXPECT_EQ(l.ListIndex(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"click Weekly", "click Daily"}));
    EXPECT_THROW(l.SetListIndex(2), vb::RuntimeError);
    l.Clear();
    EXPECT_EQ(l.Text(), "");

    auto& p = form->picPixels;
    p.SetBorderStyle(0);
    p.SetScaleMode(forms::vbPixels);
    p.Move(0, 0, 1500, 1500);
    p.SetBackColor(forms::vbWhite);
    p.SetForeColor(forms::vbBlack);
    p.SetCurrentX(2);
    p.Print("W");
    EXPECT_GT(p.CurrentY(), 5) << "the next line";
    EXPECT_EQ(p.CurrentX(), 0);
    bool inked = false;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            inked = inked || p.Point(x, y) == forms::vbBlack;
    EXPECT_TRUE(inked);
    // A diagonal line leaves out its last point as well.
    p.Cls();
    p.Line(0, 0, 4, 4, forms::vbBlack);
    EXPECT_EQ(p.Point(3, 3), forms::vbBlack);
    EXPECT_EQ(p.Point(4, 4), forms::vbWhite);
}

} // namespace
