#include "program/stores/frmSales.h"

#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/Format.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ShellState.h"
#include "program/stores/Mod_WorkSheet.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

namespace {

constexpr const char* kApp = "Tallyvane";
constexpr const char* kSection = "frmSales";
constexpr double kDefaultHeight = 4500;
constexpr double kDesignWidth = 10020;
constexpr const char* kCentsFormat = "$#,##0.00";
constexpr const char* kWholeFormat = "$#,###";
constexpr const char* kHelpTopic = "Sales_Screen\\Sales_Screen.htm";
constexpr long kTotalCol = 13;
constexpr std::array<const char*, 12> kMonthHeadings{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The width the window opens with when it has none stored: the design's,
// or wider when the grid's font needs it for a year's total of seven digits
// and cents in each amount column (the columns share the width as the
// design does) and a store name of twenty letters in the first.
double defaultWidth(const QFont& gridFont)
{
    const QFontMetrics fm(gridFont);
    constexpr int kCellMargins = 6; // the cell's padding and its grid line
    const double amount = fm.horizontalAdvance(QStringLiteral("$8,888,888.88")) + kCellMargins;
    const double name = fm.horizontalAdvance(QStringLiteral("Oak Hollow Marketplace")) + kCellMargins;
    const double gridPixels = std::max(amount * 12 / 0.76, name / 0.15);
    return std::max(kDesignWidth, std::ceil(gridPixels) * 15 + 250);
}

// Design positions, in twips.
constexpr double kMenuHeight = 330;
constexpr double kLeft = 60;
constexpr double kDateTop = 390;
constexpr double kGridTop = 690;

// The window's statements run on the shared connection through commands of
// their own: the program-wide Stores and Sales recordsets belong to whoever
// opened them last (the store editor reads sales too), and a save must never
// depend on one of them still being this window's.
ado::RecordsetPtr run(const std::string& sql, const std::vector<vb::Variant>& parameters = {})
{
    auto command = ado::Command::Create();
    command->ActiveConnection(tv::Shell().g_DBConnection);
    command->CommandType(ado::adCmdText);
    command->CommandText(sql);
    return command->Execute(parameters);
}

std::optional<vb::Currency> amountOf(const vb::Variant& v)
{
    if (v.IsNull() || v.IsEmpty())
        return std::nullopt;
    try {
        return vb::CCur(v);
    } catch (const vb::RuntimeError&) {
        return std::nullopt; // not an amount: shown as no value
    }
}

// The sum of the months that hold a value; nothing when it overflows.
std::optional<vb::Currency> sumOf(const std::array<std::optional<vb::Currency>, 12>& months)
{
    vb::Currency total;
    try {
        for (const auto& m : months) {
            if (m)
                total += *m;
        }
    } catch (const vb::RuntimeError&) {
        return std::nullopt;
    }
    return total;
}

} // namespace

const std::array<const char*, 12> frmSales::kMonthColumns{"January", "February", "March",     "April",
                                                          "May",     "June",     "July",      "August",
                                                          "September", "October", "November", "December"};

frmSales::frmSales()
    : FormOf("frmSales")
    , editor_(FlxGd, {[this] { return loading_ || filling_; },
                      [this](long row, long col, const std::string& entry) { return FlxGd_Commit(row, col, entry); },
                      {}})
{
    SetCaption("Sales Information");

    smuiMenuBar.Items().Add("FILE", "File").Items().Add("CLOSE", "Close");
    smuiMenuBar.Items().Add("OPTIONS", "Options").Items().Add("INCLUDE CENTS", "Include Cents");
    smuiMenuBar.Items().Add("HELP", "Help");
    smuiMenuBar.ItemClick = [this](const std::string& key) { smuiMenuBar_ItemClick(key); };

    cmdNext.SetCaption("Next Year");
    cmdPrevious.SetCaption("Previous Year");
    cmdNext.Click = [this] { cmdNext_Click(); };
    cmdPrevious.Click = [this] { cmdPrevious_Click(); };
    Label2.SetCaption("Use the directional buttons to select years");
    lblSalesDate.SetCaption("");
    // Thirteen amount columns share the width: the grid's design font is the
    // small one of the old desktop, in a narrow face where that is missing.
    QFont gridFont;
    gridFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                          QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                          QStringLiteral("DejaVu Sans Condensed")});
    gridFont.setPointSizeF(8.25);
    FlxGd.SetFont(gridFont);
    defaultWidth_ = defaultWidth(gridFont);

    smuiMenuBar.Move(0, 0, defaultWidth_, kMenuHeight);
    lblSalesDate.Move(kLeft + 60, kDateTop, 6000, 255);
    FlxGd.Move(kLeft, kGridTop, defaultWidth_ - 250, kDefaultHeight - 1700);
    Label2.Move(kLeft + 60, kDefaultHeight - 1000, 5000, 255);
    cmdPrevious.Move(kLeft + 60, kDefaultHeight - 700, 1500, 375);
    cmdNext.Move(kLeft + 1680, kDefaultHeight - 700, 1500, 375);
}

int32_t frmSales::StoreIDOfRow(long row) const
{
    if (row < 1 || row >= static_cast<long>(storeIDs_.size()))
        vb::Raise(vb::kErrSubscript);
    return storeIDs_[static_cast<size_t>(row)];
}

std::string frmSales::moneyFormat() const
{
    return useCents_ ? kCentsFormat : kWholeFormat;
}

// An entry is kept as it is shown: to the cent, or to the dollar without
// cents (halves away from zero, as the money format rounds).
vb::Currency frmSales::rounded(vb::Currency amount) const
{
    const int64_t unit = useCents_ ? vb::Currency::kScale / 100 : vb::Currency::kScale;
    const int64_t raw = amount.Raw();
    int64_t q = raw / unit;
    if (2 * std::llabs(raw % unit) >= unit)
        q += raw < 0 ? -1 : 1;
    int64_t out = 0;
    if (__builtin_mul_overflow(q, unit, &out))
        return amount; // at the very end of the range: kept as typed
    return vb::Currency::FromRaw(out);
}

void frmSales::Form_Load()
{
    loading_ = true;
    vb::ResumeNext step;
    useCents_ = true;
    step([&] { useCents_ = vb::CBool(vb::Variant(vb::GetSetting(kApp, kSection, "UseCents", "True"))); });
    year_ = static_cast<int16_t>(vb::Year(vb::Today()));
    step([&] { year_ = vb::CInt(vb::Variant(vb::GetSetting(kApp, kSection, "CurrentYear", std::to_string(year_)))); });
    step([&] { RestoreSize(kDefaultHeight, defaultWidth_); });
    step([&] { smuiMenuBar.Items().Find("INCLUDE CENTS")->SetChecked(useCents_); });
    step([&] { FillSalesGrid(); });
    loading_ = false;
    unloading_ = false;
    // The stored size was taken while loading: lay the window out for it.
    Form_Resize();
}

void frmSales::Form_Resize()
{
    if (loading_ || unloading_)
        return;
    vb::ResumeNext step;
    const double w = Width();
    const double h = Height();
    step([&] { smuiMenuBar.SetWidth(std::max(0.0, ScaleWidth())); });
    step([&] { FlxGd.SetWidth(std::max(0.0, w - 250)); });
    step([&] { FlxGd.SetHeight(std::max(0.0, h - 1700)); });
    const double gridWidth = FlxGd.Width();
    step([&] { FlxGd.SetColWidth(0, 0.15 * gridWidth); });
    for (long c = 1; c < FlxGd.Cols() && c <= kTotalCol; ++c)
        step([&] { FlxGd.SetColWidth(c, 0.76 / 12 * gridWidth); });
    step([&] { Label2.SetTop(h - 1000); });
    step([&] { cmdNext.SetTop(h - 700); });
    step([&] { cmdPrevious.SetTop(h - 700); });
}

void frmSales::Form_Unload(int& Cancel)
{
    (void)Cancel; // the sales window never refuses to close
    unloading_ = true;
    vb::ResumeNext step;
    // What is typed in the current cell is kept, as leaving the cell keeps it.
    step([&] { editor_.CommitCurrent(); });
    step([&] { vb::SaveSetting(kApp, kSection, "CurrentYear", std::to_string(year_)); });
    step([&] { vb::SaveSetting(kApp, kSection, "UseCents", useCents_ ? "True" : "False"); });
    step([&] { SaveSize(); });
    step([&] { Mod_SpecialFunctions::CloseEffect(*this, 200); });
    unloading_ = false;
}

void frmSales::SetGridHeadings()
{
    FlxGd.SetCols(14);
    FlxGd.SetRows(1);
    FlxGd.SetFixedRows(1);
    FlxGd.SetFixedCols(1);
    const double width = FlxGd.Width();
    FlxGd.Select(0, 0);
    FlxGd.SetText("Store");
    FlxGd.SetCellFontBold(true);
    for (long c = 1; c <= 12; ++c)
        FlxGd.SetTextMatrix(0, c, kMonthHeadings[static_cast<size_t>(c - 1)]);
    FlxGd.SetTextMatrix(0, kTotalCol, "Total");
    FlxGd.SetColWidth(0, 0.15 * width);
    for (long c = 1; c <= kTotalCol; ++c)
        FlxGd.SetColWidth(c, 0.76 / 12 * width);
    for (long c = 0; c <= kTotalCol; ++c)
        FlxGd.SetColAlignment(c, controls::flexAlignLeftTop);
    FlxGd.Select(0, 0);
}

void frmSales::FillSalesGrid()
{
    struct Busy {
        frmSales& form;
        bool before;
        ~Busy()
        {
            form.FlxGd.SetVisible(true);
            form.filling_ = before;
        }
    } busy{*this, filling_};
    filling_ = true;

    FlxGd.Clear();
    FlxGd.SetVisible(false);
    SetGridHeadings();
    lblSalesDate.SetCaption("Sales information for the year " + std::to_string(year_));
    storeIDs_.assign(1, 0);
    amounts_.assign(1, MonthAmounts{});

    const ado::RecordsetPtr stores = run("SELECT StoreID, StoreNumber, StoreName FROM Stores ORDER BY StoreName");
    // One query for the year's rows; a store's first row is its row.
    std::map<int32_t, MonthAmounts> sales;
    const ado::RecordsetPtr rows = run("SELECT * FROM Sales WHERE Year = ?", {year_});
    if (rows->RecordCount() > 0) {
        for (rows->MoveFirst(); !rows->EOF_(); rows->MoveNext()) {
            const vb::Variant id = rows->Fields("StoreID").Value();
            if (id.IsNull() || sales.count(vb::CLng(id)))
                continue;
            MonthAmounts months;
            for (size_t m = 0; m < 12; ++m)
                months[m] = amountOf(rows->Fields(kMonthColumns[m]).Value());
            sales.emplace(vb::CLng(id), months);
        }
    }

    const int32_t count = stores->RecordCount();
    FlxGd.SetRows(count + 1);
    if (count > 0) {
        long row = 1;
        const std::string format = moneyFormat();
        for (stores->MoveFirst(); !stores->EOF_(); stores->MoveNext(), ++row) {
            const vb::Variant name = stores->Fields("StoreName").Value();
            const int32_t id = vb::CLng(stores->Fields("StoreID").Value());
            FlxGd.SetTextMatrix(row, 0, name.IsNull() ? std::string() : vb::CStr(name));
            storeIDs_.push_back(id);
            auto found = sales.find(id);
            amounts_.push_back(found == sales.end() ? MonthAmounts{} : found->second);
            if (found == sales.end())
                continue;
            // A month of 0, or without a value, shows empty; the total shows
            // also when it is 0.
            for (size_t m = 0; m < 12; ++m) {
                const auto& amount = found->second[m];
                if (amount && amount->Raw() != 0)
                    FlxGd.SetTextMatrix(row, static_cast<long>(m) + 1, vb::Format(*amount, format));
            }
            if (const auto total = sumOf(found->second))
                FlxGd.SetTextMatrix(row, kTotalCol, vb::Format(*total, format));
        }
    }
    setToolTips();
}

void frmSales::setToolTips()
{
    cmdNext.SetToolTipText("Select year " + std::to_string(year_ + 1));
    cmdPrevious.SetToolTipText("Select year " + std::to_string(year_ - 1));
}

bool frmSales::FlxGd_Commit(long row, long col, const std::string& entryText)
{
    if (row < 1 || col < 1 || row >= static_cast<long>(storeIDs_.size()))
        return true;
    if (col == kTotalCol)
        return SaveSalesRow(row, col, std::nullopt);
    const std::string text = FlxGd.TextMatrix(row, col);
    vb::Currency amount;
    if (!vb::Trim(text).empty()) {
        const std::optional<vb::Currency> typed = Mod_WorkSheet::ReadAmount(text);
        if (!typed) {
            // Text that is no amount is not stored as 0 behind the user's back;
            // a number beyond what money holds is told as too large.
            if (Mod_WorkSheet::IsAmountTooLarge(text)) {
                // Shown without cents, the largest is a whole amount.
                const int64_t unit = useCents_ ? vb::Currency::kScale / 100 : vb::Currency::kScale;
                const auto largest = vb::Currency::FromRaw(Mod_WorkSheet::LargestAmount().Raw() / unit * unit);
                forms::MsgBox(Mod_WorkSheet::TooLargeMessage(text, largest, moneyFormat()), forms::vbOKOnly);
            } else {
                forms::MsgBox(Mod_WorkSheet::kNumericMessage, forms::vbOKOnly);
            }
            FlxGd.SetTextMatrix(row, col, entryText);
            return true;
        }
        amount = rounded(*typed);
        FlxGd.SetTextMatrix(row, col, vb::Format(amount, moneyFormat()));
    }
    return SaveSalesRow(row, col, amount);
}

// Writes the month of column col (none for the Total column) and the row's
// total to the store's one Sales row of the shown year, adding the row when
// there is none. A failure is reported and the cell stays marked.
bool frmSales::SaveSalesRow(long row, long col, std::optional<vb::Currency> amount)
{
    if (loading_ || filling_)
        return true;
    struct Busy {
        bool& flag;
        ~Busy() { flag = false; }
    } busy{filling_};
    filling_ = true;

    MonthAmounts months = amounts_[static_cast<size_t>(row)];
    const bool month = col >= 1 && col <= 12;
    if (month)
        months[static_cast<size_t>(col - 1)] = amount.value_or(vb::Currency());
    const int32_t id = storeIDs_[static_cast<size_t>(row)];
    std::optional<vb::Currency> total = sumOf(months);
    try {
        if (!total)
            vb::Raise(vb::kErrOverflow);
        std::vector<vb::Variant> values;
        std::string set;
        if (month) {
            values.emplace_back(*months[static_cast<size_t>(col - 1)]);
            set = std::string(kMonthColumns[static_cast<size_t>(col - 1)]) + " = ?, ";
        }
        values.emplace_back(*total);
        values.emplace_back(id);
        values.emplace_back(year_);
        const ado::RecordsetPtr existing = run("SELECT StoreID FROM Sales WHERE StoreID = ? AND Year = ?", {id, year_});
        if (existing->RecordCount() > 0) {
            run("UPDATE Sales SET " + set + "Total = ? WHERE StoreID = ? AND Year = ?", values);
        } else if (month) {
            run("INSERT INTO Sales (" + std::string(kMonthColumns[static_cast<size_t>(col - 1)])
                    + ", Total, StoreID, Year) VALUES (?, ?, ?, ?)",
                values);
        } else {
            run("INSERT INTO Sales (Total, StoreID, Year) VALUES (?, ?, ?)", values);
        }
    } catch (const vb::RuntimeError& e) {
        forms::MsgBox("The sales of " + FlxGd.TextMatrix(row, 0) + " for " + std::to_string(year_)
                          + " could not be saved.\r\n" + e.Description(),
                      forms::vbExclamation);
        return false;
    }
    amounts_[static_cast<size_t>(row)] = months;
    FlxGd.SetTextMatrix(row, kTotalCol, total->Raw() != 0 ? vb::Format(*total, moneyFormat()) : std::string());
    return true;
}

void frmSales::cmdNext_Click()
{
    stepYear(1);
}

void frmSales::cmdPrevious_Click()
{
    stepYear(-1);
}

void frmSales::stepYear(int by)
{
    // An amount that could not be saved stays on screen, not refilled away.
    if (!editor_.CommitCurrent())
        return;
    const int next = year_ + by;
    // The year is kept in 16 bits, as the table keeps it.
    if (next < std::numeric_limits<int16_t>::min() || next > std::numeric_limits<int16_t>::max())
        return;
    year_ = static_cast<int16_t>(next);
    setToolTips();
    FillSalesGrid();
}

void frmSales::smuiMenuBar_ItemClick(const std::string& key)
{
    if (key == "CLOSE") {
        Unload();
    } else if (key == "INCLUDE CENTS") {
        if (!editor_.CommitCurrent())
            return;
        useCents_ = !useCents_;
        smuiMenuBar.Items().Find("INCLUDE CENTS")->SetChecked(useCents_);
        FillSalesGrid();
    } else if (key == "HELP") {
        Mod_SpecialFunctions::ShowHelpTopic(kHelpTopic);
    }
}
