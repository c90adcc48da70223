#include "program/shell/Mod_SpecialFunctions.h"

namespace Mod_SpecialFunctions {

bool HasFlags(int16_t value, int16_t flags)
{
    return (value & flags) == flags;
}

} // namespace Mod_SpecialFunctions
