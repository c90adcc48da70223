#include "buttonlib/editor/MediaSlot.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/ControlIds.h"
#include "buttonlib/editor/COlePropertyPageEnh.h"
#include "buttonlib/editor/MediaPreview.h"
#include "buttonlib/editor/MediaSlotBitmaps.h"
#include "buttonlib/editor/UrlDialog.h"
#include "buttonlib/media/CAnim.h"
#include "buttonlib/media/CDIB.h"

#include "platform/basic/Strings.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/CFile.h"
#include "platform/mfc/CFileDialog.h"

#include <utility>

namespace {

// Pictures by download index, as the control's downloads number them.
const MediaSlot::PathProperty kPictureProperties[] = {
    {&CLumvexCtrl::m_Picture, &CLumvexCtrl::OnPictureChanged},
    {&CLumvexCtrl::m_PicturePressed, &CLumvexCtrl::OnPicturePressedChanged},
    {&CLumvexCtrl::m_PictureMouseOver, &CLumvexCtrl::OnPictureMouseOverChanged},
    {&CLumvexCtrl::m_PictureCustom, &CLumvexCtrl::OnPictureCustomChanged},
    {&CLumvexCtrl::m_Texture, &CLumvexCtrl::OnTextureChanged},
    {&CLumvexCtrl::m_PictureDisabled, &CLumvexCtrl::OnPictureDisabledChanged},
};

constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

void tell(UINT id, const CString& insert)
{
    CString text;
    AfxFormatString1(text, id, insert.c_str());
    AfxMessageBox(text.c_str(), win::MB_OK);
}

} // namespace

MediaSlot::MediaSlot(CDialog& dialog, COlePropertyPageEnh* page, PathProperty property, Files files,
                     UINT filterId)
    : dialog_(dialog), page_(page), property_(property), files_(files), filterId_(filterId)
{
    MediaSlotBitmaps::Register();
}

MediaSlot::~MediaSlot()
{
    for (Image& image : images_)
        if (image.ours)
            DeleteObject(image.ours);
}

const MediaSlot::PathProperty* MediaSlot::PropertyOfDownload(short kind, short index)
{
    if (kind == NetLoadRequest::kPicture && index >= 0 && index < 6)
        return &kPictureProperties[index];
    if (kind == NetLoadRequest::kAnimation && index >= 0 && index < 3)
        return &kPictureProperties[index];
    return nullptr;
}

bool MediaSlot::testLoad(const CString& path, const CString& extension) const
{
    const bool all = files_ == Files::PicturesAndAnimations;
    if (extension == "bmp" || extension == "png" || (all && extension == "jpg")) {
        CDIB scratch;
        const BOOL loaded = extension == "bmp"   ? scratch.Load(path.c_str())
                            : extension == "png" ? scratch.LoadImage(path.c_str())
                                                 : scratch.LoadImageRaw(path.c_str());
        if (!loaded)
            AfxMessageBox(IDS_INVALID_PICTURE, win::MB_OK);
        return loaded != FALSE;
    }
    if (all && (extension == "avi" || extension == "gif")) {
        CFile file;
        if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite)) {
            tell(IDS_ERROR_OPEN_FILE, path);
            return false;
        }
        CAnim scratch;
        if (!scratch.CheckFile(path.c_str(), extension == "gif")) {
            file.Close();
            AfxMessageBox(IDS_INVALID_PICTURE, win::MB_OK);
            return false;
        }
        return true;
    }
    tell(IDS_INVALID_EXTENSION, extension);
    return false;
}

void MediaSlot::Browse()
{
    CString filter;
    AfxLoadString(filterId_, filter);
    CString title;
    AfxLoadString(IDS_SELECT_PICTURE, title);
    CFileDialog files(TRUE, nullptr, nullptr, kOpenFlags, filter.c_str(), &dialog_);
    files.m_ofn.lpstrTitle = title.c_str();
    const auto result = files.DoModal();
    dialog_.SetFocus();
    if (result != IDOK)
        return;
    const CString path = files.GetPathName();
    const CString extension = vb::LCase(files.GetFileExt());
    if (!testLoad(path, extension))
        return;
    // A picked file goes to the first control only.
    if (CLumvexCtrl* first = page_ ? page_->GetControlObject() : nullptr) {
        first->*property_.path = path;
        (first->*property_.notify)();
    }
    MediaPreview::Refresh(dialog_);
}

void MediaSlot::Internet()
{
    CLumvexCtrl* first = page_ ? page_->GetControlObject() : nullptr;
    if (!first)
        return;
    const std::optional<CString> address = UrlDialog::Ask(&dialog_, first->*property_.path);
    if (!address)
        return;
    first->SetPictureLoadNotifyWnd(dialog_.GetSafeHwnd());
    SetEverywhere(page_, property_, *address);
    MediaPreview::Refresh(dialog_);
}

void MediaSlot::Clear()
{
    SetEverywhere(page_, property_, CString());
    MediaPreview::Refresh(dialog_);
}

void MediaSlot::OnLoadDone(win::WPARAM wParam)
{
    const CLumvexCtrl::LoadDone done = CLumvexCtrl::UnpackLoadDone(wParam);
    if (!done.success)
        if (const PathProperty* served = PropertyOfDownload(done.kind, done.index))
            SetEverywhere(page_, *served, CString());
    MediaPreview::Refresh(dialog_);
}

void MediaSlot::OnDestroy()
{
    win::HWND self = dialog_.GetSafeHwnd();
    if (!page_ || !self)
        return;
    page_->ForEachControl([self](CLumvexCtrl& control) {
        if (control.m_hWndPictureLoadNotify == self)
            control.SetPictureLoadNotifyWnd(nullptr);
    });
}

void MediaSlot::SetEverywhere(COlePropertyPageEnh* page, const PathProperty& property, const CString& value)
{
    if (!page)
        return;
    page->ForEachControl([&](CLumvexCtrl& control) {
        control.*property.path = value;
        (control.*property.notify)();
    });
}

void MediaSlot::SetButtonImages(CButton& browse, CButton& internet, CButton& clear)
{
    const std::array<std::pair<CButton*, UINT>, 3> buttons = {{{&browse, MediaSlotBitmaps::IDB_BROWSE},
                                                                {&internet, MediaSlotBitmaps::IDB_INTERNET},
                                                                {&clear, MediaSlotBitmaps::IDB_CLEAR}}};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        Image& image = images_[i];
        CDIB dib;
        if (!dib.LoadResource(buttons[i].second))
            continue;
        int bitCount = 0;
        image.button = buttons[i].first;
        image.ours = dib.CreateBitmap(&bitCount);
        image.previous = image.button->SetBitmap(image.ours);
    }
}

void MediaSlot::RestoreButtonImages()
{
    for (Image& image : images_) {
        if (image.button && image.button->GetSafeHwnd())
            image.button->SetBitmap(image.previous);
        image.button = nullptr;
        if (image.ours)
            DeleteObject(image.ours);
        image.ours = nullptr;
        image.previous = nullptr;
    }
}
