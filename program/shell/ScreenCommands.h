#pragma once
// The screens the launch panel and the tray menu open, one function each.
// Each shows its form's single program-wide instance, modeless, creating it
// first when there is none. A screen whose form is not part of the program
// yet does nothing.

namespace ScreenCommands {

// The main calendar window (frmTallyvane).
void ShowMainCalendar();
// The store editor (frmStoreInfo).
void ShowStoreEditor();
// The report screen (frmReport).
void ShowReportScreen();
// The report and task list (frmTaskList).
void ShowTaskList();
// The sales grid (frmSales).
void ShowSales();
// The options window (frmOptions).
void ShowOptions();
// The about box (frmAbout).
void ShowAbout();
// The tip of the day (frmTip).
void ShowTip();
// The update check (Mod_StoreInfo.CheckForUpdate); showMessages False is the
// silent check of the start.
void CheckForUpdate(bool showMessages);

} // namespace ScreenCommands
