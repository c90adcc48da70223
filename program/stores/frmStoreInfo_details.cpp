// The store editor's first two tabs: the store's details with its icon and
// address, and its property management company with the list of known
// companies.

#include "program/stores/frmStoreInfo.h"

#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/forms/Keys.h"
#include "platform/forms/MsgBox.h"
#include "platform/win/Desktop.h"
#include "program/services/MBoxMod.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmAddress.h"

#include <QUrl>

#include <optional>

namespace {

constexpr int32_t kLargestStoreNumber = 32767;

// Sets the flag for the scope, whatever road it leaves by.
struct FlagScope {
    bool& flag;
    explicit FlagScope(bool& f)
        : flag(f)
    {
        flag = true;
    }
    ~FlagScope() { flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
};

bool allDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

void tellBadNumber(const std::string& text)
{
    MBoxMod::ShowMBox(text + " is not a valid store number.  Store numbers are whole numbers from 0 to " +
                          std::to_string(kLargestStoreNumber) + ".",
                      4, 0, 2, std::string("Store number"), false);
}

// The web site as an address the browser may open: http and https only,
// a bare host ("www.example.com") read as http. Anything else (a program,
// a local file, another scheme) gives nothing.
std::optional<std::string> webAddress(const std::string& site)
{
    const QString text = QString::fromStdString(vb::Trim(site));
    if (text.isEmpty())
        return std::nullopt;
    const QUrl url = QUrl::fromUserInput(text);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty())
        return std::nullopt;
    return url.toString(QUrl::FullyEncoded).toStdString();
}

} // namespace

void frmStoreInfo::wireDetails()
{
    txtStoreNumber.Change = [this] { txtStoreNumber_Change(); };
    chkUseDefaultIcon.Click = [this] { chkUseDefaultIcon_Click(); };
    Image1.Click = [this] { Image1_Click(); };
    cmAddress.On(&forms::Control::Click, [this](int Index) { cmAddress_Click(Index); });
    txtStreet.On(&controls::RichTextBox::Change, [this](int Index) { txtStreet_Change(Index); });
    txtStreet.On(&controls::RichTextBox::Validate, [this](int Index, bool& Cancel) { txtStreet_Validate(Index, Cancel); });
    cmdSelPM.Click = [this] { cmdSelPM_Click(); };
    txtLLCompany.Change = [this] { txtLLCompany_Change(); };
    txtLLWebSite.DblClick = [this] { txtLLWebSite_DblClick(); };
    smuiPMList.ItemClick = [this](const std::string& key) { smuiPMList_ItemClick(key); };
    smuiPMList.ItemPress = [this](const std::string& key) { smuiPMList_ItemPress(key); };
    smuiPMList.MouseDown = [this](int Button, int Shift, float X, float Y) { smuiPMList_MouseDown(Button, Shift, X, Y); };
}

// --- Store number and icon ---

namespace {

// The store number box as a number a store can carry; nothing for an empty
// box or any other text.
std::optional<int16_t> storeNumberOf(const std::string& text)
{
    if (std::optional<int32_t> n = Mod_StoreInfo::WholeNumber(text, kLargestStoreNumber))
        return static_cast<int16_t>(*n);
    return std::nullopt;
}

} // namespace

void frmStoreInfo::txtStoreNumber_Change()
{
    tv::StoresState& s = tv::Stores();
    if (s.g_StoreFormLoading)
        return;
    if (CheckNoStores() == kStop)
        return;
    const std::string text = vb::Trim(txtStoreNumber.Text());
    const std::optional<int16_t> number = storeNumberOf(text);
    if (!number) {
        // A whole number too large for a store (the box takes no other
        // numbers either; the save refuses them with its own message).
        if (allDigits(text))
            tellBadNumber(text);
        return;
    }
    if (chkUseDefaultIcon.Value() == 1) {
        std::string path;
        Mod_StoreInfo::GenerateStoreIcon(*number, s.g_CurrentStoreID, path);
        Image1.SetVisible(true);
    }
    // After the icon: the icon routine removes the previous number's file.
    s.g_LastStoreNumber = *number;
}

void frmStoreInfo::chkUseDefaultIcon_Click()
{
    if (CheckNoStores() == kStop)
        return;
    tv::StoresState& s = tv::Stores();
    if (s.g_StoreBusy)
        return;
    FlagScope busy(s.g_StoreBusy);
    const std::string text = vb::Trim(txtStoreNumber.Text());
    const std::optional<int16_t> number = storeNumberOf(text);
    if (chkUseDefaultIcon.Value() == 1) {
        if (number) {
            std::string path;
            Mod_StoreInfo::GenerateStoreIcon(*number, s.g_CurrentStoreID, path);
        } else if (text.empty()) {
            // The icon follows the number box once a number is typed.
            MBoxMod::ShowMBox("There is no store number yet to draw the icon from.  The icon will show the number as "
                              "soon as one is entered.",
                              4, 0, 2, std::string("Store number"), false);
        } else {
            tellBadNumber(text);
        }
    } else {
        std::string path = Image1.Tag.empty() ? std::string(Mod_StoreInfo::kNoIcon) : Image1.Tag;
        if (!number) {
            MBoxMod::ShowMBox(text.empty() ? std::string("There is no store number yet, so the store has no number "
                                                         "icon.  Click the icon to choose an icon file.")
                                           : text + " is not a valid store number, so the store has no number "
                                                    "icon.  Click the icon to choose an icon file.",
                              4, 0, 2, std::string("Store number"), false);
        }
        Mod_StoreInfo::GenerateStoreIcon(number.value_or(0), s.g_CurrentStoreID, path);
    }
    lblStoreIcon.SetVisible(true);
}

void frmStoreInfo::Image1_Click()
{
    if (CheckNoStores() == kStop)
        return;
    if (chkUseDefaultIcon.Value() == 0)
        ChooseIconFile();
}

void frmStoreInfo::ChooseIconFile()
{
    if (CheckNoStores() == kStop)
        return;
    // Cancel, or anything failing on the way, ends the choice silently.
    try {
        CommonDialog1.CancelError = true;
        CommonDialog1.DefaultExt = ".ico";
        CommonDialog1.Filter = "Icon Files |*.ico";
        CommonDialog1.ShowOpen();
        std::string path = CommonDialog1.FileName;
        if (path.empty() || !vb::fso::FileExists(std::filesystem::path(path)))
            return;
        const std::optional<int16_t> number = storeNumberOf(txtStoreNumber.Text());
        Mod_StoreInfo::GenerateStoreIcon(number.value_or(0), tv::Stores().g_CurrentStoreID, path);
    } catch (const vb::RuntimeError&) {
    }
}

// --- Addresses ---

void frmStoreInfo::txtStreet_Change(int Index)
{
    tv::StoresState& s = tv::Stores();
    if (CheckNoStores() == kStop)
        return;
    if (Index < 0 || Index > 1)
        return;
    if (!s.g_AddressLoading[0] && !s.g_AddressLoading[1])
        s.g_AddressChanged[Index] = true;
}

void frmStoreInfo::txtStreet_Validate(int Index, bool& Cancel)
{
    (void)Cancel;
    if (Index < 0 || Index > 1)
        return;
    if (CheckNoStores() == kStop)
        return;
    tv::StoresState& s = tv::Stores();
    if (s.g_AddressChanged[Index]) {
        FlagScope loading(s.g_AddressLoading[Index]);
        cAddress& address = Index == 0 ? s.g_StoreAddress : s.g_LandLordAddress;
        const std::string text = txtStreet(Index).Text();
        if (text.find_first_not_of(" \r\n") == std::string::npos) {
            // An emptied box empties the address (the object would otherwise
            // keep its fields and put them back into the box).
            address.Clear();
        } else {
            address.SetAddress(text);
        }
        txtStreet(Index).SetText(address.Address());
    }
    s.g_AddressChanged[Index] = false;
}

void frmStoreInfo::cmAddress_Click(int Index)
{
    if (CheckNoStores() == kStop)
        return;
    if (Index < 0 || Index > 1)
        return;
    tv::StoresState& s = tv::Stores();
    // What was typed into the box and not yet taken in (the button did not
    // take the focus) is what the dialog starts from.
    if (s.g_AddressChanged[Index]) {
        bool cancel = false;
        txtStreet_Validate(Index, cancel);
    }
    s.g_AddressSlot = static_cast<int16_t>(Index);
    PrepareAddressDialog(Index);
    if (frmAddress* dialog = frmAddress::IfLoaded())
        dialog->Show(forms::vbModeless);
}

void frmStoreInfo::PrepareAddressDialog(int Index)
{
    if (CheckNoStores() == kStop)
        return;
    // Already editing this address: its edits are kept, the dialog only
    // comes to the front.
    if (const frmAddress* open = frmAddress::IfLoaded(); open && open->Slot() == Index)
        return;
    const tv::StoresState& s = tv::Stores();
    const cAddress& address = Index == 1 ? s.g_LandLordAddress : s.g_StoreAddress;
    frmAddress::Instance().EditAddress(static_cast<int16_t>(Index), address);
}

// --- Property management company ---

namespace {

std::optional<int16_t> landLordIdOf(const std::string& key)
{
    if (std::optional<int32_t> id = Mod_StoreInfo::WholeNumber(key, 32767); id && *id > 0)
        return static_cast<int16_t>(*id);
    return std::nullopt;
}

// The company list drops down over the Business and Fax boxes: they are
// hidden exactly while it is shown.
void showCompanyList(frmStoreInfo& f, bool shown)
{
    f.smuiPMList.SetVisible(shown);
    f.txtLLBusiness.SetVisible(!shown);
    f.txtLLFax.SetVisible(!shown);
}

} // namespace

void frmStoreInfo::cmdSelPM_Click()
{
    if (CheckNoStores() == kStop)
        return;
    showCompanyList(*this, !smuiPMList.Visible());
    Mod_StoreInfo::FillLandLordList();
}

void frmStoreInfo::smuiPMList_ItemClick(const std::string& key)
{
    if (CheckNoStores() == kStop)
        return;
    const std::optional<int16_t> id = landLordIdOf(key);
    if (!id)
        return;
    Mod_StoreInfo::LoadLandLord(*id);
    // The choice closes the list (the name's own change already hid it).
    showCompanyList(*this, false);
}

void frmStoreInfo::smuiPMList_ItemPress(const std::string& key)
{
    tv::StoresState& s = tv::Stores();
    controls::SmartItems& items = smuiPMList.Items();
    if (!items.Exists(key))
        return;
    for (const auto& item : items)
        item->SetSelected(item->Key() == key);
    s.g_SelectedLandLordName = items.Item(key).Caption();
    s.g_SelectedLandLordID = landLordIdOf(key).value_or(0);
}

void frmStoreInfo::smuiPMList_MouseDown(int Button, int Shift, float X, float Y)
{
    (void)Shift;
    (void)X;
    (void)Y;
    if (CheckNoStores() == kStop)
        return;
    if (Button != forms::vbRightButton)
        return;
    tv::StoresState& s = tv::Stores();
    // Only a company that was pressed, and is still listed, can be deleted.
    if (s.g_SelectedLandLordID <= 0 || !smuiPMList.Items().Exists(std::to_string(s.g_SelectedLandLordID)))
        return;
    const int answer = forms::MsgBox("Delete '" + s.g_SelectedLandLordName + "' property manager?", forms::vbYesNo);
    if (answer != forms::vbYes)
        return;
    const int16_t id = s.g_SelectedLandLordID;
    s.g_SelectedLandLordID = 0;
    s.g_SelectedLandLordName.clear();
    Mod_StoreInfo::DeleteLandLord(id);
}

void frmStoreInfo::txtLLCompany_Change()
{
    showCompanyList(*this, false);
}

void frmStoreInfo::txtLLWebSite_DblClick()
{
    if (CheckNoStores() == kStop)
        return;
    // What the browser cannot take is not opened; nothing is reported.
    if (const std::optional<std::string> url = webAddress(txtLLWebSite.Text()))
        win::OpenUrl(*url);
}
