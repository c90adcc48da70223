#include "buttonlib/editor/CSoundCursorPickerDlg.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/ControlIds.h"
#include "buttonlib/editor/MediaSlotBitmaps.h"
#include "buttonlib/editor/UrlDialog.h"
#include "buttonlib/media/CDIB.h"

#include "platform/audio/WaveFile.h"
#include "platform/basic/FlagScope.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/AfxParseURL.h"
#include "platform/mfc/CDataExchange.h"
#include "platform/mfc/CFileDialog.h"

namespace {

using D = CSoundCursorPickerDlg;

struct PickerItem {
    MediaSlot::PathProperty property;
    CSound CLumvexCtrl::*sound;  // null for the cursor
};

// By item index: the four sounds in download order, then the cursor.
const PickerItem kPickerItems[D::kItemCount] = {
    {{&CLumvexCtrl::m_SoundDown, &CLumvexCtrl::OnSoundDownChanged}, &CLumvexCtrl::m_sndDown},
    {{&CLumvexCtrl::m_SoundUp, &CLumvexCtrl::OnSoundUpChanged}, &CLumvexCtrl::m_sndUp},
    {{&CLumvexCtrl::m_SoundMouseOver, &CLumvexCtrl::OnSoundMouseOverChanged}, &CLumvexCtrl::m_sndMouseOver},
    {{&CLumvexCtrl::m_SoundMouseOut, &CLumvexCtrl::OnSoundMouseOutChanged}, &CLumvexCtrl::m_sndMouseOut},
    {{&CLumvexCtrl::m_Cursor, &CLumvexCtrl::OnCursorChanged}, nullptr},
};

constexpr DWORD kImageButton = BS_BITMAP;
constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

// The radios in group order: their place in the group is the item index.
constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::GroupBox, "Select the item to change", 0, 7, 4, 212, 82},
    {D::IDC_SOUND_DOWN, DialogItemKind::RadioButton, "Sound played when the button is pressed", WS_GROUP, 14, 17,
     202, 10},
    {D::IDC_SOUND_UP, DialogItemKind::RadioButton, "Sound played when the button is released", 0, 14, 30, 202, 10},
    {D::IDC_SOUND_MOUSE_OVER, DialogItemKind::RadioButton, "Sound played when the mouse enters the button area", 0,
     14, 43, 202, 10},
    {D::IDC_SOUND_MOUSE_OUT, DialogItemKind::RadioButton, "Sound played when the mouse leaves the button area", 0,
     14, 56, 202, 10},
    {D::IDC_CURSOR, DialogItemKind::RadioButton, "Cursor (Mouse pointer)", 0, 14, 69, 202, 10},
    {MediaSlot::IDC_BROWSE, DialogItemKind::PushButton, "&Browse...", kImageButton | WS_GROUP, 14, 94, 36, 22},
    {MediaSlot::IDC_INTERNET, DialogItemKind::PushButton, "&Internet...", kImageButton, 56, 94, 36, 22},
    {MediaSlot::IDC_CLEAR, DialogItemKind::PushButton, "&Clear", kImageButton, 98, 94, 36, 22},
    {IDC_STATIC, DialogItemKind::GroupBox, "Preview", 0, 225, 4, 80, 82},
    {D::IDC_PREVIEW, DialogItemKind::PushButton, "", BS_FLAT | BS_BITMAP | WS_GROUP, 231, 17, 40, 60},
    {D::IDC_PLAY, DialogItemKind::PushButton, "", kImageButton, 276, 21, 24, 22},
    {D::IDC_STOP, DialogItemKind::PushButton, "", kImageButton, 276, 51, 24, 22},
    {D::IDC_CLOSE, DialogItemKind::PushButton, "Close", BS_DEFPUSHBUTTON | WS_GROUP, 196, 128, 52, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", 0, 253, 128, 52, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Sounds and cursors picker", 312, 150, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

void tell(UINT id, const CString& insert)
{
    CString text;
    AfxFormatString1(text, id, insert.c_str());
    AfxMessageBox(text.c_str(), win::MB_OK);
}

bool isAddress(const CString& path)
{
    DWORD service = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 0;
    // The service is named even for an address the parser refuses.
    AfxParseURL(path.c_str(), service, server, object, port);
    return service == AFX_INET_SERVICE_HTTP || service == AFX_INET_SERVICE_FTP;
}

} // namespace

CSoundCursorPickerDlg::CSoundCursorPickerDlg(COlePropertyPageEnh* page)
    : CSettingsDialog(IDD, page),
      m_buttonImages(*this, page, kPickerItems[kSoundDown].property, MediaSlot::Files::PicturesAndAnimations,
                     IDS_SOUND_FILTER),
      m_images{{{MediaSlotBitmaps::IDB_PLAY},
                {MediaSlotBitmaps::IDB_STOP},
                {MediaSlotBitmaps::IDB_SOUND},
                {MediaSlotBitmaps::IDB_PRESSED_SOUND},
                {MediaSlotBitmaps::IDB_PRESSED_NO_SOUND},
                {MediaSlotBitmaps::IDB_NO_SOUND}}}
{
}

CSoundCursorPickerDlg::~CSoundCursorPickerDlg()
{
    // Here, while OnDestroy is still this class's.
    if (m_hWnd)
        DestroyWindow();
    for (Image& image : m_images)
        if (image.bitmap)
            DeleteObject(image.bitmap);
}

void CSoundCursorPickerDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PREVIEW, m_preview);
    DDX_Control(pDX, IDC_PLAY, m_play);
    DDX_Control(pDX, IDC_STOP, m_stop);
    DDX_Control(pDX, MediaSlot::IDC_BROWSE, m_browse);
    DDX_Control(pDX, MediaSlot::IDC_INTERNET, m_internet);
    DDX_Control(pDX, MediaSlot::IDC_CLEAR, m_clear);
    DDX_Radio(pDX, IDC_SOUND_DOWN, m_nItem);
}

HBITMAP CSoundCursorPickerDlg::imageOf(UINT id) const
{
    for (const Image& image : m_images)
        if (image.id == id)
            return image.bitmap;
    return nullptr;
}

BOOL CSoundCursorPickerDlg::OnInitDialog()
{
    vb::FlagScope filling(m_bFilling);
    m_nItem = kSoundDown;
    CSettingsDialog::OnInitDialog();
    for (Image& image : m_images) {
        CDIB dib;
        int bitCount = 0;
        if (!image.bitmap && dib.LoadResource(image.id))
            image.bitmap = dib.CreateBitmap(&bitCount);
    }
    m_previousPlay = m_play.SetBitmap(imageOf(MediaSlotBitmaps::IDB_PLAY));
    m_previousStop = m_stop.SetBitmap(imageOf(MediaSlotBitmaps::IDB_STOP));
    m_buttonImages.SetButtonImages(m_browse, m_internet, m_clear);
    // This dialog keeps the system's look however the editor was opened.
    ShowHelpButtonAsAsked();
    refresh();
    return TRUE;
}

CSound* CSoundCursorPickerDlg::firstSound() const
{
    CLumvexCtrl* first = FirstControl();
    if (!first || m_nItem < 0 || m_nItem >= kCursor)
        return nullptr;
    return &(first->*kPickerItems[m_nItem].sound);
}

void CSoundCursorPickerDlg::refresh()
{
    UpdateData(TRUE);
    const bool sound = m_nItem >= 0 && m_nItem < kCursor;
    for (int id : {int(IDC_PLAY), int(IDC_STOP), MediaSlot::IDC_INTERNET})
        if (CWnd* item = GetDlgItem(id))
            item->EnableWindow(sound);
    CLumvexCtrl* first = FirstControl();
    if (sound) {
        const bool set = first && !(first->*kPickerItems[m_nItem].property.path).empty();
        const UINT image = m_nItem == kSoundDown
                               ? (set ? MediaSlotBitmaps::IDB_PRESSED_SOUND : MediaSlotBitmaps::IDB_PRESSED_NO_SOUND)
                               : (set ? MediaSlotBitmaps::IDB_SOUND : MediaSlotBitmaps::IDB_NO_SOUND);
        m_preview.SetButtonStyle(BS_BITMAP);
        m_preview.SetBitmap(imageOf(image));
    } else {
        m_preview.SetButtonStyle(BS_ICON);
        // An animated cursor shows its first frame.
        m_preview.SetCursor(first && m_nItem == kCursor ? first->m_curCursor.GetHandle() : nullptr);
    }
}

void CSoundCursorPickerDlg::setEverywhere(int item, const CString& value)
{
    MediaSlot::SetEverywhere(m_pPage, kPickerItems[item].property, value);
}

bool CSoundCursorPickerDlg::testSound(const CString& path)
{
    // The controls take only WAVE files by their extension.
    if (CLumvexCtrl::MediaExtension(path) != "wav") {
        tell(IDS_INVALID_EXTENSION, path);
        return false;
    }
    audio::PcmSound decoded;
    const bool loaded =
        m_sound.Load(path.c_str()) &&
        audio::DecodeWave(riff::Bytes(m_sound.GetData(), m_sound.GetByteCount()), decoded) == audio::WaveResult::Ok;
    m_sound.Empty();
    if (!loaded)
        tell(IDS_ERROR_OPEN_FILE, path);
    return loaded;
}

bool CSoundCursorPickerDlg::testCursor(const CString& path)
{
    const bool loaded = m_cursor.Load(path.c_str()) != FALSE;
    // The handle the test made is no one else's.
    if (loaded)
        win::DestroyCursor(m_cursor.GetHandle());
    m_cursor.Empty();
    if (!loaded)
        tell(IDS_ERROR_OPEN_FILE, path);
    return loaded;
}

void CSoundCursorPickerDlg::browse()
{
    const bool cursor = m_nItem == kCursor;
    CString filter;
    AfxLoadString(cursor ? IDS_CURSOR_FILTER : IDS_SOUND_FILTER, filter);
    CString title;
    AfxLoadString(cursor ? IDS_SELECT_CURSOR : IDS_SELECT_SOUND, title);
    CFileDialog files(TRUE, nullptr, nullptr, kOpenFlags, filter.c_str(), this);
    files.m_ofn.lpstrTitle = title.c_str();
    const auto result = files.DoModal();
    SetFocus();
    if (result != IDOK)
        return;
    // Tried once: a file that does not load changes no control.
    const CString path = files.GetPathName();
    if (cursor ? !testCursor(path) : !testSound(path))
        return;
    setEverywhere(m_nItem, path);
}

void CSoundCursorPickerDlg::internet()
{
    CLumvexCtrl* first = FirstControl();
    if (!first || m_nItem < 0 || m_nItem >= kCursor)
        return;
    const std::optional<CString> address = UrlDialog::Ask(this, first->*kPickerItems[m_nItem].property.path);
    if (!address)
        return;
    first->SetSoundLoadNotifyWnd(GetSafeHwnd());
    setEverywhere(m_nItem, *address);
}

void CSoundCursorPickerDlg::play()
{
    CSound* sound = firstSound();
    if (!sound)
        return;
    const CLumvexCtrl* first = FirstControl();
    if (!first->m_EnableInternetLoadAtDT && isAddress(first->*kPickerItems[m_nItem].property.path)) {
        AfxMessageBox(IDS_SOUND_NOTICE, win::MB_OK);
        return;
    }
    if (sound->HasData())
        sound->Play(FALSE);
}

void CSoundCursorPickerDlg::stop()
{
    if (CSound* sound = firstSound())
        sound->Stop();
}

BOOL CSoundCursorPickerDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    if (win::HIWORD(wParam) != win::BN_CLICKED)
        return CSettingsDialog::OnCommand(wParam, lParam);
    switch (id) {
    case IDC_SOUND_DOWN:
    case IDC_SOUND_UP:
    case IDC_SOUND_MOUSE_OVER:
    case IDC_SOUND_MOUSE_OUT:
    case IDC_CURSOR:
        if (!m_bFilling)
            refresh();
        return TRUE;
    case MediaSlot::IDC_BROWSE:
    case MediaSlot::IDC_INTERNET:
    case MediaSlot::IDC_CLEAR:
        UpdateData(TRUE);
        if (m_nItem < 0 || m_nItem >= kItemCount)
            return TRUE;
        if (id == MediaSlot::IDC_BROWSE)
            browse();
        else if (id == MediaSlot::IDC_INTERNET)
            internet();
        else
            setEverywhere(m_nItem, CString());
        refresh();
        return TRUE;
    case IDC_PLAY: play(); return TRUE;
    case IDC_STOP: stop(); return TRUE;
    case IDC_CLOSE: EndDialog(IDOK); return TRUE;
    default: return CSettingsDialog::OnCommand(wParam, lParam);
    }
}

void CSoundCursorPickerDlg::onLoadDone(win::WPARAM wParam)
{
    const CLumvexCtrl::LoadDone done = CLumvexCtrl::UnpackLoadDone(wParam);
    if (!done.success && done.kind == NetLoadRequest::kSound && done.index >= 0 && done.index < kCursor)
        setEverywhere(done.index, CString());
    refresh();
}

win::LRESULT CSoundCursorPickerDlg::OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    if (message == CLumvexCtrl::UM_LOAD_DONE) {
        onLoadDone(wParam);
        return 0;
    }
    return CSettingsDialog::OnUserMessage(message, wParam, lParam);
}

void CSoundCursorPickerDlg::OnDestroy()
{
    // No control is to tell a window that is gone about its download.
    if (win::HWND self = GetSafeHwnd())
        ForEachControl([self](CLumvexCtrl& control) {
            if (control.m_hWndSoundLoadNotify == self)
                control.SetSoundLoadNotifyWnd(nullptr);
        });
    m_buttonImages.RestoreButtonImages();
    m_play.SetBitmap(m_previousPlay);
    m_stop.SetBitmap(m_previousStop);
    m_preview.SetBitmap(nullptr);
    m_preview.SetCursor(nullptr);
    CSettingsDialog::OnDestroy();
}
