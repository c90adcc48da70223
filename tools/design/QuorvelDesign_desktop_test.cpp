// quorvel-design on a desktop of its own (Xvfb and openbox, through
// tools/desktop-session.sh), driven as a user drives it, with the mouse and
// the keys: a double click on the button opens its property frame, the
// shape dialog makes it an ellipse, File > Save writes a template, and the
// tool started again on that template shows the ellipse; Run hands the
// button to the user.

#include "tools/design/DesignDesktopTestSupport.h"

using namespace designtest;

namespace {

TEST_F(QuorvelDesign, AShapeChosenInItsDialogIsSavedAndOpenedAgain)
{
    // A corner of the button, inside a rectangle but outside an ellipse.
    const QPoint corner = layout.button.topLeft() + QPoint(4, 4);
    const QPoint inside(layout.button.left() + 12, layout.button.center().y());
    const fs::path file = home.Path() / "ellipse.kzt";
    {
        const WId window = tool.Window();
        ASSERT_NE(window, 0u) << "the tool did not show";
        ASSERT_TRUE(waitUntil([&] { return !isWhite(shot(window).pixel(inside)); })) << "no button on the form";
        EXPECT_FALSE(isWhite(shot(window).pixel(corner))) << "the new button is no rectangle";

        const WId frame = openProperties(window);
        ASSERT_NE(frame, 0u) << "no property frame after a double click";
        ASSERT_TRUE(clickAt(frame, layout.pageButton(318)));
        const WId shape = windowNamed(exact(QStringLiteral("Shape settings")));
        ASSERT_NE(shape, 0u) << "no shape dialog";
        // The shape list has the focus on "0 - Rectangle"; three down is
        // "3 - Ellipse".
        ASSERT_TRUE(keys(shape, {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down")}));
        ASSERT_TRUE(keys(shape, {QStringLiteral("Escape")}));
        ASSERT_TRUE(gone(exact(QStringLiteral("Shape settings"))));
        ASSERT_TRUE(clickAt(frame, layout.frameButton(com::kFrameOk)));
        ASSERT_TRUE(gone(exact(layout.frameCaption)));
        EXPECT_TRUE(waitUntil([&] { return isWhite(shot(window).pixel(corner)); })) << "the button is no ellipse";

        // File > Save: the page's own dialog; a bare name gets ".kzt".
        ASSERT_TRUE(keys(window, {QStringLiteral("ctrl+s")}));
        const WId save = windowNamed(exact(QStringLiteral("Save button template file")));
        ASSERT_NE(save, 0u) << "no save dialog";
        // Keys sent while the dialog is still coming up can be lost.
        settledShot(save);
        ASSERT_TRUE(type(save, QString::fromStdString((home.Path() / "ellipse").string())));
        ASSERT_TRUE(keys(save, {QStringLiteral("Return")}));
        ASSERT_TRUE(waitUntil([&] { return fs::exists(file); })) << "no template written";
        EXPECT_TRUE(tool.Quit(window));
    }
    {
        Tool again(home.Path(), {QString::fromStdString(file.string())});
        const WId window = again.Window();
        ASSERT_NE(window, 0u) << "the tool did not show";
        ASSERT_TRUE(waitUntil([&] { return !isWhite(shot(window).pixel(inside)); })) << "no button on the form";
        EXPECT_TRUE(waitUntil([&] { return isWhite(shot(window).pixel(corner)); }))
            << "the button opened from the template is no ellipse";
        keep(settledShot(window), QStringLiteral("ellipse"));
        // Run: the selection and its grips go, the button is the user's.
        const QPoint grip = layout.button.bottomRight() + QPoint(5, 5); // the grip's outline
        EXPECT_FALSE(isWhite(shot(window).pixel(grip))) << "no grips in design mode";
        ASSERT_TRUE(keys(window, {QStringLiteral("F5")}));
        EXPECT_TRUE(waitUntil([&] { return isWhite(shot(window).pixel(grip)); })) << "the grips stay while running";
        keep(settledShot(window), QStringLiteral("running"));
        EXPECT_TRUE(again.Quit(window));
    }
}

} // namespace
