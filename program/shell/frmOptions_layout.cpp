// The options window's design: captions, list entries and positions (twips,
// inside each page's frame).

#include "program/shell/frmOptions.h"

#include "program/services/ProgramPictures.h"

#include <QFont>

namespace {

constexpr double kLabelHeight = 255;
constexpr double kControlHeight = 315;

void heading(forms::Label& label, std::string_view caption, double left, double top, double width)
{
    QFont bold = label.Font();
    bold.setBold(true);
    label.SetFont(bold);
    label.SetBackStyle(forms::vbTransparent);
    label.SetCaption(caption);
    label.Move(left, top, width, kLabelHeight);
}

void text(forms::Label& label, std::string_view caption, double left, double top, double width,
          double height = kLabelHeight)
{
    label.SetWordWrap(true);
    label.SetBackStyle(forms::vbTransparent);
    label.SetCaption(caption);
    label.Move(left, top, width, height);
}

void box(forms::CheckBox& check, std::string_view caption, double left, double top, double width)
{
    check.SetCaption(caption);
    check.Move(left, top, width, kControlHeight);
}

void list(forms::ComboBox& combo, std::initializer_list<const char*> items, double left, double top, double width)
{
    for (const char* item : items)
        combo.AddItem(item);
    combo.Move(left, top, width, kControlHeight);
}

} // namespace

void frmOptions::designCalendarPage()
{
    // Three columns: icon, date and text placement.
    constexpr double kColumn = 3650;
    constexpr double kLeft = 150;
    constexpr double kListLeft = 1500;
    constexpr double kListWidth = 1950;
    struct Column {
        forms::Label& heading;
        const char* headingText;
        forms::Label& description;
        const char* descriptionText;
        forms::Label& alignLabel;
        const char* alignText;
        forms::ComboBox& align;
        forms::Label& positionLabel;
        const char* positionText;
        forms::ComboBox& position;
    };
    const Column columns[] = {
        {lblIconHeading, "Calendar Icon Position", lblIconDescription,
         "Select the position of the icon on the calendar.", lblIconAlign, "Icon Alignment", cboIconAlign,
         lblIconPosition, "Icon Position:", cboIconPosition},
        {lblDateHeading, "Calendar Date Position", lblDateDescription,
         "Select the position of the date on the calendar.", lblDateAlign, "Date Alignment", cboDateAlign,
         lblDatePos, "Date Position:", cboDatePos},
        {lblTextHeading, "Calendar Text Position", lblTextDescription,
         "Select the position of the text on the calendar.", lblTextAlign, "Text Alignment", cboTextAlign,
         lblTextPos, "Text Position:", cboTextPos},
    };
    double x = kLeft;
    for (const Column& c : columns) {
        heading(c.heading, c.headingText, x, 120, kColumn - 150);
        text(c.description, c.descriptionText, x, 420, kColumn - 150, 420);
        text(c.alignLabel, c.alignText, x, 930, kListLeft - 60);
        list(c.align, {"Left Justified", "Right Justified", "Centered"}, x + kListLeft, 900, kListWidth);
        text(c.positionLabel, c.positionText, x, 1350, kListLeft - 60);
        list(c.position, {"Top", "Bottom", "Center"}, x + kListLeft, 1320, kListWidth);
        x += kColumn;
    }

    // The switches: a narrow first column, room for the colour pickers in
    // the other two.
    constexpr double kNarrow = 2700;
    constexpr double kWide = 4100;
    constexpr double kPickerLeft = 2650;
    const double weekendLeft = kLeft + kNarrow;
    const double headingsLeft = weekendLeft + kWide;
    heading(lblMiscHeading, "Misc Calendar Options", kLeft, 1830, 6000);
    text(lblMiscDescription, "Select miscellaneous calendar options.", kLeft, 2130, 6000);
    box(chkSmallIcons, "Small Icons", kLeft, 2460, kNarrow - 600);
    box(chkGroupWeekends, "Group Weekends", kLeft, 2820, kNarrow - 600);
    box(ChkShowWeekend, "Show Weekend in different color", weekendLeft, 2460, kWide - 600);
    text(lblSelColor, "Select background color", weekendLeft + 270, 2850, kPickerLeft - 330);
    ColorPicker1.Move(weekendLeft + kPickerLeft, 2790, 1215, kControlHeight);
    box(chkShowDateHeadings, "Show Date Headings", headingsLeft, 2460, kWide - 600);
    text(lblDateHeadingColor, "Select background color", headingsLeft + 270, 2850, kPickerLeft - 330);
    ColorPicker2.Move(headingsLeft + kPickerLeft, 2790, 1215, kControlHeight);

    text(lblBackgroundImage, "Select calendar background image", kLeft, 3300, 6000);
    txtBackgroundImage.Move(kLeft, 3570, 3 * kColumn - 900, kControlHeight);
    cmdSelBkgnd.SetCaption("..");
    cmdSelBkgnd.Move(kLeft + 3 * kColumn - 780, 3555, 480, 345);
}

void frmOptions::designEmailPage()
{
    constexpr double kLeft = 150;
    constexpr double kBoxLeft = 3300;
    constexpr double kBoxWidth = 5000;
    heading(lblEmailHeading, "Originators E-Mail Info", kLeft, 120, 6000);
    text(lblOrigEmail, "Originators E-Mail Address", kLeft + 300, 510, kBoxLeft - kLeft - 360);
    txtOrigEmail.Move(kBoxLeft, 480, kBoxWidth, kControlHeight);
    text(lblFromEMail, "Originators Name", kLeft + 300, 930, kBoxLeft - kLeft - 360);
    txtFromEMail.Move(kBoxLeft, 900, kBoxWidth, kControlHeight);
    heading(lblServerHeading, "SMTP Mail Server", kLeft, 1500, 6000);
    text(lblSMTPMailServer, "SMTP Mail server name", kLeft + 300, 1890, kBoxLeft - kLeft - 360);
    txtSMTPMailServer.Move(kBoxLeft, 1860, kBoxWidth, kControlHeight);
    Lumvex1.Move(kBoxLeft, 2400, 1950, 420);
}

void frmOptions::designMiscPage()
{
    constexpr double kLeft = 150;
    constexpr double kRight = 5700;
    heading(lblOtherHeading, "Other Tallyvane Options", kLeft, 120, 5300);
    text(lblOtherDescription, "These options can be used to further customize Tallyvane.", kLeft, 420, 5300);
    box(chkRunAtStartup, "Run Tallyvane on Startup", kLeft + 150, 780, 3300);
    box(chkShowTips, "Show Tips At Startup", kLeft + 150, 1110, 3300);
    box(chkEnableScreenFader, "Enable Screen Close fader", kLeft + 150, 1440, 3300);
    heading(lblExampleHeading, "Example Database", kRight, 120, 5000);
    text(lblExampleDescription, "Use example database replaces the normal database with an example database.",
         kRight, 420, 5000, 420);
    box(chkUseExampleDB, "Use Example Database", kRight + 150, 900, 3300);
}

void frmOptions::designIconPicker()
{
    constexpr double kLeft = 150;
    constexpr double kColumn = 1500;
    constexpr double kPicture = 540; // 32 pixels and the border
    heading(lblIconsHeading, "Tallyvane Icons", kLeft, 1890, 3000);
    text(lblIconsHint, "Double click on any icon to change.", kLeft, 2160, 6000);
    const char* captions[kIconSlots] = {"Renewal Icon",      "Insurance Icon",           "Sales Report Icon",
                                        "Other Report Icon", "Annual Sales Report Icon", "Lease Icon",
                                        "Multi Task Icon"};
    // The defaults: the calendar's own pictures of the reminder kinds, the
    // several-reminders picture for the last slot, and the calendar's
    // default slot picture where no reminder kind has one of its own.
    const QPixmap defaults[kIconSlots] = {
        ProgramPictures::ReminderPicture(1), ProgramPictures::ReminderPicture(2),
        ProgramPictures::ReminderPicture(3), ProgramPictures::ReminderPicture(4),
        ProgramPictures::ReminderPicture(5), ProgramPictures::ResourceIcon801(),
        ProgramPictures::ReminderPicture(7),
    };
    for (int i = 0; i < kIconSlots; ++i) {
        ImageList1.ListImages().Add("", defaults[i]);
        const double x = kLeft + i * kColumn;
        forms::PictureBox& picture = TallyvaneIcon(i);
        picture.SetAppearance(0);
        picture.SetBackColor(forms::vbWindowBackground);
        picture.Move(x + (kColumn - kPicture) / 2, 2490, kPicture, kPicture);
        picture.SetPicture(defaults[i]);
        forms::Label& caption = lblIcon(i);
        caption.SetAlignment(forms::vbCenter);
        text(caption, captions[i], x, 3090, kColumn - 60, 420);
    }
    CmdRestoreDefault.Move(kLeft, 3600, 1950, 420);
}
