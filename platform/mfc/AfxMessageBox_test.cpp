// Message boxes from the string table, titled with the module's name, seen
// by the one recorder of the message-box port.

#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/COleControlModule.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(AfxMessageBoxTest, StringTableTextWithTheModulesTitle)
{
    ASSERT_TRUE(AfxRegisterString(61501, "Error opening file %1"));
    EXPECT_FALSE(AfxRegisterString(61501, "taken"));
    CString text;
    AfxFormatString1(text, 61501, "/tmp/a %1.bmp");
    EXPECT_EQ(text, "Error opening file /tmp/a %1.bmp");
    EXPECT_FALSE(AfxLoadString(61999, text));
    EXPECT_EQ(text, "");

    auto box = std::make_shared<win::RecordingMessageBox>();
    win::SetMessageBoxPort(box);
    {
        COleControlModule module("Sample Control");
        EXPECT_EQ(AfxGetApp(), &module);
        EXPECT_EQ(AfxMessageBox(61501, win::MB_OKCANCEL | win::MB_DEFBUTTON2), win::IDCANCEL);
        module.m_pszAppName = "Renamed";
        box->answers = {win::IDOK};
        EXPECT_EQ(AfxMessageBox("Plain"), win::IDOK);
    }
    // Without a module the box has the system's title.
    EXPECT_EQ(AfxGetApp(), nullptr);
    AfxMessageBox("Alone");
    win::SetMessageBoxPort(nullptr);
    ASSERT_EQ(box->shown.size(), 3u);
    EXPECT_EQ(box->shown[0].text, "Error opening file %1");
    EXPECT_EQ(box->shown[0].caption, "Sample Control");
    EXPECT_EQ(box->shown[0].type, win::MB_OKCANCEL | win::MB_DEFBUTTON2);
    EXPECT_EQ(box->shown[1].caption, "Renamed");
    EXPECT_EQ(box->shown[2].caption, "Error");
}

// A box raised while a modal dialog runs is that dialog's, even when no
// window is active at that moment (as after a file dialog has closed and the
// window manager has not given the activation back yet).
TEST(AfxMessageBoxTest, TheBoxBelongsToTheModalDialogOnTop)
{
    auto box = std::make_shared<win::RecordingMessageBox>();
    win::SetMessageBoxPort(box);
    QWidget main;
    main.show();
    QDialog dialog(&main);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QApplication::setActiveWindow(nullptr);
    AfxMessageBox("Invalid picture file");
    dialog.hide();
    // Without a modal dialog the active window owns it.
    main.activateWindow();
    QApplication::setActiveWindow(&main);
    AfxMessageBox("Plain");
    win::SetMessageBoxPort(nullptr);
    ASSERT_EQ(box->shown.size(), 2u);
    EXPECT_EQ(box->shown[0].owner, &dialog);
    EXPECT_EQ(box->shown[1].owner, &main);
}

} // namespace
