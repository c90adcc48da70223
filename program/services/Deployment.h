#pragma once
// Values that belong to one deployment of the program rather than to its
// code: they are chosen when the program is built.

#include <string>

namespace Deployment {

// The maker's web site: shown in the about box and opened from it, and
// named in the update check's messages. Never empty.
std::string WebAddress();

} // namespace Deployment
