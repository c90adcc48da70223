#pragma once
// Values that belong to one deployment of the program rather than to its
// code: they are chosen when the program is built.

#include <string>

namespace Deployment {

// The maker's web site: shown in the about box and opened from it, and
// named in the update check's messages. Never empty.
std::string WebAddress();

// The update site: a host, or an address with scheme and base path, under
// which the version file lies. Empty: no update is ever found.
std::string UpdateAddress();
// The FTP server the update files come from (a host name) and its login;
// an empty user logs in anonymously.
std::string FtpHost();
std::string FtpUser();
std::string FtpPassword();

} // namespace Deployment
