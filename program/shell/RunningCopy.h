#pragma once
// One running copy of the program per program folder: two copies would run
// every scheduled report twice and write the same files. The first start
// holds a lock on the program folder for as long as it runs and answers on a
// local socket named after the folder; a later start finds the lock held,
// asks the running copy to bring its main window forward, and ends.
//
// The lock is the kernel's (flock on the folder itself): it goes with the
// process that held it, however that process ended, so a copy that crashed
// keeps no later start out; the socket file such a copy leaves is removed by
// the next copy that holds the lock before it listens.

#include <filesystem>
#include <functional>
#include <memory>

class QLocalServer;

class RunningCopy {
public:
    // Claims the folder, creating it when it is missing. When the folder
    // cannot be locked at all (it cannot be made, a file system without
    // locks) the claim counts as the first: the program runs as it would
    // without the check.
    explicit RunningCopy(std::filesystem::path programFolder);
    ~RunningCopy();
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;

    // No other copy runs on the folder: this one is to run.
    bool First() const { return first_; }

    // For the first copy: from now on, each call of a later start runs
    // comeForward on this (the UI) thread.
    void Listen(std::function<void()> comeForward);

    // For a later start: asks the running copy to come forward. True once
    // the request is handed over; false when the running copy ended
    // meanwhile (this claim then holds the folder: First() turns true) or
    // when it could not be reached within the time given.
    bool CallFirst(int milliseconds = 10000);

    // Where the copy that holds the folder listens.
    static std::filesystem::path SocketPath(const std::filesystem::path& programFolder);

private:
    bool tryLock();

    std::filesystem::path folder_;
    int fd_ = -1;
    bool first_ = true;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> comeForward_;
};
