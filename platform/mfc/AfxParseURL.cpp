#include "platform/mfc/AfxParseURL.h"

#include <cctype>
#include <string_view>

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

bool isDrivePath(std::string_view p)
{
    return p.size() >= 3 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
           (p[2] == '\\' || p[2] == '/');
}

bool isLocalAbsolute(std::string_view p)
{
    return (!p.empty() && p[0] == '/') || isDrivePath(p) || (p.size() >= 2 && p[0] == '\\' && p[1] == '\\');
}

// "file:" URLs: the local path they name.
std::string_view filePath(std::string_view rest)
{
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        // "file:///path" and "file://C:/path" name local paths; "file://host/x"
        // a share, kept as "//host/x".
        if (!rest.empty() && rest[0] != '/' && !isDrivePath(rest))
            return {rest.data() - 2, rest.size() + 2};
    }
    return rest;
}

} // namespace

BOOL AfxParseURLEx(LPCTSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                   INTERNET_PORT& nPort, CString& strUsername, CString& strPassword, DWORD)
{
    dwServiceType = AFX_INET_SERVICE_UNK;
    strServer.clear();
    strObject.clear();
    strUsername.clear();
    strPassword.clear();
    nPort = 0;
    const std::string_view url = pstrURL ? pstrURL : "";

    if (startsWithNoCase(url, "file:")) {
        dwServiceType = AFX_INET_SERVICE_FILE;
        strObject = filePath(url.substr(5));
        return strObject.empty() ? FALSE : TRUE;
    }
    if (isLocalAbsolute(url)) {
        dwServiceType = AFX_INET_SERVICE_FILE;
        strObject = url;
        return TRUE;
    }

    std::string_view rest;
    if (startsWithNoCase(url, "http://")) {
        dwServiceType = AFX_INET_SERVICE_HTTP;
        nPort = 80;
        rest = url.substr(7);
    } else if (startsWithNoCase(url, "https://")) {
        dwServiceType = AFX_INET_SERVICE_HTTPS;
        nPort = 443;
        rest = url.substr(8);
    } else if (startsWithNoCase(url, "ftp://")) {
        dwServiceType = AFX_INET_SERVICE_FTP;
        nPort = 21;
        rest = url.substr(6);
    } else {
        return FALSE;
    }

    const std::size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    strObject = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        const std::size_t colon = user.find(':');
        strUsername = user.substr(0, colon);
        if (colon != std::string_view::npos)
            strPassword = user.substr(colon + 1);
        authority.remove_prefix(at + 1);
    }
    if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
        const std::string_view digits = authority.substr(colon + 1);
        unsigned long port = 0;
        bool valid = !digits.empty() && digits.size() <= 5;
        for (char ch : digits) {
            valid = valid && std::isdigit(static_cast<unsigned char>(ch));
            port = port * 10 + unsigned(ch - '0');
        }
        if (!valid || port == 0 || port > 65535)
            return FALSE;
        nPort = INTERNET_PORT(port);
        authority = authority.substr(0, colon);
    }
    strServer = authority;
    return strServer.empty() ? FALSE : TRUE;
}

BOOL AfxParseURL(LPCTSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                 INTERNET_PORT& nPort)
{
    CString user;
    CString password;
    return AfxParseURLEx(pstrURL, dwServiceType, strServer, strObject, nPort, user, password);
}
