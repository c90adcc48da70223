#pragma once
// What the settings dialogs' tests share: three controls at design time in
// a test container, bound to a page, with recorders for message boxes, file
// dialogs, UI services and opened links; the items found by their names as
// a user finds them, a user's choice in a list, steps run once the next
// modal dialog shows, the help pages of a temporary folder and screenshots.

#include "buttonlib/control/CLumvexApp.h"
#include "buttonlib/control/LumvexTestSupport.h"
#include "buttonlib/editor/COlePropertyPageEnh.h"

#include "platform/basic/FileSystem.h"
#include "platform/com/UiServices.h"
#include "platform/forms/CommonDialog.h"
#include "platform/mfc/CDialog.h"
#include "platform/testing/TempRoot.h"
#include "platform/win/Desktop.h"
#include "platform/win/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace editortest {

class EditorDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box.SetUserMode(false);
        IUnknown* objects[3] = {};
        for (int i = 0; i < 3; ++i) {
            controls[i] = lumvextest::NewButton(&buttons[i]);
            box.Add(controls[i].Get())->InitNew();
            objects[i] = controls[i].Get();
        }
        page = com::ComPtr<COlePropertyPageEnh>::Attach(new COlePropertyPageEnh(0, 0));
        ASSERT_EQ(page->SetObjects(3, objects), S_OK);
        win::SetMessageBoxPort(boxes);
        forms::SetDialogPort(dialogs);
        com::SetUiServices(ui);
        win::SetUrlOpener(urls);
        for (CLumvexCtrl* button : buttons)
            button->SetModifiedFlag(FALSE);
    }

    void TearDown() override
    {
        page->SetObjects(0, nullptr);
        win::SetMessageBoxPort(nullptr);
        forms::SetDialogPort(nullptr);
        com::SetUiServices(nullptr);
        win::SetUrlOpener(nullptr);
    }

    // The item's widget by its object name.
    template <class T = QWidget>
    static T* find(QWidget* dialog, int id)
    {
        return dialog->findChild<T*>(QStringLiteral("id%1").arg(id));
    }

    // A choice made in the list as a user makes it.
    static void pick(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    static void click(QWidget* item) { QTest::mouseClick(item, Qt::LeftButton); }

    // The texts of the message boxes shown so far, and forgets them.
    std::vector<std::string> takeMessages()
    {
        std::vector<std::string> texts;
        for (const auto& shown : boxes->shown)
            texts.push_back(shown.text);
        boxes->shown.clear();
        return texts;
    }

    // Runs step with the modal dialog that shows next (from a zero timer,
    // once the caller's DoModal has started its loop).
    static void whenModal(std::function<void(QWidget*)> step)
    {
        QTimer::singleShot(0, [step] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                ADD_FAILURE() << "no modal dialog";
                return;
            }
            step(modal);
        });
    }

    // Delivers what was posted to windows (download notices).
    static void deliverPosted()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    static void saveScreenshot(QWidget* window, const QString& name)
    {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
        QDir().mkpath(folder);
        const QString file = QStringLiteral("/editor-%1-%2.png").arg(name, QGuiApplication::platformName());
        EXPECT_TRUE(window->grab().save(folder + file));
    }

    com::TestContainer box;
    CLumvexCtrl* buttons[3] = {};
    com::ComPtr<IUnknown> controls[3];
    com::ComPtr<COlePropertyPageEnh> page;
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
    std::shared_ptr<com::RecordingUiServices> ui = std::make_shared<com::RecordingUiServices>();
    std::shared_ptr<win::FakeUrlOpener> urls = std::make_shared<win::FakeUrlOpener>();
};

// The library's and the host's help pages in a temporary folder, each
// context's page "<n>.htm"; the app's folders put back afterwards.
struct HelpPages {
    explicit HelpPages(std::initializer_list<int> contexts)
        : oldHtml(LumvexApp().m_htmlHelpPath), oldHost(LumvexApp().m_pszHelpFilePath)
    {
        for (const char* folder : {kLibraryHelpFolder, kHostHelpFolder}) {
            std::filesystem::create_directories(root.Path() / folder);
            for (int context : contexts)
                vb::fso::WriteAllBytesAtomic(root.Path() / folder / (std::to_string(context) + ".htm"), "<html/>");
        }
        LumvexApp().m_htmlHelpPath = root.Path() / kLibraryHelpFolder;
        LumvexApp().m_pszHelpFilePath = (root.Path() / kHostHelpFolder).string();
    }
    ~HelpPages()
    {
        LumvexApp().m_htmlHelpPath = oldHtml;
        LumvexApp().m_pszHelpFilePath = oldHost;
    }
    std::string Url(const char* folder, int context) const
    {
        return win::FileUrl((root.Path() / folder / (std::to_string(context) + ".htm")).string());
    }

    tv::testing::TempRoot root;
    std::filesystem::path oldHtml;
    CString oldHost;
};

} // namespace editortest
