// The store editor's first two tabs: the store's details with its icon and
// address, and its property management company with the list of known
// companies.

#include "program/stores/frmStoreInfo.h"

void frmStoreInfo::wireDetails()
{
    txtStoreNumber.Change = [this] { txtStoreNumber_Change(); };
    chkUseDefaultIcon.Click = [this] { chkUseDefaultIcon_Click(); };
    Image1.Click = [this] { Image1_Click(); };
    cmAddress.On(&forms::CommandButton::Click, [this](int Index) { cmAddress_Click(Index); });
    txtStreet.On(&controls::RichTextBox::Change, [this](int Index) { txtStreet_Change(Index); });
    txtStreet.On(&controls::RichTextBox::Validate, [this](int Index, bool& Cancel) { txtStreet_Validate(Index, Cancel); });
    cmdSelPM.Click = [this] { cmdSelPM_Click(); };
    txtLLCompany.Change = [this] { txtLLCompany_Change(); };
    txtLLWebSite.DblClick = [this] { txtLLWebSite_DblClick(); };
    smuiPMList.ItemClick = [this](const std::string& key) { smuiPMList_ItemClick(key); };
    smuiPMList.ItemPress = [this](const std::string& key) { smuiPMList_ItemPress(key); };
    smuiPMList.MouseDown = [this](int Button, int Shift, float X, float Y) { smuiPMList_MouseDown(Button, Shift, X, Y); };
}

void frmStoreInfo::txtStoreNumber_Change() {}
void frmStoreInfo::chkUseDefaultIcon_Click() {}
void frmStoreInfo::Image1_Click() {}
void frmStoreInfo::ChooseIconFile() {}
void frmStoreInfo::cmAddress_Click(int Index)
{
    (void)Index;
}
void frmStoreInfo::PrepareAddressDialog(int Index)
{
    (void)Index;
}
void frmStoreInfo::txtStreet_Change(int Index)
{
    (void)Index;
}
void frmStoreInfo::txtStreet_Validate(int Index, bool& Cancel)
{
    (void)Index;
    (void)Cancel;
}
void frmStoreInfo::cmdSelPM_Click() {}
void frmStoreInfo::txtLLCompany_Change() {}
void frmStoreInfo::txtLLWebSite_DblClick() {}
void frmStoreInfo::smuiPMList_ItemClick(const std::string& key)
{
    (void)key;
}
void frmStoreInfo::smuiPMList_ItemPress(const std::string& key)
{
    (void)key;
}
void frmStoreInfo::smuiPMList_MouseDown(int Button, int Shift, float X, float Y)
{
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
}
