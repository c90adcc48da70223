#include "program/shell/frmOptions.h"

#include "platform/basic/RuntimeError.h"
#include "program/services/Mod_Registry.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/Mod_tallyvane_Values.h"
#include "program/services/ProgramPictures.h"
#include "program/services/ShellState.h"
#include "program/shell/FirstRun.h"

#include <QImageReader>
#include <QPainter>

#include <cmath>

namespace {

// The pages: tab key and caption.
struct Page {
    const char* key;
    const char* caption;
};
constexpr Page kPages[] = {
    {"CALENDAR", "Calendar Options"},
    {"EMAIL", "Email Options"},
    {"MISC", "Misc. Options"},
};

// A tab's picture while the mouse is over it: the same, lighter.
QPixmap hotPicture(const QPixmap& picture)
{
    QPixmap hot = picture;
    QPainter p(&hot);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(hot.rect(), QColor(255, 255, 255, 90));
    return hot;
}

// Design positions, in twips.
constexpr double kMenuHeight = 330;
constexpr double kTabTop = 390;
constexpr double kTabHeight = 450;
constexpr double kContainerLeft = 120;
constexpr double kContainerTop = 900;
constexpr double kFrameInset = 75;

} // namespace

frmOptions::frmOptions()
    : FormOf("frmOptions")
{
    SetCaption("Tallyvane Options");

    smuiSelect.Items().Add("CLOSE", "Close");
    smuiSelect.Items().Add("HELP", "Help");
    smuiSelect.ItemClick = [this](const std::string& key) { smuiSelect_ItemClick(key); };
    SmartTabStrip.TabClick = [this](const std::string& key) { ShowPage(key); };
    for (const Page& page : kPages) {
        const QPixmap picture = ProgramPictures::CommandPicture(page.key);
        SmartTabStrip.ListImages().Add(page.key, picture);
        SmartTabStrip.ListImages().Add(std::string(page.key) + "_HOT", hotPicture(picture));
    }

    smuiSelect.Move(0, 0, kDefaultWidth, kMenuHeight);
    SmartTabStrip.Move(kContainerLeft, kTabTop, kDefaultWidth - 2 * kContainerLeft, kTabHeight);
    SmartUIContainer.Move(kContainerLeft, kContainerTop, kDefaultWidth - kContainerLeft - 20,
                          kDefaultHeight - kContainerTop - 120);
    SmartUIContainer.SetBackColor(forms::vbButtonFace);
    for (forms::Frame* frame : {&fraMainOptions, &fraEmail, &fraMisc}) {
        frame->SetCaption("");
        frame->SetBackColor(forms::vbButtonFace);
        frame->Move(kFrameInset, kFrameInset, SmartUIContainer.Width() - 2 * kFrameInset,
                    SmartUIContainer.Height() - 2 * kFrameInset);
        frame->SetVisible(false);
    }

    designCalendarPage();
    designEmailPage();
    designMiscPage();
    designIconPicker();

    // Calendar page.
    cboIconAlign.Click = [this] { cboIconAlign_Click(); };
    cboIconPosition.Click = [this] { cboIconPosition_Click(); };
    cboDateAlign.Click = [this] { cboDateAlign_Click(); };
    cboDatePos.Click = [this] { cboDatePos_Click(); };
    cboTextAlign.Click = [this] { cboTextAlign_Click(); };
    cboTextPos.Click = [this] { cboTextPos_Click(); };
    chkSmallIcons.Click = [this] { chkSmallIcons_Click(); };
    chkGroupWeekends.Click = [this] { chkGroupWeekends_Click(); };
    ChkShowWeekend.Click = [this] { ChkShowWeekend_Click(); };
    chkShowDateHeadings.Click = [this] { chkShowDateHeadings_Click(); };
    ColorPicker1.ColorChanged = [this](forms::OLE_COLOR c) { ColorPicker1_ColorChanged(c); };
    ColorPicker2.ColorChanged = [this](forms::OLE_COLOR c) { ColorPicker2_ColorChanged(c); };
    cmdSelBkgnd.Click = [this] { SelectBackgroundImage(); };

    // Email page.
    txtSMTPMailServer.Change = [this] { txtSMTPMailServer_Change(); };
    txtSMTPMailServer.Click = [this] { txtSMTPMailServer_Change(); };
    txtOrigEmail.Change = [this] { txtOrigEmail_Change(); };
    txtFromEMail.Change = [this] { txtFromEMail_Change(); };
    txtFromEMail.Click = [this] { txtFromEMail_Change(); };
    Lumvex1.Click = [this] { Lumvex1_Click(); };

    // Misc page.
    chkEnableScreenFader.Click = [this] { chkEnableScreenFader_Click(); };
    chkUseExampleDB.Click = [this] { chkUseExampleDB_Click(); };
    chkRunAtStartup.Click = [this] { chkRunAtStartup_Click(); };
    TallyvaneIcon.On(&forms::PictureBox::MouseDown,
                     [this](int Index, int, int, float, float) { TallyvaneIcon_MouseDown(Index); });
    TallyvaneIcon.On(&forms::PictureBox::MouseUp,
                     [this](int Index, int, int, float, float) { TallyvaneIcon_MouseUp(Index); });
    CmdRestoreDefault.Click = [this] { CmdRestoreDefault_Click(); };
}

void frmOptions::Form_Load()
{
    tv::ShellState& shell = tv::Shell();
    vb::ResumeNext step;
    loading_ = true;
    // These two boxes store what they are set to: the registry is written
    // only where it differs.
    step([&] {
        chkEnableScreenFader.SetValue(
            Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "ScreenClose") == "True"
                ? 1
                : 0);
    });
    // The database the next start takes: the one in use, unless the box was
    // changed since the start.
    step([&] {
        chkUseExampleDB.SetValue(Mod_Registry::ReadRegBoolean(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey,
                                                              "UseExampleDB", FirstRun::kDefaultUseExampleDB)
                                     ? 1
                                     : 0);
    });
    step([&] {
        chkRunAtStartup.SetValue(Mod_Registry::RegValueExists(winreg::HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey,
                                                              Mod_Registry::kRunValue)
                                     ? 1
                                     : 0);
    });
    step([&] {
        for (const Page& page : kPages) {
            controls::SmartItem& tab = SmartTabStrip.Tabs().Add(page.key, page.caption, controls::smuiTab, page.key);
            tab.SetHotImage(std::string(page.key) + "_HOT");
            SmartUIContainer.Groups().Add(page.key, "", controls::smuiContainerGroup);
        }
        SmartTabStrip.Tabs().Item(0).SetSelected(true);
        ShowPage(SmartTabStrip.Tabs().Item(0).Key());
    });
    step([&] { LoadCalendarOptions(); });
    step([&] { LoadIcons(); });
    // The address box shows the address, the name box the name.
    step([&] { txtSMTPMailServer.SetText(shell.g_SMTPMailServer); });
    step([&] { txtOrigEmail.SetText(shell.g_OriginatorsEmail); });
    step([&] { txtFromEMail.SetText(shell.g_OriginatorsName); });
    step([&] {
        chkShowTips.SetValue(
            Mod_Registry::ReadRegBoolean(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "ShowTips",
                                                 FirstRun::kDefaultShowTips)
                ? 1
                : 0);
    });
    step([&] { RestoreSize(kDefaultHeight, kDefaultWidth); });
    loading_ = false;
}

void frmOptions::ShowPage(const std::string& key)
{
    vb::ResumeNext step;
    step([&] {
        for (const auto& group : SmartUIContainer.Groups())
            group->SetSelected(group->Key() == key);
    });
    forms::Frame* shown = nullptr;
    if (key == "CALENDAR") {
        shown = &fraMainOptions;
        helpTopic_ = kCalendarTopic;
    } else if (key == "EMAIL") {
        shown = &fraEmail;
        helpTopic_ = kEmailTopic;
    } else if (key == "MISC") {
        shown = &fraMisc;
        helpTopic_ = kMiscTopic;
    }
    if (shown) {
        for (forms::Frame* frame : {&fraMainOptions, &fraEmail, &fraMisc})
            frame->SetVisible(frame == shown);
    }
    Form_Resize();
}

void frmOptions::Form_Resize()
{
    if (closing_)
        return;
    vb::ResumeNext step;
    step([&] { smuiSelect.SetWidth(ScaleWidth()); });
    step([&] {
        if (SmartUIContainer.Left() < ScaleWidth())
            SmartUIContainer.SetWidth(ScaleWidth() - SmartUIContainer.Left() - 20);
    });
    // The container keeps to the bottom of the window as well.
    step([&] { SmartUIContainer.SetHeight(ScaleHeight() - SmartUIContainer.Top() - 120); });
    // Whole twips; a size the frames cannot take (negative) leaves them as
    // they were.
    const double w = std::trunc(SmartUIContainer.Width() - 2 * kFrameInset);
    const double h = std::trunc(SmartUIContainer.Height() - 2 * kFrameInset);
    for (forms::Frame* frame : {&fraMainOptions, &fraEmail, &fraMisc}) {
        step([&] { frame->SetWidth(w); });
        step([&] { frame->SetHeight(h); });
    }
}

void frmOptions::Form_Unload(int& Cancel)
{
    (void)Cancel;
    vb::ResumeNext step;
    closing_ = true;
    step([&] { SaveCalendarOptions(); });
    step([&] { SaveSize(); });
    step([&] {
        Mod_SpecialFunctions::SaveRegStringIfChanged(chkShowTips.Value() == forms::vbChecked ? "True" : "False",
                                                     Mod_Registry::kProgramKey, "ShowTips");
    });
    step([&] { Mod_SpecialFunctions::CloseEffect(*this, 200); });
    closing_ = false;
}

void frmOptions::smuiSelect_ItemClick(const std::string& key)
{
    if (key == "CLOSE")
        Unload();
    else if (key == "HELP")
        Mod_SpecialFunctions::ShowHelpTopic(helpTopic_);
}

std::string frmOptions::PicturePatterns()
{
    const bool tiff = QImageReader::supportedImageFormats().contains("tiff");
    return tiff ? "*.bmp;*.gif;*.jpg;*.jpeg;*.tiff;*.ico" : "*.bmp;*.gif;*.jpg;*.jpeg;*.ico";
}

void frmOptions::setQuietly(forms::CheckBox& box, int value)
{
    const bool was = loading_;
    loading_ = true;
    box.SetValue(value);
    loading_ = was;
}
