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
