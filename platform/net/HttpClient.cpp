#include "platform/net/HttpClient.h"

namespace net {

TransferOptions CurlHttpClient::DefaultOptions()
{
    TransferOptions o;
    o.maxBodyBytes = 1024 * 1024;
    return o;
}

CurlHttpClient::CurlHttpClient(TransferOptions options)
    : options_(std::move(options))
{
}

HttpResponse CurlHttpClient::Get(const std::string& url)
{
    CurlHandle handle(options_, "http,https");
    curl_easy_setopt(handle.get(), CURLOPT_HTTPGET, 1L);
    return handle.Fetch(url);
}

HttpResponse CurlHttpClient::Get(const std::string& url, const std::atomic<bool>& cancel)
{
    CurlHandle handle(options_, "http,https");
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cancel);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION,
                     +[](void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
                         return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
                     });
    return handle.Fetch(url);
}

namespace {

std::shared_ptr<HttpClient>& current()
{
    static std::shared_ptr<HttpClient> client = std::make_shared<CurlHttpClient>();
    return client;
}

} // namespace

void SetHttpClient(std::shared_ptr<HttpClient> client)
{
    current() = client ? std::move(client) : std::make_shared<CurlHttpClient>();
}

std::shared_ptr<HttpClient> CurrentHttpClient()
{
    return current();
}

} // namespace net
