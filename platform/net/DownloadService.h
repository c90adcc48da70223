#pragma once
// Downloads into memory in the background: each transfer runs the libcurl
// fetch of CurlTransfer.h on a worker thread of its own, and its completion
// is posted to the UI thread (the thread of the Qt application) as an event,
// the way the window layer posts messages. There the transfer's callback
// runs exactly once, with the bytes by value and the transfer's generation,
// unless the transfer was cancelled first: a completion that arrives after
// its cancel is dropped.
//
// Addresses: "ftp://..." over FTP, anything else over HTTP (http or https;
// redirects followed up to the options' limit, each only to an address of
// the same service as the first: an http address never leads to https). Credentials go to libcurl on
// their own, never into the address: with none given, an FTP address's own
// credentials are used, or else the anonymous login.

#include "platform/net/CurlTransfer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class QObject;

namespace net {

// The bytes come only with a success (Ok()).
struct DownloadResult : MemoryReply {
    // The transfer's generation, as Start returned it.
    std::uint64_t generation = 0;
};

class DownloadService {
public:
    using Completion = std::function<void(DownloadResult)>;

    explicit DownloadService(TransferOptions options = DefaultOptions());
    // Cancels every transfer and waits for the workers to end.
    ~DownloadService();
    DownloadService(const DownloadService&) = delete;
    DownloadService& operator=(const DownloadService&) = delete;

    // 10 s to connect, two minutes in all, five redirects, 64 MiB at most.
    static TransferOptions DefaultOptions();
    // The process's service; it ends with the Qt application.
    static DownloadService& Instance();

    // Starts fetching url; done later runs once on the UI thread. Returns the
    // transfer's generation (never 0), or 0 when nothing can start (an empty
    // address, no Qt application). Call on the UI thread.
    std::uint64_t Start(const std::string& url, const std::string& user, const std::string& password,
                        Completion done);
    // The transfer's callback will not run; its worker stops soon after.
    // Unknown, finished and cancelled generations are ignored. UI thread.
    void Cancel(std::uint64_t generation);
    // Cancels everything and waits for the workers to end.
    void Shutdown();
    // Transfers whose callback is still due.
    std::size_t Pending() const;
    // Transfers whose worker has not ended yet, cancelled ones among them.
    // With none left, nothing more is posted to the UI thread.
    std::size_t Running() const;

private:
    struct Transfer;
    struct Worker {
        std::thread thread;
        std::shared_ptr<Transfer> transfer;
    };
    class Receiver;

    void run(const std::shared_ptr<Transfer>& transfer, const std::string& url, const std::string& user,
             const std::string& password);
    void deliver(DownloadResult result);
    void reapLocked();

    const TransferOptions options_;
    std::unique_ptr<QObject> receiver_;
    mutable std::mutex mutex_;
    std::uint64_t lastGeneration_ = 0;
    std::map<std::uint64_t, std::shared_ptr<Transfer>> pending_;
    std::list<Worker> workers_;
};

} // namespace net
