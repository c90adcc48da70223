#include "platform/net/DownloadService.h"

#include "platform/basic/Strings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace net {

namespace {

const QEvent::Type kCompletionEvent = QEvent::Type(QEvent::registerEventType());

class CompletionEvent final : public QEvent {
public:
    explicit CompletionEvent(DownloadResult result)
        : QEvent(kCompletionEvent), result(std::move(result))
    {
    }
    DownloadResult result;
};

// The one service an address is fetched over, and so the only one its
// redirects may lead to: a redirect goes nowhere the address itself could
// not. An address without a scheme is an HTTP one.
const char* serviceOf(std::string_view url)
{
    if (vb::SameText(url.substr(0, 6), "ftp://"))
        return "ftp";
    if (vb::SameText(url.substr(0, 8), "https://"))
        return "https";
    return "http";
}

} // namespace

struct DownloadService::Transfer {
    std::uint64_t generation = 0;
    // Set by a cancel on the UI thread; the worker's libcurl checks it.
    std::atomic<bool> cancel{false};
    // The worker has posted what it had to and is about to end.
    std::atomic<bool> finished{false};
    // Touched on the UI thread only.
    Completion done;
};

// Lives on the UI thread; completions posted to it are handed back to the
// service there. Deleting it discards what is still queued for it.
class DownloadService::Receiver final : public QObject {
public:
    explicit Receiver(DownloadService* service)
        : service_(service)
    {
    }
    bool event(QEvent* e) override
    {
        if (e->type() != kCompletionEvent)
            return QObject::event(e);
        service_->deliver(std::move(static_cast<CompletionEvent*>(e)->result));
        return true;
    }

private:
    DownloadService* service_;
};

TransferOptions DownloadService::DefaultOptions()
{
    TransferOptions o;
    o.connectTimeout = std::chrono::seconds(10);
    o.totalTimeout = std::chrono::minutes(2);
    o.maxRedirects = 5;
    o.maxBodyBytes = 64u * 1024 * 1024;
    return o;
}

DownloadService::DownloadService(TransferOptions options)
    : options_(std::move(options)), receiver_(std::make_unique<Receiver>(this))
{
    if (QCoreApplication* app = QCoreApplication::instance(); app && receiver_->thread() != app->thread())
        receiver_->moveToThread(app->thread());
}

DownloadService::~DownloadService()
{
    Shutdown();
    // No worker is left to post; what they posted goes with the receiver.
    receiver_.reset();
}

DownloadService& DownloadService::Instance()
{
    static DownloadService service;
    static std::once_flag hooked;
    // Transfers end with the application, before its event loop is gone.
    std::call_once(hooked, [] { qAddPostRoutine([] { service.Shutdown(); }); });
    return service;
}

std::uint64_t DownloadService::Start(const std::string& url, const std::string& user, const std::string& password,
                                     Completion done)
{
    if (url.empty() || !QCoreApplication::instance() || !done)
        return 0;
    auto transfer = std::make_shared<Transfer>();
    transfer->done = std::move(done);
    std::lock_guard lock(mutex_);
    reapLocked();
    transfer->generation = ++lastGeneration_;
    // Its completion is delivered on this thread, so after this call has
    // entered it among the pending ones.
    workers_.push_back({std::thread([this, transfer, url, user, password] { run(transfer, url, user, password); }),
                        transfer});
    pending_.emplace(transfer->generation, transfer);
    return transfer->generation;
}

void DownloadService::run(const std::shared_ptr<Transfer>& transfer, const std::string& url,
                          const std::string& user, const std::string& password)
{
    DownloadResult result;
    TransferOptions o = options_;
    o.user = user;
    o.password = password;
    try {
        CurlHandle handle(o, serviceOf(url));
        CURL* curl = handle.get();
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, transfer.get());
        curl_easy_setopt(
            curl, CURLOPT_XFERINFOFUNCTION,
            +[](void* t, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
                return static_cast<Transfer*>(t)->cancel.load() ? 1 : 0;
            });
        static_cast<MemoryReply&>(result) = handle.Fetch(url);
    } catch (const std::exception& e) {
        result.error = ERROR_INTERNET_OUT_OF_HANDLES;
        result.detail = e.what();
    }
    result.generation = transfer->generation;
    // The receiver outlives every worker: the service joins them first.
    if (!transfer->cancel)
        QCoreApplication::postEvent(receiver_.get(), new CompletionEvent(std::move(result)));
    transfer->finished = true;
}

void DownloadService::deliver(DownloadResult result)
{
    std::shared_ptr<Transfer> transfer;
    {
        std::lock_guard lock(mutex_);
        reapLocked();
        const auto it = pending_.find(result.generation);
        if (it == pending_.end())
            return; // cancelled while the completion was on its way
        transfer = std::move(it->second);
        pending_.erase(it);
    }
    // Taken out first: the callback may start or cancel transfers.
    Completion done = std::move(transfer->done);
    done(std::move(result));
}

void DownloadService::Cancel(std::uint64_t generation)
{
    std::shared_ptr<Transfer> transfer;
    {
        std::lock_guard lock(mutex_);
        const auto it = pending_.find(generation);
        if (it == pending_.end())
            return;
        transfer = std::move(it->second);
        pending_.erase(it);
        transfer->cancel = true;
        reapLocked();
    }
    // Whatever the callback holds goes here, outside the lock.
    transfer->done = nullptr;
}

void DownloadService::Shutdown()
{
    std::list<Worker> workers;
    std::map<std::uint64_t, std::shared_ptr<Transfer>> pending;
    {
        std::lock_guard lock(mutex_);
        for (Worker& w : workers_)
            w.transfer->cancel = true;
        workers.swap(workers_);
        pending.swap(pending_);
    }
    for (Worker& w : workers)
        w.thread.join();
}

std::size_t DownloadService::Pending() const
{
    std::lock_guard lock(mutex_);
    return pending_.size();
}

std::size_t DownloadService::Running() const
{
    std::lock_guard lock(mutex_);
    std::size_t running = 0;
    for (const Worker& w : workers_)
        running += w.transfer->finished ? 0 : 1;
    return running;
}

// Workers that have ended are joined, which returns at once.
void DownloadService::reapLocked()
{
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->transfer->finished) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace net
