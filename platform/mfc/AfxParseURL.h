#pragma once
// The one classifier of media paths and addresses: which service a path
// names and, for an address, its server, object, port and credentials.
//
//   http://...                      AFX_INET_SERVICE_HTTP (port 80)
//   https://...                     AFX_INET_SERVICE_HTTPS (port 443): a
//                                   service of its own, which no caller takes
//   ftp://[user[:password]@]...     AFX_INET_SERVICE_FTP (port 21)
//   file:..., /..., X:\..., X:/..., \\...
//                                   AFX_INET_SERVICE_FILE; the object is the
//                                   local path
//   anything else (relative paths, bare names, the markers "Bmp", "Avi",
//   "Wav", other schemes)           AFX_INET_SERVICE_UNK, FALSE
//
// Schemes compare without case. An address's object is its path from the
// first "/" after the server ("/" when it has none). An address without a
// server, or with a port that is no number from 1 to 65535, gives FALSE
// with its service type set.

#include "platform/mfc/WinTypes.h"

using INTERNET_PORT = WORD;

inline constexpr DWORD AFX_INET_SERVICE_FTP = 1;
inline constexpr DWORD AFX_INET_SERVICE_GOPHER = 2;
inline constexpr DWORD AFX_INET_SERVICE_HTTP = 3;
inline constexpr DWORD AFX_INET_SERVICE_UNK = 0x1000;
inline constexpr DWORD AFX_INET_SERVICE_FILE = AFX_INET_SERVICE_UNK + 1;
inline constexpr DWORD AFX_INET_SERVICE_HTTPS = AFX_INET_SERVICE_UNK + 11;

BOOL AfxParseURL(LPCTSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                 INTERNET_PORT& nPort);
BOOL AfxParseURLEx(LPCTSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                   INTERNET_PORT& nPort, CString& strUsername, CString& strPassword, DWORD dwFlags = 0);
