#pragma once
// The button's four event sounds and its cursor: each chosen from a file,
// a sound also from an address, or cleared, on every bound control at
// once. The first control's sound of the chosen item is played and stopped
// here; the preview shows whether the sound is set, or the cursor itself.
// A file is tried in the dialog's own sound or cursor first, so a file that
// will not load is reported once and no control loses what it had.

#include "buttonlib/editor/CSettingsDialog.h"
#include "buttonlib/editor/MediaSlot.h"
#include "buttonlib/media/CCursor.h"
#include "buttonlib/media/CSound.h"

#include "platform/mfc/CButton.h"

#include <array>

class CSoundCursorPickerDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 32262;
    enum : int {
        IDC_CLOSE = 1,
        IDC_PREVIEW = 227,
        IDC_SOUND_DOWN = 344,
        IDC_SOUND_UP = 345,
        IDC_SOUND_MOUSE_OVER = 346,
        IDC_CURSOR = 347,
        IDC_SOUND_MOUSE_OUT = 348,
        IDC_PLAY = 5378,
        IDC_STOP = 5386,
    };
    // The items by index, as their radios come in the group; a sound's
    // index is also its download index.
    enum Item : int { kSoundDown, kSoundUp, kSoundMouseOver, kSoundMouseOut, kCursor, kItemCount };
    static constexpr UINT IDS_SOUND_FILTER = 100;
    static constexpr UINT IDS_SELECT_SOUND = 101;
    static constexpr UINT IDS_CURSOR_FILTER = 102;
    static constexpr UINT IDS_SELECT_CURSOR = 103;

    explicit CSoundCursorPickerDlg(COlePropertyPageEnh* page);
    ~CSoundCursorPickerDlg() override;

    int ItemIndex() const { return m_nItem; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnDestroy() override;
    win::LRESULT OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam) override;

private:
    void refresh();
    void browse();
    void internet();
    void play();
    void stop();
    void onLoadDone(win::WPARAM wParam);
    // Whether the file loads as what the item takes; says why not.
    bool testSound(const CString& path);
    bool testCursor(const CString& path);
    // The item's path := value on every bound control, each loading it.
    void setEverywhere(int item, const CString& value);
    // The first control's sound of the item; null for the cursor or none.
    CSound* firstSound() const;

    int m_nItem = -1;
    CSound m_sound;
    CCursor m_cursor;
    CButton m_preview;
    CButton m_play;
    CButton m_stop;
    CButton m_browse;
    CButton m_internet;
    CButton m_clear;
    // Gives Browse, Internet and Clear their images and takes them back.
    MediaSlot m_buttonImages;

    // The play and stop images and the four sound previews.
    struct Image {
        UINT id;
        HBITMAP bitmap = nullptr;
    };
    std::array<Image, 6> m_images;
    HBITMAP m_previousPlay = nullptr;
    HBITMAP m_previousStop = nullptr;
    HBITMAP imageOf(UINT id) const;
};
