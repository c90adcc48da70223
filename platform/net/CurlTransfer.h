#pragma once
// The libcurl setup every transfer of the program shares: bounded waits, a
// limited number of redirects, only the protocols asked for, credentials
// handed over apart from the address, a cap on what a reply may bring, and
// libcurl's results told as the Internet functions' error codes.

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace net {

// The Internet functions' error codes the program knows texts for.
inline constexpr int ERROR_INTERNET_OUT_OF_HANDLES = 12001;
inline constexpr int ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr int ERROR_INTERNET_EXTENDED_ERROR = 12003;
inline constexpr int ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr int ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr int ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr int ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr int ERROR_INTERNET_LOGIN_FAILURE = 12015;
inline constexpr int ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr int ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
inline constexpr int ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr int ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr int ERROR_INTERNET_CONNECTION_RESET = 12031;
inline constexpr int ERROR_HTTP_REDIRECT_FAILED = 12156;
// The local file exists and the caller asked not to replace it.
inline constexpr int ERROR_FILE_EXISTS = 80;
// A libcurl result without a counterpart among the codes above.
inline constexpr int kInternetErrorUnmapped = -1;

// The Internet functions' code for a libcurl result; 0 for CURLE_OK.
int InternetErrorOf(CURLcode result);

struct TransferOptions {
    // Reaching the server, and the whole transfer (zero: no limit).
    std::chrono::milliseconds connectTimeout{std::chrono::seconds(10)};
    std::chrono::milliseconds totalTimeout{std::chrono::seconds(30)};
    // Gives up when no byte arrives for this long (zero: never).
    std::chrono::milliseconds stallTimeout{0};
    long maxRedirects = 5;
    // Given to libcurl on their own, never spliced into an address.
    std::string user;
    std::string password;
    std::string agent;
    // A reply kept in memory larger than this fails (zero: no limit).
    std::size_t maxBodyBytes = 0;
};

// What a fetch into memory brought.
struct MemoryReply {
    // 0 when the server answered; otherwise the Internet functions' code of
    // the failure (a reply over the cap is an aborted connection).
    int error = 0;
    // The final answer's status over HTTP (after redirects), the last reply
    // code over FTP; 0 when none came.
    long status = 0;
    // Only for a 2xx answer: an error page is no body.
    std::string body;
    // libcurl's own words on a failure, or the status the server answered.
    std::string detail;

    bool Ok() const { return error == 0 && status >= 200 && status <= 299; }
};

// One libcurl easy handle with the options applied; the handle's own
// connection is reused by the transfers made through it.
class CurlHandle {
public:
    // protocols as libcurl spells them, "http,https" or "ftp".
    CurlHandle(const TransferOptions& options, std::string_view protocols);
    ~CurlHandle();
    CurlHandle(const CurlHandle&) = delete;
    CurlHandle& operator=(const CurlHandle&) = delete;

    CURL* get() const { return curl_; }
    // libcurl's own words for the last failure (may be empty).
    std::string ErrorDetail() const { return errorBuffer_; }
    // Runs the transfer set up on the handle.
    CURLcode Perform();
    // Fetches url into memory, at most the options' maxBodyBytes of it.
    MemoryReply Fetch(const std::string& url);

private:
    CURL* curl_ = nullptr;
    std::size_t maxBodyBytes_ = 0;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

// Each segment of a path percent-encoded, the "/" between them kept.
std::string EscapePath(std::string_view path);

} // namespace net
