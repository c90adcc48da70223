#pragma once
// One of the button's downloaders: it keeps a copy of the request that
// started it and, once the transfer has ended, the bytes that arrived. The
// end of a transfer is reported once, through a call queued to the UI
// thread's event loop, so the button's handler never runs inside the
// transfer's own notice; a downloader closed or restarted in the meantime
// drops it.

#include "platform/mfc/CAsyncMonikerFile.h"
#include "platform/win/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// What a download is for and, after it, what came of it.
struct NetLoadRequest {
    enum : short { kPicture = 0, kAnimation = 1, kSound = 2 };

    win::HWND hWnd = nullptr;       // the control window
    const BYTE* pData = nullptr;    // the downloaded bytes (the downloader's)
    DWORD dwSize = 0;
    short nKind = kPicture;
    short nFormat = 0;              // CPackedBuffer's format codes
    short nIndex = 0;               // the picture, animation or sound slot
    CString strAddress;
    CString strUsername;
    CString strPassword;
    BOOL bSuccess = FALSE;
};

class CNetDownloadFile : public CAsyncMonikerFile {
public:
    // Called, from the event loop, with the request of a download that ended.
    using DoneHandler = std::function<void(NetLoadRequest& request)>;

    CNetDownloadFile() = default;
    ~CNetDownloadFile() override;

    void SetDoneHandler(DoneHandler handler) { m_onDone = std::move(handler); }

    // Takes a copy of the request and opens its address (the FTP user name
    // and password travel apart from it). FALSE when nothing started; then
    // no end is reported.
    BOOL StartDownload(const NetLoadRequest& request);
    // Frees the bytes, drops any end still to be reported and cancels the
    // transfer.
    void CloseDownload();

    BOOL IsActive() const { return m_bActive; }
    NetLoadRequest& Request() { return m_request; }

protected:
    void OnDataAvailable(DWORD dwSize, DWORD bscfFlag) override;
    void OnStopBinding(HRESULT hresult, LPCTSTR szError) override;

private:
    void postDone();

    NetLoadRequest m_request;
    std::vector<BYTE> m_data;
    BOOL m_bActive = FALSE;
    DoneHandler m_onDone;
    // Counts starts and closes: a queued end of an earlier one is dropped.
    std::uint64_t m_serial = 0;
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
};
