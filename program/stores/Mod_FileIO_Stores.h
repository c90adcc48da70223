#pragma once
// The store editor's parts of the line files and lists: the store list
// (smuiPanel(0)) filled from table Stores, and a deleted store's notes.

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace Mod_FileIO {

// Refills the store list of the form named (the store editor passes
// "frmStoreInfo"): one entry per store by store number, with its icon; the
// first store becomes the current one (g_CurrentStoreID; -1 when there is
// no store, and then the list is left as it was). A table that cannot be
// read (missing, damaged, or without one of the list's columns) leaves the
// list as it was and is shown as the runtime shows an error nobody handled,
// with what failed.
void FillStoreListPanel(std::string_view formName);

// Shows the store's entry in the store list as the table holds it (its
// name and its icon): after a refused save, the list must not keep what was
// typed. Nothing when the store has no row or no entry.
void ShowStoredListItem(int16_t storeID);

// Removes every notes block of the store from "AddLeaseInfo.xml" in folder
// (a deleted store); nothing when the file or the block is missing.
void RemoveStoreNotesBlock(int16_t storeID, const std::filesystem::path& folder);

} // namespace Mod_FileIO
