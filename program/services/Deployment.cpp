#include "program/services/Deployment.h"

#ifndef TV_WEB_ADDRESS
#define TV_WEB_ADDRESS "https://www.example.com/tallyvane"
#endif
#ifndef TV_UPDATE_URL
#define TV_UPDATE_URL ""
#endif
#ifndef TV_UPDATE_FTP_HOST
#define TV_UPDATE_FTP_HOST ""
#endif
#ifndef TV_UPDATE_FTP_USER
#define TV_UPDATE_FTP_USER ""
#endif
#ifndef TV_UPDATE_FTP_PASSWORD
#define TV_UPDATE_FTP_PASSWORD ""
#endif

namespace Deployment {

std::string WebAddress()
{
    return TV_WEB_ADDRESS;
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
