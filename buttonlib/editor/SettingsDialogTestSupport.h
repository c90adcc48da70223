#pragma once
// What the tests of the settings dialogs share: three buttons at design
// time in a shown container, bound to a page, each with a counter of the
// paints its window gets; the recorders of message boxes, colour and font
// dialogs; and the dialogs' items found by name as a user finds them.

#include "buttonlib/control/CLumvexApp.h"
#include "buttonlib/control/LumvexTestSupport.h"
#include "buttonlib/editor/COlePropertyPageEnh.h"

#include "platform/mfc/DialogTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <array>

namespace settingstest {

class SettingsDialogTest : public dialogtest::DialogTest {
protected:
    static constexpr int kControls = 3;

    void SetUp() override
    {
        DialogTest::SetUp();
        LumvexApp().SetHelpPort(help);
        box.SetUserMode(false);
        for (int i = 0; i < kControls; ++i) {
            controls[i] = lumvextest::NewButton(&buttons[i]);
            sites[i] = box.Add(controls[i].Get());
            sites[i]->InitNew();
            sites[i]->SetRect(RECT{10 + 120 * i, 20, 106 + 120 * i, 68});
        }
        box.Host().show();
        box.Host().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box.Host()));
        for (int i = 0; i < kControls; ++i) {
            sites[i]->Activate();
            ASSERT_NE(buttons[i]->GetSafeHwnd(), nullptr);
            buttons[i]->GetSafeHwnd()->installEventFilter(&counters[i]);
        }
        page = com::ComPtr<COlePropertyPageEnh>::Attach(new COlePropertyPageEnh(0, 0));
        IUnknown* objects[kControls] = {controls[0].Get(), controls[1].Get(), controls[2].Get()};
        ASSERT_EQ(page->SetObjects(kControls, objects), S_OK);
        settle();
    }

    void TearDown() override
    {
        for (int i = 0; i < kControls; ++i)
            if (buttons[i]->GetSafeHwnd())
                buttons[i]->GetSafeHwnd()->removeEventFilter(&counters[i]);
        page->SetObjects(0, nullptr);
        box.CloseAll();
        CLumvexCtrl::g_helpLinks = {};
        CLumvexCtrl::g_editButtonShow.fill(1);
        LumvexApp().SetHelpPort(nullptr);
        DialogTest::TearDown();
    }

    // Lets what is pending run (paints, the buttons' deferred repaint), then
    // starts counting paints and modifications afresh.
    void settle()
    {
        QCoreApplication::processEvents();
        for (CLumvexCtrl* b : buttons)
            b->KillTimer(CLumvexCtrl::TIMER_DEFERRED_PAINT);
        QCoreApplication::processEvents();
        for (int i = 0; i < kControls; ++i) {
            counters[i].count = 0;
            buttons[i]->SetModifiedFlag(FALSE);
        }
    }

    // The paints of each button since the last settle.
    std::array<int, kControls> paints()
    {
        QCoreApplication::processEvents();
        return {counters[0].count, counters[1].count, counters[2].count};
    }

    std::array<BOOL, kControls> modified() const
    {
        return {buttons[0]->IsModified(), buttons[1]->IsModified(), buttons[2]->IsModified()};
    }

    // Shows the dialog as a user sees it.
    static void show(CDialog& dialog)
    {
        win::ShowWindow(dialog.GetSafeHwnd(), win::SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.GetSafeHwnd()));
    }

    template <class T = QWidget>
    static T* item(CDialog& dialog, int id)
    {
        T* w = find<T>(dialog.GetSafeHwnd(), id);
        EXPECT_NE(w, nullptr) << "no item " << id;
        return w;
    }
    // A radio button or check box takes clicks on its mark and its text only.
    static void click(CDialog& dialog, int id)
    {
        QWidget* w = item(dialog, id);
        const bool marked = qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, marked ? QPoint(6, w->height() / 2) : w->rect().center());
    }
    static void arrow(CDialog& dialog, int spinId, const char* which)
    {
        QTest::mouseClick(item(dialog, spinId)->findChild<QToolButton*>(which), Qt::LeftButton);
    }
    // Replaces the edit's text as a user does: select all, then type.
    static void type(CDialog& dialog, int id, const QString& text)
    {
        auto* edit = item<QLineEdit>(dialog, id);
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }
    static bool enabled(CDialog& dialog, int id) { return item(dialog, id)->isEnabled(); }
    static QString text(CDialog& dialog, int id) { return item<QLineEdit>(dialog, id)->text(); }

    static QRgb rgbOf(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) & 0xFFFFFF; }

    // The colour the dialog shows at the middle of an item's rectangle.
    static QRgb colourOver(CDialog& dialog, int id)
    {
        QWidget* window = dialog.GetSafeHwnd();
        const QImage shot = window->grab().toImage();
        const QPoint centre = find(window, id)->geometry().center();
        return shot.pixel(centre) & 0xFFFFFF;
    }

    // A picture for people to look at, under the platform's name.
    static void screenshot(CDialog& dialog, const char* name)
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
        QDir().mkpath(folder);
        const QString file = QStringLiteral("%1/%2-%3.png").arg(folder, name, QGuiApplication::platformName());
        EXPECT_TRUE(dialog.GetSafeHwnd()->grab().save(file));
    }

    // The editor as EditProperties opens it, with the caller's colours.
    void openAsEditor(COLORREF text, COLORREF back)
    {
        buttons[0]->m_bEditorOpen = TRUE;
        buttons[0]->m_EditColorText = text;
        buttons[0]->m_EditColorBack = back;
    }

    com::TestContainer box;
    std::array<CLumvexCtrl*, kControls> buttons{};
    std::array<com::ComPtr<IUnknown>, kControls> controls;
    std::array<com::ControlSite*, kControls> sites{};
    std::array<lumvextest::EventCounter<QEvent::Paint>, kControls> counters;
    com::ComPtr<COlePropertyPageEnh> page;
    std::shared_ptr<RecordingHelpPort> help = std::make_shared<RecordingHelpPort>();

    // The help shown so far, as "link <target>", "html <context>" or
    // "winhelp <context>".
    std::vector<std::string> helpShown() const
    {
        std::vector<std::string> out;
        for (const auto& r : help->requests)
            out.push_back(r.kind == RecordingHelpPort::Kind::Link      ? "link " + r.target
                          : r.kind == RecordingHelpPort::Kind::HtmlHelp ? "html " + std::to_string(r.context)
                                                                        : "winhelp " + std::to_string(r.context));
        return out;
    }
};

} // namespace settingstest
