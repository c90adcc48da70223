#include "program/services/ShellState.h"

namespace tv {

namespace {
ShellState& instance()
{
    static ShellState state;
    return state;
}
} // namespace

ShellState& Shell()
{
    return instance();
}

void ResetShellState()
{
    instance() = ShellState{};
}

} // namespace tv
