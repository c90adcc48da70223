// A button downloader: the request's copy, the bytes that arrived, and the
// one report of the transfer's end.

#include "buttonlib/control/CNetDownloadFile.h"

#include "platform/mfc/AfxParseURL.h"

#include <QCoreApplication>
#include <QMetaObject>

CNetDownloadFile::~CNetDownloadFile()
{
    // The base cancels the transfer; the queued report sees m_alive expire.
    m_request.pData = nullptr;
}

BOOL CNetDownloadFile::StartDownload(const NetLoadRequest& request)
{
    // A new request for a busy slot replaces the running one.
    CloseDownload();
    m_bActive = TRUE;
    m_request = request;
    m_request.pData = nullptr;
    m_request.dwSize = 0;
    // Only HTTP and FTP: any other service (HTTPS among them) opens nothing.
    DWORD service = AFX_INET_SERVICE_UNK;
    CString server, object;
    INTERNET_PORT port = 0;
    AfxParseURL(m_request.strAddress.c_str(), service, server, object, port);
    if ((service != AFX_INET_SERVICE_HTTP && service != AFX_INET_SERVICE_FTP) ||
        !Open(m_request.strAddress.c_str(), m_request.strUsername.c_str(), m_request.strPassword.c_str())) {
        m_bActive = FALSE;
        return FALSE;
    }
    return TRUE;
}

void CNetDownloadFile::CloseDownload()
{
    ++m_serial;
    m_data.clear();
    m_data.shrink_to_fit();
    m_request.pData = nullptr;
    m_request.dwSize = 0;
    m_bActive = FALSE;
    Close();
}

void CNetDownloadFile::OnDataAvailable(DWORD dwSize, DWORD bscfFlag)
{
    if (!(bscfFlag & BSCF_LASTDATANOTIFICATION))
        return;
    m_data.assign(dwSize, 0);
    const UINT got = dwSize ? Read(m_data.data(), UINT(dwSize)) : 0;
    m_data.resize(got);
    m_request.pData = m_data.empty() ? nullptr : m_data.data();
    m_request.dwSize = DWORD(m_data.size());
    postDone();
}

void CNetDownloadFile::OnStopBinding(HRESULT hresult, LPCTSTR)
{
    // A successful transfer was reported with its data.
    if (!FAILED(hresult))
        return;
    m_request.bSuccess = FALSE;
    postDone();
}

void CNetDownloadFile::postDone()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    std::weak_ptr<const bool> alive = m_alive;
    const std::uint64_t serial = m_serial;
    QMetaObject::invokeMethod(
        app,
        [this, alive, serial] {
            if (alive.expired() || serial != m_serial || !m_bActive || !m_onDone)
                return;
            m_onDone(m_request);
        },
        Qt::QueuedConnection);
}
