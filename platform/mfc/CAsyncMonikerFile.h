#pragma once
// An address read in the background, the way a control fetches its media.
// Open starts the download and returns at once. Later, on the UI thread, a
// download that succeeded brings one data notice holding the whole reply
// (the first- and last-data flags both set), from which Read takes the
// bytes, then the stop notice with S_OK; a failed one brings the stop notice
// alone, with an error. So every download ends in exactly one of the two.
//
// Close, a new Open and destruction cancel a download under way: a closed
// file hears nothing more, not even the stop notice of a download whose data
// notice closed it. User name and password travel apart from the address.

#include "platform/com/HResult.h"
#include "platform/mfc/WinTypes.h"
#include "platform/net/DownloadService.h"

#include <cstdint>
#include <memory>
#include <string>

inline constexpr DWORD BSCF_FIRSTDATANOTIFICATION = 0x01;
inline constexpr DWORD BSCF_INTERMEDIATEDATANOTIFICATION = 0x02;
inline constexpr DWORD BSCF_LASTDATANOTIFICATION = 0x04;
inline constexpr DWORD BSCF_DATAFULLYAVAILABLE = 0x08;

// What a failed download's stop notice carries.
inline constexpr HRESULT INET_E_INVALID_URL = com::detail::Code(0x800C0002);
inline constexpr HRESULT INET_E_CANNOT_CONNECT = com::detail::Code(0x800C0004);
inline constexpr HRESULT INET_E_RESOURCE_NOT_FOUND = com::detail::Code(0x800C0005);
inline constexpr HRESULT INET_E_DOWNLOAD_FAILURE = com::detail::Code(0x800C0008);
inline constexpr HRESULT INET_E_AUTHENTICATION_REQUIRED = com::detail::Code(0x800C0009);
inline constexpr HRESULT INET_E_CONNECTION_TIMEOUT = com::detail::Code(0x800C000B);
inline constexpr HRESULT INET_E_UNKNOWN_PROTOCOL = com::detail::Code(0x800C000D);

class CAsyncMonikerFile {
public:
    explicit CAsyncMonikerFile(net::DownloadService& service = net::DownloadService::Instance());
    virtual ~CAsyncMonikerFile();
    CAsyncMonikerFile(const CAsyncMonikerFile&) = delete;
    CAsyncMonikerFile& operator=(const CAsyncMonikerFile&) = delete;

    // Closes what was open and starts downloading the address. FALSE, with
    // no notice to follow, when there is no address or no download can start.
    BOOL Open(LPCTSTR lpszURL, LPCTSTR lpszUserName = "", LPCTSTR lpszPassword = "");
    // Bytes of the reply from the current position; fewer than asked at its
    // end, none before the data notice.
    UINT Read(void* lpBuf, UINT nCount);
    // Cancels the download under way and drops the reply.
    void Close();

protected:
    virtual void OnDataAvailable(DWORD dwSize, DWORD bscfFlag);
    virtual void OnStopBinding(HRESULT hresult, LPCTSTR szError);

private:
    void complete(net::DownloadResult result);

    net::DownloadService& service_;
    std::uint64_t transfer_ = 0;
    // Counts opens and closes: a notice due to an earlier one is not given.
    std::uint64_t epoch_ = 0;
    std::string data_;
    std::size_t position_ = 0;
    // Expires with the object, which a notice's handler may delete.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};
