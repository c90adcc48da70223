// The media of the path properties: local files are read at once by their
// extension, http addresses go to the downloaders, and a designer who has
// not allowed loading from the net sees placeholders instead.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/AfxParseURL.h"
#include "platform/mfc/CException.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr short kShapeCustom = 5;

// The service a path names, and for a local file the file's path.
DWORD classify(const CString& path, CString* local = nullptr)
{
    DWORD type = AFX_INET_SERVICE_UNK;
    CString server, object;
    INTERNET_PORT port = 0;
    AfxParseURL(path.c_str(), type, server, object, port);
    if (local)
        *local = object;
    return type;
}

// The download slot of a picture property, -1 for any other.
short pictureSlot(DISPID dispid)
{
    switch (dispid) {
    case dispidPicture: return 0;
    case dispidPicturePressed: return 1;
    case dispidPictureMouseOver: return 2;
    case dispidPictureCustom: return 3;
    case dispidTexture: return 4;
    case dispidPictureDisabled: return 5;
    default: return -1;
    }
}

short soundIndex(DISPID dispid)
{
    switch (dispid) {
    case dispidSoundDown: return 0;
    case dispidSoundUp: return 1;
    case dispidSoundMouseOver: return 2;
    case dispidSoundMouseOut: return 3;
    default: return -1;
    }
}

} // namespace

std::string CLumvexCtrl::MediaExtension(const CString& path)
{
    std::string ext = path.size() > 3 ? path.substr(path.size() - 3) : path;
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

CString* CLumvexCtrl::mediaPath(DISPID dispid)
{
    switch (dispid) {
    case dispidSoundDown: return &m_SoundDown;
    case dispidSoundUp: return &m_SoundUp;
    case dispidSoundMouseOver: return &m_SoundMouseOver;
    case dispidSoundMouseOut: return &m_SoundMouseOut;
    case dispidPicture: return &m_Picture;
    case dispidPicturePressed: return &m_PicturePressed;
    case dispidPictureMouseOver: return &m_PictureMouseOver;
    case dispidPictureCustom: return &m_PictureCustom;
    case dispidTexture: return &m_Texture;
    case dispidPictureDisabled: return &m_PictureDisabled;
    default: return nullptr;
    }
}

void CLumvexCtrl::loadFailed(UINT nIDS, const CString& path)
{
    CString text;
    AfxFormatString1(text, nIDS, path.c_str());
    AfxMessageBox(text.c_str(), win::MB_OK);
}

BOOL CLumvexCtrl::LoadMediaFile(const CString& path, DISPID dispid)
{
    CDIB* pictures[] = {&m_dibPicture, &m_dibPicturePressed, &m_dibPictureMouseOver, nullptr, &m_dibTexture,
                        &m_dibPictureDisabled};
    CAnim* animations[] = {&m_aviPicture, &m_aviPicturePressed, &m_aviPictureMouseOver};
    const short slot = pictureSlot(dispid);
    if (slot < 0 || !pictures[slot])
        return FALSE;
    CDIB& picture = *pictures[slot];
    CString local;
    switch (classify(path, &local)) {
    case AFX_INET_SERVICE_FTP: return FALSE;
    case AFX_INET_SERVICE_HTTP:
        if (AmbientUserMode() || m_EnableInternetLoadAtDT)
            return SetPictureFromNet(slot, path, "", "");
        picture.LoadResource(IDB_DOWNLOAD_PICTURE);
        return TRUE;
    case AFX_INET_SERVICE_FILE: break;
    default: return FALSE;
    }

    const std::string ext = MediaExtension(path);
    BOOL loaded = FALSE;
    if (ext == "bmp") {
        loaded = picture.Load(local.c_str());
    } else if (ext == "png") {
        loaded = picture.LoadImage(local.c_str());
    } else if (ext == "jpg") {
        loaded = picture.LoadImageRaw(local.c_str());
    } else if (ext == "avi" || ext == "gif") {
        if (dispid == dispidTexture) {
            AfxMessageBox(IDS_INVALID_TEXTURE, win::MB_OK);
            return FALSE;
        }
        // The disabled state shows pictures only.
        if (dispid == dispidPictureDisabled) {
            loadFailed(IDS_INVALID_EXTENSION, path);
            return FALSE;
        }
        loaded = animations[slot]->Load(local.c_str());
        if (loaded && dispid == dispidPicture)
            startStateAnimation(0);
    } else {
        loadFailed(IDS_INVALID_EXTENSION, path);
        return FALSE;
    }
    if (!loaded) {
        loadFailed(IDS_ERROR_OPEN_FILE, path);
        return FALSE;
    }
    return TRUE;
}

BOOL CLumvexCtrl::LoadCustomMask(const CString& path)
{
    CString local;
    switch (classify(path, &local)) {
    case AFX_INET_SERVICE_FTP:
    case AFX_INET_SERVICE_HTTP:
        if (AmbientUserMode() || m_EnableInternetLoadAtDT)
            return SetPictureFromNet(3, path, "", "");
        m_dibPictureCustom.LoadResource(IDB_DOWNLOAD_SHAPE);
        return TRUE;
    case AFX_INET_SERVICE_FILE: break;
    default: return FALSE;
    }

    const std::string ext = MediaExtension(path);
    CDIB picture;
    BOOL loaded = FALSE;
    if (ext == "bmp")
        loaded = picture.Load(local.c_str());
    else if (ext == "png")
        loaded = picture.LoadImage(local.c_str());
    else {
        loadFailed(IDS_NOT_MONOCHROME, path);
        return FALSE;
    }
    if (!loaded) {
        loadFailed(IDS_ERROR_OPEN_FILE, path);
        return FALSE;
    }
    if (picture.GetBitCount() != 1) {
        loadFailed(IDS_NOT_MONOCHROME, path);
        return FALSE;
    }

    // The mask is framed by one pixel of colour index 0 on every side, so
    // the shape never touches the button's edge.
    const int w = int(picture.GetWidth());
    const int h = int(picture.GetHeight());
    CDIB mask;
    try {
        mask.CreateFromHeader(w + 2, h + 2, picture.GetInfo(), 0);
    } catch (const CMemoryException&) {
        loadFailed(IDS_ERROR_OPEN_FILE, path);
        return FALSE;
    }
    if (!mask.IsValid()) {
        loadFailed(IDS_ERROR_OPEN_FILE, path);
        return FALSE;
    }
    std::memset(mask.GetBits(), 0, mask.GetImageSize());
    picture.StretchBltInto(mask, 1, 1, w, h, 0, 0, w, h, SRCCOPY);
    m_dibPictureCustom.Copy(mask);
    if (m_Shape == kShapeCustom) {
        m_bRebuildFaces = TRUE;
        InvalidateButton(TRUE);
    }
    return TRUE;
}

BOOL CLumvexCtrl::LoadSoundFile(const CString& path, DISPID dispid)
{
    CSound* sounds[] = {&m_sndDown, &m_sndUp, &m_sndMouseOver, &m_sndMouseOut};
    const short index = soundIndex(dispid);
    if (index < 0)
        return FALSE;
    CString local;
    switch (classify(path, &local)) {
    case AFX_INET_SERVICE_FTP: return FALSE;
    case AFX_INET_SERVICE_HTTP:
        // A designer who has not allowed it hears no sound from the net.
        if (AmbientUserMode() || m_EnableInternetLoadAtDT)
            return SetSoundFromNet(index, path, "", "");
        return TRUE;
    case AFX_INET_SERVICE_FILE: break;
    default: return FALSE;
    }
    if (MediaExtension(path) != "wav") {
        loadFailed(IDS_INVALID_EXTENSION, path);
        return FALSE;
    }
    if (!sounds[index]->Load(local.c_str())) {
        loadFailed(IDS_ERROR_OPEN_FILE, path);
        return FALSE;
    }
    return TRUE;
}

BOOL CLumvexCtrl::ReloadMediaFromUrl(DISPID dispid)
{
    if (pictureSlot(dispid) < 0)
        return FALSE;
    const CString path = *mediaPath(dispid);
    const DWORD type = classify(path);
    // A file's media came with the stored properties.
    if (type != AFX_INET_SERVICE_HTTP && type != AFX_INET_SERVICE_FTP)
        return FALSE;
    if (dispid == dispidPictureCustom) {
        m_dibPictureCustom.LoadResource(IDB_CUSTOM_SHAPE);
        return LoadCustomMask(path);
    }
    return LoadMediaFile(path, dispid);
}

BOOL CLumvexCtrl::ReloadSoundFromUrl(DISPID dispid)
{
    if (soundIndex(dispid) < 0)
        return FALSE;
    const CString path = *mediaPath(dispid);
    const DWORD type = classify(path);
    if (type != AFX_INET_SERVICE_HTTP && type != AFX_INET_SERVICE_FTP)
        return FALSE;
    return LoadSoundFile(path, dispid);
}

void CLumvexCtrl::ReloadNetworkMedia()
{
    if (!m_bReloadOnCreate)
        return;
    for (DISPID dispid : {dispidPicture, dispidPictureMouseOver, dispidPicturePressed})
        ReloadMediaFromUrl(dispid);
    if (m_PictureCustom.empty())
        m_dibPictureCustom.LoadResource(IDB_CUSTOM_SHAPE);
    else
        ReloadMediaFromUrl(dispidPictureCustom);
    ReloadMediaFromUrl(dispidTexture);
    ReloadMediaFromUrl(dispidPictureDisabled);
    for (DISPID dispid : {dispidSoundDown, dispidSoundUp, dispidSoundMouseOver, dispidSoundMouseOut})
        ReloadSoundFromUrl(dispid);
    if (m_curCursor.HasData()) {
        m_curCursor.MakeCursor();
        if (m_hCursor && m_hCursor != m_curCursor.GetHandle())
            win::DestroyCursor(m_hCursor);
        m_hCursor = m_curCursor.GetHandle();
    }
    m_bReloadOnCreate = FALSE;
}

void CLumvexCtrl::startStateAnimation(short index)
{
    switch (index) {
    case 0: StartNormalAnimation(); break;
    case 1: StartPressedAnimation(); break;
    case 2: StartMouseOverAnimation(); break;
    default: break;
    }
}

// --- What the states show ------------------------------------------------------------------

CLumvexCtrl::StateMedia CLumvexCtrl::GetNormalMedia()
{
    if (m_dibPicture.IsValid())
        return {&m_dibPicture, nullptr};
    if (m_aviPicture.GetFrameCount() > 0)
        return {nullptr, &m_aviPicture};
    return {};
}

CLumvexCtrl::StateMedia CLumvexCtrl::GetPressedMedia()
{
    if (m_dibPicturePressed.IsValid())
        return {&m_dibPicturePressed, nullptr};
    if (m_aviPicturePressed.GetFrameCount() > 0)
        return {nullptr, &m_aviPicturePressed};
    return {};
}

CLumvexCtrl::StateMedia CLumvexCtrl::GetMouseOverMedia()
{
    if (m_dibPictureMouseOver.IsValid())
        return {&m_dibPictureMouseOver, nullptr};
    if (m_aviPictureMouseOver.GetFrameCount() > 0)
        return {nullptr, &m_aviPictureMouseOver};
    return {};
}

CDIB* CLumvexCtrl::GetDisabledPicture()
{
    return m_dibPictureDisabled.IsValid() ? &m_dibPictureDisabled : nullptr;
}
