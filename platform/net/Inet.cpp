#include "platform/net/Inet.h"

#include "platform/net/HttpClient.h"

namespace vb {

std::string Inet::OpenURL(const std::string& url)
{
    responseCode_ = 0;
    responseInfo_.clear();
    if (url.empty()) {
        responseCode_ = net::ERROR_INTERNET_INVALID_URL;
        responseInfo_ = "No address.";
        return {};
    }
    net::HttpResponse r = net::CurrentHttpClient()->Get(url);
    if (r.Ok())
        return std::move(r.body);
    responseCode_ = r.error != 0 ? r.error : r.status;
    responseInfo_ = r.detail;
    return {};
}

} // namespace vb
