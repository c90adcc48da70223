#include "program/stores/frmAddress.h"

#include "platform/basic/FlagScope.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/forms/Keys.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmStoreInfo.h"

#include <QString>

#include <optional>

namespace {

constexpr const char* kHelpTopic = "Address_Screen\\Address_Screen.htm";
constexpr int16_t kCloseEffectStep = 50;

// Characters as the edit box counts them (caret and selection positions).
long boxLength(const std::string& text)
{
    return QString::fromStdString(text).size();
}

// The first listed country that begins with the text, letter case ignored.
std::optional<std::string> completion(const std::string& typed)
{
    const std::string key = vb::UCase(typed);
    for (std::string_view name : cAddress::Countries())
        if (vb::UCase(name).starts_with(key))
            return std::string(name);
    return std::nullopt;
}

// The list's spelling of a listed country; any other text as it is.
std::string listSpelling(const std::string& country)
{
    const std::string key = vb::UCase(country);
    for (std::string_view name : cAddress::Countries())
        if (vb::UCase(name) == key)
            return std::string(name);
    return country;
}

} // namespace

frmAddress::frmAddress()
    : FormOf("frmAddress")
{
    layOut();
    txtAddress.On(&forms::TextBox::Change, [this](int Index) { txtAddress_Change(Index); });
    cboCountry.Change = [this] { cboCountry_Change(); };
    cboCountry.Click = [this] { cboCountry_Click(); };
    cboCountry.KeyDown = [this](int& KeyCode, int& Shift) { cboCountry_KeyDown(KeyCode, Shift); };
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
    cmdHelp.Click = [this] { cmdHelp_Click(); };
}

void frmAddress::layOut()
{
    SetCaption("Address Information");
    SetBorderStyle(forms::vbFixedDialog);
    SetShowInTaskbar(false);
    Move(0, 0, 6000, 4260);

    fraAddress.SetCaption("Address Information");
    fraAddress.Move(120, 90, 5640, 3090);
    constexpr double kLabelLeft = 150;
    constexpr double kLabelWidth = 1650;
    constexpr double kBoxLeft = 1860;
    constexpr double kBoxWidth = 3600;
    constexpr double kRowHeight = 315;
    const char* captions[] = {"Street:", "City:", "State:", "Zip/Postal Code:", "Country/Region:"};
    const double tops[] = {300, 1290, 1710, 2130, 2550};
    for (int i = 0; i < 5; ++i) {
        lblAddress(i).SetCaption(captions[i]);
        lblAddress(i).Move(kLabelLeft, tops[i] + 45, kLabelWidth, kRowHeight);
    }
    txtAddress(0).Move(kBoxLeft, tops[0], kBoxWidth, 900);
    for (int i = 1; i < 4; ++i)
        txtAddress(i).Move(kBoxLeft, tops[i], i == 3 ? 1800 : kBoxWidth, kRowHeight);
    cboCountry.Move(kBoxLeft, tops[4], kBoxWidth, kRowHeight);

    double left = 5760 - 3 * 1200 - 2 * 90;
    for (Lumvex* b : {&cmdOK, &cmdCancel, &cmdHelp}) {
        b->Move(left, 3330, 1200, 375);
        left += 1290;
    }
}

void frmAddress::Form_Load()
{
    Show(forms::vbModeless);
    txtAddress(0).SetFocus();
}

void frmAddress::EditAddress(int16_t slot, const cAddress& address)
{
    vb::FlagScope filling(filling_);
    slot_ = slot == 1 ? int16_t{1} : int16_t{0};
    working_ = address;
    tv::Stores().g_CountryNoComplete[slot_] = false;
    txtAddress(0).SetText(address.Street());
    txtAddress(1).SetText(address.City());
    txtAddress(2).SetText(address.State());
    txtAddress(3).SetText(address.Postcode());
    address.FillComboBox(cboCountry, 0);
    // The address's own country, never a list entry it merely begins
    // (an empty or unlisted country stays as it is).
    cboCountry.SetText(listSpelling(address.Country()));
    txtAddress(0).SetFocus();
}

void frmAddress::txtAddress_Change(int Index)
{
    if (filling_)
        return;
    const std::string text = txtAddress(Index).Text();
    switch (Index) {
    case 0:
        working_.SetStreet(text);
        break;
    case 1:
        working_.SetCity(text);
        break;
    case 2:
        working_.SetState(text);
        break;
    case 3:
        working_.SetPostcode(text);
        break;
    default:
        break;
    }
}

void frmAddress::cboCountry_Change()
{
    if (filling_)
        return;
    bool& noComplete = tv::Stores().g_CountryNoComplete[slot_];
    const std::string typed = cboCountry.Text();
    // Delete or Backspace suspends the completion for this one change, so
    // that the text can be shortened.
    if (typed.empty() || noComplete) {
        noComplete = false;
        return;
    }
    if (const std::optional<std::string> entry = completion(typed)) {
        vb::FlagScope filling(filling_);
        const long caret = cboCountry.SelStart();
        cboCountry.SetText(*entry);
        cboCountry.SetSelStart(caret);
        cboCountry.SetSelLength(boxLength(*entry) - caret);
    }
    working_.SetCountry(cboCountry.Text());
}

void frmAddress::cboCountry_Click()
{
    if (filling_)
        return;
    working_.SetCountry(cboCountry.Text());
}

void frmAddress::cboCountry_KeyDown(int& KeyCode, int& Shift)
{
    (void)Shift;
    if ((KeyCode == forms::vbKeyDelete || KeyCode == forms::vbKeyBack) && !cboCountry.Text().empty())
        tv::Stores().g_CountryNoComplete[slot_] = true;
}

void frmAddress::cmdOK_Click()
{
    tv::StoresState& s = tv::Stores();
    working_.SetCountry(cboCountry.Text());
    cAddress& address = slot_ == 0 ? s.g_StoreAddress : s.g_LandLordAddress;
    address = working_;
    if (frmStoreInfo* editor = frmStoreInfo::IfLoaded()) {
        // The box shows what the object holds: nothing to parse again.
        vb::FlagScope loading(s.g_AddressLoading[slot_]);
        editor->txtStreet(slot_).SetText(address.Address());
    }
    s.g_AddressChanged[slot_] = false;
    Unload();
}

void frmAddress::cmdCancel_Click()
{
    Unload();
}

void frmAddress::cmdHelp_Click()
{
    Mod_SpecialFunctions::ShowHelpTopic(kHelpTopic);
}

void frmAddress::Form_Unload(int& Cancel)
{
    (void)Cancel;
    tv::Stores().g_CountryNoComplete[slot_] = false;
    vb::ResumeNext step;
    step([&] { Mod_SpecialFunctions::CloseEffect(*this, kCloseEffectStep); });
}

void frmAddress::Dismiss()
{
    if (frmAddress* dialog = IfLoaded())
        dialog->Unload();
}
