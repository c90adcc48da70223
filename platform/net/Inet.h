#pragma once
// The Internet transfer control a form carries for HTTP: OpenURL fetches an
// address and answers the body as text. It goes through the HTTP seam of
// HttpClient.h.

#include <string>

namespace vb {

class Inet {
public:
    // The body of a 2xx answer; "" when the address is empty, the server
    // cannot be reached or answers anything else. ResponseCode and
    // ResponseInfo then say why.
    std::string OpenURL(const std::string& url);

    // 0 after a success; else the Internet functions' error code, or the
    // HTTP status of an answer other than 2xx.
    long ResponseCode() const { return responseCode_; }
    std::string ResponseInfo() const { return responseInfo_; }

private:
    long responseCode_ = 0;
    std::string responseInfo_;
};

} // namespace vb
