#include "program/services/Mod_tallyvane_Values.h"

namespace Mod_tallyvane {

const std::vector<std::string>& MonthNames()
{
    static const std::vector<std::string> names{"January", "February", "March",     "April",   "May",      "June",
                                                "July",    "August",   "September", "October", "November", "December"};
    return names;
}

} // namespace Mod_tallyvane
