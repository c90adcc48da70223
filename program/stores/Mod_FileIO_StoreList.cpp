#include "program/stores/Mod_FileIO_StoreList.h"

namespace Mod_FileIO {

void FillStoreListPanel(std::string_view formName)
{
    (void)formName;
}

} // namespace Mod_FileIO
