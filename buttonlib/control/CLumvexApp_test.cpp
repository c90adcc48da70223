// The module's help rule and links.

#include "buttonlib/control/CLumvexApp.h"

#include "platform/basic/FileSystem.h"
#include "platform/com/Module.h"
#include "platform/testing/TempRoot.h"
#include "platform/win/Desktop.h"
#include "platform/win/MessageBox.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Opener {
    Opener() { win::SetUrlOpener(urls); }
    ~Opener() { win::SetUrlOpener(nullptr); }
    std::shared_ptr<win::FakeUrlOpener> urls = std::make_shared<win::FakeUrlOpener>();
};

// The app's two help folders pointed at pages of a temporary folder, put
// back afterwards.
struct HelpFolders {
    HelpFolders()
        : oldHtml(LumvexApp().m_htmlHelpPath), oldWin(LumvexApp().m_pszHelpFilePath)
    {
        for (const char* folder : {kLibraryHelpFolder, kHostHelpFolder}) {
            fs::create_directories(root.Path() / folder);
            vb::fso::WriteAllBytesAtomic(root.Path() / folder / "7.htm", "<html>seven</html>");
        }
        LumvexApp().m_htmlHelpPath = root.Path() / kLibraryHelpFolder;
        LumvexApp().m_pszHelpFilePath = (root.Path() / kHostHelpFolder).string();
        win::SetMessageBoxPort(boxes);
    }
    ~HelpFolders()
    {
        win::SetMessageBoxPort(nullptr);
        LumvexApp().m_htmlHelpPath = oldHtml;
        LumvexApp().m_pszHelpFilePath = oldWin;
    }
    std::string PageUrl(const char* folder) const { return win::FileUrl((root.Path() / folder / "7.htm").string()); }

    tv::testing::TempRoot root;
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
    fs::path oldHtml;
    CString oldWin;
};

TEST(CLumvexApp, HelpFoldersAreBesideTheLibraryAndAfterEditPropertiesInTheHostsFolder)
{
    ASSERT_TRUE(AfxInitModule());
    EXPECT_EQ(LumvexApp().m_htmlHelpPath, com::ThisModulePath().parent_path() / "quorvel");
    EXPECT_EQ(LumvexApp().m_pszAppName, "Quorvel Button");
    const CString before = LumvexApp().m_pszHelpFilePath;
    LumvexApp().SetHostHelpPath();
    EXPECT_EQ(fs::path(LumvexApp().m_pszHelpFilePath), fs::read_symlink("/proc/self/exe").parent_path() / "kestrum");
    LumvexApp().m_pszHelpFilePath = before;
}

TEST(CLumvexApp, TheHelpRuleOpensTheLinkTheHostsPageOrTheLibrarysPage)
{
    HelpFolders help;
    Opener opener;
    LumvexApp().ShowHelp(nullptr, "https://example.com/help", TRUE, 7, 7);
    LumvexApp().ShowHelp(nullptr, "", TRUE, 7, 8);
    LumvexApp().ShowHelp(nullptr, "", FALSE, 7, 7);
    // Opened by EditProperties, but the dialog has no such context.
    LumvexApp().ShowHelp(nullptr, "", TRUE, 0, 7);
    EXPECT_EQ(opener.urls->opened,
              (std::vector<std::string>{"https://example.com/help", help.PageUrl(kHostHelpFolder),
                                        help.PageUrl(kLibraryHelpFolder), help.PageUrl(kLibraryHelpFolder)}));

    // A page that opens says nothing; one that is not there opens nothing
    // and says which page it looked for, over the window that asked.
    EXPECT_TRUE(help.boxes->shown.empty());
    opener.urls->opened.clear();
    QWidget dialog;
    LumvexApp().ShowHelp(&dialog, "", FALSE, 0, 8);
    LumvexApp().ShowHelp(nullptr, "", TRUE, 8, 0);
    EXPECT_TRUE(opener.urls->opened.empty());
    ASSERT_EQ(help.boxes->shown.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const char* folder = i == 0 ? kLibraryHelpFolder : kHostHelpFolder;
        EXPECT_EQ(help.boxes->shown[i].text,
                  "The help page \"" + (help.root.Path() / folder / "8.htm").string() + "\" is not installed.");
        EXPECT_EQ(help.boxes->shown[i].caption, LumvexApp().m_pszAppName);
        EXPECT_EQ(help.boxes->shown[i].type & 0xF, win::MB_OK);
    }
    EXPECT_EQ(help.boxes->shown[0].owner, &dialog);
}

TEST(CLumvexApp, LinksAreAddressesOrLocalFiles)
{
    Opener opener;
    LumvexApp().OpenLink(nullptr, "http://example.com/a b");
    LumvexApp().OpenLink(nullptr, "mailto:someone@example.com");
    LumvexApp().OpenLink(nullptr, "/tmp/notes.txt");
    LumvexApp().OpenLink(nullptr, "");
    EXPECT_EQ(opener.urls->opened, (std::vector<std::string>{"http://example.com/a b", "mailto:someone@example.com",
                                                             win::FileUrl("/tmp/notes.txt")}));
}

} // namespace
