#pragma once
// An FTP download session as the Internet functions offer it: log in once,
// look a file up for its size, fetch files one after another over the same
// control connection, and report what happens through a status callback
// (request sent, response received with its byte count, handle closing,
// state changes). Synchronous: every call returns when its transfer has
// ended, and the callback runs on the caller's thread meanwhile.
//
// Behind a seam: the program opens sessions with OpenFtpSession(); tests
// install a factory of their own (a libcurl session with short waits, or a
// scripted one).

#include "platform/net/CurlTransfer.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace net {

// The callback's status codes.
inline constexpr int INTERNET_STATUS_SENDING_REQUEST = 30;
inline constexpr int INTERNET_STATUS_REQUEST_SENT = 31;
inline constexpr int INTERNET_STATUS_RESPONSE_RECEIVED = 41;
inline constexpr int INTERNET_STATUS_HANDLE_CLOSING = 70;
inline constexpr int INTERNET_STATUS_STATE_CHANGE = 200;
// The states a state change reports.
inline constexpr uint32_t INTERNET_STATE_CONNECTED = 0x1;
inline constexpr uint32_t INTERNET_STATE_DISCONNECTED = 0x2;
inline constexpr uint32_t INTERNET_STATE_DISCONNECTED_BY_USER = 0x10;
inline constexpr uint32_t INTERNET_STATE_IDLE = 0x100;
inline constexpr uint32_t INTERNET_STATE_BUSY = 0x200;

inline constexpr uint16_t INTERNET_DEFAULT_FTP_PORT = 21;

// What a look-up tells of a remote file.
struct FtpFindData {
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    std::string cFileName;
};

// status and the 32-bit number that goes with it (a byte count or a state).
using InternetStatusCallback = std::function<void(int status, uint32_t statusInfo)>;

class FtpClient {
public:
    virtual ~FtpClient() = default;

    virtual void SetStatusCallback(InternetStatusCallback callback) = 0;
    // Connects and logs in (an empty user logs in anonymously); false with
    // LastError when the server cannot be reached or refuses the login.
    virtual bool Connect(const std::string& host, uint16_t port, const std::string& user,
                         const std::string& password, bool passive) = 0;
    // The size and name of a remote file, by a path relative to the login
    // folder ("./" allowed in front). False when the server gives no size.
    virtual bool FindFirstFile(const std::string& remotePath, FtpFindData& found) = 0;
    // Downloads a remote file. Its bytes go to localPath + ".part", which
    // becomes localPath only once the transfer succeeded and, when
    // expectedSize is not negative, brought exactly that many bytes; on any
    // failure nothing is left under either name (an existing localPath stays
    // as it was). failIfExists refuses to replace an existing localPath.
    virtual bool GetFile(const std::string& remotePath, const std::filesystem::path& localPath, bool failIfExists,
                         int64_t expectedSize = -1) = 0;
    // The Internet functions' code of the last failure; 0 after a success.
    virtual int LastError() const = 0;
    // The server's last reply, its line end dropped.
    virtual std::string LastResponseInfo() const = 0;
    // Ends the session. Called from the status callback while a transfer
    // runs, it cancels that transfer.
    virtual void Close() = 0;
};

// Over libcurl: passive mode (EPSV, then PASV), binary transfers, the control
// connection kept between calls.
class CurlFtpClient : public FtpClient {
public:
    explicit CurlFtpClient(TransferOptions options = DefaultOptions());
    ~CurlFtpClient() override;

    void SetStatusCallback(InternetStatusCallback callback) override;
    bool Connect(const std::string& host, uint16_t port, const std::string& user, const std::string& password,
                 bool passive) override;
    bool FindFirstFile(const std::string& remotePath, FtpFindData& found) override;
    bool GetFile(const std::string& remotePath, const std::filesystem::path& localPath, bool failIfExists,
                 int64_t expectedSize = -1) override;
    int LastError() const override { return lastError_; }
    std::string LastResponseInfo() const override { return lastResponse_; }
    void Close() override;

    // 10 s to connect; a transfer gives up after 60 s without a byte or one
    // hour in all.
    static TransferOptions DefaultOptions();

private:
    struct Transfer;
    bool begin();
    void finish(CURLcode rc);
    void status(int code, uint32_t info);
    std::string urlOf(const std::string& remotePath) const;
    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* self);
    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static size_t write(char* data, size_t size, size_t count, void* transfer);
    static size_t discard(char* data, size_t size, size_t count, void* self);

    TransferOptions options_;
    std::unique_ptr<CurlHandle> handle_;
    InternetStatusCallback callback_;
    std::string base_; // "ftp://host:port/"
    bool passive_ = true;
    bool busy_ = false;
    bool cancel_ = false;
    bool reportReplies_ = true;
    int lastError_ = 0;
    std::string lastResponse_;
    std::string replyLine_;
};

using FtpClientFactory = std::function<std::unique_ptr<FtpClient>(const std::string& agent)>;
// nullptr restores sessions of CurlFtpClient with the default options.
void SetFtpClientFactory(FtpClientFactory factory);
// A new session (the agent names the program to the server where the
// protocol lets it); nullptr when none can be made.
std::unique_ptr<FtpClient> OpenFtpSession(const std::string& agent);

} // namespace net
