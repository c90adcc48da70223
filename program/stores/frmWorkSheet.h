#pragma once
// The worksheet window: one rent worksheet of one store (base rent,
// percentage rent, common-area maintenance or tax), one grid row per lease
// year, and free notes. It loads the sheet the store editor's shared values
// name when it opens, keeps that sheet (store, kind, years) while it is open,
// and writes the grid and the notes back when it closes.

#include "platform/controls/Grid.h"
#include "platform/controls/GridEditor.h"
#include "platform/controls/RichTextBox.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/forms/Forms.h"
#include "program/stores/Mod_WorkSheet.h"

#include <string>
#include <string_view>

class frmWorkSheet : public forms::FormOf<frmWorkSheet> {
public:
    frmWorkSheet();

    // What the store editor's worksheet buttons do once the shared values
    // are set: shows the worksheet (loading it when it is closed) and writes
    // the store and worksheet name into lblStore. A worksheet that is already
    // open only comes forward; its label changes only when it shows the
    // store and kind asked for.
    static frmWorkSheet& ShowWorkSheet(std::string_view storeCaption);

    // The sheet shown, fixed when the window loaded.
    const Mod_WorkSheet::Sheet& Sheet() const { return sheet_; }

    controls::SmartMenuBar smuiMenuBar{*this, "smuiMenuBar"};
    forms::Label lblStore{*this, "lblStore"};
    controls::Grid FlxGd{*this, "FlxGd"};
    forms::ComboBox combo1{*this, "combo1", -1, forms::vbComboDropdown};
    forms::Label lblNotes{*this, "lblNotes"};
    controls::RichTextBox rtbNotes{*this, "rtbNotes"};

    // The break-point question of the percentage sheet.
    static const std::string kBreakPointQuestion;

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override;

private:
    bool percentage() const { return sheet_.kind && sheet_.kind->percentage; }
    bool FlxGd_Commit(long row, long col, const std::string& entryText);
    void FlxGd_KeyDown(int& KeyCode, int Shift);
    void FlxGd_Click();
    void combo1_Click();
    void rtbNotes_Click();
    void smuiMenuBar_ItemClick(const std::string& key);
    void saveSheet();
    void CloseRateSheet(int16_t StoreID, int16_t notesKind);
    void ClosePercentageSheet(int16_t StoreID);
    void saveNotes(int16_t StoreID, int16_t notesKind);
    void refreshStoreEditor();

    Mod_WorkSheet::Sheet sheet_;
    bool sheetLoaded_ = false;
    bool loading_ = false;
    bool unloading_ = false;
    bool closeCancelled_ = false;
    bool menuClose_ = false;
    // The close comes from the user (close box or File/Close), not from the
    // program closing its windows: only then may it be cancelled.
    bool userClose_ = false;
    bool autocomplete_ = true;

    controls::GridEditor editor_;
};
