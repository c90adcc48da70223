// The texture dialog on three buttons: lists and percentages writing every
// button (opening writes none), the range check on closing, the texture
// slot with its preview, the mix colour, help and the editor's look.

#include "buttonlib/editor/EditorMediaFiles.h"
#include "buttonlib/editor/CTextureSettingsDlg.h"

#include "buttonlib/control/CNetDownloadFile.h"
#include "buttonlib/editor/MediaPreview.h"
#include "buttonlib/editor/SettingsDialogTestSupport.h"

#include <QComboBox>
#include <QTimer>

namespace {

using D = CTextureSettingsDlg;
using Shorts = std::array<short, 3>;
using Paths = std::array<CString, 3>;

const QColor kGreen(30, 140, 30);

class TextureSettingsTest : public settingstest::SettingsDialogTest {
protected:
    Shorts all(short (CLumvexCtrl::*get)() const) const
    {
        return {(buttons[0]->*get)(), (buttons[1]->*get)(), (buttons[2]->*get)()};
    }
    Paths textures() const { return {buttons[0]->m_Texture, buttons[1]->m_Texture, buttons[2]->m_Texture}; }
    static void choose(CDialog& dlg, int id, int index)
    {
        auto* combo = item<QComboBox>(dlg, id);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    // The colour in the middle of where the 12 x 9 test picture is previewed.
    static QColor previewed(D& dlg)
    {
        QCoreApplication::processEvents();
        const RECT at = MediaPreview::TargetRect(MediaPreview::FrameInside(dlg), 12, 9);
        return dlg.GetSafeHwnd()->grab().toImage().pixelColor((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    }
    void open(D& dlg)
    {
        ASSERT_TRUE(dlg.Create());
        show(dlg);
    }
    editortest::EditorMediaFiles files;
};

TEST_F(TextureSettingsTest, ListsAndPercentagesWriteEveryButtonButOpeningWritesNone)
{
    buttons[0]->SetTexture(files.path("pic.png"));
    buttons[0]->SetTextureMode(2);
    buttons[0]->SetTextureLightIntensity(100);
    buttons[1]->SetTextureLightIntensity(30);
    buttons[1]->SetTextureColorMixPerc(70);
    settle();
    D dlg(page.Get());
    open(dlg);
    EXPECT_EQ(item<QComboBox>(dlg, D::IDC_MODE)->currentText(), "2 - Outside button");
    EXPECT_EQ(item<QComboBox>(dlg, D::IDC_BEVEL_FACTOR)->itemText(4), "4 - Very High");
    EXPECT_EQ(text(dlg, D::IDC_LIGHT_INTENSITY), "100");
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureColorMixPerc), (Shorts{50, 70, 50}));
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureLightIntensity), (Shorts{100, 30, 40}));
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{FALSE, FALSE, FALSE}));

    // No texture: the picture and its preview stay.
    choose(dlg, D::IDC_MODE, 0);
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureMode), (Shorts{0, 0, 0}));
    EXPECT_EQ(previewed(dlg), kGreen);
    choose(dlg, D::IDC_BEVEL_FACTOR, 3);
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureBevelFactor), (Shorts{3, 3, 3}));

    arrow(dlg, D::IDC_LIGHT_SPIN, "up");
    EXPECT_EQ(text(dlg, D::IDC_LIGHT_INTENSITY), "100");
    arrow(dlg, D::IDC_LIGHT_SPIN, "down");
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureLightIntensity), (Shorts{99, 99, 99}));
    type(dlg, D::IDC_MIX_PERCENTAGE, "35");
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureColorMixPerc), (Shorts{35, 35, 35}));
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureLightIntensity), (Shorts{99, 99, 99}));
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(TextureSettingsTest, APercentageOutOfRangeIsWrittenNowhereAndKeepsTheDialogOpen)
{
    D dlg(page.Get());
    QTimer::singleShot(0, [&] {
        type(dlg, D::IDC_LIGHT_INTENSITY, "150");
        click(dlg, IDOK);
        EXPECT_TRUE(dlg.IsModal());
        QTest::keyClick(item(dlg, D::IDC_LIGHT_INTENSITY), Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // Once as the last digit was typed, once on Close.
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_EQ(boxes->shown[1].text, "Please enter an integer between 0 and 100.");
    EXPECT_EQ(all(&CLumvexCtrl::GetTextureLightIntensity), (Shorts{15, 15, 15}));
}

TEST_F(TextureSettingsTest, TheSlotTakesPicturesTheButtonRefusesAnimationsAndFailedDownloadsEmptyIt)
{
    CDIB jpeg;
    ASSERT_TRUE(jpeg.Load(files.path("pic.bmp").c_str()));
    ASSERT_TRUE(jpeg.SaveJPEG(files.path("pic.jpg").c_str()));
    {
        D dlg(page.Get());
        open(dlg);
        dialogs->files.push_back(files.path("pic.jpg"));
        click(dlg, MediaSlot::IDC_BROWSE);
        EXPECT_EQ(dialogs->fileRequests.at(0).filter,
                  "Texture files (*.bmp, *.png, *.jpg) |*.bmp;*.png;*.jpg|All files (*.*)|*.*||");
        EXPECT_EQ(textures(), (Paths{files.path("pic.jpg"), "", ""}));
        const QColor shown = previewed(dlg);
        EXPECT_NEAR(shown.green(), kGreen.green(), 8);
        buttons[1]->SetTexture(files.path("pic.bmp"));
        click(dlg, MediaSlot::IDC_CLEAR);
        EXPECT_EQ(textures(), (Paths{"", "", ""}));
        EXPECT_NE(previewed(dlg), shown);
        EXPECT_TRUE(boxes->shown.empty());

        dialogs->files.push_back(files.path("clip.avi"));
        click(dlg, MediaSlot::IDC_BROWSE);
        ASSERT_EQ(boxes->shown.size(), 1u);
        EXPECT_EQ(boxes->shown[0].text, "Invalid extension for texture file (only BMP, JPG and PNG allowed).");
        EXPECT_EQ(textures(), (Paths{"", "", ""}));

        // A failed download empties the slot it served only.
        for (CLumvexCtrl* b : buttons)
            b->m_Texture = "http://127.0.0.1:9/gone.png";
        buttons[0]->SetPictureLoadNotifyWnd(dlg.GetSafeHwnd());
        dlg.SendMessage(CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(NetLoadRequest::kPicture, 3, FALSE));
        EXPECT_EQ(buttons[2]->m_Texture, "http://127.0.0.1:9/gone.png");
        dlg.SendMessage(CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(NetLoadRequest::kPicture, 4, FALSE));
        EXPECT_EQ(textures(), (Paths{"", "", ""}));
    }
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, nullptr);
}

TEST_F(TextureSettingsTest, TheMixColourHelpAndTheEditorsLook)
{
    SetDialogBaseUnits(std::nullopt);
    buttons[0]->SetTexture(files.path("pic.png"));
    buttons[0]->SetTextureColorMix(RGB(200, 0, 0));
    {
        D dlg(page.Get());
        open(dlg);
        EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(RGB(200, 0, 0)));
        dialogs->colors.push_back(RGB(255, 160, 0));
        click(dlg, D::IDC_CHANGE);
        EXPECT_EQ(dialogs->colorRequests.at(0), RGB(200, 0, 0));
        for (CLumvexCtrl* b : buttons)
            EXPECT_EQ(b->GetTextureColorMix(), RGB(255, 160, 0));
        EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(RGB(255, 160, 0)));
        click(dlg, COlePropertyPageEnh::kHelpButton);
        QTest::keyClick(item(dlg, D::IDC_MODE), Qt::Key_F1);
        EXPECT_EQ(helpShown(), (std::vector<std::string>{"html 156", "html 156"}));
        screenshot(dlg, "texture-settings");
    }
    openAsEditor(RGB(255, 255, 0), RGB(0, 0, 96));
    {
        D dlg(page.Get());
        open(dlg);
        EXPECT_EQ(dlg.GetSafeHwnd()->palette().color(QPalette::Window), QColor(0, 0, 96));
        EXPECT_EQ(previewed(dlg), kGreen);
        QTest::keyClick(item(dlg, D::IDC_MODE), Qt::Key_F1);
        EXPECT_EQ(helpShown().back(), "winhelp 138");
        screenshot(dlg, "texture-settings-editor");
    }

    // A picture wider than the frame is shrunk into it, its proportions
    // kept, between even margins above and below.
    CDIB wide;
    wide.CreateBlank(300, 100, 24, RGB(255, 160, 0));
    ASSERT_TRUE(wide.SavePNG(files.path("wide.png").c_str()));
    buttons[0]->SetTexture(files.path("wide.png"));
    D dlg(page.Get());
    open(dlg);
    QCoreApplication::processEvents();
    const RECT inside = MediaPreview::FrameInside(dlg);
    const RECT at = MediaPreview::TargetRect(inside, 300, 100);
    EXPECT_EQ(at.left, inside.left);
    EXPECT_EQ(at.right, inside.right);
    EXPECT_NEAR(at.top - inside.top, inside.bottom - at.bottom, 1);
    const QImage shot = dlg.GetSafeHwnd()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(at.left + 1, at.top + 1), QColor(255, 160, 0));
    EXPECT_EQ(shot.pixelColor(at.right - 2, at.bottom - 2), QColor(255, 160, 0));
    EXPECT_EQ(shot.pixelColor(at.left + 1, at.top - 3), QColor(0, 0, 96));
    EXPECT_EQ(shot.pixelColor(at.left + 1, at.bottom + 2), QColor(0, 0, 96));
    screenshot(dlg, "texture-settings-editor-fitted");
}

} // namespace
