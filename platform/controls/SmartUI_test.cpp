#include "platform/controls/SmartItems.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/controls/SmartPanel.h"
#include "platform/controls/SmartPopup.h"
#include "platform/controls/SmartSideBar.h"
#include "platform/controls/SmartTabStrip.h"
#include "platform/controls/TrayIcon.h"

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Form.h"
#include "platform/testing/Quiescence.h"
#include "platform/testing/Screenshots.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using namespace controls;

class Host : public forms::FormOf<Host> {
public:
    Host() : FormOf("Host") {}
    SmartMenuBar bar{*this, "bar"};
    SmartSideBar side{*this, "side"};
    forms::ControlArray<SmartPanel> panel{side, "panel", {0, 1}};
    SmartTabStrip tabs{*this, "tabs"};
    SmartPopup popup{*this, "popup"};
    TrayIcon tray{*this, "tray"};
    std::vector<std::string> heard;
};

class SmartUI : public ::testing::Test {
protected:
    void TearDown() override
    {
        forms::ResetForms();
        TrayIcon::SetAvailable(std::nullopt);
    }

    static int errorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const vb::RuntimeError& e) {
            return e.Number();
        }
        return 0;
    }

    static void settle()
    {
        EXPECT_TRUE(tv::testing::DrainPostedEvents());
    }

    // Events processed until done() holds; false after five seconds.
    static bool until(const std::function<bool()>& done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 5000)
            QTest::qWait(10);
        return done();
    }

    static void grab(QWidget* w, const char* name)
    {
        tv::testing::SaveScreenshot(w->grab(), QLatin1String(name));
    }
};

TEST_F(SmartUI, ItemsAreKeyedUniquelyAndFoundInMenus)
{
    int changes = 0;
    SmartItems items([&] { ++changes; });
    SmartItem& file = items.Add("FILE", "File");
    file.Items().Add("CLOSE", "Close");
    items.Add("", "Heading", smuiHeadingItem);
    items.AddSeparator();
    items.Add("HELP", "Help");
    EXPECT_EQ(items.Count(), 4);
    EXPECT_EQ(items.Item("HELP").Index(), 3);
    EXPECT_EQ(items.Item(0).Key(), "FILE");
    EXPECT_EQ(items.Find("CLOSE")->Caption(), "Close");
    EXPECT_EQ(items.Find("close"), nullptr) << "keys compare exactly";
    EXPECT_EQ(errorOf([&] { items.Add("HELP", "again"); }), kErrKeyNotUnique);
    EXPECT_EQ(errorOf([&] { items.Item("NONE"); }), kErrElementNotFound);
    EXPECT_EQ(errorOf([&] { items.Item(""); }), kErrElementNotFound);
    EXPECT_EQ(errorOf([&] { items.Item(4); }), vb::kErrSubscript);
    EXPECT_EQ(errorOf([&] { items.Remove("NONE"); }), kErrElementNotFound);
    items.Remove("FILE");
    EXPECT_EQ(items.Item("HELP").Index(), 2);
    const int before = changes;
    items.Item("HELP").SetChecked(true);
    EXPECT_GT(changes, before) << "a changed item redraws its control";

    SmartImages images;
    QPixmap p(8, 8);
    images.Add("A", p);
    EXPECT_EQ(errorOf([&] { images.Add("A", p); }), kErrKeyNotUnique);
    EXPECT_EQ(errorOf([&] { images.Remove("B"); }), kErrElementNotFound);
    EXPECT_EQ(errorOf([&] { images.Add("C", std::filesystem::path("/nonexistent/picture.png")); }), 481);
    EXPECT_FALSE(images.Exists("C"));
    EXPECT_TRUE(images.Picture("B").isNull());
}

// Thousands of keys added, taken out in a scattered order and added again:
// every key still finds its own entry, at its place in the list, and a key
// that went finds nothing.
TEST_F(SmartUI, KeysFindTheirEntriesThroughAddsAndRemovals)
{
    constexpr int kKeys = 2000;
    SmartItems items({});
    SmartImages images;
    std::vector<std::string> order;
    std::map<std::string, int> width;
    for (int i = 0; i < kKeys; ++i) {
        const std::string key = std::to_string(i * 7919 % 100003);
        order.push_back(key);
        width[key] = 1 + i % 3;
        items.Add(key, "Entry " + key, smuiListItem);
        images.Add("IMG" + key, QPixmap(width[key], 1));
    }
    std::vector<std::string> kept;
    std::vector<std::string> gone;
    for (int i = 0; i < kKeys; ++i)
        ((i * 31) % 5 < 2 ? gone : kept).push_back(order[static_cast<size_t>(i)]);
    // Taken out from both ends of the list by turns, so that keys leave the
    // middle of runs of neighbours in the index as well as their ends.
    for (size_t front = 0, back = gone.size(); front < back;) {
        const std::string& key = (back - front) % 2 ? gone[front++] : gone[--back];
        items.Remove(key);
        images.Remove("IMG" + key);
    }
    ASSERT_EQ(items.Count(), static_cast<int>(kept.size()));
    ASSERT_EQ(images.Count(), static_cast<int>(kept.size()));
    for (size_t i = 0; i < kept.size(); ++i) {
        ASSERT_TRUE(items.Exists(kept[i])) << kept[i];
        EXPECT_EQ(items.Item(kept[i]).Index(), static_cast<int>(i)) << kept[i];
        EXPECT_EQ(items.Item(static_cast<int>(i)).Key(), kept[i]);
        EXPECT_EQ(images.Picture("IMG" + kept[i]).width(), width[kept[i]]) << kept[i];
    }
    for (const std::string& key : gone) {
        EXPECT_FALSE(items.Exists(key)) << key;
        EXPECT_EQ(items.Find(key), nullptr) << key;
        EXPECT_FALSE(images.Exists("IMG" + key)) << key;
    }
    // Back again, at the end.
    for (const std::string& key : gone) {
        items.Add(key, "Again " + key);
        images.Add("IMG" + key, QPixmap(8, 8));
    }
    EXPECT_EQ(items.Count(), kKeys);
    EXPECT_EQ(items.Item(gone.back()).Index(), kKeys - 1);
    EXPECT_EQ(items.Item(gone.front()).Caption(), "Again " + gone.front());
    EXPECT_EQ(errorOf([&] { items.Add(kept.front(), "twice"); }), kErrKeyNotUnique);
    EXPECT_EQ(errorOf([&] { images.Add("IMG" + gone.front(), QPixmap()); }), kErrKeyNotUnique);
    items.Clear();
    images.Clear();
    EXPECT_FALSE(items.Exists(kept.front()));
    EXPECT_TRUE(images.Picture("IMG" + kept.front()).isNull());
    items.Add(kept.front(), "After the clear");
    EXPECT_EQ(items.Item(kept.front()).Index(), 0);
}

TEST_F(SmartUI, MenuBarRaisesTheChosenCommandsKey)
{
    Host& h = Host::Instance();
    h.bar.ItemClick = [&](const std::string& key) { h.heard.push_back(key); };
    SmartItem& file = h.bar.Items().Add("FILE", "File");
    file.Items().Add("CLOSE", "Close");
    file.Items().Add("GONE", "Hidden").SetVisible(false);
    file.Items().Add("OFF", "Disabled").SetEnabled(false);
    h.bar.Items().Add("HELP", "Help");
    h.bar.Choose("CLOSE");
    h.bar.Choose("HELP");
    h.bar.Choose("FILE");
    h.bar.Choose("GONE");
    h.bar.Choose("OFF");
    h.bar.Choose("NONE");
    EXPECT_EQ(h.heard, (std::vector<std::string>{"CLOSE", "HELP"}));

    // A handler that changes the menu while its own entry runs.
    h.bar.ItemClick = [&](const std::string& key) {
        h.heard.push_back(key);
        h.bar.Items().Clear();
        h.bar.Items().Add("NEW", "New");
    };
    h.bar.Choose("HELP");
    settle();
    h.bar.Choose("NEW");
    EXPECT_EQ(h.heard.back(), "NEW");
}

// A menu's entry with entries of its own opens a submenu, by the mouse and
// by the arrow keys, however deep it lies.
TEST_F(SmartUI, MenusOfAnyDepthOpenWithTheMouseAndTheKeys)
{
    Host& h = Host::Instance();
    h.bar.ItemClick = [&](const std::string& key) { h.heard.push_back(key); };
    SmartItem& options = h.bar.Items().Add("OPTIONS", "Report Options");
    SmartItem& sort = options.Items().Add("SORT", "Sort Order");
    sort.Items().Add("ASC", "Ascending");
    sort.Items().Add("DEC", "Decending").SetChecked(true);
    sort.Items().Add("MORE", "More").Items().Add("DEEP", "Deep");
    options.Items().Add("HEADING COLOR", "Select Heading Color");
    h.Show();
    h.bar.Move(0, 0, 6000, 330);
    settle();

    auto* bar = static_cast<QMenuBar*>(h.bar.Widget());
    auto entry = [](QWidget* menuOrBar, const QString& text) -> QAction* {
        for (QAction* a : menuOrBar->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    };
    auto openTop = [&]() -> QMenu* {
        QAction* top = entry(bar, QStringLiteral("Report Options"));
        if (!top)
            return nullptr;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
        settle();
        return top->menu() && top->menu()->isVisible() ? top->menu() : nullptr;
    };

    // The mouse: a click on "Sort Order" opens its menu, a click there chooses.
    QMenu* menu = openTop();
    ASSERT_NE(menu, nullptr);
    QAction* sortEntry = entry(menu, QStringLiteral("Sort Order"));
    ASSERT_NE(sortEntry, nullptr);
    ASSERT_NE(sortEntry->menu(), nullptr) << "the submenu is not built";
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(sortEntry).center());
    QMenu* sortMenu = sortEntry->menu();
    ASSERT_TRUE(until([&] { return sortMenu->isVisible(); }));
    QAction* descending = entry(sortMenu, QStringLiteral("Decending"));
    ASSERT_NE(descending, nullptr);
    EXPECT_TRUE(descending->isChecked());
    QTest::mouseClick(sortMenu, Qt::LeftButton, {}, sortMenu->actionGeometry(entry(sortMenu, "Ascending")).center());
    settle();
    EXPECT_EQ(h.heard, (std::vector<std::string>{"ASC"}));
    EXPECT_FALSE(sortMenu->isVisible());

    // The keys: down to "Sort Order", right into it, down twice, right into
    // "More", and Enter.
    menu = openTop();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Down);
    if (menu->activeAction() != entry(menu, QStringLiteral("Sort Order")))
        QTest::keyClick(menu, Qt::Key_Down);
    ASSERT_EQ(menu->activeAction(), entry(menu, QStringLiteral("Sort Order")));
    QTest::keyClick(menu, Qt::Key_Right);
    sortMenu = entry(menu, QStringLiteral("Sort Order"))->menu();
    ASSERT_TRUE(until([&] { return sortMenu->isVisible(); }));
    if (!sortMenu->activeAction())
        QTest::keyClick(sortMenu, Qt::Key_Down);
    QTest::keyClick(sortMenu, Qt::Key_Down);
    QTest::keyClick(sortMenu, Qt::Key_Down);
    ASSERT_EQ(sortMenu->activeAction(), entry(sortMenu, QStringLiteral("More")));
    QTest::keyClick(sortMenu, Qt::Key_Right);
    QMenu* deeper = entry(sortMenu, QStringLiteral("More"))->menu();
    ASSERT_TRUE(deeper && until([&] { return deeper->isVisible(); }));
    if (!deeper->activeAction())
        QTest::keyClick(deeper, Qt::Key_Down);
    QTest::keyClick(deeper, Qt::Key_Return);
    settle();
    EXPECT_EQ(h.heard, (std::vector<std::string>{"ASC", "DEEP"}));

    // Chosen from code at any depth, as the user would.
    h.bar.Choose("DEC");
    EXPECT_EQ(h.heard.back(), "DEC");
}

TEST_F(SmartUI, SideBarShowsThePanelItsGroupNames)
{
    Host& h = Host::Instance();
    h.Show();
    h.side.Move(0, 0, 2400, 4000);
    h.side.ItemClick = [&](const std::string& key) { h.heard.push_back("group " + key); };
    h.panel.On(&SmartPanel::ItemClick,
               [&](int index, const std::string& key) { h.heard.push_back(std::to_string(index) + " " + key); });
    EXPECT_EQ(h.side.ShownPanel(), nullptr);
    h.side.Groups().Add("LAUNCH", "Toolbar", smuiGroup).SetValue("panel(0)");
    h.side.Groups().Add("MORE", "More", smuiGroup).SetValue("panel(1)");
    EXPECT_EQ(h.side.ShownPanel(), &h.panel(0));
    EXPECT_TRUE(h.panel(0).Widget()->isVisible());
    EXPECT_FALSE(h.panel(1).Widget()->isVisible());

    h.side.Choose("MORE");
    EXPECT_EQ(h.side.ShownPanel(), &h.panel(1));
    EXPECT_FALSE(h.panel(0).Widget()->isVisible());
    EXPECT_EQ(h.heard, (std::vector<std::string>{"group MORE"}));

    // Commands and list entries; headings, separators, hidden and disabled
    // entries give nothing.
    SmartPanel& p = h.panel(1);
    p.Items().Add("", "Heading", smuiHeadingItem);
    p.Items().Add("GO", "Go").SetToolTipText("Go somewhere");
    p.Items().AddSeparator("SEP");
    p.Items().Add("OFF", "Off").SetEnabled(false);
    p.Items().Add("12", "Store twelve", smuiListItem);
    p.Items().Add("14", "Store fourteen", smuiListItem);
    h.heard.clear();
    for (const char* key : {"GO", "SEP", "OFF", "12", "14", "NONE"})
        p.Choose(key);
    EXPECT_EQ(h.heard, (std::vector<std::string>{"1 GO", "1 12", "1 14"}));
    EXPECT_FALSE(p.Items().Item("12").Selected());
    EXPECT_TRUE(p.Items().Item("14").Selected());
    EXPECT_FALSE(p.Items().Item("GO").Selected());

    // A real click on an entry.
    h.heard.clear();
    h.side.Choose("LAUNCH");
    h.heard.clear();
    h.panel(0).Items().Add("A", "First");
    h.panel(0).Items().Add("B", "Second");
    settle();
    QWidget* canvas = static_cast<QScrollArea*>(h.panel(0).Widget())->widget();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(h.heard, (std::vector<std::string>{"0 A"}));
    grab(h.side.Widget(), "SmartSideBar");
}

// A list of thousands of entries, filled one entry at a time as the store
// editor fills its list of stores: it is laid out once, when the fill is
// over, and every entry is then where the mouse finds it.
TEST_F(SmartUI, APanelFilledWithThousandsOfEntriesIsLaidOutOnce)
{
    Host& h = Host::Instance();
    h.Show();
    h.side.Move(0, 0, 3600, 6000);
    h.side.Groups().Add("LIST", "Stores", smuiGroup).SetValue("panel(0)");
    SmartPanel& p = h.panel(0);
    settle();
    auto* area = static_cast<QScrollArea*>(p.Widget());
    QWidget* canvas = area->widget();
    struct Sizes : QObject {
        int resized = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            resized += e->type() == QEvent::Resize;
            return false;
        }
    } sizes;
    canvas->installEventFilter(&sizes);

    QPixmap icon(32, 32);
    icon.fill(Qt::darkGreen);
    constexpr int kEntries = 3000;
    for (int i = 1; i <= kEntries; ++i) {
        const std::string key = std::to_string(i);
        p.ListImages().Add("STOREIMAGE" + key, icon);
        p.Items().Add(key, "Store " + key, smuiListItem, "STOREIMAGE" + key).SetSelectedBackColor(0x8080FF);
    }
    p.Items().Item("1").SetSelected(true);
    settle();
    // Once for the entries, once more for the scroll bar that came with them.
    EXPECT_LE(sizes.resized, 2) << "laid out once per entry, not once per fill";
    // 32-pixel pictures make 38-pixel rows, from 4 pixels down.
    EXPECT_EQ(canvas->height(), 4 + kEntries * 38 + 4);
    EXPECT_EQ(p.Items().Item(std::to_string(kEntries)).Index(), kEntries - 1);

    // The last entry, scrolled to and clicked.
    h.heard.clear();
    p.ItemClick = [&](const std::string& key) { h.heard.push_back(key); };
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    settle();
    const QPoint last = canvas->mapFrom(area->viewport(), QPoint(40, area->viewport()->height() - 20));
    QTest::mouseClick(canvas, Qt::LeftButton, {}, last);
    EXPECT_EQ(h.heard, (std::vector<std::string>{std::to_string(kEntries)}));
    EXPECT_TRUE(p.Items().Item(std::to_string(kEntries)).Selected());
    EXPECT_FALSE(p.Items().Item("1").Selected());
    grab(h.side.Widget(), "SmartPanel_long");

    // Removing one renumbers those after it.
    p.Items().Remove("2");
    EXPECT_EQ(p.Items().Item("3").Index(), 1);
    EXPECT_EQ(p.Items().Item(std::to_string(kEntries)).Index(), kEntries - 2);
    EXPECT_EQ(errorOf([&] { p.Items().Item("2"); }), kErrElementNotFound);
}

TEST_F(SmartUI, TabStripRaisesTheClickedTab)
{
    Host& h = Host::Instance();
    h.tabs.TabClick = [&](const std::string& key) { h.heard.push_back(key); };
    QPixmap pic(16, 16);
    pic.fill(Qt::red);
    h.tabs.ListImages().Add("CALENDAR", pic);
    h.tabs.Tabs().Add("CALENDAR", "Calendar Options", smuiTab, "CALENDAR").SetHotImage("CALENDAR_HOT");
    h.tabs.Tabs().Add("EMAIL", "Email Options", smuiTab, "EMAIL");
    EXPECT_EQ(h.tabs.SelectedTab(), "CALENDAR");
    h.tabs.Choose("EMAIL");
    h.tabs.Choose("EMAIL");
    h.tabs.Choose("NONE");
    EXPECT_EQ(h.heard, (std::vector<std::string>{"EMAIL", "EMAIL"}));
    EXPECT_EQ(h.tabs.SelectedTab(), "EMAIL");
    EXPECT_TRUE(h.tabs.Tabs().Item("EMAIL").Selected());
}

TEST_F(SmartUI, PopupMenuShowsItsEntriesAndRaisesTheChosenKey)
{
    Host& h = Host::Instance();
    h.popup.ItemClick = [&](const std::string& key) { h.heard.push_back(key); };
    SmartItem& menu = h.popup.Menus().Add("POPUP", "", smuiMenuPopup);
    menu.Items().Add("ABOUT", "About");
    menu.Items().Add("", "Quit", smuiHeadingItem);
    menu.Items().Add("QUIT", "Quit now");
    EXPECT_GT(h.popup.Width(), 0);
    EXPECT_EQ(errorOf([&] { h.popup.PopupMenu("NONE", 0, 0); }), kErrElementNotFound);

    h.popup.PopupMenu("POPUP", 15000, 11000);
    QMenu* shown = h.popup.ShownMenu();
    ASSERT_NE(shown, nullptr);
    QStringList texts;
    for (QAction* a : shown->actions())
        texts << (a->isSeparator() ? QStringLiteral("[") + a->text() + QStringLiteral("]") : a->text());
    EXPECT_EQ(texts, (QStringList{"About", "[Quit]", "Quit now"}));
    shown->actions().last()->trigger();
    EXPECT_EQ(h.heard, (std::vector<std::string>{"QUIT"}));
    // A heading gives no command.
    shown->actions()[1]->trigger();
    EXPECT_EQ(h.heard.size(), 1u);
}

// A command that opens a modal box runs an event loop of its own before it
// returns: the menu whose entry was clicked is still handling that click,
// and must be there when the command returns, however the command changed
// the menus meanwhile.
TEST_F(SmartUI, ACommandThatWaitsInABoxLeavesTheMenuItCameFromWhole)
{
    Host& h = Host::Instance();
    h.Show();
    h.bar.Move(0, 0, 6000, 330);
    QPointer<QMenu> clicked;
    std::vector<std::string> goneDuringTheCommand;
    // As a modal box does: the loop runs until its user answers.
    auto waitInABox = [&](const std::string& key) {
        QEventLoop box;
        QTimer::singleShot(0, &box, [&] { QTimer::singleShot(0, &box, &QEventLoop::quit); });
        box.exec();
        if (!clicked)
            goneDuringTheCommand.push_back(key);
    };
    auto entry = [](QWidget* menuOrBar, const QString& text) -> QAction* {
        for (QAction* a : menuOrBar->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    };

    // The popup: its menu closes as the entry is clicked.
    h.popup.ItemClick = [&](const std::string& key) {
        h.heard.push_back(key);
        waitInABox(key);
    };
    h.popup.Menus().Add("POPUP", "", smuiMenuPopup).Items().Add("UPDATE", "Check");
    for (int use = 0; use < 2; ++use) {
        h.popup.PopupMenu("POPUP", 15000, 11000);
        clicked = h.popup.ShownMenu();
        ASSERT_NE(clicked, nullptr);
        QTest::mouseClick(clicked, Qt::LeftButton, {}, clicked->actionGeometry(entry(clicked, "Check")).center());
        settle();
    }

    // The menu bar: the command ticks its own entry, which rebuilds the menus.
    h.bar.ItemClick = [&](const std::string& key) {
        h.heard.push_back(key);
        h.bar.Items().Item("VIEW").Items().Item("WEEKENDS").SetChecked(true);
        waitInABox(key);
    };
    h.bar.Items().Add("VIEW", "View").Items().Add("WEEKENDS", "Weekends");
    settle();
    auto* bar = static_cast<QMenuBar*>(h.bar.Widget());
    QAction* top = entry(bar, "View");
    ASSERT_NE(top, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
    ASSERT_TRUE(until([&] { return top->menu() && top->menu()->isVisible(); }));
    clicked = top->menu();
    QTest::mouseClick(clicked, Qt::LeftButton, {}, clicked->actionGeometry(entry(clicked, "Weekends")).center());
    settle();

    EXPECT_EQ(h.heard, (std::vector<std::string>{"UPDATE", "UPDATE", "WEEKENDS"}));
    EXPECT_EQ(goneDuringTheCommand, std::vector<std::string>{}) << "menus gone while their command ran";
    // What the command changed is shown once it is over.
    ASSERT_TRUE(until([&] { return entry(bar, "View") && entry(bar, "View")->menu(); }));
    EXPECT_TRUE(entry(entry(bar, "View")->menu(), "Weekends")->isChecked());
}

TEST_F(SmartUI, TrayIconReportsUseOnlyWhileShown)
{
    Host& h = Host::Instance();
    int uses = 0;
    h.tray.IconEvent = [&](int) { ++uses; };
    h.tray.Use();
    EXPECT_EQ(uses, 0);
    h.tray.ShowIcon();
    EXPECT_TRUE(h.tray.IconShown());
    h.tray.Use(trayClick);
    h.tray.RemoveIcon();
    h.tray.Use();
    EXPECT_EQ(uses, 1);
    TrayIcon::SetAvailable(false);
    EXPECT_FALSE(TrayIcon::Available());
    TrayIcon::SetAvailable(true);
    EXPECT_TRUE(TrayIcon::Available());
}

} // namespace
