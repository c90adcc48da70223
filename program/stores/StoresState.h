#pragma once
// The program-wide values of the stores subsystem, in one object that tests can
// reset. Each module's values sit in their own block.

#include "platform/basic/FileSystem.h"
#include "program/stores/cAddress.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tv {

struct StoresState {
    // Line files (Mod_FileIO): the text stream being read and the one being
    // written, shared by the notes file and the report settings file, one
    // file at a time. They keep the last stream, closed, between calls.
    std::optional<vb::fso::TextStream> g_TextStream;
    std::optional<vb::fso::TextStream> g_OutTextStream;

    // Store editor (frmStoreInfo and Mod_StoreInfo): the store shown and the
    // window's flags, shared with the worksheets, the reminders and the
    // address dialog instead of a store object.
    int16_t g_CurrentStoreID = -1;       // -1 while the database holds no store
    bool g_StoreFormLoading = false;     // change handlers do nothing while set
    bool g_AddStoreMode = false;         // a new store is entered, not yet saved
    bool g_StoreBusy = false;            // code fills or clears the store's fields
    int16_t g_CommenceYear = 0;          // year of the commencement date
    int16_t g_InitialTermYears = 0;      // initial term in whole years
    std::string g_WorkSheetKind;         // "BASERATE", "PERCENTAGERATE", "CAMRATE", "TAXRATE"
    int16_t g_ReminderMask = 7;          // 1 renewal, 2 insurance, 4 other shown
    bool g_ReminderUpdating = false;     // the reminder menu is being set by code
    int16_t g_LastStoreNumber = 0;       // last numeric store number typed
    std::string g_SelectedLandLordName;  // company list item last pressed
    int16_t g_SelectedLandLordID = 0;

    // Addresses: slot 0 the store's, slot 1 the property management company's.
    cAddress g_StoreAddress;
    cAddress g_LandLordAddress;
    bool g_AddressChanged[2] = {false, false};
    bool g_AddressLoading[2] = {false, false};
    bool g_CountryNoComplete[2] = {false, false};
    int16_t g_AddressSlot = 0;

    // Property management companies (Mod_StoreInfo): the company whose row
    // the editor's company fields were loaded from or last written to (0:
    // none). Only that row takes the fields; a company merely named in the
    // box is linked, never overwritten with another company's details.
    int32_t g_ShownLandLordID = 0;

    // Worksheets (frmWorkSheet, Mod_WorkSheet): a grid is being filled,
    // completed or saved.
    bool g_WorkSheetFilling = false;
};

StoresState& Stores();
// Back to the values before start-up.
void ResetStoresState();

} // namespace tv
