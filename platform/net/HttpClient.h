#pragma once
// HTTP GET of one address into memory, behind a seam: the program asks
// CurrentHttpClient(); tests install a client of their own (a libcurl one
// with short waits, or a scripted one).

#include "platform/net/CurlTransfer.h"

#include <atomic>
#include <memory>
#include <string>

namespace net {

using HttpResponse = MemoryReply;

class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse Get(const std::string& url) = 0;
    // The same from a worker thread, given up soon after cancel is set (a
    // cancelled transfer answers ERROR_INTERNET_OPERATION_CANCELLED). A
    // client that cannot stop early answers as Get does.
    virtual HttpResponse Get(const std::string& url, const std::atomic<bool>& cancel)
    {
        (void)cancel;
        return Get(url);
    }
};

// Over libcurl: http and https only, the options' waits, redirects and cap.
class CurlHttpClient : public HttpClient {
public:
    explicit CurlHttpClient(TransferOptions options = DefaultOptions());
    HttpResponse Get(const std::string& url) override;
    // libcurl looks at cancel at least about once a second, also while it
    // waits for a server that sends nothing.
    HttpResponse Get(const std::string& url, const std::atomic<bool>& cancel) override;

    // 10 s to connect, 30 s in all, five redirects, replies up to 1 MiB.
    static TransferOptions DefaultOptions();

private:
    TransferOptions options_;
};

// nullptr restores a CurlHttpClient with the default options.
void SetHttpClient(std::shared_ptr<HttpClient> client);
std::shared_ptr<HttpClient> CurrentHttpClient();

} // namespace net
