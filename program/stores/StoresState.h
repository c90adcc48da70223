#pragma once
// The program-wide values of the stores subsystem, in one object that tests can
// reset. Each module's values sit in their own block.

#include <cstdint>
#include <string>

namespace tv {

struct StoresState {
};

StoresState& Stores();
// Back to the values before start-up.
void ResetStoresState();

} // namespace tv
