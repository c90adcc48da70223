#include "platform/mfc/CAsyncMonikerFile.h"

#include <algorithm>
#include <cstring>

namespace {

HRESULT hresultOf(const net::DownloadResult& r)
{
    if (r.error == 0)
        return r.status == 404 || r.status == 410 ? INET_E_RESOURCE_NOT_FOUND : INET_E_DOWNLOAD_FAILURE;
    switch (r.error) {
    case net::ERROR_INTERNET_INVALID_URL: return INET_E_INVALID_URL;
    case net::ERROR_INTERNET_UNRECOGNIZED_SCHEME: return INET_E_UNKNOWN_PROTOCOL;
    case net::ERROR_INTERNET_NAME_NOT_RESOLVED: return INET_E_RESOURCE_NOT_FOUND;
    case net::ERROR_INTERNET_CANNOT_CONNECT: return INET_E_CANNOT_CONNECT;
    case net::ERROR_INTERNET_TIMEOUT: return INET_E_CONNECTION_TIMEOUT;
    case net::ERROR_INTERNET_LOGIN_FAILURE: return INET_E_AUTHENTICATION_REQUIRED;
    default: return INET_E_DOWNLOAD_FAILURE;
    }
}

} // namespace

CAsyncMonikerFile::CAsyncMonikerFile(net::DownloadService& service)
    : service_(service)
{
}

CAsyncMonikerFile::~CAsyncMonikerFile()
{
    Close();
}

BOOL CAsyncMonikerFile::Open(LPCTSTR lpszURL, LPCTSTR lpszUserName, LPCTSTR lpszPassword)
{
    Close();
    if (!lpszURL || !*lpszURL)
        return FALSE;
    transfer_ = service_.Start(lpszURL, lpszUserName ? lpszUserName : "", lpszPassword ? lpszPassword : "",
                               [this](net::DownloadResult r) { complete(std::move(r)); });
    return transfer_ != 0 ? TRUE : FALSE;
}

UINT CAsyncMonikerFile::Read(void* lpBuf, UINT nCount)
{
    const std::size_t n = std::min<std::size_t>(nCount, data_.size() - position_);
    if (n > 0)
        std::memcpy(lpBuf, data_.data() + position_, n);
    position_ += n;
    return UINT(n);
}

void CAsyncMonikerFile::Close()
{
    // The service never calls back for a cancelled transfer.
    if (transfer_ != 0)
        service_.Cancel(transfer_);
    transfer_ = 0;
    ++epoch_;
    std::string().swap(data_);
    position_ = 0;
}

void CAsyncMonikerFile::OnDataAvailable(DWORD, DWORD) {}

void CAsyncMonikerFile::OnStopBinding(HRESULT, LPCTSTR) {}

void CAsyncMonikerFile::complete(net::DownloadResult result)
{
    transfer_ = 0;
    if (!result.Ok()) {
        OnStopBinding(hresultOf(result), result.detail.c_str());
        return;
    }
    data_ = std::move(result.body);
    position_ = 0;
    const std::weak_ptr<const bool> alive = alive_;
    const std::uint64_t epoch = epoch_;
    OnDataAvailable(DWORD(data_.size()),
                    BSCF_FIRSTDATANOTIFICATION | BSCF_LASTDATANOTIFICATION | BSCF_DATAFULLYAVAILABLE);
    // The handler may have closed, reopened or deleted the file.
    if (alive.expired() || epoch != epoch_)
        return;
    OnStopBinding(S_OK, "");
}
