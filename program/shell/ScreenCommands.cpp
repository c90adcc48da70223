#include "program/shell/ScreenCommands.h"

#include "platform/forms/Form.h"
#include "program/shell/frmOptions.h"
#include "program/shell/frmTallyvane.h"
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

// The report screen's issue shows frmReport here.
void ShowReportScreen() {}

// The task list's issue shows frmTaskList here.
void ShowTaskList() {}

void ShowSales()
{
    frmSales::Instance().Show(forms::vbModeless);
}

void ShowOptions()
{
    frmOptions::Instance().Show(forms::vbModeless);
}

// The about box's issue shows frmAbout here.
void ShowAbout() {}

// The tip window's issue shows frmTip here.
void ShowTip() {}

// The update check's issue calls Mod_StoreInfo::CheckForUpdate here.
void CheckForUpdate(bool showMessages)
{
    (void)showMessages;
}

} // namespace ScreenCommands
