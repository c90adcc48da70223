#include "program/services/Deployment.h"

// The build passes the values in (see this folder's CMakeLists.txt).
#ifndef TV_WEB_ADDRESS
#error "TV_WEB_ADDRESS is set by the build"
#endif
#if !defined(TV_UPDATE_URL) || !defined(TV_UPDATE_FTP_HOST) || !defined(TV_UPDATE_FTP_USER) \
    || !defined(TV_UPDATE_FTP_PASSWORD)
#error "the update values are set by the build"
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

std::string UpdateAddress()
{
    return TV_UPDATE_URL;
}

std::string FtpHost()
{
    return TV_UPDATE_FTP_HOST;
}

std::string FtpUser()
{
    return TV_UPDATE_FTP_USER;
}

std::string FtpPassword()
{
    return TV_UPDATE_FTP_PASSWORD;
}

} // namespace Deployment
