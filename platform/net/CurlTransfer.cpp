#include "platform/net/CurlTransfer.h"

#include <mutex>
#include <stdexcept>

namespace net {

namespace {

void globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

long milliseconds(std::chrono::milliseconds d)
{
    return d.count() < 0 ? 0L : static_cast<long>(d.count());
}

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

int InternetErrorOf(CURLcode result)
{
    switch (result) {
    case CURLE_OK:
        return 0;
    case CURLE_OPERATION_TIMEDOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT:
        return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_LOGIN_DENIED:
        return ERROR_INTERNET_LOGIN_FAILURE;
    // The server refused the request; its own reply says why.
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_QUOTE_ERROR:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_COULDNT_USE_REST:
    case CURLE_HTTP_RETURNED_ERROR:
        return ERROR_INTERNET_EXTENDED_ERROR;
    case CURLE_COULDNT_CONNECT:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_ACCEPT_FAILED:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_ABORTED_BY_CALLBACK:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    case CURLE_RECURSIVE_API_CALL:
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    case CURLE_TOO_MANY_REDIRECTS:
        return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_FAILED_INIT:
    case CURLE_OUT_OF_MEMORY:
    case CURLE_BAD_FUNCTION_ARGUMENT:
        return ERROR_INTERNET_INTERNAL_ERROR;
    default:
        return kInternetErrorUnmapped;
    }
}

CurlHandle::CurlHandle(const TransferOptions& options, std::string_view protocols)
{
    globalInit();
    curl_ = curl_easy_init();
    if (!curl_)
        throw std::runtime_error("libcurl cannot create a transfer");
    const std::string allowed(protocols);
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
    // No signals: the program has threads and a GUI of its own.
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, allowed.c_str());
    curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, allowed.c_str());
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(options.connectTimeout));
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, milliseconds(options.totalTimeout));
    if (options.stallTimeout.count() > 0) {
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        // libcurl measures the stall in whole seconds.
        const long seconds = static_cast<long>((options.stallTimeout.count() + 999) / 1000);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, seconds);
    }
    curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, options.maxRedirects > 0 ? 1L : 0L);
    curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, options.maxRedirects);
    // Credentials stay with the host they were meant for.
    curl_easy_setopt(curl_, CURLOPT_UNRESTRICTED_AUTH, 0L);
    if (!options.user.empty()) {
        curl_easy_setopt(curl_, CURLOPT_USERNAME, options.user.c_str());
        curl_easy_setopt(curl_, CURLOPT_PASSWORD, options.password.c_str());
    }
    if (!options.agent.empty())
        curl_easy_setopt(curl_, CURLOPT_USERAGENT, options.agent.c_str());
    // An FTP data connection goes to the server already connected, whatever
    // address a passive reply names: a server cannot send it elsewhere.
    curl_easy_setopt(curl_, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    maxBodyBytes_ = options.maxBodyBytes;
}

CurlHandle::~CurlHandle()
{
    if (curl_)
        curl_easy_cleanup(curl_);
}

CURLcode CurlHandle::Perform()
{
    errorBuffer_[0] = '\0';
    return curl_easy_perform(curl_);
}

MemoryReply CurlHandle::Fetch(const std::string& url)
{
    MemoryReply reply;
    Sink sink;
    sink.cap = maxBodyBytes_;
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = Perform();
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, nullptr);
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &reply.status);
    if (rc == CURLE_OK) {
        if (reply.Ok())
            reply.body = std::move(sink.body);
        else
            reply.detail = "HTTP status " + std::to_string(reply.status);
        return reply;
    }
    reply.error = sink.overflow ? ERROR_INTERNET_CONNECTION_ABORTED : InternetErrorOf(rc);
    reply.detail = sink.overflow ? "The reply is larger than " + std::to_string(sink.cap) + " bytes." : ErrorDetail();
    if (reply.detail.empty())
        reply.detail = curl_easy_strerror(rc);
    return reply;
}

std::string EscapePath(std::string_view path)
{
    globalInit();
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find('/', start);
        const std::string_view segment = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (!segment.empty()) {
            char* escaped = curl_easy_escape(nullptr, segment.data(), static_cast<int>(segment.size()));
            if (!escaped)
                throw std::bad_alloc();
            out += escaped;
            curl_free(escaped);
        }
        if (slash == std::string_view::npos)
            break;
        out += '/';
        start = slash + 1;
    }
    return out;
}

} // namespace net
