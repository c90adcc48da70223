#pragma once
// The registry file on disk and the copy of it this process works from.

#include "platform/registry/RegistryTree.h"

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace winreg::detail {

class RegistryFile {
public:
    // The contents, re-read whenever the file may have changed since the last
    // look (another process writes it too). Answers ERROR_SUCCESS, or why the
    // file cannot be used (tree is then empty).
    LONG Read(const Tree*& tree);

    // Re-reads the file under the file lock, lets change edit a copy and, when
    // the copy differs, rewrites the file through a temporary file. A change
    // that answers anything but ERROR_SUCCESS writes nothing. written tells
    // whether the file was rewritten.
    LONG Modify(const std::function<LONG(Tree&)>& change, bool& written);

    // The text that tells the user why the file cannot be used.
    std::optional<std::string> Problem();
    // The text that tells the user why no change can be saved (the folder
    // or the lock beside the file cannot be written, the disk has no room
    // for a copy of the file), found by doing what a write does first;
    // nothing of the trial is left behind.
    std::optional<std::string> WriteProblem();

private:
    struct Signature {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Signature& o) const;
    };

    void Adopt(const std::filesystem::path& path);

    std::filesystem::path path_;
    std::optional<Signature> signature_;
    // Set while the file is too new for its signature to prove it unchanged:
    // two writes within one tick of the file system's clock can look alike.
    bool racy_ = true;
    Tree tree_;
    LONG status_ = ERROR_SUCCESS;
    std::string problem_;
};

} // namespace winreg::detail
