#pragma once
// The store editor's store list (smuiPanel(0)), filled from table Stores.

#include <string_view>

namespace Mod_FileIO {

// Refills the store list of the form named (the store editor passes
// "frmStoreInfo"): one entry per store by store number, with its icon; the
// first store becomes the current one (g_CurrentStoreID; -1 when there is
// no store, and then the list is left as it was).
void FillStoreListPanel(std::string_view formName);

} // namespace Mod_FileIO
