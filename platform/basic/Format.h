#pragma once
// The runtime's Format with a fixed US locale: number patterns ("$##,##0.00",
// "#.##0", "0000", sections separated by ";"), date and time patterns
// ("M/d/yyyy", "hh:mm AMPM", "DDDD , dd Mmm YYYY hh:mm:ss AM/PM") and the
// named formats. Numbers round halves away from zero.

#include "platform/basic/Variant.h"

#include <string>
#include <string_view>

namespace vb {

std::string Format(const Variant& value, std::string_view format = {});

} // namespace vb
