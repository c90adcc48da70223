#include "program/stores/StoresState.h"

namespace tv {

namespace {
StoresState& instance()
{
    static StoresState state;
    return state;
}
} // namespace

StoresState& Stores()
{
    return instance();
}

void ResetStoresState()
{
    instance() = StoresState{};
}

} // namespace tv
