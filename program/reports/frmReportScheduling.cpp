#include "program/reports/frmReportScheduling.h"

#include "platform/basic/App.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/FlagScope.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "platform/forms/MsgBox.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_TaskList.h"
#include "program/stores/Mod_FileIO.h"
#include "program/reports/ReportsState.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ShellState.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::array<const char*, 8> kFrequencies = {"Once",      "Hourly",    "Daily",     "Weekly",
                                                     "Monthly",   "Quarterly", "Bi-Yearly", "Yearly"};
constexpr std::array<const char*, 2> kReminders = {"None", "Popup-Menu"};

// Form heights: not scheduled, scheduled, scheduled for e-mail.
constexpr double kHeightUnscheduled = 1755;
constexpr double kHeightScheduled = 4110;
constexpr double kHeightEmail = 5025;
// The tab strip: printer and file, e-mail.
constexpr double kTabHeight = 2175;
constexpr double kTabHeightEmail = 3015;
constexpr double kFormWidth = 5055;
constexpr double kMenuHeight = 330;
constexpr int16_t kCloseEffectStep = 200;

// The recipients box's lines, each without its blanks around it.
std::vector<std::string> recipientLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::string line : vb::Split(vb::Replace(text, "\r", ""), "\n")) {
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) {
            lines.emplace_back();
            continue;
        }
        const size_t last = line.find_last_not_of(" \t");
        lines.push_back(line.substr(first, last - first + 1));
    }
    return lines;
}

// The recipients as stored: the addresses joined with ";", empty lines left out.
std::string storedRecipients(const std::string& text)
{
    std::vector<std::string> addresses;
    for (std::string& line : recipientLines(text))
        if (!line.empty())
            addresses.push_back(std::move(line));
    return vb::Join(addresses, ";");
}

// An address the mail sender can put in an envelope: something "@"
// something, no blank inside, none of the brackets that enclose it, and no
// longer than a mail server takes (a local part of 64 characters, 254 in all).
bool validAddress(const std::string& address)
{
    const size_t at = address.rfind('@');
    return at != std::string::npos && at <= 64 && address.size() <= 254
        && address.find_first_of("<> \t") == std::string::npos;
}

template <size_t N>
int indexOf(const std::array<const char*, N>& items, const std::string& text)
{
    for (size_t i = 0; i < N; ++i)
        if (text == items[i])
            return static_cast<int>(i);
    return -1;
}

// A stored date or time text on a picker; a text that is no date leaves
// the picker as it is.
void showOnPicker(controls::DatePicker& picker, const std::string& text)
{
    vb::Date value;
    if (!vb::TryParseDate(text, value))
        return;
    try {
        picker.SetValue(vb::Variant(value));
    } catch (const vb::RuntimeError&) {
        // Outside the days the picker takes.
    }
}

} // namespace

frmReportScheduling::frmReportScheduling()
    : FormOf("frmReportScheduling")
{
    layOut();
    smuiMenuBar.ItemClick = [this](const std::string& key) { MenuCommand(key); };
    chkScheduleReport.Click = [this] { chkScheduleReport_Click(); };
    DTStartDate.Change = [this] { DTStartDate_Change(); };
    DTStartTime.Change = [this] { DTStartTime_Change(); };
    cboFrequency.Click = [this] { cboFrequency_Click(); };
    cboReminderType.Click = [this] { cboReminderType_Click(); };
    optDestination.On(&forms::OptionButton::Click, [this](int Index) { optDestination_Click(Index); });
    cmdShow.Click = [this] { cmdShow_Click(); };
    txtFileName.Change = [this] { txtFileName_Change(); };
    txtEmailNames.Change = [this] { txtEmailNames_Change(); };
    chkSendAsAttachment.Click = [this] { chkSendAsAttachment_Click(); };
}

void frmReportScheduling::layOut()
{
    SetCaption("Report Scheduling");
    SetBorderStyle(forms::vbFixedSingle);
    Move(0, 0, kFormWidth, kHeightScheduled);

    smuiMenuBar.Move(0, 0, kFormWidth, kMenuHeight);
    auto& file = smuiMenuBar.Items().Add("FILE", "File");
    file.Items().Add("CLOSE", "Close");
    smuiMenuBar.Items().Add("HELP", "Help");

    lblReport.SetCaption("Report:");
    lblReport.Move(120, 450, 700, 255);
    lblReportName.Move(840, 450, 3800, 255);
    chkScheduleReport.SetCaption("Schedule this Report");
    chkScheduleReport.Move(120, 780, 3000, 285);
    SSTab1.Move(120, 1200, 4695, kTabHeight);
    SSTab1.SetTabCaption(0, "Scheduling");
    SSTab1.SetTabCaption(1, "Destination");

    lblStartDate.SetCaption("Set Report Start Date:");
    lblStartDate.Move(120, 180, 2520, 255);
    DTStartDate.Move(2700, 120, 1800, 315);
    lblStartTime.SetCaption("Set Report Start Time:");
    lblStartTime.Move(120, 580, 2520, 255);
    DTStartTime.SetFormat(controls::dtpTime);
    DTStartTime.Move(2700, 520, 1800, 315);
    lblFrequency.SetCaption("Frequency:");
    lblFrequency.Move(120, 980, 2520, 255);
    cboFrequency.Move(2700, 920, 1800);
    for (const char* frequency : kFrequencies)
        cboFrequency.AddItem(frequency);
    lblReminderType.SetCaption("Report Complete reminder:");
    lblReminderType.Move(120, 1380, 2520, 255);
    cboReminderType.Move(2700, 1320, 1800);
    for (const char* reminder : kReminders)
        cboReminderType.AddItem(reminder);

    lblDestination.SetCaption("Select a destination for the report.");
    lblDestination.Move(120, 120, 4320, 255);
    const std::array<const char*, 3> destinations = {"To Printer", "To File", "E-Mail"};
    const std::array<double, 3> lefts = {120, 1560, 2880};
    for (int i = 0; i < 3; ++i) {
        optDestination(i).SetCaption(destinations[i]);
        optDestination(i).Move(lefts[i], 420, 1320, 285);
    }
    lblDestName.Move(120, 840, 3000, 255);
    lblDest.Move(120, 1140, 3120, 255);
    txtFileName.Move(120, 1110, 4140, 315);
    txtEmailNames.Move(120, 1110, 4455, 1140);
    cmdShow.Move(4320, 1110, 255, 315);
    chkSendAsAttachment.SetCaption("Send as Attachment");
    chkSendAsAttachment.Move(120, 2310, 3000, 285);
}

// --- Opening and filling ---

namespace {

// g_CurrentReport := key and its record loaded; a record that does not
// convert shows the loader's defaults.
void loadCurrentReport(std::string_view key)
{
    auto& state = tv::Reports();
    state.g_CurrentReport = std::string(key);
    try {
        Mod_Report::LoadReportSettings();
    } catch (const vb::RuntimeError&) {
        state.g_CurrentReportSettings = Mod_Report::ToReportSettings({});
    }
}

} // namespace

void frmReportScheduling::ShowReport(std::string_view key)
{
    loadCurrentReport(key);
    if (frmReportScheduling* open = IfLoaded())
        open->SetReportOptions();
    Instance().Show(forms::vbModeless);
}

void frmReportScheduling::RefillIfOpen(std::string_view key)
{
    if (frmReportScheduling* open = IfLoaded()) {
        loadCurrentReport(key);
        open->SetReportOptions();
    }
}

void frmReportScheduling::Form_Load()
{
    tv::Reports().g_SchedulingOpen = true;
    toldNotSaved_.clear();
    toldRefused_ = false;
    SetReportOptions();
}

void frmReportScheduling::SetReportOptions()
{
    const auto& state = tv::Reports();
    // Edits of the report on show are not lost to the refill, or not unsaid.
    if (!reportKey_.empty() && reportKey_ != state.g_CurrentReport && !scheduleFileRefused())
        if (const std::string lost = saveRecord(); !lost.empty())
            tellNotSaved(lost);

    {
        vb::FlagScope loading(loading_);
        reportKey_ = state.g_CurrentReport;
        Settings = state.g_CurrentReportSettings;

        chkScheduleReport.SetValue(Settings.ScheduleReport ? forms::vbChecked : forms::vbUnchecked);
        lblReportName.SetCaption(reportKey_);
        showOnPicker(DTStartDate, Settings.StartDate);
        showOnPicker(DTStartTime, Settings.StartTime);
        cboFrequency.SetListIndex(indexOf(kFrequencies, Settings.Frequency));
        cboReminderType.SetListIndex(indexOf(kReminders, Settings.Reminder));
        // Each box shows its own destination's name; the others start empty.
        txtFileName.SetText(Settings.Destination == 1 ? Settings.Filename : std::string());
        txtEmailNames.SetText(Settings.Destination == 2 ? vb::Replace(Settings.Filename, ";", "\r\n") : std::string());
        const int destination = std::clamp<int>(Settings.Destination, 0, 2);
        optDestination(destination).SetValue(true);
        showDestination(destination);
        chkSendAsAttachment.SetValue(Settings.SendAsAttachment ? forms::vbChecked : forms::vbUnchecked);
    }
    Form_Resize();
}

// --- Changes ---

void frmReportScheduling::chkScheduleReport_Click()
{
    if (loading_)
        return;
    Settings.ScheduleReport = chkScheduleReport.Value() == forms::vbChecked;
    Form_Resize();
    SaveSchedule();
}

void frmReportScheduling::DTStartDate_Change()
{
    const vb::Variant value = DTStartDate.Value();
    if (loading_ || value.IsNull())
        return;
    Settings.StartDate = Mod_Report::DateText(vb::DateValue(vb::CDate(value)));
    SaveSchedule();
}

void frmReportScheduling::DTStartTime_Change()
{
    const vb::Variant value = DTStartTime.Value();
    if (loading_ || value.IsNull())
        return;
    Settings.StartTime = Mod_Report::TimeText(vb::CDate(value));
    SaveSchedule();
}

void frmReportScheduling::cboFrequency_Click()
{
    if (loading_ || cboFrequency.ListIndex() < 0)
        return;
    Settings.Frequency = cboFrequency.Text();
    SaveSchedule();
}

void frmReportScheduling::cboReminderType_Click()
{
    if (loading_ || cboReminderType.ListIndex() < 0)
        return;
    Settings.Reminder = cboReminderType.Text();
    SaveSchedule();
}

void frmReportScheduling::txtEmailNames_Change()
{
    if (loading_ || Settings.Destination != 2)
        return;
    Settings.Filename = storedRecipients(txtEmailNames.Text());
    SaveSchedule();
}

void frmReportScheduling::txtFileName_Change()
{
    if (loading_ || Settings.Destination != 1)
        return;
    Settings.Filename = txtFileName.Text();
}

void frmReportScheduling::chkSendAsAttachment_Click()
{
    if (loading_)
        return;
    Settings.SendAsAttachment = chkSendAsAttachment.Value() == forms::vbChecked;
    SaveSchedule();
}

void frmReportScheduling::optDestination_Click(int Index)
{
    if (!loading_ && Index != Settings.Destination) {
        // Only a destination the user picks takes a name: the printer in
        // use, or what its box holds.
        Settings.Destination = static_cast<int16_t>(Index);
        if (Index == 0)
            Settings.Filename = forms::Printer().DeviceName();
        else if (Index == 1)
            Settings.Filename = txtFileName.Text();
        else
            Settings.Filename = storedRecipients(txtEmailNames.Text());
    }
    showDestination(Index);
    if (!loading_)
        SaveSchedule();
    Form_Resize();
}

void frmReportScheduling::showDestination(int index)
{
    emailMode_ = false;
    lblDestName.SetVisible(true);
    if (index == 0) {
        lblDestName.SetCaption("Selected Printer:");
        // The stored printer; the one in use when none is stored yet.
        const bool stored = Settings.Destination == 0 && !Settings.Filename.empty();
        lblDest.SetCaption(stored ? Settings.Filename : forms::Printer().DeviceName());
        lblDest.SetVisible(true);
        cmdShow.SetCaption("Select Printer");
        cmdShow.Move(3300, cmdShow.Top(), 1275);
        cmdShow.SetVisible(true);
        txtFileName.SetVisible(false);
        txtEmailNames.SetVisible(false);
        SSTab1.SetHeight(kTabHeight);
        chkSendAsAttachment.SetVisible(false);
    } else if (index == 1) {
        lblDestName.SetCaption("Selected Filename:");
        lblDest.SetVisible(false);
        cmdShow.SetCaption("..");
        cmdShow.Move(4320, cmdShow.Top(), 255);
        cmdShow.SetVisible(true);
        txtFileName.SetVisible(true);
        txtEmailNames.SetVisible(false);
        SSTab1.SetHeight(kTabHeight);
        chkSendAsAttachment.SetVisible(false);
    } else {
        lblDestName.SetCaption("E-mail addresses:");
        lblDest.SetVisible(false);
        cmdShow.SetCaption("..");
        cmdShow.Move(4320, cmdShow.Top(), 255);
        cmdShow.SetVisible(false);
        SSTab1.SetHeight(kTabHeightEmail);
        txtFileName.SetVisible(false);
        txtEmailNames.SetVisible(true);
        chkSendAsAttachment.SetVisible(true);
        emailMode_ = true;
    }
}

void frmReportScheduling::cmdShow_Click()
{
    CommonDialog1.CancelError = true;
    try {
        if (Settings.Destination == 0) {
            // The printer chosen becomes the one in use.
            CommonDialog1.ShowPrinter();
            Settings.Filename = forms::Printer().DeviceName();
        } else if (Settings.Destination == 1) {
            CommonDialog1.FileName = txtFileName.Text();
            CommonDialog1.ShowOpen();
            txtFileName.SetText(CommonDialog1.FileName);
        } else {
            return;
        }
    } catch (const vb::RuntimeError& e) {
        if (e.Number() == forms::cdlCancel)
            return;
        throw;
    }
    showDestination(Settings.Destination);
    SaveSchedule();
}

// --- Saving ---

std::string frmReportScheduling::saveRecord()
{
    if (reportKey_.empty())
        return {};
    std::string refused;
    try {
        Mod_Report::SaveReportSchedule(reportKey_, Settings);
        return {};
    } catch (const vb::RuntimeError& e) {
        if (e.Number() != Mod_FileIO::kErrNotStorable)
            return e.Description();
        refused = e.Description();
    }
    // A value the file cannot hold (a name with "<" or ">"): the stored one
    // stays and the rest is saved.
    try {
        Mod_FileIO::ReportFileLock lock(vb::App::Path());
        ReportSettings kept = Settings;
        const std::vector<std::string> stored = Mod_Report::ReadReportSettings(vb::App::Path(), reportKey_);
        kept.Filename = stored.size() > Mod_Report::kFilename ? stored[Mod_Report::kFilename] : std::string();
        Mod_Report::SaveReportSchedule(reportKey_, kept);
    } catch (const vb::RuntimeError& e) {
        return e.Description();
    }
    return refused;
}

namespace {

std::string withStop(std::string text)
{
    if (!text.empty() && text.back() != '.')
        text += '.';
    return text;
}

constexpr const char* kFormTitle = "Report Scheduling";

} // namespace

void frmReportScheduling::tellNotSaved(const std::string& why)
{
    if (why == toldNotSaved_)
        return;
    toldNotSaved_ = why;
    forms::MsgBox("The schedule of the " + Mod_Report::DisplayName(reportKey_) + " could not be saved: " + withStop(why),
                  forms::vbOKOnly | forms::vbExclamation, std::string(kFormTitle));
}

bool frmReportScheduling::scheduleFileRefused()
{
    const std::optional<std::string> refused = Mod_FileIO::ReportFileRefusal(vb::App::Path());
    if (!refused)
        return false;
    if (!toldRefused_) {
        toldRefused_ = true;
        forms::MsgBox("Schedules cannot be kept while the schedules file is refused. " + *refused,
                      forms::vbOKOnly | forms::vbExclamation, std::string(kFormTitle));
    }
    return true;
}

void frmReportScheduling::SaveSchedule()
{
    if (!tv::Shell().g_TaskListOpen || scheduleFileRefused())
        return;
    const std::string lost = saveRecord();
    if (lost.empty())
        toldNotSaved_.clear();
    else
        tellNotSaved(lost);
    Mod_TaskList::FillTaskList();
}

int frmReportScheduling::CheckRecipients()
{
    std::vector<std::string> addresses;
    for (std::string& line : recipientLines(txtEmailNames.Text()))
        if (!line.empty())
            addresses.push_back(std::move(line));
    if (addresses.empty()) {
        forms::MsgBox("Please enter at least one Recipient of the report", forms::vbOKOnly | forms::vbExclamation,
                      "No EMail Recipients");
        return 1;
    }
    for (const std::string& address : addresses) {
        if (!validAddress(address)) {
            forms::MsgBox(address + " is an invalid email address, please enter a valid email address",
                          forms::vbOKOnly | forms::vbExclamation, "Invalid Email address");
            return 1;
        }
    }
    return 0;
}

int frmReportScheduling::CheckFileName()
{
    if (!vb::Trim(txtFileName.Text()).empty())
        return 0;
    forms::MsgBox("Please enter the name of the file the report is to be written to",
                  forms::vbOKOnly | forms::vbExclamation, "No File Name");
    return 1;
}

// --- Window ---

void frmReportScheduling::Form_Resize()
{
    if (unloading_ || resizing_)
        return;
    vb::FlagScope resizing(resizing_);
    const double height = !Settings.ScheduleReport ? kHeightUnscheduled
                          : emailMode_             ? kHeightEmail
                                                   : kHeightScheduled;
    vb::ResumeNext step;
    // The height of the inside, as every size the program gives its windows:
    // the frame the window system adds (once the form is on show) comes on
    // top, so each state has one height however the form was opened.
    step([&] { SetHeight(height + (Height() - ScaleHeight())); });
}

void frmReportScheduling::MenuCommand(const std::string& key)
{
    if (key == "CLOSE") {
        Unload();
    } else if (key == "HELP") {
        if (chkScheduleReport.Value() != forms::vbChecked)
            Mod_SpecialFunctions::ShowHelpTopic("Report_Options\\Schedule_Report_Screen.htm");
        else if (SSTab1.Tab() == 0)
            Mod_SpecialFunctions::ShowHelpTopic("Report_Options\\Schedule_Report_-_Scheduling_Tab.htm");
        else
            Mod_SpecialFunctions::ShowHelpTopic("Report_Options\\Schedule_Report_-_Destination_Tab.htm");
    }
}

void frmReportScheduling::Form_Unload(int& Cancel)
{
    vb::FlagScope unloading(unloading_);
    // A schedules file refused whole keeps no schedule: that is said once,
    // and there is nothing left to check or save.
    const bool refused = scheduleFileRefused();
    // Closing every window (the program quitting) asks nothing: the record
    // is saved as far as the file takes it, and what it could not take is said.
    const bool quitting = Mod_FTPData::UnloadingAllForms();
    if (!refused && !quitting && chkScheduleReport.Value() == forms::vbChecked) {
        if (optDestination(2).Value())
            Cancel = CheckRecipients();
        else if (optDestination(1).Value())
            Cancel = CheckFileName();
        if (Cancel != 0)
            return;
    }
    if (!refused) {
        if (const std::string lost = saveRecord(); !lost.empty()) {
            const std::string told = "The schedule of the " + Mod_Report::DisplayName(reportKey_)
                + " could not be saved: " + withStop(lost);
            if (quitting) {
                forms::MsgBox(told, forms::vbOKOnly | forms::vbExclamation, std::string(kFormTitle));
            } else if (forms::MsgBox(told + "\r\n\r\nClose this window anyway? What was not saved is lost.",
                                     forms::vbYesNo | forms::vbExclamation | forms::vbDefaultButton2,
                                     std::string(kFormTitle))
                       != forms::vbYes) {
                // The user may free the disk or change what was refused and close again.
                Cancel = 1;
                return;
            }
        }
    }
    vb::ResumeNext step;
    tv::Reports().g_SchedulingOpen = false;
    step([] { Mod_TaskList::BuildScheduledReports(); });
    step([this] { Mod_SpecialFunctions::CloseEffect(*this, kCloseEffectStep); });
}
