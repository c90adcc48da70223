#include "platform/net/FtpClient.h"

#include <cstdio>
#include <system_error>

namespace net {

namespace fs = std::filesystem;

struct CurlFtpClient::Transfer {
    CurlFtpClient* client = nullptr;
    fs::path part;
    std::FILE* file = nullptr;
    int64_t bytes = 0;
    bool writeFailed = false;

    ~Transfer()
    {
        if (file)
            std::fclose(file);
    }
};

CurlFtpClient::CurlFtpClient(TransferOptions options)
    : options_(std::move(options))
{
}

CurlFtpClient::~CurlFtpClient() = default;

TransferOptions CurlFtpClient::DefaultOptions()
{
    TransferOptions o;
    o.totalTimeout = std::chrono::hours(1);
    o.stallTimeout = std::chrono::seconds(60);
    return o;
}

void CurlFtpClient::SetStatusCallback(InternetStatusCallback callback)
{
    callback_ = std::move(callback);
}

void CurlFtpClient::status(int code, uint32_t info)
{
    if (callback_) {
        // A copy: the callback may install another one.
        InternetStatusCallback cb = callback_;
        cb(code, info);
    }
}

int CurlFtpClient::debug(CURL*, curl_infotype type, char* data, size_t size, void* self)
{
    auto* c = static_cast<CurlFtpClient*>(self);
    const auto n = static_cast<uint32_t>(size);
    switch (type) {
    case CURLINFO_HEADER_OUT:
        // Byte counts only: the text of a command may hold the password.
        c->status(INTERNET_STATUS_SENDING_REQUEST, n);
        c->status(INTERNET_STATUS_REQUEST_SENT, n);
        break;
    case CURLINFO_HEADER_IN: {
        std::string line(data, size);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        c->lastResponse_ = line;
        // While a file arrives the count is the file's bytes alone.
        if (c->reportReplies_)
            c->status(INTERNET_STATUS_RESPONSE_RECEIVED, n);
        break;
    }
    default:
        break;
    }
    return 0;
}

int CurlFtpClient::progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<CurlFtpClient*>(self)->cancel_ ? 1 : 0;
}

size_t CurlFtpClient::write(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (!t->file) {
        // Opened with the first byte, so that a refused transfer leaves no file.
        t->file = std::fopen(t->part.c_str(), "wb");
        if (!t->file) {
            t->writeFailed = true;
            return 0;
        }
    }
    if (std::fwrite(data, 1, n, t->file) != n) {
        t->writeFailed = true;
        return 0;
    }
    t->bytes += static_cast<int64_t>(n);
    t->client->status(INTERNET_STATUS_RESPONSE_RECEIVED, static_cast<uint32_t>(n));
    return n;
}

size_t CurlFtpClient::discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

bool CurlFtpClient::Connect(const std::string& host, uint16_t port, const std::string& user,
                            const std::string& password, bool passive)
{
    if (busy_) {
        lastError_ = ERROR_INTERNET_INCORRECT_HANDLE_STATE;
        return false;
    }
    handle_.reset();
    lastResponse_.clear();
    if (host.empty()) {
        lastError_ = ERROR_INTERNET_NAME_NOT_RESOLVED;
        return false;
    }
    TransferOptions o = options_;
    o.user = user;
    o.password = password;
    try {
        handle_ = std::make_unique<CurlHandle>(o, "ftp");
    } catch (const std::exception&) {
        lastError_ = ERROR_INTERNET_OUT_OF_HANDLES;
        return false;
    }
    CURL* curl = handle_->get();
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &CurlFtpClient::debug);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CurlFtpClient::progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    // Only a download writes anywhere.
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlFtpClient::discard);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    passive_ = passive;
    if (!passive)
        curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    const bool literalV6 = host.find(':') != std::string::npos && host.front() != '[';
    base_ = "ftp://" + (literalV6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/";
    // Logging in at once tells a wrong password or an absent server here, as
    // the connect of the Internet functions does.
    if (!begin())
        return false;
    curl_easy_setopt(curl, CURLOPT_URL, base_.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    const CURLcode rc = handle_->Perform();
    finish(rc);
    if (rc != CURLE_OK)
        handle_.reset();
    return rc == CURLE_OK;
}

std::string CurlFtpClient::urlOf(const std::string& remotePath) const
{
    std::string_view path = remotePath;
    while (path.starts_with("./"))
        path.remove_prefix(2);
    while (path.starts_with("/"))
        path.remove_prefix(1);
    return base_ + EscapePath(path);
}

bool CurlFtpClient::begin()
{
    if (busy_) {
        lastError_ = ERROR_INTERNET_INCORRECT_HANDLE_STATE;
        return false;
    }
    if (!handle_) {
        lastError_ = ERROR_INTERNET_INCORRECT_HANDLE_STATE;
        return false;
    }
    busy_ = true;
    cancel_ = false;
    reportReplies_ = true;
    return true;
}

void CurlFtpClient::finish(CURLcode rc)
{
    busy_ = false;
    reportReplies_ = true;
    lastError_ = InternetErrorOf(rc);
    if (rc == CURLE_RECV_ERROR || rc == CURLE_SEND_ERROR || rc == CURLE_GOT_NOTHING)
        status(INTERNET_STATUS_STATE_CHANGE, INTERNET_STATE_DISCONNECTED);
    if (cancel_) {
        cancel_ = false;
        handle_.reset();
    }
}

bool CurlFtpClient::FindFirstFile(const std::string& remotePath, FtpFindData& found)
{
    if (!begin())
        return false;
    CURL* curl = handle_->get();
    const std::string url = urlOf(remotePath);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    const CURLcode rc = handle_->Perform();
    curl_off_t size = -1;
    if (rc == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    finish(rc);
    const bool ok = rc == CURLE_OK && size >= 0;
    if (rc == CURLE_OK && !ok)
        lastError_ = ERROR_INTERNET_EXTENDED_ERROR; // the server's reply to SIZE says why
    if (ok) {
        const auto s = static_cast<uint64_t>(size);
        found.nFileSizeHigh = static_cast<uint32_t>(s >> 32);
        found.nFileSizeLow = static_cast<uint32_t>(s & 0xFFFFFFFFu);
        const size_t slash = remotePath.find_last_of('/');
        found.cFileName = slash == std::string::npos ? remotePath : remotePath.substr(slash + 1);
    }
    // The look-up's handle is closed at once.
    status(INTERNET_STATUS_HANDLE_CLOSING, 0);
    return ok;
}

bool CurlFtpClient::GetFile(const std::string& remotePath, const fs::path& localPath, bool failIfExists,
                            int64_t expectedSize)
{
    std::error_code ec;
    if (failIfExists && fs::exists(fs::symlink_status(localPath, ec))) {
        lastError_ = ERROR_FILE_EXISTS;
        return false;
    }
    if (!begin())
        return false;
    Transfer t;
    t.client = this;
    t.part = localPath;
    t.part += ".part";
    fs::remove(t.part, ec);
    CURL* curl = handle_->get();
    const std::string url = urlOf(remotePath);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlFtpClient::write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    reportReplies_ = false;
    CURLcode rc = handle_->Perform();
    if (handle_) {
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlFtpClient::discard);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    }
    finish(rc);

    bool ok = rc == CURLE_OK;
    if (ok && !t.file) {
        // An empty file brings no byte to open it with.
        t.file = std::fopen(t.part.c_str(), "wb");
        ok = t.file != nullptr;
        if (!ok)
            lastError_ = kInternetErrorUnmapped;
    }
    if (t.file) {
        const bool flushed = std::fflush(t.file) == 0;
        const bool closed = std::fclose(t.file) == 0;
        t.file = nullptr;
        if (ok && !(flushed && closed)) {
            ok = false;
            lastError_ = kInternetErrorUnmapped;
        }
    }
    if (ok && expectedSize >= 0 && t.bytes != expectedSize) {
        ok = false;
        lastError_ = ERROR_INTERNET_CONNECTION_ABORTED;
    }
    if (!ok && t.writeFailed)
        lastError_ = kInternetErrorUnmapped;
    if (ok) {
        fs::rename(t.part, localPath, ec);
        if (ec) {
            ok = false;
            lastError_ = kInternetErrorUnmapped;
        }
    }
    if (!ok)
        fs::remove(t.part, ec);
    status(INTERNET_STATUS_HANDLE_CLOSING, 0);
    return ok;
}

void CurlFtpClient::Close()
{
    if (busy_) {
        cancel_ = true;
        return;
    }
    if (handle_) {
        handle_.reset();
        status(INTERNET_STATUS_HANDLE_CLOSING, 0);
    }
}

namespace {

FtpClientFactory& factory()
{
    static FtpClientFactory f;
    return f;
}

} // namespace

void SetFtpClientFactory(FtpClientFactory f)
{
    factory() = std::move(f);
}

std::unique_ptr<FtpClient> OpenFtpSession(const std::string& agent)
{
    if (factory())
        return factory()(agent);
    TransferOptions o = CurlFtpClient::DefaultOptions();
    o.agent = agent;
    return std::make_unique<CurlFtpClient>(o);
}

} // namespace net
