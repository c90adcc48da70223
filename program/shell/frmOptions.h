#pragma once
// The options window "Tallyvane Options", three pages chosen by a tab strip:
// - Calendar: how the main calendar lays out a day, its weekend and heading
//   colours and its background picture. Each change shows on the main
//   calendar at once (loading that window when it is closed); the settings
//   store receives them when this window closes.
// - Email: the sender's address and name and the SMTP server, stored as they
//   are typed and used by the next message sent, with a test message.
// - Misc: start with the session, the example database, tips at start-up,
//   the close effect, and the pictures the calendar shows for the reminder
//   kinds (the icon picker), stored at once.

#include "platform/controls/ColorPicker.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/SmartContainer.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/controls/SmartTabStrip.h"
#include "platform/forms/Forms.h"
#include "program/services/Lumvex.h"
#include "program/shell/Mod_tallyvane_Calendar.h"

#include <QPixmap>

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace controls {
class ctCalendar;
}

class frmOptions : public forms::FormOf<frmOptions> {
public:
    frmOptions();

    static constexpr double kDefaultHeight = 5685;
    static constexpr double kDefaultWidth = 11340;
    static constexpr int kIconSlots = Mod_tallyvane::kImageSlots;

    controls::SmartMenuBar smuiSelect{*this, "smuiSelect"};
    controls::SmartTabStrip SmartTabStrip{*this, "SmartTabStrip"};
    controls::SmartContainer SmartUIContainer{*this, "SmartUIContainer"};
    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

    // --- Page CALENDAR ---
    forms::Frame fraMainOptions{SmartUIContainer, "fraMainOptions"};
    forms::Label lblIconHeading{fraMainOptions, "lblIconHeading"};
    forms::Label lblIconDescription{fraMainOptions, "lblIconDescription"};
    forms::Label lblIconAlign{fraMainOptions, "lblIconAlign"};
    forms::ComboBox cboIconAlign{fraMainOptions, "cboIconAlign"};
    forms::Label lblIconPosition{fraMainOptions, "lblIconPosition"};
    forms::ComboBox cboIconPosition{fraMainOptions, "cboIconPosition"};
    forms::Label lblDateHeading{fraMainOptions, "lblDateHeading"};
    forms::Label lblDateDescription{fraMainOptions, "lblDateDescription"};
    forms::Label lblDateAlign{fraMainOptions, "lblDateAlign"};
    forms::ComboBox cboDateAlign{fraMainOptions, "cboDateAlign"};
    forms::Label lblDatePos{fraMainOptions, "lblDatePos"};
    forms::ComboBox cboDatePos{fraMainOptions, "cboDatePos"};
    forms::Label lblTextHeading{fraMainOptions, "lblTextHeading"};
    forms::Label lblTextDescription{fraMainOptions, "lblTextDescription"};
    forms::Label lblTextAlign{fraMainOptions, "lblTextAlign"};
    forms::ComboBox cboTextAlign{fraMainOptions, "cboTextAlign"};
    forms::Label lblTextPos{fraMainOptions, "lblTextPos"};
    forms::ComboBox cboTextPos{fraMainOptions, "cboTextPos"};
    forms::Label lblMiscHeading{fraMainOptions, "lblMiscHeading"};
    forms::Label lblMiscDescription{fraMainOptions, "lblMiscDescription"};
    forms::CheckBox chkSmallIcons{fraMainOptions, "chkSmallIcons"};
    forms::CheckBox chkGroupWeekends{fraMainOptions, "chkGroupWeekends"};
    forms::CheckBox ChkShowWeekend{fraMainOptions, "ChkShowWeekend"};
    forms::Label lblSelColor{fraMainOptions, "lblSelColor"};
    controls::ColorPicker ColorPicker1{fraMainOptions, "ColorPicker1"};
    forms::CheckBox chkShowDateHeadings{fraMainOptions, "chkShowDateHeadings"};
    forms::Label lblDateHeadingColor{fraMainOptions, "lblDateHeadingColor"};
    controls::ColorPicker ColorPicker2{fraMainOptions, "ColorPicker2"};
    forms::Label lblBackgroundImage{fraMainOptions, "lblBackgroundImage"};
    forms::TextBox txtBackgroundImage{fraMainOptions, "txtBackgroundImage"};
    forms::CommandButton cmdSelBkgnd{fraMainOptions, "cmdSelBkgnd"};

    // --- Page EMAIL ---
    forms::Frame fraEmail{SmartUIContainer, "fraEmail"};
    forms::Label lblEmailHeading{fraEmail, "lblEmailHeading"};
    forms::Label lblOrigEmail{fraEmail, "lblOrigEmail"};
    forms::TextBox txtOrigEmail{fraEmail, "txtOrigEmail"};
    forms::Label lblFromEMail{fraEmail, "lblFromEMail"};
    forms::TextBox txtFromEMail{fraEmail, "txtFromEMail"};
    forms::Label lblServerHeading{fraEmail, "lblServerHeading"};
    forms::Label lblSMTPMailServer{fraEmail, "lblSMTPMailServer"};
    forms::TextBox txtSMTPMailServer{fraEmail, "txtSMTPMailServer"};
    // "Test Connection"; a plain command button until the forms host the
    // program's own button control.
    Lumvex Lumvex1{fraEmail, "Lumvex1"};

    // --- Page MISC ---
    forms::Frame fraMisc{SmartUIContainer, "fraMisc"};
    forms::Label lblOtherHeading{fraMisc, "lblOtherHeading"};
    forms::Label lblOtherDescription{fraMisc, "lblOtherDescription"};
    forms::CheckBox chkRunAtStartup{fraMisc, "chkRunAtStartup"};
    forms::CheckBox chkShowTips{fraMisc, "chkShowTips"};
    forms::CheckBox chkEnableScreenFader{fraMisc, "chkEnableScreenFader"};
    forms::Label lblExampleHeading{fraMisc, "lblExampleHeading"};
    forms::Label lblExampleDescription{fraMisc, "lblExampleDescription"};
    forms::CheckBox chkUseExampleDB{fraMisc, "chkUseExampleDB"};
    // The icon picker.
    forms::Label lblIconsHeading{fraMisc, "lblIconsHeading"};
    forms::Label lblIconsHint{fraMisc, "lblIconsHint"};
    forms::ControlArray<forms::PictureBox> TallyvaneIcon{fraMisc, "TallyvaneIcon", {0, 1, 2, 3, 4, 5, 6}};
    forms::ControlArray<forms::Label> lblIcon{fraMisc, "lblIcon", {0, 1, 2, 3, 4, 5, 6}};
    // "Use Default Icons"; a plain command button, as Lumvex1.
    Lumvex CmdRestoreDefault{fraMisc, "CmdRestoreDefault"};
    controls::ImageList ImageList1{*this, "ImageList1"};

    // The tab strip's command: marks the page's group selected, shows its
    // frame and takes its help topic; another key changes neither. Then lays
    // the window out again.
    void ShowPage(const std::string& key);
    const std::string& HelpTopic() const { return helpTopic_; }

    // The icon picker: a file chosen for slot i (0 to 6) is copied into the
    // program folder's icons, its name stored and the calendar refilled.
    void ChooseIcon(int Index);
    void SaveIcons();
    void CmdRestoreDefault_Click();
    // Per slot: the chosen file with its folder ("" when none was chosen
    // here), and the name the slot stores ("" for the default picture).
    using IconRow = std::array<std::string, 2>;
    const std::array<IconRow, 8>& IconFiles() const { return IconFiles_; }

    // The patterns of "All Picture Files" in the picture choosers: TIFF only
    // where a reader for it is installed.
    static std::string PicturePatterns();

    static constexpr const char* kCalendarTopic = "Options_Screen\\calendar_Options.htm";
    static constexpr const char* kEmailTopic = "Options_Screen\\E-Mail_Options.htm";
    static constexpr const char* kMiscTopic = "Options_Screen\\Misc_Options.htm";
    static constexpr const char* kTestSent = "Test message successfully sent.";

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

private:
    // Design: captions, lists and positions of each page.
    void designCalendarPage();
    void designEmailPage();
    void designMiscPage();
    void designIconPicker();

    void smuiSelect_ItemClick(const std::string& key);

    // Calendar page.
    void LoadCalendarOptions();
    void SaveCalendarOptions();
    // A stored option, or fallback when it is missing or damaged; save
    // leaves a damaged one as it is while its control still shows the
    // fallback it was given.
    long stored(const std::string& key, long low, long high, long fallback);
    void save(const std::string& key, const std::string& value);
    void cboIconAlign_Click();
    void cboIconPosition_Click();
    void cboDateAlign_Click();
    void cboDatePos_Click();
    void cboTextAlign_Click();
    void cboTextPos_Click();
    void chkSmallIcons_Click();
    void chkGroupWeekends_Click();
    void ChkShowWeekend_Click();
    void chkShowDateHeadings_Click();
    void ColorPicker1_ColorChanged(forms::OLE_COLOR color);
    void ColorPicker2_ColorChanged(forms::OLE_COLOR color);
    void SelectBackgroundImage();
    // The main calendar, loaded (and so shown) when it is not.
    static controls::ctCalendar& calendar();

    // Misc page.
    void chkEnableScreenFader_Click();
    void chkUseExampleDB_Click();
    void chkRunAtStartup_Click();
    // Sets the box from code without running its handler.
    void setQuietly(forms::CheckBox& box, int value);

    // Email page.
    void txtSMTPMailServer_Change();
    void txtOrigEmail_Change();
    void txtFromEMail_Change();
    void Lumvex1_Click();

    // Icon picker.
    void LoadIcons();
    void TallyvaneIcon_MouseDown(int Index);
    void TallyvaneIcon_MouseUp(int Index);
    void showIcon(int slot, const QPixmap& picture);
    // Where the icon picker's file dialog opens.
    static std::string pictureFolder();
    // The name under which a file chosen for slot is kept in the icons
    // folder: its own name, unless another slot keeps a different picture
    // under that name.
    std::string iconName(int slot, const std::filesystem::path& chosen) const;

    bool loading_ = false;
    bool closing_ = false;
    std::string helpTopic_;
    std::array<IconRow, 8> IconFiles_{};
    // The calendar options that could not be read, with the text their
    // fallback would be stored as.
    std::map<std::string, std::string> unreadable_;
};
