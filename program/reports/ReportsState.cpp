#include "program/reports/ReportsState.h"

namespace tv {

namespace {
ReportsState& instance()
{
    static ReportsState state;
    return state;
}
} // namespace

ReportsState& Reports()
{
    return instance();
}

void ResetReportsState()
{
    instance() = ReportsState{};
}

} // namespace tv
