#pragma once
// The store editor, "Store Information": one store at a time on four tabs
// (Store, Property Manager, Lease Info, Lease Info (Cont)), a side bar with
// the store list and the store commands, and a menu bar. There is no Save
// for a store that exists: the store shown is saved whenever the user leaves
// it (another store, Close, closing the window), when anything of it was
// changed since it was loaded.
//
// The handlers live in one file per concern:
//   frmStoreInfo.cpp          the frame: load, unload, views, store list,
//                             commands, add mode, tab guard, menu bar
//   frmStoreInfo_layout.cpp   the controls' design: captions, positions
//   frmStoreInfo_lease.cpp    lease dates, sales reporting, reminders
//   frmStoreInfo_rent.cpp     rent figures and the month stepper
//   frmStoreInfo_details.cpp  store details, icon, addresses, company list
// Each of the last three wires its own handlers (wireLease, wireRent,
// wireDetails), which the constructor calls.
//
// Events raised by the program's own assignments run the handlers as the
// user's do. Handlers that write calendar reminders therefore look at
// g_StoreFormLoading and g_StoreBusy: the store load sets the first for its
// whole run, the form clear the second.

#include "platform/controls/DatePicker.h"
#include "platform/controls/RichTextBox.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/controls/SmartPanel.h"
#include "platform/controls/SmartSideBar.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/UpDown.h"
#include "platform/forms/Forms.h"
#include "program/services/Lumvex.h"

#include <cstdint>
#include <string>
#include <vector>

class frmStoreInfo : public forms::FormOf<frmStoreInfo> {
public:
    frmStoreInfo();

    // Answers of the no-store guard.
    static constexpr int16_t kGoOn = 0;
    static constexpr int16_t kStop = 1003;

    // --- Frame ---
    controls::SmartMenuBar smuiMenuBar{*this, "smuiMenuBar"};
    controls::SmartSideBar smuiOptions{*this, "smuiOptions"};
    // 0: the store list; 1: the store commands.
    forms::ControlArray<controls::SmartPanel> smuiPanel{smuiOptions, "smuiPanel", {0, 1}};
    controls::TabControl SSTab1{*this, "SSTab1", -1, 4};
    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

    // --- Tab 0 "Store" ---
    forms::Label lblStoreName{SSTab1.TabPage(0), "lblStoreName"};
    forms::TextBox txtStoreName{SSTab1.TabPage(0), "txtStoreName"};
    forms::Label lblStoreNumber{SSTab1.TabPage(0), "lblStoreNumber"};
    forms::TextBox txtStoreNumber{SSTab1.TabPage(0), "txtStoreNumber"};
    forms::Label lblStoreIcon{SSTab1.TabPage(0), "lblStoreIcon"};
    forms::Image Image1{SSTab1.TabPage(0), "Image1"};
    forms::CheckBox chkUseDefaultIcon{SSTab1.TabPage(0), "chkUseDefaultIcon"};
    forms::Label lblStoreAddress{SSTab1.TabPage(0), "lblStoreAddress"};
    forms::Label lblManager{SSTab1.TabPage(0), "lblManager"};
    forms::TextBox txtManager{SSTab1.TabPage(0), "txtManager"};
    forms::Label lblAsstManager{SSTab1.TabPage(0), "lblAsstManager"};
    forms::TextBox txtAsstManager{SSTab1.TabPage(0), "txtAsstManager"};
    forms::Label lbl3rdKey{SSTab1.TabPage(0), "lbl3rdKey"};
    forms::TextBox txt3rdKey{SSTab1.TabPage(0), "txt3rdKey"};
    forms::Label lblBusPhone{SSTab1.TabPage(0), "lblBusPhone"};
    forms::TextBox txtBusPhone{SSTab1.TabPage(0), "txtBusPhone"};
    forms::Label lblFax{SSTab1.TabPage(0), "lblFax"};
    forms::TextBox txtFax{SSTab1.TabPage(0), "txtFax"};
    forms::Label lblSquareFootage{SSTab1.TabPage(0), "lblSquareFootage"};
    forms::TextBox txtSquareFootage{SSTab1.TabPage(0), "txtSquareFootage"};

    // --- Tab 1 "Property Manager" ---
    forms::Label lblLLCompany{SSTab1.TabPage(1), "lblLLCompany"};
    forms::TextBox txtLLCompany{SSTab1.TabPage(1), "txtLLCompany"};
    forms::CommandButton cmdSelPM{SSTab1.TabPage(1), "cmdSelPM"};
    forms::Label lblLLWebSite{SSTab1.TabPage(1), "lblLLWebSite"};
    forms::TextBox txtLLWebSite{SSTab1.TabPage(1), "txtLLWebSite"};
    forms::Label lblLLEmail{SSTab1.TabPage(1), "lblLLEmail"};
    forms::TextBox txtLLEmail{SSTab1.TabPage(1), "txtLLEmail"};
    forms::Label lblLLContact{SSTab1.TabPage(1), "lblLLContact"};
    forms::TextBox txtLLContact{SSTab1.TabPage(1), "txtLLContact"};
    forms::Label lblLLBusiness{SSTab1.TabPage(1), "lblLLBusiness"};
    forms::TextBox txtLLBusiness{SSTab1.TabPage(1), "txtLLBusiness"};
    forms::Label lblLLFax{SSTab1.TabPage(1), "lblLLFax"};
    forms::TextBox txtLLFax{SSTab1.TabPage(1), "txtLLFax"};
    forms::Label lblLLAddress{SSTab1.TabPage(1), "lblLLAddress"};
    // The known companies; it lies over txtLLBusiness and txtLLFax (declared
    // after them, so it is drawn above them).
    controls::SmartPanel smuiPMList{SSTab1.TabPage(1), "smuiPMList"};

    // The two address boxes and their buttons: 0 the store's (tab 0), 1 the
    // company's (tab 1).
    forms::ControlArray<controls::RichTextBox> txtStreet{
        "txtStreet", {{0, SSTab1.TabPage(0)}, {1, SSTab1.TabPage(1)}}};
    forms::ControlArray<Lumvex> cmAddress{
        "cmAddress", {{0, SSTab1.TabPage(0)}, {1, SSTab1.TabPage(1)}}};

    // --- Tab 2 "Lease Info" ---
    forms::Label lblLeaseDate{SSTab1.TabPage(2), "lblLeaseDate"};
    controls::DatePicker DTLeaseDate{SSTab1.TabPage(2), "DTLeaseDate"};
    forms::Label lblCommDate{SSTab1.TabPage(2), "lblCommDate"};
    controls::DatePicker DTCommDate{SSTab1.TabPage(2), "DTCommDate"};
    forms::Label lblInitTerm{SSTab1.TabPage(2), "lblInitTerm"};
    forms::TextBox txtInitTerm{SSTab1.TabPage(2), "txtInitTerm"};
    forms::Label lblInitTermYears{SSTab1.TabPage(2), "lblInitTermYears"};
    forms::Label lblTermNotice{SSTab1.TabPage(2), "lblTermNotice"};
    forms::TextBox txtTermNotice{SSTab1.TabPage(2), "txtTermNotice"};
    forms::ControlArray<forms::Label> lblRateCaption{SSTab1.TabPage(2), "lblRateCaption", {0, 1, 2, 3}};
    // 0 base rent, 1 percentage rent, 2 C.A.M., 3 taxes, for the month shown.
    forms::ControlArray<forms::Label> lblRate{SSTab1.TabPage(2), "lblRate", {0, 1, 2, 3}};
    forms::ControlArray<forms::CommandButton> cmdRate{SSTab1.TabPage(2), "cmdRate", {0, 1, 2, 3}};
    forms::Label lblPerRateCalc{SSTab1.TabPage(2), "lblPerRateCalc"};
    forms::Label lblCurRent{SSTab1.TabPage(2), "lblCurRent"};
    forms::Label lblCurRentDue{SSTab1.TabPage(2), "lblCurRentDue"};
    controls::UpDown UpDown1{SSTab1.TabPage(2), "UpDown1"};
    forms::Label lblSalesReportReq{SSTab1.TabPage(2), "lblSalesReportReq"};
    forms::ComboBox cboSalesReportReq{SSTab1.TabPage(2), "cboSalesReportReq"};
    forms::Label lblNextDueDate{SSTab1.TabPage(2), "lblNextDueDate"};
    controls::DatePicker DTDueDate{SSTab1.TabPage(2), "DTDueDate"};
    forms::CheckBox chkAnnualReportReq{SSTab1.TabPage(2), "chkAnnualReportReq"};
    forms::Label lblNextAnnualDueDate{SSTab1.TabPage(2), "lblNextAnnualDueDate"};
    controls::DatePicker DTAnnualReportDueDate{SSTab1.TabPage(2), "DTAnnualReportDueDate"};

    // --- Tab 3 "Lease Info (Cont)" ---
    forms::Label lblRenewalInfo{SSTab1.TabPage(3), "lblRenewalInfo"};
    controls::RichTextBox rtbRenewal{SSTab1.TabPage(3), "rtbRenewal"};
    forms::Label lblRenewal{SSTab1.TabPage(3), "lblRenewal"};
    controls::DatePicker DTRenewal{SSTab1.TabPage(3), "DTRenewal"};
    forms::Label lblInsuranceInfo{SSTab1.TabPage(3), "lblInsuranceInfo"};
    controls::RichTextBox rtbInsurance{SSTab1.TabPage(3), "rtbInsurance"};
    forms::Label lblInsurance{SSTab1.TabPage(3), "lblInsurance"};
    controls::DatePicker DTInsurance{SSTab1.TabPage(3), "DTInsurance"};
    forms::Label lblOtherNotes{SSTab1.TabPage(3), "lblOtherNotes"};
    controls::RichTextBox rtbOtherNotes{SSTab1.TabPage(3), "rtbOtherNotes"};
    forms::Label lblOther{SSTab1.TabPage(3), "lblOther"};
    controls::DatePicker DTOtherDate{SSTab1.TabPage(3), "DTOtherDate"};

    // The reminder pictures: 0 renewal, 1 insurance, 3 other (tab 3) and 2
    // the sales report (tab 2).
    forms::ControlArray<forms::Image> ImageSelectable{"ImageSelectable",
                                                      {{0, SSTab1.TabPage(3)},
                                                       {1, SSTab1.TabPage(3)},
                                                       {2, SSTab1.TabPage(2)},
                                                       {3, SSTab1.TabPage(3)}}};

    // 0 while the view "Stores" is chosen, 1 while "Manage Stores" is.
    int16_t ManageView = 0;
    // What the store shown held when it was loaded, as
    // Mod_StoreInfo::ShownStoreValues gives it; empty before any load.
    std::vector<std::string> StoreAsLoaded;

    // --- The frame (frmStoreInfo.cpp) ---
    int16_t CheckNoStores();
    void SaveCurrentStore();
    void smuiOptions_ItemClick(const std::string& key);
    void smuiPanel_ItemClick(int Index, const std::string& key);
    void smuiMenuBar_ItemClick(const std::string& key);
    void SSTab1_Click(int PreviousTab);
    void txtStoreName_Change();
    // The command DELETE: the store shown and everything it owns.
    void DeleteCurrentStore();

    // --- Lease dates, sales reporting, reminders (frmStoreInfo_lease.cpp) ---
    void DTCommDate_Change();
    void DTCommDate_Click();
    void txtInitTerm_Change();
    void txtInitTerm_Click();
    void txtInitTerm_Validate(bool& Cancel);
    void cmdRate_Click(int Index);
    void cboSalesReportReq_Click();
    void chkAnnualReportReq_Click();
    void DTDueDate_Click();
    void DTDueDate_Change();
    void DTAnnualReportDueDate_Change();
    void DTRenewal_Change();
    void DTInsurance_Change();
    void DTOtherDate_Change();
    // The menu bar's items RENEWAL, INSURANCE and OTHER.
    void smuiMenuBar_ReminderClick(const std::string& key);

    // --- Rent figures and the month stepper (frmStoreInfo_rent.cpp) ---
    void DisplayNewRentsValues();
    void StepRentMonth(int16_t step);
    void UpDown1_DownClick();
    void UpDown1_UpClick();
    void lblRate_Click(int Index);

    // --- Store details, icon, addresses, company list (frmStoreInfo_details.cpp) ---
    void txtStoreNumber_Change();
    void chkUseDefaultIcon_Click();
    void Image1_Click();
    void ChooseIconFile();
    void cmAddress_Click(int Index);
    void PrepareAddressDialog(int Index);
    void txtStreet_Change(int Index);
    void txtStreet_Validate(int Index, bool& Cancel);
    void cmdSelPM_Click();
    void txtLLCompany_Change();
    void txtLLWebSite_DblClick();
    void smuiPMList_ItemClick(const std::string& key);
    void smuiPMList_ItemPress(const std::string& key);
    void smuiPMList_MouseDown(int Button, int Shift, float X, float Y);

protected:
    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override;

private:
    // Captions, lists and positions of the controls (frmStoreInfo_layout.cpp).
    void layOut();
    // Each concern's handlers connected to their controls.
    void wireFrame();
    void wireLease();
    void wireRent();
    void wireDetails();

    // Store commands of the add mode shown (true) or those of browsing.
    void showAddCommands(bool adding);
    // Saves the store shown and its company, as leaving it does; false when
    // the store's save was refused.
    bool saveShownStore();

    // The menu's Close is closing the window (the user's close, as the close
    // box is).
    bool closingByUser_ = false;
    // The new store being entered was dropped by the close.
    bool addDropped_ = false;
};
