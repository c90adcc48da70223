// The store editor's lease tabs: lease dates and term, the worksheet
// buttons, sales reporting with its due dates, and the three reminder notes
// with their dates and the Reminders menu.

#include "program/stores/frmStoreInfo.h"

void frmStoreInfo::wireLease()
{
    DTCommDate.Change = [this] { DTCommDate_Change(); };
    DTCommDate.Click = [this] { DTCommDate_Click(); };
    txtInitTerm.Change = [this] { txtInitTerm_Change(); };
    txtInitTerm.Click = [this] { txtInitTerm_Click(); };
    // The focus leaving the box is its validation.
    txtInitTerm.LostFocus = [this] {
        bool Cancel = false;
        txtInitTerm_Validate(Cancel);
    };
    cmdRate.On(&forms::CommandButton::Click, [this](int Index) { cmdRate_Click(Index); });
    cboSalesReportReq.Click = [this] { cboSalesReportReq_Click(); };
    chkAnnualReportReq.Click = [this] { chkAnnualReportReq_Click(); };
    DTDueDate.Click = [this] { DTDueDate_Click(); };
    DTDueDate.Change = [this] { DTDueDate_Change(); };
    DTAnnualReportDueDate.Change = [this] { DTAnnualReportDueDate_Change(); };
    DTRenewal.Change = [this] { DTRenewal_Change(); };
    DTInsurance.Change = [this] { DTInsurance_Change(); };
    DTOtherDate.Change = [this] { DTOtherDate_Change(); };
}

void frmStoreInfo::DTCommDate_Change() {}
void frmStoreInfo::DTCommDate_Click() {}
void frmStoreInfo::txtInitTerm_Change() {}
void frmStoreInfo::txtInitTerm_Click() {}
void frmStoreInfo::txtInitTerm_Validate(bool& Cancel)
{
    (void)Cancel;
}
void frmStoreInfo::cmdRate_Click(int Index)
{
    (void)Index;
}
void frmStoreInfo::cboSalesReportReq_Click() {}
void frmStoreInfo::chkAnnualReportReq_Click() {}
void frmStoreInfo::DTDueDate_Click() {}
void frmStoreInfo::DTDueDate_Change() {}
void frmStoreInfo::DTAnnualReportDueDate_Change() {}
void frmStoreInfo::DTRenewal_Change() {}
void frmStoreInfo::DTInsurance_Change() {}
void frmStoreInfo::DTOtherDate_Change() {}
void frmStoreInfo::smuiMenuBar_ReminderClick(const std::string& key)
{
    (void)key;
}
