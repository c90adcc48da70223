#pragma once
// The values a deployment of the program is built with (CMake cache
// variables, compiled into this one place). Empty unless the build set them;
// no credential is kept in the sources.

#include <string>

namespace Deployment {

// The maker's web address, shown to the user (about box, update messages).
std::string WebAddress();
// The update site: a host, or an address with scheme and base path, under
// which the version file lies; empty: no update is ever found.
std::string UpdateAddress();
// The update files' FTP server (a host name) and its login.
std::string FtpHost();
std::string FtpUser();
std::string FtpPassword();

} // namespace Deployment
