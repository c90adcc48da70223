#include "buttonlib/media/TempCopy.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <unistd.h>

namespace media {

TempCopy::~TempCopy()
{
    remove();
}

void TempCopy::remove()
{
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
}

bool TempCopy::Create(const char* prefix, const char* extension, const BYTE* bytes, std::size_t size)
{
    remove();
    std::error_code ec;
    const auto folder = std::filesystem::temp_directory_path(ec);
    if (ec)
        return false;
    std::string name = (folder / (std::string(prefix) + "XXXXXX" + extension)).string();
    // mkstemps creates the file exclusively, readable by its owner only.
    const int fd = ::mkstemps(name.data(), int(std::strlen(extension)));
    if (fd < 0)
        return false;
    path_ = name;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            remove();
            return false;
        }
        done += std::size_t(n);
    }
    if (::close(fd) != 0) {
        remove();
        return false;
    }
    return true;
}

} // namespace media
