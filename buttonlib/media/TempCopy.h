#pragma once
// A private temporary copy of some bytes: a new file in the temporary folder
// named prefix, a random part and the extension, created exclusively with
// mode 0600 and removed when the object goes, on every path.

#include "platform/mfc/WinTypes.h"

#include <cstddef>
#include <filesystem>

namespace media {

class TempCopy {
public:
    TempCopy() = default;
    ~TempCopy();
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;

    // prefix "gif", extension ".gif" gives /tmp/gifXXXXXX.gif. False, and no
    // file left, when the file cannot be made or written.
    bool Create(const char* prefix, const char* extension, const BYTE* bytes, std::size_t size);
    const std::filesystem::path& Path() const { return path_; }

private:
    void remove();

    std::filesystem::path path_;
};

} // namespace media
