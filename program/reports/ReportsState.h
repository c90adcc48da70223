#pragma once
// The program-wide values of the reports subsystem, in one object that tests can
// reset. Each module's values sit in their own block.

#include <cstdint>
#include <string>

namespace tv {

struct ReportsState {
};

ReportsState& Reports();
// Back to the values before start-up.
void ResetReportsState();

} // namespace tv
