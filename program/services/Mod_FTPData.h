#pragma once
// Date, Null and array helpers shared by the screens of every subsystem.

#include "platform/basic/Array.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/Variant.h"

#include <cstdint>
#include <string_view>

namespace Mod_FTPData {

// Whole days from 1 January 1900 (day 0) to the date, the time of day ignored;
// earlier dates give negative numbers.
int32_t DateToDayNumber(vb::Date date);

// The date moved by number intervals ("d", "h", "ww", "m", "yyyy"); months and
// years keep the day of the month, cut back to the last day of a shorter month.
vb::Date AddToDate(int32_t number, std::string_view interval, vb::Date date);

// The end of the report period of code 0 to 7 that starts today; the zero
// date for any other code.
vb::Date GetPeriodEndDate(int16_t periodCode);

// "" for Null, anything else unchanged.
vb::Variant NullToEmpty(const vb::Variant& value);

template <class T>
bool IsArrayDimensioned(const vb::DynArray<T>& array)
{
    return array.has_value();
}

// --- Closing the windows ---

// The caption by which the hidden main window is recognised.
inline constexpr std::string_view kMainFormCaption = "Main Form";

// Unloads every loaded form but the hidden main window, from the last loaded
// down; with closeMain the hidden main window too, and then the report data
// environment's connection. A failing unload is skipped, and a call made
// while another runs (a form's own unload closing the windows) is safe.
// Unloaded forms are released: the next use creates a fresh instance.
void UnloadAllForms(bool closeMain);
// True while UnloadAllForms runs: a form's unload then closes it for good and
// asks the user nothing that could keep it open.
bool UnloadingAllForms();

// --- end of closing the windows ---

} // namespace Mod_FTPData
