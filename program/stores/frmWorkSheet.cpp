#include "program/stores/frmWorkSheet.h"

#include "platform/basic/App.h"
#include "platform/basic/FlagScope.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmStoreInfo.h"

#include <algorithm>

namespace {

constexpr const char* kApp = "Tallyvane";
constexpr const char* kSection = "frmWorkSheet";
constexpr double kDefaultHeight = 5355;
constexpr double kDefaultWidth = 10020;

// Design positions, in twips.
constexpr double kMenuHeight = 330;
constexpr double kLeft = 60;
constexpr double kStoreTop = 400;
constexpr double kGridTop = 750;

bool readBoolSetting(const char* key, bool fallback)
{
    try {
        return vb::CBool(vb::Variant(vb::GetSetting(kApp, kSection, key, fallback ? "True" : "False")));
    } catch (const vb::RuntimeError&) {
        return fallback;
    }
}

} // namespace

const std::string frmWorkSheet::kBreakPointQuestion =
    "When the type is % of sales, a breakpoint value should be entered.  Do you want to enter a breakpoint value?";

frmWorkSheet::frmWorkSheet()
    : FormOf("frmWorkSheet")
    // The keyboard model of the editable grids, with this window's rules.
    , editor_(FlxGd, {[this] { return loading_ || tv::Stores().g_WorkSheetFilling; },
                      [this](long row, long col, const std::string& entry) { return FlxGd_Commit(row, col, entry); },
                      [this](int& keyCode, int shift) { FlxGd_KeyDown(keyCode, shift); }})
{
    auto& file = smuiMenuBar.Items().Add("FILE", "File");
    file.Items().Add("AUTO COMPLETE", "Auto Complete");
    file.Items().AddSeparator("SEPBAR");
    file.Items().Add("CLOSE", "Close");
    smuiMenuBar.Items().Add("HELP", "Help");
    smuiMenuBar.ItemClick = [this](const std::string& key) { smuiMenuBar_ItemClick(key); };

    for (const std::string_view type : {Mod_WorkSheet::kTypeNone, Mod_WorkSheet::kTypeFlat,
                                        Mod_WorkSheet::kTypePercent})
        combo1.AddItem(type);
    combo1.SetVisible(false);
    combo1.Click = [this] { combo1_Click(); };

    lblNotes.SetCaption("Additional Notes:");
    lblStore.SetCaption("");
    FlxGd.Click = [this] { FlxGd_Click(); };
    rtbNotes.Click = [this] { rtbNotes_Click(); };

    smuiMenuBar.Move(0, 0, kDefaultWidth, kMenuHeight);
    lblStore.Move(kLeft, kStoreTop, kDefaultWidth - 2 * kLeft - 150, 285);
    FlxGd.Move(kLeft, kGridTop, kDefaultWidth - 150, kDefaultHeight * 0.52445);
    lblNotes.Move(kLeft, kGridTop + FlxGd.Height() + 150, 2400, 255);
    rtbNotes.Move(kLeft, kGridTop + FlxGd.Height() + 400, kDefaultWidth - 150, 900);
}

frmWorkSheet& frmWorkSheet::ShowWorkSheet(std::string_view storeCaption)
{
    const bool wasOpen = IfLoaded() != nullptr;
    frmWorkSheet& sheet = Instance();
    sheet.Show(forms::vbModeless);
    const Mod_WorkSheet::Sheet asked = Mod_WorkSheet::SheetFromStoreEditor();
    if (!wasOpen || (sheet.sheet_.kind == asked.kind && sheet.sheet_.storeID == asked.storeID))
        sheet.lblStore.SetCaption(storeCaption);
    return sheet;
}

void frmWorkSheet::Form_Load()
{
    loading_ = true;
    vb::ResumeNext step;
    // The window's own copy: the store editor may change its values while
    // this sheet is open.
    sheet_ = Mod_WorkSheet::SheetFromStoreEditor();
    if (sheet_.kind) {
        SetCaption(sheet_.kind->caption);
        step([&] {
            if (sheet_.kind->key == "BASERATE")
                Mod_WorkSheet::LoadBaseRateSheet(sheet_, FlxGd, rtbNotes);
            else if (sheet_.kind->key == "PERCENTAGERATE")
                Mod_WorkSheet::LoadPercentageRateSheet(sheet_, FlxGd, rtbNotes);
            else if (sheet_.kind->key == "CAMRATE")
                Mod_WorkSheet::LoadCAMRateSheet(sheet_, FlxGd, rtbNotes);
            else
                Mod_WorkSheet::LoadTaxRateSheet(sheet_, FlxGd, rtbNotes);
            sheetLoaded_ = true;
        });
    }
    if (percentage())
        step([&] { FlxGd.SetRowHeightMin(combo1.Height()); });
    // Read on every load, so that closing any sheet stores back what the
    // user chose, never a value no sheet read.
    autocomplete_ = readBoolSetting("Autocomplete", true);
    step([&] {
        if (percentage()) {
            smuiMenuBar.Items().Find("AUTO COMPLETE")->SetVisible(false);
            smuiMenuBar.Items().Find("SEPBAR")->SetVisible(false);
        } else {
            smuiMenuBar.Items().Find("AUTO COMPLETE")->SetChecked(autocomplete_);
        }
    });
    step([&] { RestoreSize(kDefaultHeight, kDefaultWidth); });
    loading_ = false;
}

void frmWorkSheet::Form_Resize()
{
    if (unloading_)
        return;
    vb::ResumeNext step;
    const double w = Width();
    const double h = Height();
    step([&] { smuiMenuBar.SetWidth(std::max(0.0, ScaleWidth())); });
    step([&] { lblStore.SetWidth(std::max(0.0, w - 2 * kLeft - 150)); });
    step([&] { FlxGd.SetWidth(std::max(0.0, w - 150)); });
    step([&] { FlxGd.SetHeight(std::max(0.0, h * 0.52445)); });
    const double below = FlxGd.Top() + FlxGd.Height();
    step([&] { lblNotes.SetTop(below + 150); });
    step([&] { rtbNotes.SetWidth(std::max(0.0, w - 150)); });
    step([&] { rtbNotes.SetTop(below + 400); });
    // A window too small for the notes leaves them no height, never less.
    step([&] { rtbNotes.SetHeight(std::max(0.0, h - (below + 400) - 550)); });
}

void frmWorkSheet::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    userClose_ = UnloadMode == forms::vbFormControlMenu || menuClose_;
    menuClose_ = false;
}

void frmWorkSheet::Form_Unload(int& Cancel)
{
    vb::ResumeNext step;
    step([&] { editor_.CommitCurrent(); });
    // A sheet that did not load is not written back: its empty grid and
    // notes would overwrite the stored figures.
    if (sheetLoaded_) {
        step([&] { saveSheet(); });
        if (percentage())
            step([&] { ClosePercentageSheet(sheet_.storeID); });
        else
            step([&] { CloseRateSheet(sheet_.storeID, sheet_.kind->notesCode); });
        step([&] { Mod_WorkSheet::CloseSheetTable(sheet_); });
    }
    step([&] { refreshStoreEditor(); });
    step([&] { vb::SaveSetting(kApp, kSection, "Autocomplete", autocomplete_ ? "True" : "False"); });
    step([&] { SaveSize(); });
    if (closeCancelled_) {
        Cancel = 1;
    } else {
        unloading_ = true;
        step([&] { Mod_SpecialFunctions::CloseEffect(*this, 150); });
    }
    closeCancelled_ = false;
    unloading_ = false;
    userClose_ = false;
}

// The rows are written whatever the notes' fate; a failure is told, since
// the window is about to close over the figures (writing none of them).
void frmWorkSheet::saveSheet()
{
    try {
        if (percentage())
            Mod_WorkSheet::SavePercentageSheet(sheet_, FlxGd);
        else
            Mod_WorkSheet::SaveRateSheet(sheet_, FlxGd);
    } catch (const vb::RuntimeError& e) {
        forms::MsgBox("The worksheet could not be saved.\r\n" + e.Description(), forms::vbExclamation);
        // The user's close keeps the figures on screen to try again; the
        // program's own close (quitting) cannot wait.
        if (userClose_)
            closeCancelled_ = true;
    }
}

void frmWorkSheet::CloseRateSheet(int16_t StoreID, int16_t notesKind)
{
    saveNotes(StoreID, notesKind);
}

void frmWorkSheet::ClosePercentageSheet(int16_t StoreID)
{
    editor_.CommitCurrent();
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    for (long row = 1; row < FlxGd.Rows(); ++row) {
        if (FlxGd.TextMatrix(row, 1) != Mod_WorkSheet::kTypePercent || !vb::Trim(FlxGd.TextMatrix(row, 3)).empty())
            continue;
        // The program closing its windows (quitting) asks nothing: no answer
        // may keep this window open.
        if (!userClose_)
            continue;
        if (forms::MsgBox(kBreakPointQuestion, forms::vbYesNo + forms::vbQuestion, std::string("Parameter missing"))
            == forms::vbYes) {
            closeCancelled_ = true;
            return;
        }
    }
    saveNotes(StoreID, Mod_FileIO::kPercentageRateNotes);
}

// The notes as one line: CR as "~" and LF as "|". Notes the file cannot
// hold are refused with a message; a close by the user then stays open so
// that nothing is lost.
void frmWorkSheet::saveNotes(int16_t StoreID, int16_t notesKind)
{
    std::string text = rtbNotes.Text();
    text = vb::Replace(text, "\r", "~");
    text = vb::Replace(text, "\n", "|");
    try {
        Mod_FileIO::WriteRateNotes(StoreID, vb::App::Path(), notesKind, {text});
    } catch (const vb::RuntimeError& e) {
        forms::MsgBox(e.Description(), forms::vbExclamation);
        if (e.Number() == Mod_FileIO::kErrNotStorable && userClose_)
            closeCancelled_ = true;
    }
}

// The store editor shows the rents the sheet changed, when it is open; a
// closed editor is not brought back.
void frmWorkSheet::refreshStoreEditor()
{
    if (frmStoreInfo* editor = frmStoreInfo::IfLoaded())
        editor->DisplayNewRentsValues();
}

bool frmWorkSheet::FlxGd_Commit(long row, long col, const std::string& entryText)
{
    if (percentage())
        Mod_WorkSheet::CommitPercentageCell(FlxGd, row, col, entryText);
    else
        Mod_WorkSheet::CommitRateCell(FlxGd, row, col, entryText);
    return true;
}

// Any key on a zero amount clears it first, so that typing replaces it.
void frmWorkSheet::FlxGd_KeyDown(int& KeyCode, int Shift)
{
    (void)KeyCode;
    (void)Shift;
    if (FlxGd.Text() == "$0.00")
        FlxGd.SetText("");
}

// The type list sits over the type cell that was clicked.
void frmWorkSheet::FlxGd_Click()
{
    if (percentage() && FlxGd.Col() == 1 && FlxGd.Row() >= FlxGd.FixedRows()) {
        combo1.Move(FlxGd.Left() + FlxGd.CellLeft(), FlxGd.Top() + FlxGd.CellTop(), FlxGd.CellWidth());
        combo1.SetText(FlxGd.Text());
        combo1.SetVisible(true);
        combo1.ZOrder(0);
    } else {
        combo1.SetVisible(false);
    }
    if (combo1.Visible())
        FlxGd.SetCellBackColor(forms::vbWindowBackground);
}

void frmWorkSheet::combo1_Click()
{
    if (FlxGd.Col() != 1 || FlxGd.Row() < FlxGd.FixedRows())
        return;
    const long row = FlxGd.Row();
    const std::string before = FlxGd.Text();
    FlxGd.SetText(combo1.Text());
    combo1.SetVisible(false);
    // Committed at once, so "None" empties the rate and break point now.
    if (editor_.Editing())
        editor_.CommitCurrent();
    else if (FlxGd.Text() != before)
        FlxGd_Commit(row, 1, before);
}

void frmWorkSheet::rtbNotes_Click()
{
    editor_.CommitCurrent();
}

void frmWorkSheet::smuiMenuBar_ItemClick(const std::string& key)
{
    if (key == "AUTO COMPLETE") {
        autocomplete_ = !autocomplete_;
        smuiMenuBar.Items().Find("AUTO COMPLETE")->SetChecked(autocomplete_);
    } else if (key == "CLOSE") {
        menuClose_ = true;
        Unload();
        menuClose_ = false;
    } else if (key == "HELP") {
        if (sheet_.kind)
            Mod_SpecialFunctions::ShowHelpTopic(sheet_.kind->helpTopic);
    }
}
