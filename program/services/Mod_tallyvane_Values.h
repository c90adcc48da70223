#pragma once
// The fixed values start-up puts into the program-wide state: the names of
// the two database files and of the months. Every subsystem may read them.

#include <string>
#include <string_view>
#include <vector>

namespace Mod_tallyvane {

// The two database files in the program folder.
inline constexpr std::string_view kDatabaseFileName = "Tallyvane.mdb";
inline constexpr std::string_view kExampleDatabaseFileName = "Tallyvane_ExampleDB.mdb";

// The names of the months, "January" to "December".
const std::vector<std::string>& MonthNames();

} // namespace Mod_tallyvane
