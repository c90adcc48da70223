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

// The index whose state names dispid; -1 when none does.
template <class StateAt>
short indexOf(DISPID dispid, StateAt stateAt)
{
    for (short i = 0;; ++i) {
        const auto state = stateAt(i);
        if (!state.path)
            return -1;
        if (state.dispid == dispid)
            return i;
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

CLumvexCtrl::PictureState CLumvexCtrl::pictureState(short index)
{
    const PictureState states[] = {
        {&m_dibPicture, &m_aviPicture, &m_Picture, dispidPicture},
        {&m_dibPicturePressed, &m_aviPicturePressed, &m_PicturePressed, dispidPicturePressed},
        {&m_dibPictureMouseOver, &m_aviPictureMouseOver, &m_PictureMouseOver, dispidPictureMouseOver},
        {&m_dibPictureCustom, nullptr, &m_PictureCustom, dispidPictureCustom},
        {&m_dibTexture, nullptr, &m_Texture, dispidTexture},
        {&m_dibPictureDisabled, nullptr, &m_PictureDisabled, dispidPictureDisabled}};
    return index >= 0 && index < short(std::size(states)) ? states[index] : PictureState{};
}

CLumvexCtrl::SoundState CLumvexCtrl::soundState(short index)
{
    const SoundState states[] = {{&m_sndDown, &m_SoundDown, dispidSoundDown},
                                 {&m_sndUp, &m_SoundUp, dispidSoundUp},
                                 {&m_sndMouseOver, &m_SoundMouseOver, dispidSoundMouseOver},
                                 {&m_sndMouseOut, &m_SoundMouseOut, dispidSoundMouseOut}};
    return index >= 0 && index < short(std::size(states)) ? states[index] : SoundState{};
}

short CLumvexCtrl::pictureIndexOf(DISPID dispid)
{
    return indexOf(dispid, [this](short i) { return pictureState(i); });
}

short CLumvexCtrl::soundIndexOf(DISPID dispid)
{
    return indexOf(dispid, [this](short i) { return soundState(i); });
}

CString* CLumvexCtrl::mediaPath(DISPID dispid)
{
    if (const short i = pictureIndexOf(dispid); i >= 0)
        return pictureState(i).path;
    if (const short i = soundIndexOf(dispid); i >= 0)
        return soundState(i).path;
    return nullptr;
}

void CLumvexCtrl::loadFailed(UINT nIDS, const CString& path)
{
    CString text;
    AfxFormatString1(text, nIDS, path.c_str());
    AfxMessageBox(text.c_str(), win::MB_OK);
}

BOOL CLumvexCtrl::LoadMediaFile(const CString& path, DISPID dispid)
{
    // The shape mask loads through LoadCustomMask.
    const short slot = pictureIndexOf(dispid);
    if (slot < 0 || dispid == dispidPictureCustom)
        return FALSE;
    const PictureState state = pictureState(slot);
    CDIB& picture = *state.picture;
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
        loaded = state.anim->Load(local.c_str());
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
    const short index = soundIndexOf(dispid);
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
    if (!soundState(index).sound->Load(local.c_str())) {
        loadFailed(IDS_ERROR_OPEN_FILE, path);
        return FALSE;
    }
    return TRUE;
}

BOOL CLumvexCtrl::ReloadMediaFromUrl(DISPID dispid)
{
    const CString* stored = mediaPath(dispid);
    if (!stored)
        return FALSE;
    const CString path = *stored;
    const DWORD type = classify(path);
    // A file's media came with the stored properties.
    if (type != AFX_INET_SERVICE_HTTP && type != AFX_INET_SERVICE_FTP)
        return FALSE;
    if (soundIndexOf(dispid) >= 0)
        return LoadSoundFile(path, dispid);
    if (dispid == dispidPictureCustom) {
        m_dibPictureCustom.LoadResource(IDB_CUSTOM_SHAPE);
        return LoadCustomMask(path);
    }
    return LoadMediaFile(path, dispid);
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
        ReloadMediaFromUrl(dispid);
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

CLumvexCtrl::StateMedia CLumvexCtrl::stateMedia(short index)
{
    const PictureState s = pictureState(index);
    if (s.picture->IsValid())
        return {s.picture, nullptr};
    if (s.anim->GetFrameCount() > 0)
        return {nullptr, s.anim};
    return {};
}

CLumvexCtrl::StateMedia CLumvexCtrl::GetNormalMedia()
{
    return stateMedia(0);
}

CLumvexCtrl::StateMedia CLumvexCtrl::GetPressedMedia()
{
    return stateMedia(1);
}

CLumvexCtrl::StateMedia CLumvexCtrl::GetMouseOverMedia()
{
    return stateMedia(2);
}

CDIB* CLumvexCtrl::GetDisabledPicture()
{
    return m_dibPictureDisabled.IsValid() ? &m_dibPictureDisabled : nullptr;
}
