// The page as a container meets it: libquorvel.so registered into a
// registry store of the test's own, the button made by ProgID, the page
// opened through IDispatch. The library's frame, file dialogs and message
// boxes are answered by this process's seams, handed over by the loader.

#include "buttonlib/control/ControlIds.h"
#include "buttonlib/editor/EditorTestSupport.h"

#include "platform/com/Bstr.h"
#include "platform/com/Loader.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/Registration.h"
#include "platform/com/Server.h"
#include "platform/com/testserver/ComTesting.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

namespace {

namespace fs = std::filesystem;

const fs::path kLibrary = TV_QUORVEL_LIBRARY;

// The library's button with the calls these tests make through IDispatch.
struct LibraryButton : editortest::LoadedButton {
    HRESULT EditProperties(OLE_COLOR text, OLE_COLOR back, LONG x, LONG y)
    {
        const DISPID id = comtest::IdOf(dispatch.Get(), u"EditProperties");
        return comtest::Call(dispatch.Get(), id, DISPATCH_METHOD,
                             {com::ComVariant::I4(std::int32_t(text)), com::ComVariant::I4(std::int32_t(back)),
                              com::ComVariant::I4(x), com::ComVariant::I4(y)});
    }
    short SaveTemplate(const fs::path& path) { return Method(u"SaveTemplate", path); }
    short Shape() { return comtest::Get(dispatch.Get(), dispidShape).iVal; }
    short TextureMode() { return comtest::Get(dispatch.Get(), dispidTextureMode).iVal; }
    std::string Picture()
    {
        const com::ComVariant path = comtest::Get(dispatch.Get(), dispidPicture);
        return path.vt == VT_BSTR ? com::Utf8FromBstr(path.bstrVal) : "?";
    }
    short Method(std::u16string name, const fs::path& path)
    {
        com::ComVariant result;
        comtest::Call(dispatch.Get(), comtest::IdOf(dispatch.Get(), name), DISPATCH_METHOD,
                      {com::ComVariant::Text(path.string())}, &result);
        return result.vt == VT_I2 ? result.iVal : -1;
    }
    short LoadTemplate(const fs::path& path) { return Method(u"LoadTemplate", path); }
    // What the settings dialogs changed, read the way a container reads it.
    std::string Look()
    {
        com::ComVariant text;
        comtest::Call(dispatch.Get(), comtest::IdOf(dispatch.Get(), u"GetTextOnPos"), DISPATCH_METHOD,
                      {com::ComVariant::I2(0)}, &text);
        const com::ComVariant back = comtest::Get(dispatch.Get(), dispidBackColor);
        const com::ComVariant position = comtest::Get(dispatch.Get(), dispidPicturePosition);
        return "back " + std::to_string(back.lVal) + " text " + (text.vt == VT_BSTR ? com::Utf8FromBstr(text.bstrVal) : "?") +
               " position " + std::to_string(position.iVal);
    }
};

// The library registered, the editor's seams recorded and its property
// frames run modally, for the time of a test.
struct LibraryEditing {
    LibraryEditing()
    {
        registered = com::RegisterServer(kLibrary) == S_OK;
        ui->modal = true;
        com::SetUiServices(ui);
    }
    ~LibraryEditing()
    {
        com::SetUiServices(nullptr);
        EXPECT_EQ(com::UnregisterServer(kLibrary), S_OK);
    }
    LibraryEditing(const LibraryEditing&) = delete;
    LibraryEditing& operator=(const LibraryEditing&) = delete;

    tv::testing::TempRoot root;
    editortest::EditorSeams seams;
    std::shared_ptr<editortest::FrameUi> ui = std::make_shared<editortest::FrameUi>();
    bool registered = false;
};

TEST(PropPageLibrary, TheLibrarysFrameAndPageAnswerThroughTheHostsServices)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(com::RegisterServer(kLibrary), S_OK);
    // Both page classes are registered with the control.
    const std::string library = fs::canonical(kLibrary).string();
    EXPECT_EQ(com::ClassesRootValue(com::ClassKey(CLSID_LumvexPropPage)), "Lumvex Property Page");
    EXPECT_EQ(com::ClassesRootValue(com::ClassKey(CLSID_LumvexPropPage) + "\\InprocServer32"), library);
    EXPECT_EQ(com::ClassesRootValue(com::ClassKey(CLSID_COlePropertyPageEnh) + "\\InprocServer32"), library);
    EXPECT_EQ(com::ClassesRootValue(std::string(kPropertyPageEnhProgId) + "\\CLSID"),
              com::GuidText(CLSID_COlePropertyPageEnh));

    auto recorder = std::make_shared<com::RecordingUiServices>();
    com::SetUiServices(recorder);
    {
        LibraryButton b;
        ASSERT_TRUE(b.dispatch);
        // The page the button lists.
        auto specify = b.site->ControlAs<ISpecifyPropertyPages>();
        ASSERT_TRUE(specify);
        CAUUID pages{};
        ASSERT_EQ(specify->GetPages(&pages), S_OK);
        ASSERT_EQ(pages.cElems, 1u);
        EXPECT_EQ(pages.pElems[0], CLSID_LumvexPropPage);
        CoTaskMemFree(pages.pElems);

        // The library's request reaches this process's recorder, and makes
        // its pages the library's way.
        EXPECT_EQ(b.EditProperties(0, 0xFFFFFF, 30, 40), S_OK);
        ASSERT_EQ(recorder->frames.size(), 1u);
        const com::PropertyFrameRequest& r = recorder->frames[0];
        EXPECT_EQ(r.pages, std::vector<CLSID>{CLSID_LumvexPropPage});
        EXPECT_EQ(r.objects.size(), 1u);
        ASSERT_TRUE(r.createPage);
        EXPECT_NE(r.createPage, &com::CreatePropertyPage);
        com::ComPtr<IPropertyPage> page;
        ASSERT_EQ(r.createPage(CLSID_LumvexPropPage, page.Receive()), S_OK);
        PROPPAGEINFO info{};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        EXPECT_EQ(com::Utf8FromOleString(info.pszTitle), "General");
        CoTaskMemFree(info.pszTitle);
        page.Reset();
        recorder->frames.clear();
        b.box.CloseAll();
    }
    com::SetUiServices(nullptr);

    EXPECT_EQ(com::UnregisterServer(kLibrary), S_OK);
    EXPECT_FALSE(com::ClassesRootValue(com::ClassKey(CLSID_LumvexPropPage)));
    EXPECT_FALSE(com::ClassesRootValue(com::ClassKey(CLSID_COlePropertyPageEnh)));
}

TEST(PropPageLibrary, EditPropertiesSavesChangesAndLoadsATemplateEndToEnd)
{
    LibraryEditing editing;
    ASSERT_TRUE(editing.registered);
    tv::testing::TempRoot& root = editing.root;
    editortest::EditorSeams& seams = editing.seams;
    {
        LibraryButton b;
        ASSERT_TRUE(b.dispatch);
        const fs::path before = root.Path() / "before.kzt";
        ASSERT_EQ(b.SaveTemplate(before), 1);
        const short shape = b.Shape();
        const fs::path chosen = root.Path() / "look";
        seams.dialogs->files = {chosen.string(), (root.Path() / "look.kzt").string()};

        editortest::ModalSteps steps;
        QPoint framePos;
        QColor background;
        steps.Add("propertyFrame", [&](QWidget& frame) {
            // A window manager places the frame once it is mapped.
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
            (void)QTest::qWaitFor([&frame] { return frame.pos() == QPoint(120, 90); }, 2000);
            framePos = frame.pos();
            QWidget* page = frame.findChild<QWidget*>("dialog200");
            ASSERT_TRUE(page);
            background = frame.grab().toImage().pixelColor(page->mapTo(&frame, QPoint(page->width() - 2, 2)));
            QTest::mouseClick(editortest::PageButton(frame, 364), Qt::LeftButton);
        });
        steps.Add("propertyFrame", [&](QWidget& frame) {
            EXPECT_EQ(comtest::Put(b.dispatch.Get(), dispidShape, com::ComVariant::I2(shape == 3 ? 1 : 3)), S_OK);
            EXPECT_NE(b.Shape(), shape);
            QTest::mouseClick(editortest::PageButton(frame, 365), Qt::LeftButton);
        });
        steps.Add("propertyFrame", [&](QWidget& frame) {
            QTest::mouseClick(frame.findChild<QWidget*>("id1"), Qt::LeftButton);
        });
        steps.Start();
        EXPECT_EQ(b.EditProperties(0x00FFFF, 0x404000, 120, 90), S_OK);
        EXPECT_TRUE(steps.Done());
        EXPECT_FALSE(QApplication::activeModalWidget());

        EXPECT_EQ(framePos, QPoint(120, 90));
        EXPECT_EQ(background, QColor(0, 0x40, 0x40));
        ASSERT_EQ(seams.dialogs->fileRequests.size(), 2u);
        EXPECT_EQ(seams.dialogs->fileRequests[0].flags & forms::OFN_FILEMUSTEXIST, 0u);
        EXPECT_EQ(tv::testing::ReadRaw(root.Path() / "look.kzt"), tv::testing::ReadRaw(before));
        EXPECT_EQ(b.Shape(), shape);
        EXPECT_TRUE(seams.boxes->shown.empty());
        b.box.CloseAll();
    }
}

// A step that opens a modal dialog from the frame: the click is posted so
// that the step ends and the next one runs inside the dialog's loop.
void ClickPageButtonLater(QWidget& frame, int id)
{
    QWidget* button = editortest::PageButton(frame, id);
    ASSERT_TRUE(button);
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
}

void ClickItem(QWidget& dialog, int id)
{
    auto* item = dialog.findChild<QWidget*>(QStringLiteral("id%1").arg(id));
    ASSERT_TRUE(item) << id;
    // A radio button takes clicks on its mark.
    const bool radio = qobject_cast<QRadioButton*>(item);
    QTest::mouseClick(item, Qt::LeftButton, {}, radio ? QPoint(6, item->height() / 2) : item->rect().center());
}

TEST(PropPageLibrary, SettingsDialogsChangeTheButtonAndATemplateCarriesItToAnother)
{
    LibraryEditing editing;
    ASSERT_TRUE(editing.registered);
    tv::testing::TempRoot& root = editing.root;
    editortest::EditorSeams& seams = editing.seams;
    {
        LibraryButton b;
        ASSERT_TRUE(b.dispatch);
        const fs::path saved = root.Path() / "styled.kzt";
        seams.dialogs->colors = {RGB(12, 34, 56)};
        seams.dialogs->files = {saved.string()};

        editortest::ModalSteps steps;
        steps.Add("propertyFrame", [](QWidget& frame) { ClickPageButtonLater(frame, 304); });
        steps.Add("dialog32260", [](QWidget& dialog) {
            ClickItem(dialog, 319); // "Generic background"
            ClickItem(dialog, 304); // "Change..."
            ClickItem(dialog, 1);
        });
        steps.Add("propertyFrame", [](QWidget& frame) { ClickPageButtonLater(frame, 360); });
        steps.Add("dialog215", [](QWidget& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("id238");
            ASSERT_TRUE(edit);
            edit->selectAll();
            QTest::keyClicks(edit, "Ahoy");
            ClickItem(dialog, 1);
        });
        steps.Add("propertyFrame", [](QWidget& frame) { ClickPageButtonLater(frame, 315); });
        steps.Add("dialog242", [](QWidget& dialog) {
            ClickItem(dialog, 253); // left top
            ClickItem(dialog, 1);
        });
        steps.Add("propertyFrame", [](QWidget& frame) {
            QTest::mouseClick(editortest::PageButton(frame, 364), Qt::LeftButton);
        });
        steps.Add("propertyFrame", [](QWidget& frame) { ClickItem(frame, 1); });
        steps.Start();
        EXPECT_EQ(b.EditProperties(0x000000, 0xC0C0C0, 40, 40), S_OK);
        EXPECT_TRUE(steps.Done());
        EXPECT_FALSE(QApplication::activeModalWidget());

        const std::string look = "back " + std::to_string(RGB(12, 34, 56)) + " text Ahoy position 1";
        EXPECT_EQ(b.Look(), look);
        EXPECT_EQ(seams.dialogs->colorRequests.size(), 1u);
        EXPECT_TRUE(seams.boxes->shown.empty());

        // A second button made through the loader takes the look from the
        // template the first one saved.
        LibraryButton other;
        ASSERT_TRUE(other.dispatch);
        EXPECT_NE(other.Look(), look);
        EXPECT_EQ(other.LoadTemplate(saved), 1);
        EXPECT_EQ(other.Look(), look);
        other.box.CloseAll();
        b.box.CloseAll();
    }
}

TEST(PropPageLibrary, ThePagesButtonsOpenTheShapeAndHyperlinkDialogs)
{
    LibraryEditing editing;
    ASSERT_TRUE(editing.registered);
    tv::testing::TempRoot& root = editing.root;
    editortest::EditorSeams& seams = editing.seams;
    {
        LibraryButton b;
        ASSERT_TRUE(b.dispatch);
        ASSERT_NE(b.Shape(), 3);

        editortest::ModalSteps steps;
        // Clicked from the loop, so that this step ends while the dialog runs.
        steps.Add("propertyFrame", [](QWidget& frame) {
            QTimer::singleShot(0, [&frame] { QTest::mouseClick(editortest::PageButton(frame, 318), Qt::LeftButton); });
        });
        steps.Add("dialog32261", [](QWidget& dialog) {
            auto* shape = dialog.findChild<QComboBox*>("id201");
            ASSERT_TRUE(shape);
            const int ellipse = shape->findText("3 - Ellipse");
            ASSERT_EQ(ellipse, 3);
            shape->setCurrentIndex(ellipse);
            emit shape->activated(ellipse);
            QTest::mouseClick(dialog.findChild<QWidget*>("id311"), Qt::LeftButton);
        });
        // Clicked from the loop, so that this step ends while the dialog runs.
        steps.Add("propertyFrame", [](QWidget& frame) {
            QTimer::singleShot(0, [&frame] { QTest::mouseClick(editortest::PageButton(frame, 317), Qt::LeftButton); });
        });
        steps.Add("dialog241", [](QWidget& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>("id291");
            ASSERT_TRUE(edit);
            edit->selectAll();
            QTest::keyClicks(edit, "https://example.com/typed");
            QTest::mouseClick(dialog.findChild<QWidget*>("id1"), Qt::LeftButton);
        });
        steps.Add("propertyFrame",
                  [](QWidget& frame) { QTest::mouseClick(frame.findChild<QWidget*>("id1"), Qt::LeftButton); });
        steps.Start();
        EXPECT_EQ(b.EditProperties(0, 0xFFFFFF, 30, 40), S_OK);
        EXPECT_TRUE(steps.Done());
        EXPECT_FALSE(QApplication::activeModalWidget());

        EXPECT_EQ(b.Shape(), 3);
        EXPECT_EQ(com::Utf8FromBstr(comtest::Get(b.dispatch.Get(), dispidHyperlink).bstrVal),
                  "https://example.com/typed");

        // The shape travels in a template to a second button of the library.
        const fs::path saved = root.Path() / "ellipse.kzt";
        ASSERT_EQ(b.SaveTemplate(saved), 1);
        LibraryButton second;
        ASSERT_TRUE(second.dispatch);
        ASSERT_NE(second.Shape(), 3);
        EXPECT_EQ(second.LoadTemplate(saved), 1);
        EXPECT_EQ(second.Shape(), 3);
        EXPECT_TRUE(seams.boxes->shown.empty());
        second.box.CloseAll();
        b.box.CloseAll();
    }
}

TEST(PropPageLibrary, APictureAndTextureModeChosenInTheirDialogsTravelInAnExtendedTemplate)
{
    LibraryEditing editing;
    ASSERT_TRUE(editing.registered);
    tv::testing::TempRoot& root = editing.root;
    editortest::EditorSeams& seams = editing.seams;
    {
        LibraryButton b;
        ASSERT_TRUE(b.dispatch);
        const fs::path png = root.Path() / "face.png";
        QImage face(12, 9, QImage::Format_RGB32);
        face.fill(QColor(30, 140, 30));
        ASSERT_TRUE(face.save(QString::fromStdString(png.string())));
        const fs::path saved = root.Path() / "face.kzt";
        seams.dialogs->files = {png.string(), saved.string()};
        // In template-edit mode the page saves the extended form, media
        // paths included.
        EXPECT_EQ(comtest::Call(b.dispatch.Get(), comtest::IdOf(b.dispatch.Get(), u"SetEditingTplMode"),
                                DISPATCH_METHOD, {com::ComVariant::I2(1)}),
                  S_OK);
        EXPECT_EQ(comtest::Put(b.dispatch.Get(), dispidTextureMode, com::ComVariant::I2(0)), S_OK);
        ASSERT_EQ(b.TextureMode(), 0);

        editortest::ModalSteps steps;
        steps.Add("propertyFrame", [](QWidget& frame) { ClickPageButtonLater(frame, 338); });
        steps.Add("dialog32259", [](QWidget& dialog) {
            // The normal state is chosen when the dialog opens.
            ClickItem(dialog, 5385); // "Browse..."
            ClickItem(dialog, 1);
        });
        steps.Add("propertyFrame", [](QWidget& frame) { ClickPageButtonLater(frame, 314); });
        steps.Add("dialog243", [](QWidget& dialog) {
            auto* mode = dialog.findChild<QComboBox*>("id336");
            ASSERT_TRUE(mode);
            const int whole = mode->findText("1 - Whole button");
            ASSERT_EQ(whole, 1);
            mode->setCurrentIndex(whole);
            emit mode->activated(whole);
            ClickItem(dialog, 1);
        });
        steps.Add("propertyFrame", [](QWidget& frame) {
            QTest::mouseClick(editortest::PageButton(frame, 364), Qt::LeftButton);
        });
        steps.Add("propertyFrame", [](QWidget& frame) { ClickItem(frame, 1); });
        steps.Start();
        EXPECT_EQ(b.EditProperties(0, 0xC0C0C0, 40, 40), S_OK);
        EXPECT_TRUE(steps.Done());
        EXPECT_FALSE(QApplication::activeModalWidget());

        EXPECT_EQ(b.Picture(), png.string());
        EXPECT_EQ(b.TextureMode(), 1);
        EXPECT_TRUE(seams.boxes->shown.empty());
        ASSERT_EQ(seams.dialogs->fileRequests.size(), 2u);
        EXPECT_EQ(tv::testing::ReadRaw(saved).substr(0, 4), "KZTM");

        // A second button made through the loader, with a look of its own,
        // takes both from the file.
        LibraryButton other;
        ASSERT_TRUE(other.dispatch);
        EXPECT_EQ(comtest::Put(other.dispatch.Get(), dispidTextureMode, com::ComVariant::I2(2)), S_OK);
        ASSERT_EQ(other.Picture(), "");
        EXPECT_EQ(other.Method(u"LoadTemplateEx", saved), 1);
        EXPECT_EQ(other.Picture(), png.string());
        EXPECT_EQ(other.TextureMode(), 1);
        EXPECT_TRUE(seams.boxes->shown.empty());
        other.box.CloseAll();
        b.box.CloseAll();
    }
}

} // namespace
