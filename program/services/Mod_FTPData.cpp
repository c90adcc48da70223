#include "program/services/Mod_FTPData.h"

#include "platform/ado/Connection.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Form.h"
#include "platform/report/DataEnvironment.h"

namespace Mod_FTPData {

int32_t DateToDayNumber(vb::Date date)
{
    static const vb::Date kDayZero = vb::DateSerial(1900, 1, 1);
    return static_cast<int32_t>(vb::DateDiff("d", kDayZero, date));
}

vb::Date AddToDate(int32_t number, std::string_view interval, vb::Date date)
{
    return vb::DateAdd(interval, number, date);
}

vb::Date GetPeriodEndDate(int16_t periodCode)
{
    const vb::Date today = vb::Today();
    switch (periodCode) {
    case 0: return today;
    case 1: return AddToDate(1, "ww", today);
    case 2: return AddToDate(1, "m", today);
    case 3: return AddToDate(3, "m", today);
    case 4: return AddToDate(6, "m", today);
    case 5: return AddToDate(1, "yyyy", today);
    case 6: return AddToDate(2, "yyyy", today);
    case 7: return AddToDate(5, "yyyy", today);
    default: return vb::Date();
    }
}

vb::Variant NullToEmpty(const vb::Variant& value)
{
    return value.IsNull() ? vb::Variant("") : value;
}

// --- Closing the windows ---

namespace {
int& unloadingAll()
{
    static int depth = 0;
    return depth;
}
} // namespace

bool UnloadingAllForms()
{
    return unloadingAll() > 0;
}

void UnloadAllForms(bool closeMain)
{
    struct Unloading {
        Unloading() { ++unloadingAll(); }
        ~Unloading() { --unloadingAll(); }
    } unloading;
    vb::ResumeNext step;
    // Downwards, so that the indexes left to walk stay valid; a form whose own
    // unload closed others makes a later index fail, and that step is skipped.
    const int count = forms::Forms().Count();
    for (int i = count - 1; i >= 0; --i) {
        step([&] {
            forms::Form& form = forms::Forms()(i);
            if (form.Caption() != kMainFormCaption)
                form.Unload();
        });
    }
    if (closeMain) {
        // The hidden main window, known by its caption as in the walk above.
        for (int i = forms::Forms().Count() - 1; i >= 0; --i) {
            step([&] {
                forms::Form& form = forms::Forms()(i);
                if (form.Caption() == kMainFormCaption)
                    form.Unload();
            });
        }
        step([] { report::DataEnvironment1().Connection1->Close(); });
    }
    // Unloading released the instances: the next use of each form creates a
    // fresh one.
}

// --- end of closing the windows ---

} // namespace Mod_FTPData
