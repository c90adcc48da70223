#include "buttonlib/editor/CPictureChoiceDlg.h"

#include "buttonlib/editor/MediaPreview.h"
#include "buttonlib/media/CAnim.h"
#include "buttonlib/media/CDIB.h"

#include "platform/basic/FlagScope.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/CDataExchange.h"

#include <algorithm>

namespace {

using D = CPictureChoiceDlg;

// Each state's path property with the notification that loads it.
const MediaSlot::PathProperty kStateProperties[D::kStateCount] = {
    {&CLumvexCtrl::m_Picture, &CLumvexCtrl::OnPictureChanged},
    {&CLumvexCtrl::m_PicturePressed, &CLumvexCtrl::OnPicturePressedChanged},
    {&CLumvexCtrl::m_PictureMouseOver, &CLumvexCtrl::OnPictureMouseOverChanged},
    {&CLumvexCtrl::m_PictureDisabled, &CLumvexCtrl::OnPictureDisabledChanged},
};

constexpr DWORD kOwnerDrawn = win::BS_OWNERDRAW;
constexpr DWORD kImageButton = win::BS_OWNERDRAW | BS_BITMAP;

// The radios in tab order: their order in the group is the state index.
constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::GroupBox, "Select the item to change", 0, 7, 4, 178, 66},
    {D::IDC_STATE_NORMAL, DialogItemKind::RadioButton, "Picture/animation for button in normal state", WS_GROUP, 14,
     17, 166, 10},
    {D::IDC_STATE_PRESSED, DialogItemKind::RadioButton, "Picture/animation for pressed button", 0, 14, 30, 166, 10},
    {D::IDC_STATE_MOUSE_OVER, DialogItemKind::RadioButton, "Picture/animation for button with mouse over", 0, 14, 43,
     166, 10},
    {D::IDC_STATE_DISABLED, DialogItemKind::RadioButton, "Picture for disabled button", 0, 14, 56, 166, 10},
    {MediaSlot::IDC_BROWSE, DialogItemKind::PushButton, "&Browse...", kImageButton | WS_GROUP, 14, 78, 36, 22},
    {MediaSlot::IDC_INTERNET, DialogItemKind::PushButton, "&Internet...", kImageButton, 56, 78, 36, 22},
    {MediaSlot::IDC_CLEAR, DialogItemKind::PushButton, "&Clear", kImageButton, 98, 78, 36, 22},
    {IDC_STATIC, DialogItemKind::Static, "Preview", 0, 193, 4, 75, 8},
    {MediaPreview::IDC_PREVIEW_FRAME, DialogItemKind::Frame, "", 0, 193, 14, 75, 75},
    {D::IDC_CLOSE, DialogItemKind::PushButton, "Close", kOwnerDrawn | WS_GROUP, 160, 120, 52, 14},
    {CSettingsDialog::IDC_HELP_BUTTON, DialogItemKind::PushButton, "Help...", kOwnerDrawn, 216, 120, 52, 14},
};

constexpr DialogTemplate kTemplate{D::IDD, "Pictures and animations choice", 275, 141, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

bool isStateProperty(const MediaSlot::PathProperty* property)
{
    return property && std::any_of(std::begin(kStateProperties), std::end(kStateProperties),
                                   [property](const MediaSlot::PathProperty& p) { return p.path == property->path; });
}

} // namespace

CPictureChoiceDlg::CPictureChoiceDlg(COlePropertyPageEnh* page) : CSettingsDialog(IDD, page)
{
    // With the editor open the dialog chooses pictures, though a typed
    // animation name still passes.
    const UINT filter = EditorOpen() ? IDS_PICTURES_FILTER : IDS_MEDIA_FILTER;
    for (int state = 0; state < kStateCount; ++state)
        m_slots[std::size_t(state)] = std::make_unique<MediaSlot>(
            *this, page, kStateProperties[state], MediaSlot::Files::PicturesAndAnimations, filter);
}

CPictureChoiceDlg::~CPictureChoiceDlg()
{
    // Here, while OnDestroy is still this class's.
    if (m_hWnd)
        DestroyWindow();
}

void CPictureChoiceDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CLOSE, m_close);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_help);
    DDX_Control(pDX, MediaSlot::IDC_BROWSE, m_browse);
    DDX_Control(pDX, MediaSlot::IDC_INTERNET, m_internet);
    DDX_Control(pDX, MediaSlot::IDC_CLEAR, m_clear);
    DDX_Radio(pDX, IDC_STATE_NORMAL, m_nState);
}

BOOL CPictureChoiceDlg::OnInitDialog()
{
    vb::FlagScope filling(m_bFilling);
    m_nState = kNormal;
    CSettingsDialog::OnInitDialog();
    m_slots[0]->SetButtonImages(m_browse, m_internet, m_clear);
    ApplyEditorLook({&m_close, &m_help, &m_browse, &m_internet, &m_clear}, true);
    if (EditorOpen()) {
        CString text;
        AfxLoadString(IDS_EDITOR_CAPTION, text);
        SetWindowText(text);
        AfxLoadString(IDS_EDITOR_NORMAL, text);
        SetDlgItemText(IDC_STATE_NORMAL, text);
        AfxLoadString(IDS_EDITOR_MOUSE_OVER, text);
        SetDlgItemText(IDC_STATE_MOUSE_OVER, text);
    }
    updatePreview();
    return TRUE;
}

CLumvexCtrl::StateMedia CPictureChoiceDlg::stateMedia() const
{
    CLumvexCtrl* first = FirstControl();
    if (!first)
        return {};
    switch (m_nState) {
    case kNormal: return first->GetNormalMedia();
    case kPressed: return first->GetPressedMedia();
    case kMouseOver: return first->GetMouseOverMedia();
    case kDisabled: return {first->GetDisabledPicture(), nullptr};
    default: return {};
    }
}

void CPictureChoiceDlg::updatePreview()
{
    UpdateData(TRUE);
    const CLumvexCtrl::StateMedia media = stateMedia();
    if (media.animation)
        startPreview(*media.animation);
    else
        stopPreview();
    MediaPreview::Refresh(*this);
}

void CPictureChoiceDlg::startPreview(CAnim& animation)
{
    stopPreview();
    m_pAnim = &animation;
    m_nFrameCounter = 0;
    // A zero delay runs at the timers' floor rather than busily.
    SetTimer(kPreviewTimer, UINT(std::max(animation.GetFrameDelay(), 0)));
}

void CPictureChoiceDlg::stopPreview()
{
    if (m_hWnd)
        KillTimer(kPreviewTimer);
    m_pAnim = nullptr;
    m_nFrameCounter = 0;
    m_nShownFrame = -1;
}

void CPictureChoiceDlg::OnTimer(std::uintptr_t id)
{
    if (id == kPreviewTimer && m_pAnim) {
        if (m_nFrameCounter >= m_pAnim->GetFrameCount())
            m_nFrameCounter = 0;
        // A frame the animation cannot give leaves the last one shown.
        if (m_pAnim->GetFrame(m_nFrameCounter)) {
            m_nShownFrame = m_nFrameCounter;
            const RECT inside = MediaPreview::FrameInside(*this);
            InvalidateRect(&inside, FALSE);
        }
        ++m_nFrameCounter;
    }
    CSettingsDialog::OnTimer(id);
}

void CPictureChoiceDlg::OnPaint(HDC hdc)
{
    if (m_pAnim) {
        // An animation is drawn frame by frame as the timer moves on.
        if (CDIB* frame = m_nShownFrame >= 0 ? m_pAnim->GetFrame(m_nShownFrame) : nullptr)
            MediaPreview::Draw(*this, hdc, *frame);
        return;
    }
    if (CDIB* picture = stateMedia().picture)
        MediaPreview::Draw(*this, hdc, *picture);
}

BOOL CPictureChoiceDlg::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    const int id = win::LOWORD(wParam);
    const UINT code = win::HIWORD(wParam);
    if (code != win::BN_CLICKED)
        return CSettingsDialog::OnCommand(wParam, lParam);
    switch (id) {
    case IDC_STATE_NORMAL:
    case IDC_STATE_PRESSED:
    case IDC_STATE_MOUSE_OVER:
    case IDC_STATE_DISABLED:
        if (!m_bFilling)
            updatePreview();
        return TRUE;
    case MediaSlot::IDC_BROWSE:
    case MediaSlot::IDC_INTERNET:
    case MediaSlot::IDC_CLEAR:
        UpdateData(TRUE);
        if (m_nState < 0 || m_nState >= kStateCount)
            return TRUE;
        if (id == MediaSlot::IDC_BROWSE)
            slot().Browse();
        else if (id == MediaSlot::IDC_INTERNET)
            slot().Internet();
        else
            slot().Clear();
        updatePreview();
        return TRUE;
    case IDC_CLOSE: EndDialog(IDOK); return TRUE;
    default: return CSettingsDialog::OnCommand(wParam, lParam);
    }
}

void CPictureChoiceDlg::onLoadDone(win::WPARAM wParam)
{
    // A failed download empties what it served only when that is one of
    // the states' pictures; the other pictures are other dialogs' business.
    const CLumvexCtrl::LoadDone done = CLumvexCtrl::UnpackLoadDone(wParam);
    if (!done.success && isStateProperty(MediaSlot::PropertyOfDownload(done.kind, done.index)))
        m_slots[0]->OnLoadDone(wParam);
    updatePreview();
}

win::LRESULT CPictureChoiceDlg::OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    if (message == CLumvexCtrl::UM_LOAD_DONE) {
        onLoadDone(wParam);
        return 0;
    }
    return CSettingsDialog::OnUserMessage(message, wParam, lParam);
}

void CPictureChoiceDlg::OnDestroy()
{
    // Every slot registers this same window; one unregistering serves all.
    m_slots[0]->OnDestroy();
    m_slots[0]->RestoreButtonImages();
    stopPreview();
    CSettingsDialog::OnDestroy();
}
