// quorvel-design's templates, closing and boxes on a desktop of its own,
// driven as a user drives it: a button with every kind of media (pictures
// for its states, a mouse-over GIF, a shape mask, a texture, four sounds,
// a cursor) opened from the command line, resized with a grip, saved over
// its own file and opened from it again, and opened through File > Open;
// each file saved is compared property by property with the button it was
// made from. Closing with changes not yet saved asks first; the boxes of a
// start open over the window, the property frame beside it.

#include "tools/design/DesignDesktopTestSupport.h"

#include "platform/com/Bstr.h"
#include "platform/com/Variant.h"
#include "platform/testing/RiffWriter.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/CursorTestSupport.h"
#include "platform/win/MessageBox.h"

#include <QImage>

#include <algorithm>
#include <cstring>
#include <map>

using namespace designtest;

namespace {

DISPID idOf(IDispatch* control, const char* name)
{
    std::u16string text(name, name + std::strlen(name));
    LPOLESTR names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    control->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    return id;
}

void put(IDispatch* control, const char* name, com::ComVariant value)
{
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    EXPECT_EQ(control->Invoke(idOf(control, name), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                              nullptr),
              S_OK)
        << name;
}

std::string get(IDispatch* control, const char* name)
{
    com::ComVariant value;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    control->Invoke(idOf(control, name), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    com::ComVariant text;
    if (FAILED(VariantChangeType(&text, &value, 0, VT_BSTR)))
        return "?";
    return com::Utf8FromBstr(text.bstrVal);
}

short call(IDispatch* control, const char* method, const std::string& path)
{
    com::ComVariant argument = com::ComVariant::Text(path);
    DISPPARAMS params{&argument, nullptr, 1, 0};
    com::ComVariant result;
    control->Invoke(idOf(control, method), IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    return result.vt == VT_I2 ? result.iVal : short(0);
}

// The path properties of the button's media.
constexpr const char* kMediaProperties[] = {"Picture",        "PicturePressed", "PictureMouseOver", "PictureCustom",
                                            "Texture",        "SoundDown",      "SoundUp",          "SoundMouseOver",
                                            "SoundMouseOut",  "Cursor"};

// What a template keeps of a button, as its properties tell it, and where
// the button stands on its form.
using Look = std::map<std::string, std::string>;

constexpr const char* kLookProperties[] = {
    "Picture",    "PicturePressed", "PictureMouseOver", "PictureCustom", "Texture",       "TextureMode",
    "SoundDown",  "SoundUp",        "SoundMouseOver",   "SoundMouseOut", "Cursor",        "Shape",
    "Roundness",  "Surface",        "ShadowMode",       "Style",         "PicturePosition"};

Look lookOf(design::DesignWindow& window)
{
    auto control = window.Site()->ControlAs<IDispatch>();
    Look look;
    for (const char* name : kLookProperties)
        look[name] = get(control.Get(), name);
    const RECT r = window.Site()->Rect();
    look["rectangle"] = std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                        std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    return look;
}

// The media of a styled button, made in a folder of the test's.
struct Media {
    explicit Media(const fs::path& folder) : folder(folder)
    {
        fs::create_directories(folder);
        QImage picture(24, 16, QImage::Format_RGB32);
        picture.fill(QColor(0, 0, 255));
        // A new button's picture is see-through where it has its left top
        // pixel's colour.
        picture.setPixelColor(0, 0, QColor(255, 0, 0));
        EXPECT_TRUE(picture.save(QString::fromStdString(path("picture.bmp")), "BMP"));
        QImage pressed(24, 16, QImage::Format_RGB32);
        pressed.fill(QColor(255, 255, 0));
        EXPECT_TRUE(pressed.save(QString::fromStdString(path("pressed.png")), "PNG"));
        QImage mask(20, 12, QImage::Format_Mono);
        mask.fill(1);
        EXPECT_TRUE(mask.save(QString::fromStdString(path("mask.bmp")), "BMP"));
        QImage texture(16, 16, QImage::Format_RGB32);
        texture.fill(QColor(0, 160, 0));
        EXPECT_TRUE(texture.save(QString::fromStdString(path("texture.bmp")), "BMP"));
        QProcess convert;
        convert.start(QStringLiteral("convert-im6.q16"),
                      {QStringLiteral("-size"), QStringLiteral("24x16"), QStringLiteral("-delay"), QStringLiteral("10"),
                       QStringLiteral("xc:yellow"), QStringLiteral("xc:red"), QString::fromStdString(path("over.gif"))});
        EXPECT_TRUE(convert.waitForFinished(30000) && convert.exitCode() == 0) << "no GIF made";

        tv::testing::ByteVector fmt, data(64, 0x80), chunks;
        for (unsigned v : {1u, 1u})
            tv::testing::AppendLe16(fmt, v);
        tv::testing::AppendLe32(fmt, 8000);
        tv::testing::AppendLe32(fmt, 8000);
        tv::testing::AppendLe16(fmt, 1);
        tv::testing::AppendLe16(fmt, 8);
        tv::testing::AppendChunk(chunks, "fmt ", fmt);
        tv::testing::AppendChunk(chunks, "data", data);
        const auto wave = tv::testing::MakeRiff("WAVE", chunks);
        for (const char* name : {"down.wav", "up.wav", "over.wav", "out.wav"})
            tv::testing::WriteRaw(folder / name, std::string(wave.begin(), wave.end()));

        QImage arrow(16, 16, QImage::Format_ARGB32);
        arrow.fill(Qt::black);
        const auto cursor = win::testing::MakeCur({win::testing::CurEntry(win::testing::MakePng(arrow), 16, 16)});
        tv::testing::WriteRaw(folder / "arrow.cur", std::string(cursor.begin(), cursor.end()));
    }
    std::string path(const char* name) const { return (folder / name).string(); }

    // Gives the layout's button all of them and a rounded shape; a path
    // is kept only when its medium loads.
    void Style(design::DesignWindow& window) const
    {
        auto control = window.Site()->ControlAs<IDispatch>();
        IDispatch* c = control.Get();
        put(c, "Shape", com::ComVariant::I2(1));
        put(c, "Picture", com::ComVariant::Text(path("picture.bmp")));
        put(c, "PicturePressed", com::ComVariant::Text(path("pressed.png")));
        put(c, "PictureMouseOver", com::ComVariant::Text(path("over.gif")));
        put(c, "PictureCustom", com::ComVariant::Text(path("mask.bmp")));
        put(c, "Texture", com::ComVariant::Text(path("texture.bmp")));
        put(c, "TextureMode", com::ComVariant::I2(2));
        put(c, "SoundDown", com::ComVariant::Text(path("down.wav")));
        put(c, "SoundUp", com::ComVariant::Text(path("up.wav")));
        put(c, "SoundMouseOver", com::ComVariant::Text(path("over.wav")));
        put(c, "SoundMouseOut", com::ComVariant::Text(path("out.wav")));
        put(c, "Cursor", com::ComVariant::Text(path("arrow.cur")));
    }

    fs::path folder;
};

// The tool started by each test itself; the layout is worked out meanwhile.
class DesignDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
            << "run this test through tools/desktop-session.sh";
        // The boxes of the layout's own button are never shown.
        win::SetMessageBoxPort(boxes);
    }
    void TearDown() override { win::SetMessageBoxPort(nullptr); }

    Layout& layout()
    {
        if (!layout_)
            layout_.emplace();
        return *layout_;
    }

    // The button of the file, read into the layout's own button, which has
    // lost its media and its place first.
    Look lookOfFile(const fs::path& file)
    {
        auto control = layout().window.Site()->ControlAs<IDispatch>();
        for (const char* medium : kMediaProperties)
            put(control.Get(), medium, com::ComVariant::Text(""));
        layout().window.Site()->SetRect(RECT{0, 0, 20, 20});
        EXPECT_EQ(call(control.Get(), "LoadTemplateEx", file.string()), 1) << file;
        return lookOf(layout().window);
    }

    // A styled button's extended template, as the layout's button writes it.
    fs::path styledTemplate(const Media& media, Look* look)
    {
        media.Style(layout().window);
        *look = lookOf(layout().window);
        for (const char* medium : kMediaProperties)
            EXPECT_FALSE((*look)[medium].empty()) << medium << " did not load";
        const fs::path file = home.Path() / "styled.kzt";
        auto control = layout().window.Site()->ControlAs<IDispatch>();
        EXPECT_EQ(call(control.Get(), "SaveTemplateEx", file.string()), 1);
        return file;
    }

    // Ctrl+S, the path typed into the save dialog, and the overwrite
    // question answered Yes when the file is there.
    void saveAs(WId window, const fs::path& file)
    {
        const bool there = fs::exists(file);
        const auto before = there ? fs::last_write_time(file) : fs::file_time_type();
        ASSERT_TRUE(keys(window, {QStringLiteral("ctrl+s")}));
        const WId save = windowNamed(exact(QStringLiteral("Save button template file")));
        ASSERT_NE(save, 0u) << "no save dialog";
        // Keys sent while the dialog is still coming up can be lost.
        settledShot(save);
        ASSERT_TRUE(type(save, QString::fromStdString(file.string())));
        ASSERT_TRUE(keys(save, {QStringLiteral("Return")}));
        if (there) {
            // The dialog's own question, titled as the dialog is.
            WId replace = 0;
            ASSERT_TRUE(waitUntil([&] {
                const auto out = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                          QStringLiteral("--name"), exact(QStringLiteral("Save button template file"))},
                                         5000);
                for (const QString& id : out.value_or(QString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                    if (id.toULong() != save)
                        replace = id.toULong();
                return replace != 0;
            })) << "no question about replacing the file";
            settledShot(replace);
            ASSERT_TRUE(keys(replace, {QStringLiteral("alt+y")}));
            ASSERT_TRUE(waitUntil([&] { return fs::last_write_time(file) != before; })) << "the file was not written";
        } else {
            ASSERT_TRUE(waitUntil([&] { return fs::exists(file); })) << "no template written";
        }
    }

    tv::testing::TempRoot home;
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
    std::optional<Layout> layout_;
};

bool isBlue(QRgb c)
{
    return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
}

class DesignTemplates : public DesignDesktop {};

TEST_F(DesignTemplates, AButtonWithEveryMediumSavedOverItsFileComesBackWhole)
{
    const Media media(home.Path() / "media");
    Look look;
    const fs::path file = styledTemplate(media, &look);
    Tool tool(home.Path(), {QString::fromStdString(file.string())});
    const WId window = tool.Window();
    ASSERT_NE(window, 0u) << "the tool did not show";
    // The command line opens the template whole: the picture shows.
    const bool pictured = waitUntil([&] { return isBlue(shot(window).pixel(layout().button.center())); });
    keep(settledShot(window), QStringLiteral("styled"));
    ASSERT_TRUE(pictured) << "no picture on the button";
    EXPECT_TRUE(waitUntil([&] { return nameOf(window) == QStringLiteral("Quorvel Design - styled.kzt"); }))
        << nameOf(window).toStdString();

    // A grip makes it larger; the title says it has changed.
    ASSERT_TRUE(drag(window, layout().grips[4], layout().grips[4] + QPoint(40, 20)));
    EXPECT_TRUE(waitUntil([&] { return nameOf(window) == QStringLiteral("Quorvel Design - styled.kzt*"); }))
        << nameOf(window).toStdString();
    saveAs(window, file);
    EXPECT_TRUE(waitUntil([&] { return nameOf(window) == QStringLiteral("Quorvel Design - styled.kzt"); }))
        << nameOf(window).toStdString();
    // Saved: it goes without a question.
    EXPECT_TRUE(tool.Quit(window));

    EXPECT_EQ(tv::testing::ReadRaw(file).substr(0, 4), "KZTM");
    Look larger = look;
    larger["rectangle"] = "180,120 160x60";
    EXPECT_EQ(lookOfFile(file), larger);

    // Started again on the file it saved: the larger button, its picture
    // in its middle, and nothing to save.
    Tool again(home.Path(), {QString::fromStdString(file.string())});
    const WId reopened = again.Window();
    ASSERT_NE(reopened, 0u) << "the tool did not show";
    const QPoint middle = layout().button.topLeft() + QPoint(80, 30);
    EXPECT_TRUE(waitUntil([&] { return isBlue(shot(reopened).pixel(middle)); })) << "no picture in the larger button";
    EXPECT_TRUE(waitUntil([&] { return nameOf(reopened) == QStringLiteral("Quorvel Design - styled.kzt"); }))
        << nameOf(reopened).toStdString();
    EXPECT_TRUE(again.Quit(reopened));
}

TEST_F(DesignTemplates, FileOpenOpensTheTemplatesTheCommandLineOpens)
{
    Tool tool(home.Path());
    const Media media(home.Path() / "media");
    Look look;
    const fs::path file = styledTemplate(media, &look);
    const WId window = tool.Window();
    ASSERT_NE(window, 0u) << "the tool did not show";
    EXPECT_EQ(nameOf(window), QStringLiteral("Quorvel Design - Untitled"));

    ASSERT_TRUE(keys(window, {QStringLiteral("ctrl+o")}));
    const WId open = windowNamed(exact(QStringLiteral("Select button template file")));
    ASSERT_NE(open, 0u) << "no open dialog";
    settledShot(open);
    ASSERT_TRUE(type(open, QString::fromStdString(file.string())));
    ASSERT_TRUE(keys(open, {QStringLiteral("Return")}));
    ASSERT_TRUE(gone(exact(QStringLiteral("Select button template file"))));
    ASSERT_TRUE(waitUntil([&] { return isBlue(shot(window).pixel(layout().button.center())); }))
        << "no picture on the button";
    EXPECT_TRUE(waitUntil([&] { return nameOf(window) == QStringLiteral("Quorvel Design - styled.kzt"); }))
        << nameOf(window).toStdString();
    // Nothing failed, so nothing is said.
    for (WId w : tool.Windows())
        EXPECT_EQ(w, window) << "a box: " << nameOf(w).toStdString();

    // What the button opened through the menu holds, saved again.
    const fs::path again = home.Path() / "again.kzt";
    saveAs(window, again);
    EXPECT_TRUE(tool.Quit(window));
    EXPECT_EQ(lookOfFile(again), look);
}

class DesignClosing : public DesignDesktop {};

TEST_F(DesignClosing, ClosingWithChangesNotSavedAsksToSaveThem)
{
    Tool tool(home.Path());
    const WId window = tool.Window();
    ASSERT_NE(window, 0u) << "the tool did not show";
    const QRect placed = geometryOf(window);
    ASSERT_TRUE(drag(window, layout().grips[4], layout().grips[4] + QPoint(30, 10)));
    ASSERT_TRUE(waitUntil([&] { return nameOf(window) == QStringLiteral("Quorvel Design - Untitled*"); }))
        << nameOf(window).toStdString();

    // Cancel keeps the window and the change.
    ASSERT_TRUE(keys(window, {QStringLiteral("ctrl+q")}));
    WId question = tool.Box(window, QStringLiteral("Quorvel Design"));
    ASSERT_NE(question, 0u) << "Quit asks nothing";
    EXPECT_TRUE(placed.contains(geometryOf(question).center())) << "the question is away from the window";
    keep(settledShot(question), QStringLiteral("save-question"));
    ASSERT_TRUE(keys(question, {QStringLiteral("Escape")}));
    ASSERT_TRUE(waitUntil([&] { return tool.Windows() == std::vector<WId>{window}; }));
    EXPECT_TRUE(tool.Running());

    // The window's close box asks too; Yes saves, under a name asked for.
    ASSERT_TRUE(keys(window, {QStringLiteral("alt+F4")}));
    question = tool.Box(window, QStringLiteral("Quorvel Design"));
    ASSERT_NE(question, 0u) << "closing asks nothing";
    ASSERT_TRUE(keys(question, {QStringLiteral("Return")}));
    const WId save = windowNamed(exact(QStringLiteral("Save button template file")));
    ASSERT_NE(save, 0u) << "Yes asks for no file";
    settledShot(save);
    const fs::path file = home.Path() / "closing.kzt";
    ASSERT_TRUE(type(save, QString::fromStdString(file.string())));
    ASSERT_TRUE(keys(save, {QStringLiteral("Return")}));
    EXPECT_TRUE(tool.Ended());
    EXPECT_EQ(lookOfFile(file)["rectangle"], "180,120 150x50");
}

class DesignPlacing : public DesignDesktop {};

TEST_F(DesignPlacing, AStartsBoxOpensOverTheWindowAndThePropertiesBesideIt)
{
    const fs::path missing = home.Path() / "missing.kzt";
    Tool tool(home.Path(), {QString::fromStdString(missing.string())});
    const WId window = tool.Window();
    ASSERT_NE(window, 0u) << "the tool did not show";
    const WId box = tool.Box(window, QStringLiteral("Quorvel Design"));
    ASSERT_NE(box, 0u) << "a missing template is not told";
    const QRect placed = geometryOf(window);
    const QRect boxAt = geometryOf(box);
    EXPECT_TRUE(placed.contains(boxAt.center()))
        << "the box at " << boxAt.x() << "," << boxAt.y() << ", the window at " << placed.x() << "," << placed.y();
    keep(settledShot(box), QStringLiteral("missing-template"));
    ASSERT_TRUE(keys(box, {QStringLiteral("Return")}));
    ASSERT_TRUE(waitUntil([&] { return tool.Windows() == std::vector<WId>{window}; }));
    EXPECT_EQ(nameOf(window), QStringLiteral("Quorvel Design - Untitled"));

    // The property frame opens beside the window, on the screen.
    ASSERT_TRUE(clickAt(window, layout().button.center(), 2));
    const WId frame = windowNamed(exact(layout().frameCaption));
    ASSERT_NE(frame, 0u) << "no property frame after a double click";
    const QRect frameAt = geometryOf(frame);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const std::string where = "the frame at " + std::to_string(frameAt.x()) + "," + std::to_string(frameAt.y()) +
                              ", the window at " + std::to_string(placed.x()) + "," + std::to_string(placed.y());
    EXPECT_FALSE(frameAt.intersects(placed)) << where;
    // Beside it: next to one of its sides (its own frame and the window
    // manager's between them).
    const int across = std::max({0, frameAt.left() - placed.right(), placed.left() - frameAt.right()});
    const int along = std::max({0, frameAt.top() - placed.bottom(), placed.top() - frameAt.bottom()});
    EXPECT_LE(std::max(across, along), 60) << where;
    EXPECT_TRUE(across == 0 || along == 0) << where;
    EXPECT_TRUE(screen.contains(frameAt)) << "the frame leaves the screen: " << where;
    keep(settledShot(0), QStringLiteral("frame-beside"));
    ASSERT_TRUE(clickAt(frame, layout().frameButton(com::kFrameOk)));
    ASSERT_TRUE(gone(exact(layout().frameCaption)));
    EXPECT_TRUE(tool.Quit(window));
}

} // namespace
