#include "program/services/Deployment.h"

// The build passes the values in (see this folder's CMakeLists.txt).
#ifndef TV_WEB_ADDRESS
#error "TV_WEB_ADDRESS is set by the build"
#endif

namespace Deployment {

namespace {
constexpr char kWebAddress[] = TV_WEB_ADDRESS;
static_assert(sizeof(kWebAddress) > 1, "the web address must not be empty");
} // namespace

std::string WebAddress()
{
    return kWebAddress;
}

} // namespace Deployment
