// quorvel-design's window and the nine settings dialogs its page opens, on
// a desktop of its own (Xvfb and openbox), as the screen shows them; the
// pictures go to the build tree's screenshots. Every dialog keeps its size
// for good: the window manager is told its least and greatest size are the
// size it shows.

#include "tools/design/DesignDesktopTestSupport.h"

using namespace designtest;

namespace {

TEST_F(QuorvelDesign, TheToolAndItsNineDialogsAsTheScreenShowsThem)
{
    struct Dialog {
        int pageButton;
        const char* caption;
        const char* name;
    };
    const Dialog dialogs[] = {
        {319, "Button behaviour settings", "behaviour"},
        {318, "Shape settings", "shape"},
        {360, "Text Settings", "text"},
        {304, "Color settings", "colors"},
        {338, "Pictures and animations choice", "picture-choice"},
        {315, "Pictures and animations settings", "picture-settings"},
        {314, "Texture settings", "texture"},
        {316, "Sounds and cursors picker", "sounds-cursors"},
        {317, "Hyperlink settings", "hyperlink"},
    };
    Tool tool(home.Path());
    const WId window = tool.Start();
    ASSERT_NE(window, 0u) << "the tool did not show";
    ASSERT_TRUE(waitUntil([&] { return !isWhite(shot(window).pixel(layout.button.center())); }));
    keep(settledShot(window), QStringLiteral("tool"));
    const WId frame = openProperties(window);
    ASSERT_NE(frame, 0u) << "no property frame after a double click";
    keep(settledShot(frame), QStringLiteral("property-frame"));
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.caption);
        ASSERT_TRUE(clickAt(frame, layout.pageButton(d.pageButton)));
        const WId dialog = windowNamed(exact(QString::fromLatin1(d.caption)));
        ASSERT_NE(dialog, 0u) << "the dialog did not open";
        // The window manager is told it cannot be resized: its least and
        // greatest size are the size it shows.
        const SizeHints hints = sizeHints(dialog);
        const QImage picture = settledShot(dialog);
        EXPECT_TRUE(hints.least.isValid());
        EXPECT_EQ(hints.least, hints.greatest);
        EXPECT_EQ(picture.size(), hints.least);
        // And so it offers neither.
        const QStringList actions = allowedActions(dialog);
        EXPECT_TRUE(actions.contains(QStringLiteral("MOVE"))) << actions.join(QLatin1Char(' ')).toStdString();
        for (const char* refused : {"RESIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"})
            EXPECT_FALSE(actions.contains(QString::fromLatin1(refused))) << refused;
        keep(picture, QString::fromLatin1(d.name));
        ASSERT_TRUE(keys(dialog, {QStringLiteral("Escape")}));
        ASSERT_TRUE(gone(exact(QString::fromLatin1(d.caption)))) << "the dialog did not close";
    }
    ASSERT_TRUE(clickAt(frame, layout.frameButton(com::kFrameOk)));
    ASSERT_TRUE(gone(exact(layout.frameCaption)));
    EXPECT_TRUE(tool.Quit(window));
}

} // namespace
