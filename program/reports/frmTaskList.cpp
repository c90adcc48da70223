#include "program/reports/frmTaskList.h"

#include "platform/basic/FlagScope.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_TaskList.h"
#include "program/reports/ReportsState.h"
#include "program/reports/frmReportScheduling.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/Notifications.h"
#include "program/services/ProgramPictures.h"
#include "program/services/ShellState.h"

#include <algorithm>
#include <array>

namespace {

constexpr const char* kApp = "Tallyvane";
constexpr const char* kSection = "frmTaskList";
constexpr std::array<const char*, 9> kListLengths = {"Day",     "Week",   "1 Month", "3 Months", "6 Months",
                                                     "1 Year",  "2 Years", "5 Years", "Custom"};
constexpr std::array<const char*, 5> kColumns = {"Task Name", "Scheduled Date", "Scheduled Time", "Frequency",
                                                 "Destination"};
constexpr std::array<double, 5> kColumnShares = {0.35, 0.16, 0.16, 0.11, 0.21};
constexpr int kDefaultListLength = 1;
constexpr double kDefaultHeight = 3885;
constexpr double kDefaultWidth = 8865;
constexpr double kMenuHeight = 330;
constexpr int16_t kCloseEffectStep = 150;
constexpr int kRightButton = 2;

QPixmap smallPicture(std::string_view key)
{
    return ProgramPictures::CommandPicture(key).scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

frmTaskList::frmTaskList()
    : FormOf("frmTaskList")
{
    layOut();
    smuiMenuBar.ItemClick = [this](const std::string& key) { MenuBarCommand(key); };
    cboListLength.Click = [this] { cboListLength_Click(); };
    DTCustomListLen.Change = [this] { DTCustomListLen_Change(); };
    lvwTasks.ItemClick = [this](controls::ListItem& Item) { lvwTasks_ItemClick(Item); };
    lvwTasks.MouseDown = [this](int Button, int Shift, float x, float y) { lvwTasks_MouseDown(Button, Shift, x, y); };
    mnuModifyReport.Click = [this] { mnuModifyReport_Click(); };
}

void frmTaskList::layOut()
{
    SetCaption("Report & Task List");
    Move(0, 0, kDefaultWidth, kDefaultHeight);
    smuiMenuBar.Move(0, 0, kDefaultWidth, kMenuHeight);
    auto& file = smuiMenuBar.Items().Add("FILE", "File");
    file.Items().Add("CLOSE", "Close");
    auto& view = smuiMenuBar.Items().Add("VIEW", "View");
    view.Items().Add("REPORTS", "Reports");
    view.Items().Add("TASKS", "Tasks");
    view.Items().Add("ALL", "All");
    smuiMenuBar.Items().Add("HELP", "Help");

    ImageList1.ListImages().Add("REPORT", smallPicture("REPORT"));
    ImageList1.ListImages().Add("TASK", smallPicture("TASK"));
    lvwTasks.SetSmallIcons(&ImageList1);
    lvwTasks.Move(120, kMenuHeight + 90, kDefaultWidth - 300, kDefaultHeight - 1200);

    lblListLen.SetCaption("Task List Length:");
    lblListLen.Move(120, kDefaultHeight - 800, 1680, 255);
    cboListLength.Move(1800, kDefaultHeight - 800, 1500);
    for (const char* length : kListLengths)
        cboListLength.AddItem(length);
    lblEndDate.SetCaption("Select End Date:");
    lblEndDate.Move(3540, kDefaultHeight - 800, 1560, 255);
    DTCustomListLen.Move(5100, kDefaultHeight - 800, 1800, 315);

    // Shown only as the list's popup.
    mnuModify.SetVisible(false);
}

void frmTaskList::Form_Load()
{
    vb::FlagScope loading(loading_);
    tv::Shell().g_TaskListOpen = true;

    lvwTasks.ColumnHeaders().Clear();
    for (const char* column : kColumns)
        lvwTasks.ColumnHeaders().Add(column);

    const long length = vb::StoredWholeNumber(vb::GetSetting(kApp, kSection, "ListLength"), 0,
                                              static_cast<long>(kListLengths.size()) - 1)
                            .value_or(kDefaultListLength);
    cboListLength.SetListIndex(static_cast<int>(length)); // shows or hides the end-date picker

    vb::Date custom = vb::Today();
    vb::Date storedDate;
    if (vb::TryParseDate(vb::GetSetting(kApp, kSection, "CustomDate", ""), storedDate))
        custom = vb::DateValue(storedDate);
    try {
        DTCustomListLen.SetValue(vb::Variant(custom));
    } catch (const vb::RuntimeError&) {
        DTCustomListLen.SetValue(vb::Variant(vb::Today()));
    }

    RestoreSize(kDefaultHeight, kDefaultWidth);

    auto& state = tv::Reports();
    state.g_ListTasks = true;
    state.g_ListReports = true;
    Notifications::SetTaskListRefresh([] { Mod_TaskList::FillTaskList(); });
    Mod_TaskList::FillTaskList();
}

vb::Date frmTaskList::ListEnd() const
{
    if (cboListLength.ListIndex() == kCustomLength) {
        const vb::Variant picked = DTCustomListLen.Value();
        return picked.IsNull() ? vb::Today() : vb::DateValue(vb::CDate(picked));
    }
    return Mod_FTPData::GetPeriodEndDate(static_cast<int16_t>(cboListLength.ListIndex()));
}

void frmTaskList::cboListLength_Click()
{
    // The end-date picker belongs to the custom length.
    const bool custom = cboListLength.ListIndex() == kCustomLength;
    lblEndDate.SetVisible(custom);
    DTCustomListLen.SetVisible(custom);
    if (!loading_)
        Mod_TaskList::FillTaskList();
}

void frmTaskList::DTCustomListLen_Change()
{
    if (!loading_ && cboListLength.ListIndex() == kCustomLength)
        Mod_TaskList::FillTaskList();
}

void frmTaskList::lvwTasks_ItemClick(controls::ListItem& Item)
{
    SelectedRow = static_cast<int16_t>(Item.Index());
}

void frmTaskList::lvwTasks_MouseDown(int Button, int, float, float)
{
    if (Button != kRightButton || ReportRows < 1 || SelectedRow > ReportRows)
        return;
    if (SelectedRow == 0)
        SelectedRow = 1;
    const auto& tasks = tv::Reports().g_ScheduledTasks;
    // The table may have been rebuilt shorter since the list was filled.
    if (!tasks || static_cast<size_t>(SelectedRow) > tasks->size())
        return;
    mnuModifyReport.SetCaption("Modify " + (*tasks)[static_cast<size_t>(SelectedRow - 1)].Key);
    PopupMenu(mnuModify);
}

void frmTaskList::mnuModifyReport_Click()
{
    const auto& tasks = tv::Reports().g_ScheduledTasks;
    if (SelectedRow < 1 || !tasks || static_cast<size_t>(SelectedRow) > tasks->size())
        return;
    frmReportScheduling::ShowReport((*tasks)[static_cast<size_t>(SelectedRow - 1)].Key);
}

void frmTaskList::MenuBarCommand(const std::string& key)
{
    auto& state = tv::Reports();
    if (key == "CLOSE") {
        Unload();
    } else if (key == "REPORTS") {
        state.g_ListTasks = false;
        state.g_ListReports = true;
        Mod_TaskList::FillTaskList();
    } else if (key == "TASKS") {
        state.g_ListTasks = true;
        state.g_ListReports = false;
        Mod_TaskList::FillTaskList();
    } else if (key == "ALL") {
        state.g_ListTasks = true;
        state.g_ListReports = true;
        Mod_TaskList::FillTaskList();
    } else if (key == "HELP") {
        Mod_SpecialFunctions::ShowHelpTopic("Tasks_Screen\\Report_and_Task_Lists.htm");
    }
}

void frmTaskList::Form_Resize()
{
    if (unloading_)
        return;
    const double height = Height();
    const double width = Width();
    vb::ResumeNext step;
    step([&] { smuiMenuBar.SetWidth(std::max(0.0, ScaleWidth())); });
    step([&] { lvwTasks.SetWidth(width - 300); });
    step([&] { lvwTasks.SetHeight(height - 1200); });
    for (int i = 0; i < static_cast<int>(kColumnShares.size()); ++i)
        step([&, i] { lvwTasks.ColumnHeaders()(i + 1).SetWidth(lvwTasks.Width() * kColumnShares[i]); });
    step([&] { lblListLen.SetTop(height - 800); });
    step([&] { DTCustomListLen.SetTop(height - 800); });
    step([&] { cboListLength.SetTop(height - 800); });
    step([&] { lblEndDate.SetTop(height - 800); });
}

void frmTaskList::Form_Unload(int&)
{
    vb::FlagScope unloading(unloading_);
    vb::ResumeNext step;
    step([&] {
        vb::SaveSetting(kApp, kSection, "ListLength", std::to_string(cboListLength.ListIndex()));
        const vb::Variant picked = DTCustomListLen.Value();
        if (!picked.IsNull())
            vb::SaveSetting(kApp, kSection, "CustomDate", Mod_Report::DateText(vb::CDate(picked)));
        SaveSize();
    });
    tv::Shell().g_TaskListOpen = false;
    Notifications::SetTaskListRefresh(nullptr);
    step([this] { Mod_SpecialFunctions::CloseEffect(*this, kCloseEffectStep); });
}
