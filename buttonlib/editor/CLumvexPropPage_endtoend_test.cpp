// A whole editing session as a container runs it, through the library: a
// button in template-edit mode opened with EditProperties, one change made
// through the widgets of each settings dialog, the template saved from the
// page, and a second button of the library that loads it and then shows
// every property the template holds as the first one does.
//
// The changes, dialog by dialog:
//   shape (318)            Shape "5 - Custom", mask.bmp browsed as the mask
//   colours (304)          "Background with mouse over button" RGB(12, 34, 56)
//   picture settings (315) position left top (1)
//   picture choice (338)   pic.bmp browsed for the normal state; the address
//                          dialog opened and cancelled on the way
//   texture (314)          mode "2 - Outside button", pic.png browsed
//   text (360)             "Right Bottom" reads "Ahoy", its font 20 points
//                          bold italic underlined through the font dialog
//   hyperlink (317)        https://example.com/end-to-end
//   behaviour (319)        none: its lists show Style 1 and FocusMode 2,
//                          set beforehand, and cannot be changed
//   sounds and cursors     tone.wav browsed for the release sound, red.cur
//   (316)                  for the cursor

#include "buttonlib/control/ControlIds.h"
#include "buttonlib/editor/EditorMediaFiles.h"
#include "buttonlib/editor/CBehaviourSettingsDlg.h"
#include "buttonlib/editor/CColorSettingsDlg.h"
#include "buttonlib/editor/CHyperlinkSettingsDlg.h"
#include "buttonlib/editor/CPictureChoiceDlg.h"
#include "buttonlib/editor/CPictureSettingsDlg.h"
#include "buttonlib/editor/CShapeSettingsDlg.h"
#include "buttonlib/editor/CSoundCursorPickerDlg.h"
#include "buttonlib/editor/CTextSettingsDlg.h"
#include "buttonlib/editor/CTextureSettingsDlg.h"
#include "buttonlib/editor/EditorTestSupport.h"
#include "buttonlib/editor/MediaSlot.h"
#include "buttonlib/editor/UrlDialog.h"

#include "platform/com/Bstr.h"
#include "platform/com/FontDialog.h"
#include "platform/com/Loader.h"
#include "platform/com/Registration.h"
#include "platform/com/Server.h"
#include "platform/com/TestContainer.h"
#include "platform/com/TypeInfo.h"
#include "platform/com/testserver/ComTesting.h"
#include "platform/testing/DesktopWaits.h"
#include "platform/testing/Quiescence.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/CursorTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <cstring>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;
using com::ComPtr;
using com::ComVariant;

const fs::path kLibrary = TV_QUORVEL_LIBRARY;

void screenshot(QWidget& window, const QString& name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(
        window.grab().save(folder + QStringLiteral("/%1-%2.png").arg(name, QGuiApplication::platformName())));
}

// --- Property dump ---------------------------------------------------------------------------

using Dump = std::map<std::string, std::string>;

std::string textOf(const VARIANT& v)
{
    switch (v.vt) {
    case VT_EMPTY: return "(empty)";
    case VT_BSTR: return '"' + com::Utf8FromBstr(v.bstrVal) + '"';
    case VT_I2: return std::to_string(v.iVal);
    case VT_I4: return std::to_string(v.lVal);
    case VT_I8: return std::to_string(v.llVal);
    case VT_R8: return std::to_string(v.dblVal);
    case VT_BOOL: return v.boolVal ? "true" : "false";
    default: return "(type " + std::to_string(v.vt) + ")";
    }
}

std::string nameOf(ITypeInfo* info, MEMBERID id)
{
    BSTR name = nullptr;
    UINT count = 0;
    if (FAILED(info->GetNames(id, &name, 1, &count)) || count != 1)
        return "#" + std::to_string(id);
    std::string text = com::Utf8FromBstr(name);
    SysFreeString(name);
    return text;
}

// The readers that take a position or an element, which the dump calls
// for every one; GetAuxText, GetCaptionText and GetSurfaceColor read the
// same texts and tables as the descriptor forms.
const std::set<std::string> kIndexedReads = {"GetTextOnPos",  "GetTextSettingOnPos", "GetSurfaceColorDesc",
                                             "GetAuxText",    "GetCaptionText",      "GetSurfaceColor",
                                             "GetControlPtr"};

// Every property an object lists in its type information, read as a
// container reads it; an object property (a font) is opened the same way.
// A reader with arguments the dump does not call fails the test, so that a
// new one is not silently left out.
void dumpProperties(IDispatch* object, const std::string& prefix, Dump& out)
{
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(object->GetTypeInfo(0, 0, info.Receive()), S_OK) << prefix;
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* f = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
        const std::string name = nameOf(info.Get(), f->memid);
        if (f->invkind == INVOKE_PROPERTYGET && f->cParams == 0) {
            const ComVariant value = comtest::Get(object, f->memid);
            if (value.vt == VT_DISPATCH && value.pdispVal && prefix.empty())
                dumpProperties(value.pdispVal, name + ".", out);
            else
                out[prefix + name] = textOf(value);
        } else if (f->invkind == INVOKE_PROPERTYGET ||
                   (f->invkind == INVOKE_FUNC && name.starts_with("Get") && !kIndexedReads.contains(name))) {
            ADD_FAILURE() << "the dump does not read " << prefix << name;
        }
        info->ReleaseFuncDesc(f);
    }
    info->ReleaseTypeAttr(attr);
}

ComVariant call(IDispatch* object, std::u16string name, std::vector<ComVariant> args)
{
    ComVariant result;
    EXPECT_EQ(comtest::Call(object, comtest::IdOf(object, std::move(name)), DISPATCH_METHOD, std::move(args), &result),
              S_OK);
    return result;
}

ComVariant addressOf(void* p)
{
    return ComVariant::I8(std::int64_t(reinterpret_cast<std::intptr_t>(p)));
}

// The properties, then the nine texts and six colour tables read by
// position through the button's methods.
Dump dumpButton(IDispatch* button)
{
    Dump out;
    dumpProperties(button, "", out);
    for (short p = 0; p < CLumvexCtrl::kTextCount; ++p) {
        CLumvexCtrl::TextSettingDesc d{};
        call(button, u"GetTextSettingOnPos", {ComVariant::I2(p), addressOf(&d)});
        out["Text[" + std::to_string(p) + "]"] =
            textOf(call(button, u"GetTextOnPos", {ComVariant::I2(p)})) + " colours " + std::to_string(d.color) +
            "/" + std::to_string(d.colorMouseOver) + "/" + std::to_string(d.colorPressed) + " offset " +
            std::to_string(d.xOffset) + "," + std::to_string(d.yOffset) + " effect " + std::to_string(d.effect) +
            "/" + std::to_string(d.effectFactor) + " angle " + std::to_string(d.angle);
    }
    for (short e = 0; e < 6; ++e) {
        CLumvexCtrl::SurfaceColorDesc d{};
        call(button, u"GetSurfaceColorDesc", {ComVariant::I2(e), addressOf(&d)});
        out["SurfaceColor[" + std::to_string(e) + "]"] = std::to_string(d.color) + " gradient " +
                                                         std::to_string(d.gradientFactor) + " 3D " +
                                                         std::to_string(d.render3D);
    }
    return out;
}

std::string lines(const Dump& dump)
{
    std::string text;
    for (const auto& [name, value] : dump)
        text += name + " = " + value + "\n";
    return text;
}

// What no template holds: the button's link, its tags and switches for the
// running program, its window and state.
const std::set<std::string> kNotInTemplates = {"Hyperlink", "TagEx",   "EnableInternetLoadAtDT", "Optimization",
                                               "IgnoreSpaceBar", "PictureDisabled", "Enabled", "hWnd",
                                               "Value"};

// --- The session ------------------------------------------------------------------------------

using editortest::LoadedButton;

// The property frame runs modally; the font dialog is the real one, shown
// and answered by the steps.
class SessionUi : public editortest::FrameUi {
public:
    SessionUi() { modal = true; }
    std::optional<LOGFONT> ChooseFont(const com::FontDialogRequest& request) override
    {
        fontRequests.push_back(request);
        com::FontDialog dialog(request.font, gdi::ScreenDpi(), request.owner);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.logFont();
    }
};

QWidget* item(QWidget& dialog, int id)
{
    auto* w = dialog.findChild<QWidget*>(QStringLiteral("id%1").arg(id));
    EXPECT_TRUE(w) << "no item " << id << " in " << dialog.objectName().toStdString();
    return w;
}

void click(QWidget& dialog, int id)
{
    QWidget* w = item(dialog, id);
    if (!w)
        return;
    // A radio button or check box takes clicks on its mark.
    const bool marked = qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, marked ? QPoint(6, w->height() / 2) : w->rect().center());
}

// A click that opens a modal window: posted, so that the step ends and the
// next one runs inside that window's loop.
void postClick(QWidget* w)
{
    ASSERT_TRUE(w);
    QTimer::singleShot(0, w, [w] { QTest::mouseClick(w, Qt::LeftButton); });
}

void clickLater(QWidget& dialog, int id)
{
    postClick(item(dialog, id));
}

std::string windowName(UINT dialogId)
{
    return "dialog" + std::to_string(dialogId);
}

// A page button's dialog, opened from the frame, and what is done in it.
void throughDialog(editortest::ModalSteps& steps, int pageButton, UINT dialogId, std::function<void(QWidget&)> act)
{
    steps.Add("propertyFrame", [pageButton](QWidget& frame) { postClick(editortest::PageButton(frame, pageButton)); });
    steps.Add(windowName(dialogId), std::move(act));
}

// Replaces an edit's text as a user does: select all, then type.
void typeInto(QWidget& dialog, int id, const char* text)
{
    auto* edit = qobject_cast<QLineEdit*>(item(dialog, id));
    ASSERT_TRUE(edit) << id;
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void pick(QWidget& dialog, int id, int index)
{
    auto* combo = qobject_cast<QComboBox*>(item(dialog, id));
    ASSERT_TRUE(combo) << id;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// A 32 x 32 cursor all red.
void writeRedCursor(const fs::path& file)
{
    win::testing::DibPicture p;
    p.bitCount = 24;
    p.value = [](int, int) -> std::uint32_t { return 0xFF0000; };
    p.mask = [](int, int) { return false; };
    const auto bytes = win::testing::MakeCur({{win::testing::MakeDib(p), 32, 32, QPoint(0, 0)}});
    tv::testing::WriteRaw(file, std::string(bytes.begin(), bytes.end()));
}

TEST(PropPageEndToEnd, EveryDialogsChangeReachesASecondButtonThroughATemplate)
{
    tv::testing::TempRoot root;
    editortest::EditorMediaFiles files;
    ASSERT_EQ(com::RegisterServer(kLibrary), S_OK);
    editortest::EditorSeams seams;
    auto ui = std::make_shared<SessionUi>();
    com::SetUiServices(ui);
    const fs::path saved = root.Path() / "session";
    {
        LoadedButton first;
        ASSERT_TRUE(first.dispatch);
        IDispatch* button = first.dispatch.Get();
        call(button, u"SetEditingTplMode", {ComVariant::I2(1)});
        EXPECT_EQ(comtest::Put(button, dispidStyle, ComVariant::I2(1)), S_OK);
        EXPECT_EQ(comtest::Put(button, dispidFocusMode, ComVariant::I2(2)), S_OK);
        seams.dialogs->colors = {RGB(12, 34, 56)};
        writeRedCursor(root.Path() / "red.cur");
        const std::string cursor = (root.Path() / "red.cur").string();
        seams.dialogs->files = {files.path("mask.bmp"), files.path("pic.bmp"), files.path("pic.png"),
                                files.path("tone.wav"), cursor, saved.string()};

        editortest::ModalSteps steps;
        using Page = CLumvexPropPage;
        throughDialog(steps, Page::IDC_SHAPE, CShapeSettingsDlg::IDD, [](QWidget& dialog) {
            pick(dialog, CShapeSettingsDlg::IDC_SHAPE, 5);
            click(dialog, MediaSlot::IDC_BROWSE);
            click(dialog, CShapeSettingsDlg::IDC_CLOSE);
        });
        throughDialog(steps, Page::IDC_COLORS, CColorSettingsDlg::IDD, [](QWidget& dialog) {
            click(dialog, 320); // "Background with mouse over button"
            click(dialog, CColorSettingsDlg::IDC_CHANGE);
            click(dialog, IDOK);
        });
        throughDialog(steps, Page::IDC_GRAPHIC, CPictureSettingsDlg::IDD, [](QWidget& dialog) {
            click(dialog, 253); // left top
            click(dialog, IDOK);
        });
        throughDialog(steps, Page::IDC_PICTURES, CPictureChoiceDlg::IDD, [](QWidget& dialog) {
            click(dialog, CPictureChoiceDlg::IDC_STATE_NORMAL);
            clickLater(dialog, MediaSlot::IDC_INTERNET);
        });
        steps.Add(windowName(UrlDialog::IDD), [](QWidget& url) {
            screenshot(url, "url-editor");
            click(url, IDCANCEL);
        });
        steps.Add(windowName(CPictureChoiceDlg::IDD), [](QWidget& dialog) {
            click(dialog, MediaSlot::IDC_BROWSE);
            screenshot(dialog, "picture-choice-editor");
            click(dialog, CPictureChoiceDlg::IDC_CLOSE);
        });
        throughDialog(steps, Page::IDC_TEXTURE, CTextureSettingsDlg::IDD, [](QWidget& dialog) {
            pick(dialog, CTextureSettingsDlg::IDC_MODE, 2);
            click(dialog, MediaSlot::IDC_BROWSE);
            click(dialog, IDOK);
        });
        throughDialog(steps, Page::IDC_TEXT, CTextSettingsDlg::IDD, [](QWidget& dialog) {
            click(dialog, 261); // "Right Bottom"
            typeInto(dialog, CTextSettingsDlg::IDC_TEXT, "Ahoy");
            clickLater(dialog, CTextSettingsDlg::IDC_FONT);
        });
        steps.Add("fontDialog", [](QWidget& font) {
            font.findChild<QComboBox*>("size")->setCurrentText("20");
            font.findChild<QComboBox*>("style")->setCurrentIndex(3);
            QTest::mouseClick(font.findChild<QCheckBox*>("underline"), Qt::LeftButton, {}, QPoint(6, 6));
            screenshot(font, "font-dialog-editor");
            QTest::mouseClick(font.findChild<QWidget*>("ok"), Qt::LeftButton);
        });
        steps.Add(windowName(CTextSettingsDlg::IDD), [](QWidget& dialog) { click(dialog, IDOK); });
        throughDialog(steps, Page::IDC_HYPERLINK, CHyperlinkSettingsDlg::IDD, [](QWidget& dialog) {
            typeInto(dialog, CHyperlinkSettingsDlg::IDC_HYPERLINK, "https://example.com/end-to-end");
            click(dialog, IDOK);
        });
        throughDialog(steps, Page::IDC_BEHAVIOUR, CBehaviourSettingsDlg::IDD, [](QWidget& dialog) {
            for (const auto& [id, shown] : {std::pair{CBehaviourSettingsDlg::IDC_STYLE, "1 - Check Box"},
                                            std::pair{CBehaviourSettingsDlg::IDC_FOCUS_MODE, "2 - Predefined color"}}) {
                auto* list = qobject_cast<QComboBox*>(item(dialog, id));
                ASSERT_TRUE(list);
                EXPECT_EQ(list->currentText().toStdString(), shown);
                EXPECT_FALSE(list->isEnabled()) << id;
            }
            click(dialog, CBehaviourSettingsDlg::IDC_CLOSE);
        });
        throughDialog(steps, Page::IDC_SOUNDS, CSoundCursorPickerDlg::IDD, [](QWidget& dialog) {
            click(dialog, CSoundCursorPickerDlg::IDC_SOUND_UP);
            click(dialog, MediaSlot::IDC_BROWSE);
            click(dialog, CSoundCursorPickerDlg::IDC_CURSOR);
            click(dialog, MediaSlot::IDC_BROWSE);
            click(dialog, CSoundCursorPickerDlg::IDC_CLOSE);
        });
        steps.Add("propertyFrame", [](QWidget& frame) {
            QTest::mouseClick(editortest::PageButton(frame, Page::IDC_SAVE_TEMPLATE), Qt::LeftButton);
            click(frame, IDOK);
        });
        steps.Start();
        call(button, u"EditProperties",
             {ComVariant::I4(0x00FFFF), ComVariant::I4(0x404000), ComVariant::I4(40), ComVariant::I4(40)});
        EXPECT_TRUE(steps.Done());
        EXPECT_FALSE(QApplication::activeModalWidget());
        EXPECT_TRUE(seams.boxes->shown.empty());
        EXPECT_TRUE(seams.dialogs->files.empty());
        EXPECT_TRUE(seams.dialogs->colors.empty());
        EXPECT_EQ(ui->fontRequests.size(), 1u);

        // An extended template, named as typed with the templates' extension.
        const fs::path file = saved.string() + ".kzt";
        EXPECT_EQ(tv::testing::ReadRaw(file).substr(0, 4), "KZTM");

        const Dump edited = dumpButton(button);
        const std::pair<const char*, std::string> changed[] = {
            {"Shape", "5"},
            {"PictureCustom", '"' + files.path("mask.bmp") + '"'},
            {"BackColorMouseOver", std::to_string(RGB(12, 34, 56))},
            {"PicturePosition", "1"},
            {"Picture", '"' + files.path("pic.bmp") + '"'},
            {"TextureMode", "2"},
            {"Texture", '"' + files.path("pic.png") + '"'},
            {"FontTextRB.Size", "20.000000"},
            {"FontTextRB.Bold", "true"},
            {"FontTextRB.Italic", "true"},
            {"FontTextRB.Underline", "true"},
            {"Hyperlink", "\"https://example.com/end-to-end\""},
            {"Style", "1"},
            {"FocusMode", "2"},
            {"SoundUp", '"' + files.path("tone.wav") + '"'},
            {"Cursor", '"' + cursor + '"'},
        };
        for (const auto& [name, value] : changed)
            EXPECT_EQ(edited.at(name), value) << name;
        EXPECT_TRUE(edited.at("Text[8]").starts_with("\"Ahoy\" ")) << edited.at("Text[8]");

        // A second button of the library, in template-edit mode too, takes
        // all the template holds; the rest stays as it was made.
        LoadedButton second;
        ASSERT_TRUE(second.dispatch);
        const Dump fresh = dumpButton(second.dispatch.Get());
        for (const auto& [name, value] : changed)
            EXPECT_NE(fresh.at(name), edited.at(name)) << name;
        EXPECT_EQ(call(second.dispatch.Get(), u"LoadTemplateEx", {ComVariant::Text(file.string())}).iVal, 1);
        Dump expected;
        for (const auto& [name, value] : edited) {
            const std::string property = name.substr(0, name.find_first_of(".["));
            expected[name] = kNotInTemplates.contains(property) ? fresh.at(name) : value;
        }
        EXPECT_EQ(lines(dumpButton(second.dispatch.Get())), lines(expected));
        EXPECT_EQ(com::Utf8FromBstr(comtest::Get(second.dispatch.Get(), dispidHyperlink).bstrVal), "");

        ui->frames.clear();
        second.box.CloseAll();
        first.box.CloseAll();
    }
    com::SetUiServices(nullptr);
    EXPECT_EQ(comtest::CanUnloadNow(kLibrary), S_OK);
    EXPECT_EQ(com::UnregisterServer(kLibrary), S_OK);
}

// Under a window manager the frame EditProperties opens stands with its
// window frame, title bar included, at the caller's point, although the page
// moves it before it is first shown. Offscreen, with no frame, the two agree.
TEST(PropPageEndToEnd, TheFrameStandsAtTheCallersPoint)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(com::RegisterServer(kLibrary), S_OK);
    editortest::EditorSeams seams;
    auto ui = std::make_shared<SessionUi>();
    com::SetUiServices(ui);
    {
        LoadedButton b;
        ASSERT_TRUE(b.dispatch);
        QRect outer, inner;
        editortest::ModalSteps steps;
        steps.Add("propertyFrame", [&](QWidget& frame) {
            // Framed by the window manager where there is one, and every
            // move posted before it looks made.
            if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
                EXPECT_TRUE(tv::testing::Framed(&frame));
            }
            EXPECT_TRUE(tv::testing::DrainPostedEvents());
            outer = frame.frameGeometry();
            inner = frame.geometry();
            click(frame, IDOK);
        });
        steps.Start();
        call(b.dispatch.Get(), u"EditProperties",
             {ComVariant::I4(0), ComVariant::I4(0xFFFFFF), ComVariant::I4(120), ComVariant::I4(90)});
        EXPECT_TRUE(steps.Done());
        EXPECT_EQ(outer.topLeft(), QPoint(120, 90)) << "client area at " << inner.x() << "," << inner.y();
        ui->frames.clear();
        b.box.CloseAll();
    }
    com::SetUiServices(nullptr);
    EXPECT_EQ(com::UnregisterServer(kLibrary), S_OK);
}

// The font dialog as the text dialog opens it when the editor was not
// opened by EditProperties: on the font it is given (16 pixels at 96 dots
// an inch are 12 points), with face, style and size lists and no colour or
// script list; unchanged, it gives that font back. The picture is kept for
// people to look at.
TEST(PropPageEndToEnd, FontDialogScreenshot)
{
    LOGFONT lf{};
    lf.lfHeight = -16;
    lf.lfWeight = 400;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    com::FontDialog dialog(lf, 96);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QList<QComboBox*> lists = dialog.findChildren<QComboBox*>();
    ASSERT_EQ(lists.size(), 3);
    QStringList shown;
    for (QComboBox* list : lists)
        shown << list->currentText();
    EXPECT_TRUE(shown.contains(QStringLiteral("DejaVu Sans"))) << shown.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("12"))) << shown.join(QLatin1Char(',')).toStdString();
    const LOGFONT back = dialog.logFont();
    EXPECT_STREQ(back.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(back.lfHeight, -16);
    EXPECT_EQ(back.lfWeight, 400);
    screenshot(dialog, "font-dialog-plain");
}

} // namespace
