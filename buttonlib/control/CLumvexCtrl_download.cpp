// Media from the net: the three download methods fill a request and start
// the slot's downloader; when the transfer ends, the bytes (unwrapped from a
// packed buffer when they come in one) become the slot's picture, animation
// or sound, the path takes the address, and the event tells the container.
// At design time a failure is shown, and an editor dialog that asked is told.

#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/media/CPackedBuffer.h"
#include "buttonlib/media/Compression.h"

#include "platform/mfc/AfxMessageBox.h"

namespace {

constexpr short kShapeCustom = 5;

short formatOf(short kind, const CString& address)
{
    const std::string ext = CLumvexCtrl::MediaExtension(address);
    struct Rule {
        const char* ext;
        short format;
    };
    static constexpr Rule pictures[] = {{"bmp", CPackedBuffer::kFormatBmp},   {"png", CPackedBuffer::kFormatImage},
                                        {"gif", CPackedBuffer::kFormatGif},   {"jpg", CPackedBuffer::kFormatJpg},
                                        {"qxz", CPackedBuffer::kFormatPacked}};
    static constexpr Rule animations[] = {{"avi", CPackedBuffer::kFormatAvi},
                                          {"gif", CPackedBuffer::kFormatGif},
                                          {"qxz", CPackedBuffer::kFormatPacked}};
    static constexpr Rule sounds[] = {{"wav", CPackedBuffer::kFormatWav}, {"qxz", CPackedBuffer::kFormatPacked}};
    auto find = [&ext](const auto& rules) -> short {
        for (const Rule& r : rules)
            if (ext == r.ext)
                return r.format;
        return -1;
    };
    switch (kind) {
    case NetLoadRequest::kPicture: return find(pictures);
    case NetLoadRequest::kAnimation: return find(animations);
    case NetLoadRequest::kSound: return find(sounds);
    default: return -1;
    }
}

// How many slots each kind has: pictures, animations, sounds.
constexpr short kSlotsOfKind[] = {6, 3, 4};

// The downloader slot of a request's kind and index.
int slotOf(short kind, short index)
{
    return kind == NetLoadRequest::kSound ? 6 + index : index;
}

// The bytes a handler builds its media from.
struct Payload {
    const BYTE* data = nullptr;
    DWORD size = 0;
    short format = -1;
    BOOL compressed = FALSE;
    DWORD rawSize = 0;
};

// The request's bytes, taken out of a packed buffer when they are in one;
// false (success cleared for a bad packed buffer) when there is nothing to
// build from.
bool unwrap(NetLoadRequest& request, CPackedBuffer& packed, Payload& out)
{
    if (!request.bSuccess)
        return false;
    if (!request.pData || request.dwSize == 0) {
        request.bSuccess = FALSE;
        return false;
    }
    out = {request.pData, request.dwSize, request.nFormat, FALSE, 0};
    if (request.nFormat != CPackedBuffer::kFormatPacked)
        return true;
    if (!packed.Attach(request.pData, int(request.dwSize))) {
        request.bSuccess = FALSE;
        return false;
    }
    out = {packed.GetData(), packed.GetPackedSize(), packed.GetFormatCode(), TRUE, packed.GetUnpackedSize()};
    return true;
}

// The payload's picture decoded into target; false when it does not decode.
bool decodePicture(Payload p, CDIB& target)
{
    switch (p.format) {
    case CPackedBuffer::kFormatBmp: return target.SetData(p.data, p.size, p.compressed, p.rawSize);
    case CPackedBuffer::kFormatImage:
    case CPackedBuffer::kFormatJpg: {
        // The decoders read plain bytes: a packed picture is unpacked first.
        std::vector<BYTE> plain;
        if (p.compressed) {
            if (!media::UncompressExact(p.data, p.size, p.rawSize, plain))
                return false;
            p.data = plain.data();
            p.size = DWORD(plain.size());
        }
        return p.format == CPackedBuffer::kFormatJpg ? target.LoadImageRaw(p.data, p.size)
                                                     : target.LoadImage(p.data, p.size);
    }
    default: return false;
    }
}

// The control stays alive while a handler fires its events: a sink may let
// go of it meanwhile.
class KeepAlive {
public:
    explicit KeepAlive(CLumvexCtrl& control) : control_(control) { control_.ExternalAddRef(); }
    ~KeepAlive() { control_.ExternalRelease(); }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;

private:
    CLumvexCtrl& control_;
};

} // namespace

win::WPARAM CLumvexCtrl::PackLoadDone(short kind, short index, BOOL success)
{
    return win::WPARAM(kind & 0xFF) | (win::WPARAM(index & 0xFF) << 8) | (win::WPARAM(success ? 1 : 0) << 16);
}

CLumvexCtrl::LoadDone CLumvexCtrl::UnpackLoadDone(win::WPARAM wParam)
{
    return {short(wParam & 0xFF), short((wParam >> 8) & 0xFF), BOOL((wParam >> 16) & 1)};
}

BOOL CLumvexCtrl::SetPictureFromNet(short index, CString address, CString username, CString password)
{
    return startNetLoad(NetLoadRequest::kPicture, index, std::move(address), std::move(username),
                        std::move(password));
}

BOOL CLumvexCtrl::SetAnimFromNet(short index, CString address, CString username, CString password)
{
    return startNetLoad(NetLoadRequest::kAnimation, index, std::move(address), std::move(username),
                        std::move(password));
}

BOOL CLumvexCtrl::SetSoundFromNet(short index, CString address, CString username, CString password)
{
    return startNetLoad(NetLoadRequest::kSound, index, std::move(address), std::move(username),
                        std::move(password));
}

BOOL CLumvexCtrl::startNetLoad(short kind, short index, CString address, CString username, CString password)
{
    // An index of no slot of the kind starts nothing and reports nothing.
    if (index < 0 || index >= kSlotsOfKind[kind])
        return FALSE;
    NetLoadRequest request;
    request.hWnd = m_hWnd;
    request.nKind = kind;
    request.nIndex = index;
    request.strAddress = std::move(address);
    request.strUsername = std::move(username);
    request.strPassword = std::move(password);
    request.bSuccess = TRUE;
    request.nFormat = formatOf(kind, request.strAddress);
    if (request.nFormat < 0) {
        request.bSuccess = FALSE;
        OnLoadDone(request);
        return FALSE;
    }
    CNetDownloadFile& downloader = m_download[size_t(slotOf(kind, index))];
    downloader.SetDoneHandler([this](NetLoadRequest& done) {
        KeepAlive hold(*this);
        switch (done.nKind) {
        case NetLoadRequest::kPicture: OnPictureDownloaded(done); break;
        case NetLoadRequest::kAnimation: OnAnimDownloaded(done); break;
        case NetLoadRequest::kSound: OnSoundDownloaded(done); break;
        default: break;
        }
    });
    if (!downloader.StartDownload(request)) {
        // Nothing will arrive: the failure is told now.
        request.bSuccess = FALSE;
        OnLoadDone(request);
        return FALSE;
    }
    return TRUE;
}

void CLumvexCtrl::takeDownloadedPath(DISPID dispid, const CString& address)
{
    *mediaPath(dispid) = address;
    BoundPropertyChanged(dispid);
}

void CLumvexCtrl::CloseDownloads()
{
    for (CNetDownloadFile& downloader : m_download)
        downloader.CloseDownload();
}

void CLumvexCtrl::OnPictureDownloaded(NetLoadRequest& request)
{
    // The request may go with its downloader in OnLoadDone.
    const short index = request.nIndex;
    const CString address = request.strAddress;
    CPackedBuffer packed;
    Payload p;
    const bool unwrapped = unwrap(request, packed, p);
    if (unwrapped && (p.format == CPackedBuffer::kFormatAvi || p.format == CPackedBuffer::kFormatGif)) {
        OnAnimDownloaded(request);
        return;
    }
    bool taken = false;
    if (unwrapped) {
        // The shape mask is decoded aside and kept one bit deep.
        CDIB scratch;
        const PictureState state = pictureState(index);
        CDIB& target = index == 3 ? scratch : *state.picture;
        taken = decodePicture(p, target) &&
                (index != 3 || monoMaskFrom(scratch, nullptr, m_dibPictureCustom));
        if (taken) {
            if (state.anim)
                state.anim->Empty();
            takeDownloadedPath(state.dispid, address);
            if (index == 4)
                m_bRebuildFaces = TRUE;
        } else {
            request.bSuccess = FALSE;
        }
    }
    OnLoadDone(request);
    if (!taken)
        return;
    if (index != 3) {
        RefreshAfterChange();
    } else if (m_Shape == kShapeCustom) {
        m_bRebuildFaces = TRUE;
        InvalidateButton(TRUE);
    }
    SetModifiedFlag(TRUE);
}

void CLumvexCtrl::OnAnimDownloaded(NetLoadRequest& request)
{
    CPackedBuffer packed;
    Payload p;
    if (!unwrap(request, packed, p)) {
        OnLoadDone(request);
        return;
    }
    // Decoded aside: a failure leaves the state's animation as it was.
    CAnim loaded;
    const bool animationFormat = p.format == CPackedBuffer::kFormatAvi || p.format == CPackedBuffer::kFormatGif;
    if (!animationFormat || request.nIndex < 0 || request.nIndex > 2 ||
        !loaded.SetData(p.data, int(p.size), p.compressed, p.rawSize)) {
        request.bSuccess = FALSE;
        OnLoadDone(request);
        return;
    }
    const short index = request.nIndex;
    const PictureState state = pictureState(index);
    state.picture->Empty();
    if (index == 1) {
        // The pressed state shows the first frame as its picture.
        if (CDIB* first = loaded.GetFrame(0))
            state.picture->Copy(*first);
        state.anim->Empty();
    } else {
        *state.anim = loaded;
    }
    takeDownloadedPath(state.dispid, request.strAddress);
    if (index == 0 || (index == 2 && m_bMouseOver))
        startStateAnimation(index);
    OnLoadDone(request);
    RefreshAfterChange();
    SetModifiedFlag(TRUE);
}

void CLumvexCtrl::OnSoundDownloaded(NetLoadRequest& request)
{
    CPackedBuffer packed;
    Payload p;
    CSound scratch;
    if (unwrap(request, packed, p) &&
        (p.format != CPackedBuffer::kFormatWav || !scratch.SetData(p.data, int(p.size), p.compressed, p.rawSize)))
        request.bSuccess = FALSE;
    if (!request.bSuccess) {
        OnLoadDone(request);
        return;
    }
    const SoundState state = soundState(request.nIndex);
    *state.sound = scratch;
    takeDownloadedPath(state.dispid, request.strAddress);
    OnLoadDone(request);
    RefreshAfterChange();
    SetModifiedFlag(TRUE);
}

void CLumvexCtrl::OnLoadDone(NetLoadRequest& request)
{
    // The request may live in the downloader closed below.
    const short kind = request.nKind;
    const short index = request.nIndex;
    const BOOL success = request.bSuccess;
    const CString address = request.strAddress;

    DISPID event = DISPID_EVT_PICTUREDLLDONE;
    win::HWND* notify = &m_hWndPictureLoadNotify;
    if (kind == NetLoadRequest::kAnimation) {
        event = DISPID_EVT_ANIMDLLDONE;
    } else if (kind == NetLoadRequest::kSound) {
        event = DISPID_EVT_SOUNDDLLDONE;
        notify = &m_hWndSoundLoadNotify;
    } else if (kind != NetLoadRequest::kPicture) {
        return;
    }
    const int slot = slotOf(kind, index);
    if (index >= 0 && index < kSlotsOfKind[kind])
        m_download[size_t(slot)].CloseDownload();

    // A shape that failed to arrive keeps the button visible with the
    // built-in mask, as a mask file that fails to load does.
    if (!success && kind == NetLoadRequest::kPicture && index == 3 && !m_dibPictureCustom.IsValid()) {
        m_dibPictureCustom.LoadResource(IDB_CUSTOM_SHAPE);
        if (m_Shape == kShapeCustom) {
            m_bRebuildFaces = TRUE;
            InvalidateButton(TRUE);
        }
    }

    FireEvent(event, {com::EventArg::I2(index), com::EventArg::Bool(success != FALSE)});
    if (AmbientUserMode())
        return;
    if (!success)
        loadFailed(IDS_ERROR_OPEN_FILE, address);
    if (*notify) {
        win::PostMessage(*notify, UM_LOAD_DONE, PackLoadDone(kind, index, success), 0);
        *notify = nullptr;
    }
}
