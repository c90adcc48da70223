#pragma once
// What the tests of quorvel-design on a desktop of their own share: the tool
// as a process with its own settings folder, xdotool to click and type as a
// user does, pictures of windows as the screen shows them, and where things
// are, from the same pieces in this process, never shown: the design
// window's layout and a property frame around the library's page.

#include "tools/design/DesignWindow.h"

#include "buttonlib/control/ControlIds.h"

#include "platform/com/Loader.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/PropertyFrame.h"
#include "platform/testing/DesktopWaits.h"
#include "platform/testing/Screenshots.h"
#include "platform/testing/TempRoot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace designtest {

namespace fs = std::filesystem;

// Runs the event loop until done() or the time is up.
inline bool waitUntil(const std::function<bool()>& done, int milliseconds = 20000)
{
    return tv::testing::WaitUntil(done, milliseconds);
}

// xdotool with the arguments; its output, or nothing when it failed.
inline std::optional<QString> xdotool(const QStringList& args, int milliseconds = 20000)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(milliseconds)) {
        p.kill();
        p.waitForFinished();
        return std::nullopt;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The visible window whose title matches, once it is there (0: none came).
inline WId windowNamed(const QString& pattern)
{
    WId found = 0;
    waitUntil([&] {
        const auto out = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                  pattern},
                                 5000);
        if (out && !out->isEmpty())
            found = out->split(QLatin1Char('\n')).last().toULong();
        return found != 0;
    });
    return found;
}

inline bool gone(const QString& pattern)
{
    return waitUntil([&] {
        const auto out = xdotool(
            {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern}, 5000);
        return !out || out->isEmpty();
    });
}

// Where the window manager put the window's client area, in screen
// coordinates (empty when it cannot be told).
inline QRect geometryOf(WId window)
{
    const auto out = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window)});
    if (!out)
        return {};
    int x = 0, y = 0, w = 0, h = 0;
    for (const QString& line : out->split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("X=")))
            x = value.toInt();
        else if (line.startsWith(QLatin1String("Y=")))
            y = value.toInt();
        else if (line.startsWith(QLatin1String("WIDTH=")))
            w = value.toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            h = value.toInt();
    }
    return QRect(x, y, w, h);
}

inline QString nameOf(WId window)
{
    return xdotool({QStringLiteral("getwindowname"), QString::number(window)}).value_or(QString());
}

// Drags with the left button from one point of the window to another, in
// steps, as a hand does.
inline bool drag(WId window, QPoint from, QPoint to)
{
    const QString id = QString::number(window);
    QStringList args{QStringLiteral("windowactivate"), QStringLiteral("--sync"), id,   QStringLiteral("mousemove"),
                     QStringLiteral("--window"),       id,                      QString::number(from.x()),
                     QString::number(from.y()),        QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = from + (to - from) * step / 4;
        args << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mousemove")
             << QStringLiteral("--window") << id << QString::number(at.x()) << QString::number(at.y());
    }
    args << QStringLiteral("mouseup") << QStringLiteral("1");
    return xdotool(args).has_value();
}

inline QString exact(const QString& title)
{
    return QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
}

inline bool clickAt(WId window, QPoint at, int clicks = 1)
{
    return xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window),
                    QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                    QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                    QStringLiteral("--repeat"), QString::number(clicks), QStringLiteral("--delay"),
                    QStringLiteral("120"), QStringLiteral("1")})
        .has_value();
}

inline bool keys(WId window, const QStringList& names)
{
    QStringList args{QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window),
                     QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80")};
    return xdotool(args + names).has_value();
}

inline bool type(WId window, const QString& text)
{
    return xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window),
                    QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text})
        .has_value();
}

// The window's client area as the screen shows it.
inline QImage shot(WId window)
{
    return QGuiApplication::primaryScreen()->grabWindow(window).toImage();
}

// The window's picture once it has stopped changing (painted whole).
inline QImage settledShot(WId window)
{
    QImage last = shot(window);
    waitUntil(
        [&] {
            QThread::msleep(60);
            QImage now = shot(window);
            const bool same = now == last;
            last = std::move(now);
            return same && !last.isNull();
        },
        5000);
    return last;
}

// Written only when pictures were asked for (tools/screenshots.sh).
inline void keep(const QImage& picture, const QString& name)
{
    tv::testing::SaveScreenshot(picture, QStringLiteral("quorvel-design-") + name);
}

// The least and greatest size the window asks the window manager for.
struct SizeHints {
    QSize least;
    QSize greatest;
};
inline SizeHints sizeHints(WId window)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QStringLiteral("WM_NORMAL_HINTS")});
    p.waitForFinished(10000);
    const QString text = QString::fromLocal8Bit(p.readAllStandardOutput());
    auto sizeAfter = [&](const char* label) {
        const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(": (\\d+) by (\\d+)"));
        const auto m = re.match(text);
        return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
    };
    return {sizeAfter("minimum size"), sizeAfter("maximum size")};
}

// What the window manager lets the user do with the window
// (_NET_WM_ALLOWED_ACTIONS, as "RESIZE", "MAXIMIZE_HORZ", ...).
inline QStringList allowedActions(WId window)
{
    QProcess p;
    p.start(QStringLiteral("xprop"),
            {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_ALLOWED_ACTIONS")});
    p.waitForFinished(10000);
    QStringList actions;
    const QString text = QString::fromLocal8Bit(p.readAllStandardOutput());
    const QRegularExpression re(QStringLiteral("_NET_WM_ACTION_([A-Z_]+)"));
    for (auto it = re.globalMatch(text); it.hasNext();)
        actions << it.next().captured(1);
    return actions;
}

// Where things are: the same pieces as the tool's, in this process and
// never shown.
struct Layout {
    Layout()
    {
        EXPECT_EQ(com::RegisterServer(TV_QUORVEL_LIBRARY), S_OK);
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID("LUMVEX.LumvexCtrl.4", &clsid), S_OK);
        EXPECT_EQ(window.CreateButton(clsid), S_OK);
        // Laid out as shown, but never on the screen.
        window.setAttribute(Qt::WA_DontShowOnScreen);
        window.show();
        const RECT r = window.Site()->Rect();
        button = QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1))
                     .translated(window.Form()->mapTo(&window, QPoint(0, 0)));
        for (int i = 0; i < 8; ++i)
            grips[std::size_t(i)] =
                window.Selection()->GripRect(i).center() + window.Form()->mapTo(&window, QPoint(0, 0));

        IUnknown* control = window.Site()->Control();
        com::ComPtr<IOleObject> object;
        control->QueryInterface(IOleObject::kIid, object.ReceiveVoid());
        LPOLESTR name = nullptr;
        if (object && SUCCEEDED(object->GetUserType(1, &name)) && name) {
            frameCaption = QString::fromStdString(com::Utf8FromOleString(name));
            CoTaskMemFree(name);
        }
        com::PropertyFrameRequest request;
        request.caption = frameCaption.toStdString();
        request.objects.emplace_back(control);
        request.pages.push_back(CLSID_LumvexPropPage);
        frame = std::make_unique<com::PropertyFrame>(request);
        EXPECT_EQ(frame->Open(), S_OK);
        frame->setAttribute(Qt::WA_DontShowOnScreen);
        frame->show();
    }
    ~Layout()
    {
        frame.reset();
        EXPECT_EQ(com::UnregisterServer(TV_QUORVEL_LIBRARY), S_OK);
    }

    // The middle of the page's button, in the frame's client area.
    QPoint pageButton(int id) const
    {
        QWidget* area = frame->PageArea(0);
        QWidget* b = area ? area->findChild<QWidget*>(QStringLiteral("id%1").arg(id)) : nullptr;
        EXPECT_NE(b, nullptr) << "no page button " << id;
        return b ? b->mapTo(frame.get(), b->rect().center()) : QPoint();
    }
    QPoint frameButton(int id) const
    {
        QWidget* b = frame->Button(id);
        return b ? b->mapTo(frame.get(), b->rect().center()) : QPoint();
    }

    tv::testing::TempRoot root;
    design::DesignWindow window;
    // The button and its grips, in the window's client area.
    QRect button;
    std::array<QPoint, 8> grips;
    QString frameCaption;
    std::unique_ptr<com::PropertyFrame> frame;
};

// The tool as a process with a folder of its own for its settings, started
// at once (it takes seconds to show: the test works meanwhile), and its exit
// awaited.
class Tool {
public:
    explicit Tool(const fs::path& home, const QStringList& args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString((home / "config").string()));
        // Its leaks are the window tests' to find (tools_design_tests); a
        // leak check at every exit here only costs time.
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0:intercept_tls_get_addr=0"));
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(QStringLiteral(TV_QUORVEL_DESIGN), args);
    }
    ~Tool()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    // Its window's id once it shows (0: it did not): the largest of its
    // windows, as its boxes are titled like it.
    WId Window()
    {
        if (process_.state() == QProcess::Starting && !process_.waitForStarted(20000))
            return 0;
        if (process_.state() != QProcess::Running)
            return 0;
        WId found = 0;
        waitUntil([&] {
            long long largest = 0;
            for (WId w : Windows()) {
                const QRect g = geometryOf(w);
                if (nameOf(w).startsWith(QLatin1String("Quorvel Design")) && g.width() * g.height() > largest) {
                    largest = g.width() * g.height();
                    found = w;
                }
            }
            return found != 0;
        });
        return found;
    }
    // Its visible windows (the main window, boxes, dialogs).
    std::vector<WId> Windows()
    {
        std::vector<WId> out;
        const auto list = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                   QString::number(process_.processId()), QStringLiteral("--name"), QStringLiteral(".")},
                                  5000);
        if (list)
            for (const QString& id : list->split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                out.push_back(id.toULong());
        return out;
    }
    // Its window other than main titled title, once it shows (0: none came).
    WId Box(WId main, const QString& title)
    {
        WId found = 0;
        waitUntil([&] {
            for (WId w : Windows())
                if (w != main && nameOf(w) == title)
                    found = w;
            return found != 0;
        });
        return found;
    }
    bool Running() const { return process_.state() != QProcess::NotRunning; }
    // Its end, once it ends by itself; true when it ended cleanly.
    bool Ended()
    {
        if (!waitUntil([&] { return process_.state() == QProcess::NotRunning; }, 30000))
            return false;
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    // Quit from its menu's key; true when it ended cleanly.
    bool Quit(WId window)
    {
        keys(window, {QStringLiteral("ctrl+q")});
        return Ended();
    }

private:
    QProcess process_;
};

inline bool isWhite(QRgb c)
{
    return (c & 0xFFFFFF) == 0xFFFFFF;
}

class QuorvelDesign : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
            << "run this test through tools/desktop-session.sh";
    }

    // Opens the property frame with a double click on the button.
    WId openProperties(WId tool)
    {
        if (!clickAt(tool, layout.button.center(), 2))
            return 0;
        return windowNamed(exact(layout.frameCaption));
    }

    tv::testing::TempRoot home;
    // Started before the layout is worked out here, which takes as long.
    Tool tool{home.Path()};
    Layout layout;
};

} // namespace designtest
