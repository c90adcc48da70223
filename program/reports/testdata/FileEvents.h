#pragma once
// For tests that count how often a file is read and rewritten: what the
// kernel saw happen to one file of a folder since the watch began (inotify),
// without a hook in the code that reads and writes it.

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace filetest {

class FileEvents {
public:
    explicit FileEvents(const std::filesystem::path& file)
        : name_(file.filename().string()), fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ >= 0)
            ::inotify_add_watch(fd_, file.parent_path().c_str(), IN_OPEN | IN_CLOSE_WRITE | IN_MOVED_TO);
    }
    ~FileEvents()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileEvents(const FileEvents&) = delete;
    FileEvents& operator=(const FileEvents&) = delete;

    bool Watching() const { return fd_ >= 0; }

    // Times the file was opened, and times it was written or replaced whole
    // (a new file renamed over it), since the last call.
    struct Counts {
        int opened = 0;
        int written = 0;
    };
    Counts Take()
    {
        Counts counts;
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && name_ == event->name) {
                    if (event->mask & IN_OPEN)
                        ++counts.opened;
                    if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO))
                        ++counts.written;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return counts;
    }

private:
    std::string name_;
    int fd_;
};

} // namespace filetest
