#pragma once
// One media path property of the controls (the shape mask, the texture or
// a state's picture) set from a settings dialog through its Browse,
// Internet and Clear buttons:
// - Browse: a file picked and test-loaded by its extension goes to the
//   first control only, whose change notification loads it;
// - Internet: an address goes to every control, and the dialog is told
//   (UM_LOAD_DONE) when the first control's download ends;
// - Clear: every control's path is emptied;
// - a download that failed empties the path it served on every control.
// After each the dialog's preview is redrawn.

#include "platform/mfc/CButton.h"
#include "platform/mfc/CDialog.h"

#include <array>

class CLumvexCtrl;
class COlePropertyPageEnh;

class MediaSlot {
public:
    static constexpr int IDC_BROWSE = 5385;
    static constexpr int IDC_INTERNET = 5387;
    static constexpr int IDC_CLEAR = 5388;
    static constexpr UINT IDS_SELECT_PICTURE = 105;

    // The property: the control's path member, written directly, and the
    // notification that loads what it names.
    struct PathProperty {
        CString CLumvexCtrl::*path;
        void (CLumvexCtrl::*notify)();
    };
    // What Browse accepts: pictures (BMP, PNG, JPEG) and animations (AVI,
    // GIF), or the shape mask's BMP and PNG.
    enum class Files { PicturesAndAnimations, Masks };

    MediaSlot(CDialog& dialog, COlePropertyPageEnh* page, PathProperty property, Files files, UINT filterId);
    MediaSlot(const MediaSlot&) = delete;
    MediaSlot& operator=(const MediaSlot&) = delete;
    ~MediaSlot();

    void Browse();
    void Internet();
    void Clear();
    // UM_LOAD_DONE: wParam as CLumvexCtrl::PackLoadDone made it.
    void OnLoadDone(win::WPARAM wParam);
    // The dialog's window is going: no control is to tell it anything more.
    void OnDestroy();

    // The three buttons show the slot's bitmaps; the images they had come
    // back with RestoreButtonImages.
    void SetButtonImages(CButton& browse, CButton& internet, CButton& clear);
    void RestoreButtonImages();

    // The path property a download of that kind (picture or animation)
    // and index serves; null for none.
    static const PathProperty* PropertyOfDownload(short kind, short index);

    // Writes the path to every control of the page, each then loading it.
    static void SetEverywhere(COlePropertyPageEnh* page, const PathProperty& property, const CString& value);

private:
    // Whether the file loads as what its extension names; says why not.
    bool testLoad(const CString& path, const CString& extension) const;

    CDialog& dialog_;
    COlePropertyPageEnh* page_;
    PathProperty property_;
    Files files_;
    UINT filterId_;

    struct Image {
        CButton* button = nullptr;
        HBITMAP ours = nullptr;
        HBITMAP previous = nullptr;
    };
    std::array<Image, 3> images_{};
};
