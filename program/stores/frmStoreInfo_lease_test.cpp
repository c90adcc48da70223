// Calendar reminders and the lease tabs: the reminder rows of every kind as
// the user sets, changes, clears and restores them, checked in CalInfo and
// in what the calendar refill after each change reads; store switches and a
// new store writing none; the reminder routines themselves; the
// sales-reporting controls; the initial term's notices; pictures of both
// tabs.

#include "program/stores/frmStoreInfo.h"

#include "program/services/Mod_FTPData.h"
#include "program/services/Notifications.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StoresTestSupport.h"
#include "program/stores/frmWorkSheet.h"

#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using Mod_StoreInfo::kZeroDate;
using Mod_StoreInfo::SetCalendarReminder;
using Mod_StoreInfo::ShowReminder;
using ::testing::HasSubstr;
using ::testing::Not;
using vb::Variant;

int32_t dayOf(vb::Date d)
{
    return Mod_FTPData::DateToDayNumber(d);
}

class LeaseTabs : public tv::testing::StoreEditorFixture {
protected:
    void SetUp() override
    {
        StoreEditorFixture::SetUp();
        tv::Shell().g_MonthNames = Mod_tallyvane::MonthNames();
        Notifications::SetCalendarRefill([this](Notifications::CalendarWindow) { refillCalendar(); });
    }

    static void openEmpty()
    {
        tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kDatabaseFileName);
        Mod_DBConnections::OpenDatabase();
    }

    // Every CalInfo row, in ID order.
    static std::string calInfo()
    {
        return vb::CStr(scalar("SELECT group_concat(ID || ':' || StoreID || ':' || Type || ':' || Date || ':' || info "
                               "|| ':' || Image, '; ') FROM (SELECT * FROM CalInfo ORDER BY ID)"));
    }

    // The store's rows of a kind as "day|info", oldest first.
    static std::vector<std::string> rows(int store, int type)
    {
        const Variant joined = scalar("SELECT group_concat(Date || '|' || info, ';') FROM (SELECT * FROM CalInfo "
                                      "WHERE StoreID = ? AND Type = ? AND Image = Type ORDER BY ID)",
                                      {Variant(store), Variant(std::to_string(type))});
        std::vector<std::string> out;
        const std::string all = joined.IsNull() ? std::string() : vb::CStr(joined);
        for (size_t start = 0; start < all.size();) {
            const size_t end = std::min(all.find(';', start), all.size());
            out.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        return out;
    }
    static int32_t idOf(int store, int type)
    {
        return count("SELECT ID FROM CalInfo WHERE StoreID = ? AND Type = ?",
                     {Variant(store), Variant(std::to_string(type))});
    }

    static std::string row(vb::Date d, const std::string& info) { return std::to_string(dayOf(d)) + "|" + info; }

    // The reminder texts of every day as a refill of the calendar finds them
    // in CalInfo, kept until the next refill.
    void refillCalendar()
    {
        calendar_.clear();
        auto rs = ado::Recordset::Create();
        rs->OpenRowSet(tv::Shell().g_DBConnection->Query("SELECT Date, info FROM CalInfo ORDER BY ID"),
                       tv::Shell().g_DBConnection);
        for (; !rs->EOF_(); rs->MoveNext())
            calendar_[vb::CLng(rs->Fields("Date").Value())] += "\n" + vb::CStr(rs->Fields("info").Value());
    }
    std::string day(vb::Date d) const
    {
        const auto it = calendar_.find(dayOf(d));
        return it == calendar_.end() ? std::string() : it->second;
    }

private:
    std::map<int32_t, std::string> calendar_;
};

// ---- The routines ----------------------------------------------------------

TEST_F(LeaseTabs, AStoreKeepsOneRowOfAKindReplacedOrRemovedAndTheCalendarFollows)
{
    openEmpty();
    const vb::Date first = vb::DateSerial(2025, 3, 14);
    const vb::Date second = vb::DateSerial(2025, 3, 20);
    SetCalendarReminder(2, 5, first, "Insurance: Oak Plaza", "2", true);
    SetCalendarReminder(1, 6, first, "Renewal: Elm Street", "1", true);
    SetCalendarReminder(1, 5, first, "Renewal: Oak Plaza", "1", true);
    ASSERT_EQ(rows(5, 1), std::vector<std::string>{row(first, "Renewal: Oak Plaza")});
    EXPECT_THAT(day(first), HasSubstr("Renewal: Oak Plaza"));
    EXPECT_THAT(day(first), HasSubstr("Renewal: Elm Street"));

    // A new date replaces the row: one row, a new ID, the calendar moved.
    const int32_t oldID = idOf(5, 1);
    SetCalendarReminder(1, 5, second, "Renewal: Oak Plaza", "1", true);
    ASSERT_EQ(rows(5, 1), std::vector<std::string>{row(second, "Renewal: Oak Plaza")});
    EXPECT_NE(idOf(5, 1), oldID);
    EXPECT_THAT(day(first), Not(HasSubstr("Renewal: Oak Plaza")));
    EXPECT_THAT(day(second), HasSubstr("Renewal: Oak Plaza"));

    // Removing takes only that store's row of that kind.
    SetCalendarReminder(1, 5, second, "Renewal: Oak Plaza", "1", false);
    EXPECT_TRUE(rows(5, 1).empty());
    EXPECT_EQ(day(second), "");
    EXPECT_EQ(rows(5, 2).size(), 1u);
    EXPECT_EQ(rows(6, 1).size(), 1u);

    // Rows of one kind left by other data all go with the replaced one.
    tv::Shell().g_DBConnection->Query("INSERT INTO CalInfo (Date, StoreID, Type, info, Image) VALUES "
                                      "(1, 5, '4', 'old', '4'), (2, 5, '4', 'older', '4')");
    SetCalendarReminder(4, 5, first, "Other: Oak Plaza", "4", true);
    EXPECT_EQ(rows(5, 4), std::vector<std::string>{row(first, "Other: Oak Plaza")});

    // Days count from 1 January 1900, the time of day aside.
    SetCalendarReminder(3, 7, vb::DateSerial(1900, 1, 1), "Monthly Sales Report: Pine", "3", true);
    EXPECT_EQ(rows(7, 3), std::vector<std::string>{"0|Monthly Sales Report: Pine"});
    SetCalendarReminder(3, 7, vb::Date::FromSerial(vb::DateSerial(1900, 1, 2).Serial() + 0.75),
                        "Monthly Sales Report: Pine", "3", true);
    EXPECT_EQ(rows(7, 3), std::vector<std::string>{"1|Monthly Sales Report: Pine"});
}

TEST_F(LeaseTabs, EveryCallRefillsTheCalendarAndTheTaskListOnlyWhileItIsOpen)
{
    openEmpty();
    int refills = 0;
    Notifications::SetTaskListRefresh([&] { ++refills; });
    // A row the calendar has not seen shows after any call, even one that
    // neither removes nor adds a row.
    const vb::Date april = vb::DateSerial(2025, 4, 1);
    EXPECT_EQ(day(april), "");
    tv::Shell().g_DBConnection->Query(
        "INSERT INTO CalInfo (Date, StoreID, Type, info, Image) VALUES (?, 9, '2', 'Insurance: Cedar', '2')",
        {Variant(dayOf(april))});
    EXPECT_EQ(day(april), "");
    SetCalendarReminder(5, 42, vb::Today(), "", "5", false);
    EXPECT_THAT(day(april), HasSubstr("Insurance: Cedar"));
    EXPECT_EQ(refills, 0);
    tv::Shell().g_TaskListOpen = true;
    SetCalendarReminder(1, 5, vb::Today(), "Renewal: Oak Plaza", "1", true);
    SetCalendarReminder(1, 5, vb::Today(), "Renewal: Oak Plaza", "1", false);
    EXPECT_EQ(refills, 2);
}

TEST_F(LeaseTabs, AFailedReminderWriteKeepsTheOldRowAndLeavesTheTableClosed)
{
    openEmpty();
    SetCalendarReminder(1, 5, vb::DateSerial(2025, 3, 14), "Renewal: Oak Plaza", "1", true);
    const std::vector<std::string> before = rows(5, 1);
    // The new row is refused after the old one was deleted.
    tv::Shell().g_DBConnection->Query(
        "CREATE TRIGGER NoNewRows BEFORE INSERT ON CalInfo BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(SetCalendarReminder(1, 5, vb::DateSerial(2025, 5, 1), "Renewal: Oak Plaza", "1", true),
                 vb::RuntimeError);
    EXPECT_EQ(rows(5, 1), before);
    EXPECT_FALSE(tv::Shell().g_CalInfoOpen);
    EXPECT_FALSE(tv::Shell().g_DBConnection->InTransaction());
}

TEST_F(LeaseTabs, SwitchingAReminderShowsOrHidesItsDateAndKeepsItsBit)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    ASSERT_EQ(s.g_ReminderMask, 7);
    const Variant kept = f.DTRenewal.Value();

    ShowReminder("RENEWAL", false, kZeroDate);
    EXPECT_FALSE(f.lblRenewal.Visible());
    EXPECT_FALSE(f.DTRenewal.Visible());
    EXPECT_EQ(f.rtbRenewal.Width(), 6855);
    EXPECT_EQ(s.g_ReminderMask, 6);
    EXPECT_FALSE(f.smuiMenuBar.Items().Find("RENEWAL")->Checked());
    ShowReminder("OTHER", false, kZeroDate);
    EXPECT_EQ(s.g_ReminderMask, 2);
    EXPECT_EQ(f.rtbInsurance.Width(), 5055);

    // Back on with no date given: the picker keeps its own (none stays
    // none), or starts from today when it holds the zero date.
    ShowReminder("RENEWAL", true, kZeroDate);
    EXPECT_TRUE(f.lblRenewal.Visible());
    EXPECT_TRUE(f.DTRenewal.Visible());
    EXPECT_EQ(f.rtbRenewal.Width(), 5055);
    EXPECT_TRUE(f.smuiMenuBar.Items().Find("RENEWAL")->Checked());
    EXPECT_EQ(f.DTRenewal.Value(), kept);
    f.DTOtherDate.SetValue(Variant(kZeroDate));
    ShowReminder("OTHER", true, kZeroDate);
    EXPECT_EQ(vb::CDate(f.DTOtherDate.Value()), vb::Today());
    f.DTInsurance.SetValue(Variant::Null());
    ShowReminder("INSURANCE", false, kZeroDate);
    ShowReminder("INSURANCE", true, kZeroDate);
    EXPECT_TRUE(f.DTInsurance.Value().IsNull());
    ShowReminder("INSURANCE", true, vb::DateSerial(2026, 7, 4));
    EXPECT_EQ(vb::CDate(f.DTInsurance.Value()), vb::DateSerial(2026, 7, 4));
    EXPECT_EQ(s.g_ReminderMask, 7);
    EXPECT_FALSE(s.g_ReminderUpdating);
}

// ---- The user's changes ----------------------------------------------------

// How the user sets, clears and restores one reminder kind.
struct Kind {
    int type;
    std::string caption; // followed by the store's name
    std::function<void(frmStoreInfo&, vb::Date)> setDate;
    std::function<void(frmStoreInfo&)> clear;
    std::function<void(frmStoreInfo&)> restore;
};

std::vector<Kind> kinds()
{
    auto menu = [](const char* key) { return [key](frmStoreInfo& f) { f.smuiMenuBar.Choose(key); }; };
    auto picker = [](controls::DatePicker frmStoreInfo::*member) {
        return [member](frmStoreInfo& f, vb::Date d) { (f.*member).SetValue(Variant(d)); };
    };
    return {
        {1, "Renewal: ", picker(&frmStoreInfo::DTRenewal), menu("RENEWAL"), menu("RENEWAL")},
        {2, "Insurance: ", picker(&frmStoreInfo::DTInsurance), menu("INSURANCE"), menu("INSURANCE")},
        {3, "Monthly Sales Report: ", picker(&frmStoreInfo::DTDueDate),
         [](frmStoreInfo& f) { f.cboSalesReportReq.SetListIndex(0); },
         [](frmStoreInfo& f) { f.cboSalesReportReq.SetListIndex(1); }},
        {4, "Other: ", picker(&frmStoreInfo::DTOtherDate), menu("OTHER"), menu("OTHER")},
        {5, "Annual Sales Report : ", picker(&frmStoreInfo::DTAnnualReportDueDate),
         [](frmStoreInfo& f) { f.chkAnnualReportReq.SetValue(0); },
         [](frmStoreInfo& f) { f.chkAnnualReportReq.SetValue(1); }},
    };
}

TEST_F(LeaseTabs, EachReminderKindIsSetChangedClearedAndRestoredInCalInfoAndOnTheCalendar)
{
    frmStoreInfo& f = open();
    const int16_t store = tv::Stores().g_CurrentStoreID;
    ASSERT_EQ(f.txtStoreName.Text(), "Harbor Point");
    ASSERT_EQ(f.cboSalesReportReq.Text(), "Monthly");
    f.SSTab1.SetTab(3); // the Reminders menu
    const vb::Date first = vb::DateSerial(2025, 6, 2);
    const vb::Date second = vb::DateSerial(2025, 6, 9);

    for (const Kind& kind : kinds()) {
        SCOPED_TRACE("type " + std::to_string(kind.type));
        const std::string info = kind.caption + "Harbor Point";
        const std::string othersSQL = "SELECT group_concat(ID) FROM CalInfo WHERE NOT (StoreID = ? AND Type = ?)";
        const std::vector<Variant> me{Variant(store), Variant(std::to_string(kind.type))};
        const std::string others = vb::CStr(scalar(othersSQL, me));

        kind.setDate(f, first);
        EXPECT_EQ(rows(store, kind.type), std::vector<std::string>{row(first, info)});
        EXPECT_THAT(day(first), HasSubstr(info));
        const int32_t firstID = idOf(store, kind.type);
        kind.setDate(f, second);
        EXPECT_EQ(rows(store, kind.type), std::vector<std::string>{row(second, info)});
        EXPECT_NE(idOf(store, kind.type), firstID);
        EXPECT_THAT(day(first), Not(HasSubstr(info)));
        EXPECT_THAT(day(second), HasSubstr(info));

        kind.clear(f);
        EXPECT_TRUE(rows(store, kind.type).empty());
        EXPECT_THAT(day(second), Not(HasSubstr(info)));
        // Back on, the row returns with the date the picker kept.
        kind.restore(f);
        EXPECT_EQ(rows(store, kind.type), std::vector<std::string>{row(second, info)});
        EXPECT_THAT(day(second), HasSubstr(info));
        EXPECT_EQ(vb::CStr(scalar(othersSQL, me)), others);
    }

    // The captions follow the reporting choice and the name as typed.
    f.cboSalesReportReq.SetListIndex(3);
    EXPECT_EQ(rows(store, 3), std::vector<std::string>{row(second, "Semi-Annually Sales Report: Harbor Point")});
    f.txtStoreName.SetText("Harbor Point East");
    f.DTRenewal.SetValue(Variant(first));
    EXPECT_EQ(rows(store, 1), std::vector<std::string>{row(first, "Renewal: Harbor Point East")});
    EXPECT_TRUE(prompts().empty());
}

TEST_F(LeaseTabs, StoreSwitchesAndANewStoreWriteNoReminderOfAnyStore)
{
    frmStoreInfo& f = open();
    const int16_t a = tv::Stores().g_CurrentStoreID;
    const int16_t b = storeIdOf(7);
    const int16_t none = storeIdOf(48);   // reports no sales
    const int16_t masked = storeIdOf(77); // renewal and insurance only
    const std::string before = calInfo();

    // A load sets every picker, the reporting choice and the annual box:
    // none of it is a reminder of the store shown before, nor of the new one.
    for (const int16_t id : {b, none, masked, a, masked, b, none}) {
        chooseStore(id);
        ASSERT_EQ(tv::Stores().g_CurrentStoreID, id);
        EXPECT_EQ(calInfo(), before);
    }
    EXPECT_FALSE(f.DTDueDate.Visible());
    chooseStore(masked);
    EXPECT_FALSE(f.DTOtherDate.Visible());
    EXPECT_EQ(tv::Stores().g_ReminderMask, 3);
    command("ADDNEWSTORE");
    command("CANCEL");
    EXPECT_EQ(calInfo(), before);

    // The store shown takes the user's change; the others keep theirs.
    chooseStore(b);
    const std::vector<std::string> aRenewal = rows(a, 1);
    f.DTRenewal.SetValue(Variant(vb::DateSerial(2025, 9, 30)));
    EXPECT_EQ(rows(b, 1), std::vector<std::string>{row(vb::DateSerial(2025, 9, 30), "Renewal: Riverside Plaza")});
    EXPECT_EQ(rows(a, 1), aRenewal);
}

TEST_F(LeaseTabs, ANewStoreGetsItsRemindersFromTheUsersChangesOnly)
{
    frmStoreInfo& f = open();
    const std::string before = calInfo();
    command("ADDNEWSTORE");
    f.txtStoreName.SetText("Dockside");
    f.txtStoreNumber.SetText("500");
    mbox->answers = {{0, 0}};
    f.SSTab1.SetTab(3); // saves the new store first
    const int16_t id = storeIdOf(500);
    ASSERT_EQ(tv::Stores().g_CurrentStoreID, id);
    EXPECT_EQ(calInfo(), before);
    // Cleared for the new store, the three reminders are off.
    EXPECT_EQ(tv::Stores().g_ReminderMask, 0);
    EXPECT_FALSE(f.DTRenewal.Visible());
    f.smuiMenuBar.Choose("RENEWAL");
    EXPECT_TRUE(f.DTRenewal.Visible());
    EXPECT_EQ(rows(id, 1), std::vector<std::string>{row(vb::Today(), "Renewal: Dockside")});
    EXPECT_EQ(tv::Stores().g_ReminderMask, 1);
}

TEST_F(LeaseTabs, ATickedReminderWhosePickerHasNoDateTakesTodayAndIsWritten)
{
    openEmpty();
    // A store saved without the annual date and without reminder dates.
    tv::Shell().g_DBConnection->Query("INSERT INTO Stores (StoreName, StoreNumber, SalesReporting, "
                                      "SalesReportDueDate, ReminderBitMask, LandLordID) VALUES ('Bare', 9, "
                                      "'Monthly', '2025-04-01 00:00:00', 0, 0)");
    const int16_t id = storeIdOf(9);
    frmStoreInfo& f = open(Mod_tallyvane::kDatabaseFileName);
    ASSERT_EQ(tv::Stores().g_CurrentStoreID, id);
    ASSERT_TRUE(f.DTAnnualReportDueDate.Value().IsNull());
    ASSERT_TRUE(f.DTRenewal.Value().IsNull());
    ASSERT_EQ(f.chkAnnualReportReq.Value(), 0);

    f.chkAnnualReportReq.SetValue(1);
    ASSERT_FALSE(f.DTAnnualReportDueDate.Value().IsNull());
    EXPECT_EQ(vb::CDate(f.DTAnnualReportDueDate.Value()), vb::Today());
    EXPECT_EQ(rows(id, 5), std::vector<std::string>{row(vb::Today(), "Annual Sales Report : Bare")});

    f.SSTab1.SetTab(3);
    f.smuiMenuBar.Choose("RENEWAL");
    ASSERT_FALSE(f.DTRenewal.Value().IsNull());
    EXPECT_EQ(vb::CDate(f.DTRenewal.Value()), vb::Today());
    EXPECT_EQ(rows(id, 1), std::vector<std::string>{row(vb::Today(), "Renewal: Bare")});
    // A periodic report chosen for a due date the store lacks starts today.
    f.DTDueDate.SetValue(Variant::Null());
    f.cboSalesReportReq.SetText("Quarterly");
    f.cboSalesReportReq_Click();
    ASSERT_FALSE(f.DTDueDate.Value().IsNull());
    EXPECT_EQ(vb::CDate(f.DTDueDate.Value()), vb::Today());
    EXPECT_TRUE(prompts().empty());
    // Cleared again, the picker stays blank and its row goes.
    f.DTRenewal.SetValue(Variant::Null());
    EXPECT_TRUE(f.DTRenewal.Value().IsNull());
    EXPECT_TRUE(rows(id, 1).empty());

    // A new store writes nothing until it is saved, as before.
    command("ADDNEWSTORE");
    const std::string before = calInfo();
    f.DTAnnualReportDueDate.SetValue(Variant::Null());
    f.cboSalesReportReq.SetListIndex(1);
    f.chkAnnualReportReq.SetValue(1);
    EXPECT_EQ(calInfo(), before);
}

TEST_F(LeaseTabs, WithNoStoreTheHandlersAskForOneAndWriteNothing)
{
    frmStoreInfo& f = open(Mod_tallyvane::kDatabaseFileName);
    f.DTRenewal.SetValue(Variant(vb::DateSerial(2025, 5, 5)));
    f.cboSalesReportReq.SetListIndex(1);
    f.cmdRate_Click(0);
    EXPECT_EQ(prompts(), std::vector<std::string>(3, "Please add a new store before entering data."));
    // The menu has no guard: it switches the controls and writes nothing.
    f.SSTab1.SetTab(3);
    const bool shown = f.DTOtherDate.Visible();
    f.smuiMenuBar.Choose("OTHER");
    EXPECT_NE(f.DTOtherDate.Visible(), shown);
    EXPECT_EQ(count("SELECT count(*) FROM CalInfo"), 0);
}

// ---- Sales reporting and the lease values ------------------------------------

TEST_F(LeaseTabs, SalesReportingShowsTheDueDatesItNeeds)
{
    frmStoreInfo& f = open();
    const int16_t store = tv::Stores().g_CurrentStoreID;
    ASSERT_EQ(f.chkAnnualReportReq.Value(), 1);
    const std::vector<std::string> annual = rows(store, 5);
    ASSERT_EQ(annual.size(), 1u);

    f.cboSalesReportReq.SetListIndex(0); // None: the annual controls stay
    EXPECT_FALSE(f.DTDueDate.Visible());
    EXPECT_FALSE(f.lblNextDueDate.Visible());
    EXPECT_TRUE(f.chkAnnualReportReq.Visible());
    EXPECT_TRUE(f.DTAnnualReportDueDate.Visible());
    EXPECT_TRUE(rows(store, 3).empty());

    f.cboSalesReportReq.SetListIndex(4); // Annually: the annual box goes, its row stays
    EXPECT_TRUE(f.DTDueDate.Visible());
    EXPECT_FALSE(f.chkAnnualReportReq.Visible());
    EXPECT_FALSE(f.DTAnnualReportDueDate.Visible());
    EXPECT_FALSE(f.lblNextAnnualDueDate.Visible());
    EXPECT_EQ(rows(store, 5), annual);
    EXPECT_EQ(rows(store, 3).size(), 1u);

    f.cboSalesReportReq.SetListIndex(1); // Monthly, the annual box ticked
    EXPECT_TRUE(f.chkAnnualReportReq.Visible());
    EXPECT_TRUE(f.DTAnnualReportDueDate.Visible());
    f.chkAnnualReportReq.SetValue(0);
    f.cboSalesReportReq.SetListIndex(2);
    EXPECT_TRUE(f.chkAnnualReportReq.Visible());
    EXPECT_FALSE(f.DTAnnualReportDueDate.Visible());
    EXPECT_FALSE(f.lblNextAnnualDueDate.Visible());
}

TEST_F(LeaseTabs, TheInitialTermAndTheCommencementYearFollowTheirBoxes)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    ASSERT_EQ(s.g_InitialTermYears, 5);
    bool cancel = false;
    auto expectNotices = [&](const std::vector<std::string>& expected) {
        EXPECT_EQ(prompts(), expected);
        for (const auto& box : mbox->shown)
            EXPECT_TRUE(box.colorScheme == 4 && box.buttonSet == 0 && box.iconIndex == 4 && box.title.empty());
        mbox->shown.clear();
    };

    f.txtInitTerm.SetText("12");
    EXPECT_EQ(s.g_InitialTermYears, 12);
    f.txtInitTerm_Validate(cancel);
    expectNotices({});
    f.txtInitTerm.SetText("2.5"); // halves go to the even year
    EXPECT_EQ(s.g_InitialTermYears, 2);
    f.txtInitTerm.SetText("3.5");
    EXPECT_EQ(s.g_InitialTermYears, 4);
    // A term the save would refuse is told when the box is left, and opens
    // no worksheet.
    f.txtInitTerm_Validate(cancel);
    f.txtInitTerm.SetText("1500");
    f.cmdRate_Click(0);
    expectNotices({Mod_StoreInfo::kTermRangeNotice, Mod_StoreInfo::kTermRangeNotice});
    EXPECT_EQ(s.g_WorkSheetKind, "");
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    f.txtInitTerm.SetText("3.5");

    f.txtInitTerm.SetText("ten");
    EXPECT_EQ(s.g_InitialTermYears, 4);
    f.txtInitTerm_Validate(cancel);
    f.cmdRate_Click(0);
    expectNotices({"The initial term must be a numeric value!", "The initial term must be a numeric value."});
    f.txtInitTerm.SetText("0");
    EXPECT_EQ(s.g_InitialTermYears, 0);
    f.txtInitTerm_Validate(cancel);
    f.cmdRate_Click(1);
    expectNotices({"The initial term must be greater than zero!",
                   "The initial term must be greater than zero to use the worksheets"});
    EXPECT_EQ(s.g_WorkSheetKind, "");

    // More years than the term can hold: a notice, the last term kept.
    f.txtInitTerm.SetText("7");
    f.txtInitTerm.SetText("40000");
    EXPECT_EQ(s.g_InitialTermYears, 7);
    f.txtInitTerm_Validate(cancel);
    f.cmdRate_Click(2);
    const std::string tooLong =
        std::string("The initial term cannot be more than 32,767 years!\r\n") + Mod_StoreInfo::kTermRangeNotice;
    expectNotices({tooLong, tooLong});
    f.txtInitTerm.SetText("32767");
    EXPECT_EQ(s.g_InitialTermYears, 32767);
    f.txtInitTerm.SetText("1e300");
    EXPECT_EQ(s.g_InitialTermYears, 32767);
    EXPECT_FALSE(cancel);

    f.DTCommDate.SetValue(Variant(vb::DateSerial(2019, 4, 1)));
    EXPECT_EQ(s.g_CommenceYear, 2019);
    f.DTCommDate.SetValue(Variant::Null());
    EXPECT_EQ(s.g_CommenceYear, 2019);
}

TEST_F(LeaseTabs, EveryTermTheSaveRefusesEndsWithTheSavesNotice)
{
    frmStoreInfo& f = open();
    const std::string notice = Mod_StoreInfo::kTermRangeNotice;
    struct Case {
        const char* term;
        std::string left;    // leaving the box
        std::string clicked; // a worksheet button
    };
    const Case cases[] = {
        {"-5", "The initial term must be greater than zero!\r\n" + notice,
         "The initial term must be greater than zero to use the worksheets\r\n" + notice},
        {"32000", notice, notice},
        {"40000", "The initial term cannot be more than 32,767 years!\r\n" + notice,
         "The initial term cannot be more than 32,767 years!\r\n" + notice},
        {"-40000", "The initial term must be greater than zero!\r\n" + notice,
         "The initial term must be greater than zero to use the worksheets\r\n" + notice},
        // Inside 0 to 999 the texts stand alone.
        {"0", "The initial term must be greater than zero!",
         "The initial term must be greater than zero to use the worksheets"},
        {"2.5", notice, notice},
        {"ten", "The initial term must be a numeric value!", "The initial term must be a numeric value."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        mbox->shown.clear();
        f.txtInitTerm.SetText(c.term);
        bool cancel = false;
        f.txtInitTerm_Validate(cancel);
        f.cmdRate_Click(0);
        EXPECT_EQ(prompts(), (std::vector<std::string>{c.left, c.clicked}));
        EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    }
    // The save says the same as the box.
    mbox->shown.clear();
    f.txtInitTerm.SetText("40000");
    int16_t written = 0;
    EXPECT_NE(Mod_StoreInfo::SaveStore(tv::Stores().g_CurrentStoreID, written), Mod_StoreInfo::kSaved);
    EXPECT_EQ(prompts(), std::vector<std::string>{notice});
}

TEST_F(LeaseTabs, AWorksheetButtonOpensTheStoresSheetAndItsCloseRefreshesTheFigures)
{
    frmStoreInfo& f = open();
    f.txtInitTerm.SetText("3");
    f.cmdRate_Click(2);
    frmWorkSheet* sheet = frmWorkSheet::IfLoaded();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(tv::Stores().g_WorkSheetKind, "CAMRATE");
    EXPECT_EQ(sheet->lblStore.Caption(), "Harbor Point - CAM Rate Worksheet");
    EXPECT_EQ(sheet->Sheet().storeID, tv::Stores().g_CurrentStoreID);
    EXPECT_EQ(sheet->Sheet().firstYear, vb::CInt(f.DTCommDate.Year()));
    EXPECT_EQ(sheet->Sheet().years, 3);
    const std::string cam = f.lblRate(2).Caption();
    f.lblRate(2).SetCaption("stale");
    sheet->Unload();
    EXPECT_EQ(f.lblRate(2).Caption(), cam);
    EXPECT_TRUE(prompts().empty());
}

// Another worksheet's button while one is open, even minimized: the open
// sheet comes forward and its label keeps naming the sheet it shows.
TEST_F(LeaseTabs, AnotherWorksheetsButtonBringsTheOpenSheetForward)
{
    frmStoreInfo& f = open();
    f.txtInitTerm.SetText("3");
    f.cmdRate_Click(0);
    frmWorkSheet* sheet = frmWorkSheet::IfLoaded();
    ASSERT_NE(sheet, nullptr);
    sheet->hWnd()->showMinimized();
    f.hWnd()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.hWnd()));

    f.cmdRate_Click(2);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), sheet);
    EXPECT_FALSE(sheet->hWnd()->isMinimized());
    EXPECT_TRUE(QTest::qWaitForWindowActive(sheet->hWnd()));
    EXPECT_EQ(sheet->Sheet().kind->key, "BASERATE");
    EXPECT_EQ(sheet->lblStore.Caption(), "Harbor Point - Base Rate Worksheet");
}

TEST_F(LeaseTabs, PicturesOfTheLeaseTabsOnTheExampleDatabase)
{
    frmStoreInfo& f = open();
    // A store paying a share of its sales, in a month above its break point.
    chooseStore(storeIdOf(89));
    f.SSTab1.SetTab(2);
    for (int i = 0; i < 9 && !f.lblPerRateCalc.Caption().starts_with("$"); ++i)
        f.UpDown1.ClickDown();
    settle();
    Grab(f.hWnd(), QStringLiteral("frmStoreInfo_lease_rent"));
    EXPECT_TRUE(f.lblPerRateCalc.Visible());
    f.SSTab1.SetTab(3);
    f.smuiMenuBar.Choose("INSURANCE");
    settle();
    Grab(f.hWnd(), QStringLiteral("frmStoreInfo_lease_reminders"));
    EXPECT_FALSE(f.DTInsurance.Visible());
}

} // namespace
