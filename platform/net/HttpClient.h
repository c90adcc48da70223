#pragma once
// HTTP GET of one address into memory, behind a seam: the program asks
// CurrentHttpClient(); tests install a client of their own (a libcurl one
// with short waits, or a scripted one).

#include "platform/net/CurlTransfer.h"

#include <memory>
#include <string>

namespace net {

struct HttpResponse {
    // 0 when the server answered; otherwise the Internet functions' code of
    // the failure (see CurlTransfer.h).
    int error = 0;
    // The final answer's status (after redirects); 0 when none came.
    long status = 0;
    // Only for a 2xx answer: an error page is no body.
    std::string body;
    // libcurl's own words on a failure, or the status line's reason.
    std::string detail;

    bool Ok() const { return error == 0 && status >= 200 && status <= 299; }
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse Get(const std::string& url) = 0;
};

// Over libcurl: http and https only, the options' waits, redirects and cap.
class CurlHttpClient : public HttpClient {
public:
    explicit CurlHttpClient(TransferOptions options = DefaultOptions());
    HttpResponse Get(const std::string& url) override;

    // 10 s to connect, 30 s in all, five redirects, replies up to 1 MiB.
    static TransferOptions DefaultOptions();

private:
    TransferOptions options_;
};

// nullptr restores a CurlHttpClient with the default options.
void SetHttpClient(std::shared_ptr<HttpClient> client);
std::shared_ptr<HttpClient> CurrentHttpClient();

} // namespace net
