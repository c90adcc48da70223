// The store editor's design: captions, fixed lists and positions (twips).

#include "program/stores/frmStoreInfo.h"

#include "program/services/ProgramPictures.h"

namespace {

// The window and its three parts. The store list is wide enough for a name
// of twenty-odd letters beside its number icon, the rent figures for seven
// digits and cents.
constexpr double kFormWidth = 13690;
constexpr double kFormHeight = 7900;
constexpr double kMenuHeight = 330;
constexpr double kSideLeft = 60;
constexpr double kSideTop = 420;
constexpr double kSideWidth = 3750;
constexpr double kTabLeft = 3930;
constexpr double kTabWidth = 9640;
constexpr double kTabHeight = 6900;

// Columns and rows on the pages.
constexpr double kLabelLeft = 240;
constexpr double kLabelWidth = 1750;
constexpr double kFieldLeft = 2000;
constexpr double kFieldWidth = 4200;
constexpr double kRowHeight = 315;
constexpr double kRowStep = 420;

double row(int n)
{
    return 260 + n * kRowStep;
}

void caption(forms::Label& label, const char* text, double left, double top, double width)
{
    label.SetCaption(text);
    label.SetBackStyle(forms::vbTransparent);
    label.Move(left, top + 40, width, kRowHeight);
}

} // namespace

void frmStoreInfo::layOut()
{
    SetCaption("Store Information");
    Move(0, 0, kFormWidth, kFormHeight);

    // Frame.
    smuiMenuBar.Move(0, 0, kFormWidth, kMenuHeight);
    smuiOptions.Move(kSideLeft, kSideTop, kSideWidth, kFormHeight - 900);
    SSTab1.Move(kTabLeft, kSideTop, kTabWidth, kTabHeight);
    const char* tabs[] = {"Store", "Property Manager", "Lease Info", "Lease Info (Cont)"};
    for (int i = 0; i < 4; ++i)
        SSTab1.SetTabCaption(i, tabs[i]);

    auto& file = smuiMenuBar.Items().Add("FILE", "File");
    file.Items().Add("CLOSE", "Close");
    auto& reminders = smuiMenuBar.Items().Add("REMINDERS", "Reminders");
    reminders.Items().Add("RENEWAL", "Renewal").SetChecked(true);
    reminders.Items().Add("INSURANCE", "Insurance").SetChecked(true);
    reminders.Items().Add("OTHER", "Other").SetChecked(true);
    reminders.SetVisible(false);
    smuiMenuBar.Items().Add("HELP", "Help");

    controls::SmartPanel& commands = smuiPanel(1);
    for (const char* key : {"ADDNEWSTORE", "CANCEL", "DELETE", "SAVE"})
        commands.ListImages().Add(key, ProgramPictures::CommandPicture("STORES"));
    commands.Items().Add("ADDNEWSTORE", "Add New Store", controls::smuiCommandItem, "ADDNEWSTORE");
    commands.Items().Add("CANCEL", "Cancel", controls::smuiCommandItem, "CANCEL").SetVisible(false);
    commands.Items().AddSeparator();
    commands.Items().Add("DELETE", "Delete Store", controls::smuiCommandItem, "DELETE");
    commands.Items().Add("SAVE", "Save", controls::smuiCommandItem, "SAVE").SetVisible(false);

    // Tab 0 "Store".
    caption(lblStoreName, "Name:", kLabelLeft, row(0), kLabelWidth);
    txtStoreName.Move(kFieldLeft, row(0), kFieldWidth, kRowHeight);
    caption(lblStoreNumber, "Number:", kLabelLeft, row(1), kLabelWidth);
    txtStoreNumber.Move(kFieldLeft, row(1), 1200, kRowHeight);
    caption(lblStoreIcon, "Icon:", 3300, row(1), 600);
    Image1.Move(3900, row(1) - 80, 480, 480);
    chkUseDefaultIcon.SetCaption("Use Store Number as icon");
    chkUseDefaultIcon.Move(4560, row(1), 3000, kRowHeight);
    caption(lblStoreAddress, "Address:", kLabelLeft, row(2) + 120, kLabelWidth);
    txtStreet(0).Move(kFieldLeft, row(2) + 120, kFieldWidth, 1260);
    cmAddress(0).Move(kFieldLeft + kFieldWidth + 120, row(2) + 120, 1100, 360);
    caption(lblManager, "Manager:", kLabelLeft, row(6), kLabelWidth);
    txtManager.Move(kFieldLeft, row(6), kFieldWidth, kRowHeight);
    caption(lblAsstManager, "Assisant Manager:", kLabelLeft, row(7), kLabelWidth);
    txtAsstManager.Move(kFieldLeft, row(7), kFieldWidth, kRowHeight);
    caption(lbl3rdKey, "3rd Key:", kLabelLeft, row(8), kLabelWidth);
    txt3rdKey.Move(kFieldLeft, row(8), kFieldWidth, kRowHeight);
    caption(lblBusPhone, "Business:", kLabelLeft, row(9), kLabelWidth);
    txtBusPhone.Move(kFieldLeft, row(9), 2400, kRowHeight);
    caption(lblFax, "Fax:", kLabelLeft, row(10), kLabelWidth);
    txtFax.Move(kFieldLeft, row(10), 2400, kRowHeight);
    caption(lblSquareFootage, "Square Footage:", kLabelLeft, row(11), kLabelWidth);
    txtSquareFootage.Move(kFieldLeft, row(11), 1200, kRowHeight);

    // Tab 1 "Property Manager". The company list drops down over Business
    // and Fax, right under the company's name.
    caption(lblLLCompany, "Company:", kLabelLeft, row(0), kLabelWidth);
    txtLLCompany.Move(kFieldLeft, row(0), kFieldWidth, kRowHeight);
    cmdSelPM.SetCaption("...");
    cmdSelPM.SetToolTipText("Click to show/hide property manager list");
    cmdSelPM.Move(kFieldLeft + kFieldWidth + 60, row(0), 400, kRowHeight);
    caption(lblLLBusiness, "Business:", kLabelLeft, row(1), kLabelWidth);
    txtLLBusiness.Move(kFieldLeft, row(1), 2400, kRowHeight);
    caption(lblLLFax, "Fax:", kLabelLeft, row(2), kLabelWidth);
    txtLLFax.Move(kFieldLeft, row(2), 2400, kRowHeight);
    smuiPMList.Move(kFieldLeft, row(0) + kRowHeight + 15, kFieldWidth, 750);
    smuiPMList.SetVisible(false);
    caption(lblLLWebSite, "Web Site:", kLabelLeft, row(3), kLabelWidth);
    txtLLWebSite.Move(kFieldLeft, row(3), kFieldWidth, kRowHeight);
    txtLLWebSite.SetToolTipText("Double click to goto the website");
    caption(lblLLEmail, "E-mail:", kLabelLeft, row(4), kLabelWidth);
    txtLLEmail.Move(kFieldLeft, row(4), kFieldWidth, kRowHeight);
    caption(lblLLContact, "Contact:", kLabelLeft, row(5), kLabelWidth);
    txtLLContact.Move(kFieldLeft, row(5), kFieldWidth, kRowHeight);
    caption(lblLLAddress, "Address:", kLabelLeft, row(6) + 120, kLabelWidth);
    txtStreet(1).Move(kFieldLeft, row(6) + 120, kFieldWidth, 1260);
    cmAddress(1).Move(kFieldLeft + kFieldWidth + 120, row(6) + 120, 1100, 360);

    // Tab 2 "Lease Info": the lease on the left, the month's rent on the right.
    constexpr double kDateLeft = 2400;
    constexpr double kDateWidth = 1800;
    caption(lblLeaseDate, "Lease Date:", kLabelLeft, row(0), 2140);
    DTLeaseDate.Move(kDateLeft, row(0), kDateWidth, kRowHeight);
    caption(lblCommDate, "Commencement Date:", kLabelLeft, row(1), 2140);
    DTCommDate.Move(kDateLeft, row(1), kDateWidth, kRowHeight);
    caption(lblInitTerm, "Inital Term:", kLabelLeft, row(2), 2140);
    txtInitTerm.Move(kDateLeft, row(2), 600, kRowHeight);
    caption(lblInitTermYears, "Years", kDateLeft + 700, row(2), 800);
    caption(lblTermNotice, "Termination Notice:", kLabelLeft, row(3), 2140);
    txtTermNotice.Move(kDateLeft, row(3), 2900, kRowHeight);
    caption(lblSalesReportReq, "Sales Reporting:", kLabelLeft, row(5), 2140);
    cboSalesReportReq.Move(kDateLeft, row(5), kDateWidth, kRowHeight);
    for (const char* item : {"None", "Monthly", "Quarterly", "Semi-Annually", "Annually"})
        cboSalesReportReq.AddItem(item);
    ImageSelectable(2).Move(kDateLeft + kDateWidth + 200, row(5) - 60, 480, 480);
    caption(lblNextDueDate, "Next Due Date:", kLabelLeft, row(6), 2140);
    DTDueDate.Move(kDateLeft, row(6), kDateWidth, kRowHeight);
    chkAnnualReportReq.SetCaption("Annual Sales Report Required:");
    chkAnnualReportReq.Move(kLabelLeft, row(7), 3600, kRowHeight);
    caption(lblNextAnnualDueDate, "Next Due Date:", kLabelLeft, row(8), 2140);
    DTAnnualReportDueDate.Move(kDateLeft, row(8), kDateWidth, kRowHeight);

    constexpr double kRentLeft = 5400;
    constexpr double kFigureLeft = 7150;
    constexpr double kFigureWidth = 1650;
    const char* rates[] = {"Base Rate:", "Percentage Rate:", "C.A.M. Rate:", "Taxes:"};
    const char* tips[] = {"Launch Base Rate Worksheet", "Launch Percentage Rate Worksheet",
                          "Launch C.A.M Rate Worksheet", "Launch Tax Rate Worksheet"};
    for (int i = 0; i < 4; ++i) {
        caption(lblRateCaption(i), rates[i], kRentLeft, row(i), 1700);
        lblRate(i).SetCaption("$0.00");
        lblRate(i).SetAlignment(forms::vbRightJustify);
        lblRate(i).SetBackStyle(forms::vbTransparent);
        lblRate(i).Move(kFigureLeft, row(i) + 40, kFigureWidth, kRowHeight);
        cmdRate(i).SetCaption("..");
        cmdRate(i).SetToolTipText(tips[i]);
        cmdRate(i).Move(kFigureLeft + kFigureWidth + 60, row(i), 330, kRowHeight);
    }
    lblPerRateCalc.SetBackStyle(forms::vbTransparent);
    // The explanation and the month's name ("September 2025 Rent:") run
    // left of the rent captions, so that they fit beside the figures.
    lblPerRateCalc.SetAlignment(forms::vbRightJustify);
    lblPerRateCalc.Move(kDateLeft, row(4) + 40, kFigureLeft + kFigureWidth - kDateLeft, kRowHeight);
    lblPerRateCalc.SetVisible(false);
    caption(lblCurRent, "Current Rent:", kRentLeft - 420, row(5), 2300);
    lblCurRentDue.SetCaption("$0.00");
    lblCurRentDue.SetAlignment(forms::vbRightJustify);
    lblCurRentDue.SetBackStyle(forms::vbTransparent);
    lblCurRentDue.Move(kFigureLeft, row(5) + 40, kFigureWidth, kRowHeight);
    UpDown1.Move(kFigureLeft + kFigureWidth + 90, row(5) - 60, 255, 450);
    UpDown1.SetToolTipText("Use the Up/Down buttons to view other months rent calculation.");

    // Tab 3 "Lease Info (Cont)": three notes, each with its reminder date.
    struct Note {
        forms::Label& heading;
        const char* title;
        controls::RichTextBox& box;
        forms::Label& label;
        const char* notice;
        controls::DatePicker& picker;
        int picture;
    };
    const Note notes[] = {
        {lblRenewalInfo, "Renewal Information:", rtbRenewal, lblRenewal, "Renewal reminder notice:", DTRenewal, 0},
        {lblInsuranceInfo, "Insurance Information:", rtbInsurance, lblInsurance, "Insurance reminder notice:",
         DTInsurance, 1},
        {lblOtherNotes, "Other Notes:", rtbOtherNotes, lblOther, "Other reminder notice:", DTOtherDate, 3},
    };
    double top = 160;
    for (const Note& n : notes) {
        caption(n.heading, n.title, kLabelLeft, top, 3000);
        n.box.Move(kLabelLeft, top + 340, 5055, 1320);
        caption(n.label, n.notice, kLabelLeft + 5220, top + 340, 2600);
        n.picker.Move(kLabelLeft + 5220, top + 720, kDateWidth, kRowHeight);
        ImageSelectable(n.picture).Move(kLabelLeft + 5220 + kDateWidth + 120, top + 640, 480, 480);
        top += 1960;
    }
    // The design pictures of the reminder kinds (renewal, insurance, sales
    // report, other), until the user's own replace them.
    for (int i = 0; i < 4; ++i) {
        ImageSelectable(i).SetStretch(true);
        ImageSelectable(i).SetPicture(ProgramPictures::ReminderPicture(i + 1));
    }
}
