#include "program/shell/ScreenCommands.h"

#include "platform/forms/Form.h"
#include "program/reports/frmReport.h"
#include "program/reports/frmTaskList.h"
#include "program/shell/frmAbout.h"
#include "program/shell/frmOptions.h"
#include "program/shell/Mod_StoreInfo_Update.h"
#include "program/shell/frmTallyvane.h"
#include "program/shell/frmTip.h"
#include "program/stores/frmSales.h"
#include "program/stores/frmStoreInfo.h"

namespace ScreenCommands {

void ShowMainCalendar()
{
    frmTallyvane::Instance().Show(forms::vbModeless);
}

void ShowStoreEditor()
{
    frmStoreInfo::Instance().Show(forms::vbModeless);
}

void ShowReportScreen()
{
    frmReport::Instance().Show(forms::vbModeless);
}

void ShowTaskList()
{
    frmTaskList::Instance().Show(forms::vbModeless);
}

void ShowSales()
{
    frmSales::Instance().Show(forms::vbModeless);
}

void ShowOptions()
{
    frmOptions::Instance().Show(forms::vbModeless);
}

void ShowAbout()
{
    frmAbout::Instance().Show(forms::vbModeless);
}

void ShowTip()
{
    frmTip::Instance().Show(forms::vbModeless);
}

void CheckForUpdate(bool showMessages)
{
    Mod_StoreInfo::CheckForUpdate(showMessages);
}

} // namespace ScreenCommands
