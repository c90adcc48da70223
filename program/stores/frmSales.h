#pragma once
// The sales window: every store's monthly sales of one year, one grid row per
// store (by name), one column per month and the total. Each edited cell is
// written to the store's Sales row of the shown year at once. Two buttons
// step the year; a menu option shows the amounts with or without cents.

#include "platform/basic/Currency.h"
#include "platform/controls/Grid.h"
#include "platform/controls/GridEditor.h"
#include "platform/controls/SmartMenuBar.h"
#include "platform/forms/Forms.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class frmSales : public forms::FormOf<frmSales> {
public:
    frmSales();

    controls::SmartMenuBar smuiMenuBar{*this, "smuiMenuBar"};
    forms::Label lblSalesDate{*this, "lblSalesDate"};
    controls::Grid FlxGd{*this, "FlxGd"};
    forms::Label Label2{*this, "Label2"};
    forms::CommandButton cmdPrevious{*this, "cmdPrevious"};
    forms::CommandButton cmdNext{*this, "cmdNext"};

    int16_t ShownYear() const { return year_; }
    bool UseCents() const { return useCents_; }
    // The StoreID of a grid row (1 to Rows - 1).
    int32_t StoreIDOfRow(long row) const;

    static const std::array<const char*, 12> kMonthColumns;

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;

private:
    using MonthAmounts = std::array<std::optional<vb::Currency>, 12>;

    void SetGridHeadings();
    void FillSalesGrid();
    bool FlxGd_Commit(long row, long col, const std::string& entryText);
    bool SaveSalesRow(long row, long col, std::optional<vb::Currency> amount);
    void cmdNext_Click();
    void cmdPrevious_Click();
    void stepYear(int by);
    void setToolTips();
    void smuiMenuBar_ItemClick(const std::string& key);
    std::string moneyFormat() const;
    vb::Currency rounded(vb::Currency amount) const;

    double defaultWidth_ = 0; // twips, from the grid's font
    int16_t year_ = 0;
    bool useCents_ = true;
    bool loading_ = false;
    bool filling_ = false;
    bool unloading_ = false;
    // Per grid row: the store, and the exact amounts stored for its months
    // (the grid shows them rounded without cents).
    std::vector<int32_t> storeIDs_;
    std::vector<MonthAmounts> amounts_;

    controls::GridEditor editor_;
};
