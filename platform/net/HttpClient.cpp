#include "platform/net/HttpClient.h"

namespace net {

namespace {

struct Sink {
    std::string body;
    std::size_t cap = 0;
    bool overflow = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (sink->cap != 0 && sink->body.size() + n > sink->cap) {
        sink->overflow = true;
        return 0; // libcurl ends the transfer with a write error
    }
    sink->body.append(data, n);
    return n;
}

} // namespace

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
    HttpResponse response;
    CurlHandle handle(options_, "http,https");
    CURL* curl = handle.get();
    Sink sink;
    sink.cap = options_.maxBodyBytes;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = handle.Perform();
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    if (rc != CURLE_OK) {
        response.error = sink.overflow ? ERROR_INTERNET_CONNECTION_ABORTED : InternetErrorOf(rc);
        response.detail = sink.overflow ? "The reply is larger than " + std::to_string(sink.cap) + " bytes."
                                        : handle.ErrorDetail();
        if (response.detail.empty())
            response.detail = curl_easy_strerror(rc);
        return response;
    }
    if (response.Ok())
        response.body = std::move(sink.body);
    else
        response.detail = "HTTP status " + std::to_string(response.status);
    return response;
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
