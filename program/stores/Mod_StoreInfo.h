#pragma once
// The store logic behind the store editor (frmStoreInfo): a store's row saved
// and loaded, the form cleared, property management companies, store icons,
// calendar reminders and the rent figures. The routines read and set the
// editor's controls directly, as the editor's own code does; they reach the
// window through frmStoreInfo::Instance().
//
// Files: Mod_StoreInfo.cpp (save, delete), Mod_StoreInfo_Load.cpp (load,
// clear), Mod_StoreInfo_LandLord.cpp (companies), Mod_StoreInfo_Icons.cpp
// (icons), Mod_StoreInfo_Reminders.cpp (reminders), Mod_StoreInfo_Rent.cpp
// (rent figures).

#include "platform/basic/DateTime.h"
#include "platform/basic/Variant.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_StoreInfo {

// Results of the store save.
inline constexpr int16_t kSaved = 0;
inline constexpr int16_t kRefused = 1001;

// Sections of ClearStoreForm.
inline constexpr int16_t kClearStore = 1;
inline constexpr int16_t kClearLandLord = 2;
inline constexpr int16_t kClearLease = 4;
inline constexpr int16_t kClearNotes = 8;
inline constexpr int16_t kClearAll = 15;

// The image key of the store list while a new store has no StoreID yet.
inline constexpr int32_t kNewStoreImageID = 32768;
// Image1's Tag for the no-icon picture.
inline constexpr const char* kNoIcon = "NO ICON";

// The longest initial term a store keeps (its end date and worksheets must
// hold it), and what the save and the lease tab say about any other term.
inline constexpr int32_t kMaxInitialTerm = 999;
inline constexpr const char* kTermRangeNotice = "The initial term must be a whole number of years from 0 to 999.";

// The text as a whole number from 0 to largest (blanks around it allowed;
// no sign, no decimals, no grouping); nullopt for anything else.
std::optional<int32_t> WholeNumber(std::string_view text, int32_t largest);

// --- Store save ---
// Writes the editor's store into its row of Stores: the row of storeID, or a
// new row when storeID is nullopt (a store being added). Refuses (kRefused,
// with its message, nothing written) an empty, non-numeric or duplicate store
// number and an initial term that is not a whole number from 0 on; a storeID
// without a row is refused silently (nothing is added). newStoreID receives
// the StoreID written; it is left alone when the save is refused.
int16_t SaveStore(std::optional<int16_t> storeID, int16_t& newStoreID);
// Everything a save of the store shown takes from the editor (its row and
// its company), as the editor holds it now. The load keeps it in the
// editor's StoreAsLoaded: a store is written back only when it differs, so
// that leaving a store the user did not change never puts back over what
// another copy of the program saved meanwhile.
std::vector<std::string> ShownStoreValues();

// Deletes the store with its rates, sales, calendar reminders, notes block
// and number icon; the database rows in one transaction. False when it
// failed (nothing deleted).
bool DeleteStore(int16_t storeID);

// --- Property management companies ---
// The company step of a save: the company typed in the editor, looked up,
// created or updated, and linked to the store.
void SaveStoreLandLord(int16_t storeID);
void SaveLandLord(int32_t landLordID, bool noCompanyYet, int16_t storeID);
// The company's fields into the editor; the company section cleared when
// there is no such company.
void LoadLandLord(int32_t landLordID);
// smuiPMList refilled from table LandLord.
void FillLandLordList();
// The company removed and every store that used it unlinked.
void DeleteLandLord(int32_t landLordID);
// "" for Null or "", else the value.
vb::Variant EmptyIfNull(const vb::Variant& value);
// b when a is greater than b, else a.
vb::Variant SmallerOf(const vb::Variant& a, const vb::Variant& b);

// --- Store load and form clear ---
void LoadStore(int16_t storeID);
// Any of the kClear... sections, combined.
void ClearStoreForm(int16_t sections);

// --- Store icons ---
// The store's icon into Image1 and the store list: IconPath "" the number
// icon (IconPath becomes its file's path), kNoIcon the no-icon picture, else
// a picture file the user chose. Never raises.
void GenerateStoreIcon(int16_t StoreNumber, int16_t StoreID, std::string& IconPath);
// Whether the file is a number icon as this program writes them, so that it
// may be deleted (a picture of the user's of that name is left alone).
bool IsNumberIconFile(const std::filesystem::path& file);

// --- Calendar reminders ---
// The zero date: "no date", as the reminder routines take it.
inline constexpr vb::Date kZeroDate = vb::Date::FromSerial(0);
// Replaces (add) or removes the store's row of that kind, then refreshes the
// calendar and, while it is open, the task list.
void SetCalendarReminder(int32_t typeCode, int16_t storeID, vb::Date reminderDate, std::string_view info,
                         std::string_view image, bool add);
// Shows or hides one switchable reminder ("RENEWAL", "INSURANCE", "OTHER")
// and keeps its bit of g_ReminderMask; kZeroDate keeps the picker's date.
void ShowReminder(std::string_view kind, bool shown, vb::Date reminderDate);

// --- Rent figures ---
std::string GetBaseRateMonthTotal(int16_t StoreID, int16_t Year);
std::string GetCAMRateMonthTotal(int16_t StoreID, int16_t Year);
std::string GetTaxRateMonthTotal(int16_t StoreID, int16_t Year);
// Also sets lblPerRateCalc.
std::string GetPercentageRent(int16_t StoreID, int16_t Year);
vb::Variant GetMonthSales(int16_t StoreID, int16_t Year);
// Sets lblCurRentDue (the sum of the four figures; $0.00 when any of them
// is not money, as one that could not be worked out is not) and lblCurRent
// for the month of the date.
void ShowCurrentRent(vb::Date month);

} // namespace Mod_StoreInfo
