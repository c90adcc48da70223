// The store editor's rent figures: the month's base rent, percentage rent,
// C.A.M. and taxes with their sum, and the month stepper.

#include "program/stores/frmStoreInfo.h"

#include "platform/basic/RuntimeError.h"

#include <functional>
#include <optional>

#include "program/services/MBoxMod.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/Mod_StoreInfo_Rent.h"
#include "program/stores/StoresState.h"

namespace {

constexpr const char* kWorksheetTopic = "Work_Sheets_Screen\\Base_Rate_Work_Sheet.htm";

// The month on display, kept in UpDown1's Tag; today when the Tag holds no
// date.
vb::Date shownMonth(const frmStoreInfo& f)
{
    vb::Date d;
    if (vb::TryParseDate(f.UpDown1.Tag, d))
        return d;
    return vb::Today();
}

} // namespace

void frmStoreInfo::wireRent()
{
    UpDown1.UpClick = [this] { UpDown1_UpClick(); };
    UpDown1.DownClick = [this] { UpDown1_DownClick(); };
    lblRate.On(&forms::Label::Click, [this](int Index) { lblRate_Click(Index); });
}

void frmStoreInfo::DisplayNewRentsValues()
{
    if (CheckNoStores() == kStop)
        return;
    const vb::Date d = shownMonth(*this);
    const auto y = static_cast<int16_t>(vb::Year(d));
    const int16_t id = tv::Stores().g_CurrentStoreID;
    // A figure that fails (an amount money cannot hold) shows no amount and
    // is left out of the sum; the others are shown before the first failure
    // goes on to the user. The percentage rent of the month shown comes from
    // that month's sales.
    std::optional<vb::RuntimeError> failure;
    auto figure = [&](int index, const std::function<std::string()>& lookUp) {
        lblRate(index).SetCaption("");
        try {
            lblRate(index).SetCaption(lookUp());
        } catch (const vb::RuntimeError& e) {
            if (!failure)
                failure = e;
        }
    };
    figure(0, [&] { return Mod_StoreInfo::GetBaseRateMonthTotal(id, y); });
    figure(2, [&] { return Mod_StoreInfo::GetCAMRateMonthTotal(id, y); });
    figure(3, [&] { return Mod_StoreInfo::GetTaxRateMonthTotal(id, y); });
    figure(1, [&] { return Mod_StoreInfo::GetPercentageRent(id, y, vb::Month(d)); });
    Mod_StoreInfo::ShowCurrentRent(d);
    if (failure)
        throw *failure;
}

void frmStoreInfo::StepRentMonth(int16_t step)
{
    const vb::Date next = vb::DateAdd("m", step, shownMonth(*this));
    // Nothing before the lease's commencement; a lease without a
    // commencement date has no such bound.
    const vb::Variant commencement = DTCommDate.Value();
    if (commencement.IsNull() || next >= vb::CDate(commencement)) {
        UpDown1.Tag = vb::CStr(vb::Variant(next));
    } else {
        MBoxMod::ShowMBox("Cannot view dates before the lease commencement date.", 4, 0, 4, std::string(), false);
    }
    DisplayNewRentsValues();
}

void frmStoreInfo::UpDown1_DownClick()
{
    if (CheckNoStores() == kStop)
        return;
    StepRentMonth(-1);
}

void frmStoreInfo::UpDown1_UpClick()
{
    if (CheckNoStores() == kStop)
        return;
    StepRentMonth(1);
}

void frmStoreInfo::lblRate_Click(int Index)
{
    (void)Index; // every figure leads to the same page
    if (CheckNoStores() == kStop)
        return;
    if (MBoxMod::ShowMBox("Please use the worksheets to modify these values.", 2, 4, 2, std::string(), false) == 1)
        Mod_SpecialFunctions::ShowHelpTopic(kWorksheetTopic);
}
