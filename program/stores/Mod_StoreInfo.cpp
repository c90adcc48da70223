#include "program/stores/Mod_StoreInfo.h"

namespace Mod_StoreInfo {

int16_t SaveStore(std::optional<int16_t> storeID, int16_t& newStoreID)
{
    (void)storeID;
    (void)newStoreID;
    return kRefused;
}

bool DeleteStore(int16_t storeID)
{
    (void)storeID;
    return false;
}

void SaveStoreLandLord(int16_t storeID)
{
    (void)storeID;
}

void SaveLandLord(int32_t landLordID, bool noCompanyYet, int16_t storeID)
{
    (void)landLordID;
    (void)noCompanyYet;
    (void)storeID;
}

void LoadLandLord(int32_t landLordID)
{
    (void)landLordID;
}

void FillLandLordList() {}

void DeleteLandLord(int32_t landLordID)
{
    (void)landLordID;
}

vb::Variant EmptyIfNull(const vb::Variant& value)
{
    return value;
}

vb::Variant SmallerOf(const vb::Variant& a, const vb::Variant& b)
{
    (void)b;
    return a;
}

void LoadStore(int16_t storeID)
{
    (void)storeID;
}

void ClearStoreForm(int16_t sections)
{
    (void)sections;
}

void GenerateStoreIcon(int16_t StoreNumber, int16_t StoreID, std::string& IconPath)
{
    (void)StoreNumber;
    (void)StoreID;
    (void)IconPath;
}

} // namespace Mod_StoreInfo
