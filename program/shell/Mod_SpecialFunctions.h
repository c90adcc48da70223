#pragma once
// Small helpers shared by the windows of every subsystem.

#include <cstdint>

namespace Mod_SpecialFunctions {

// True when every bit of flags is set in value; True for flags 0.
bool HasFlags(int16_t value, int16_t flags);

} // namespace Mod_SpecialFunctions
