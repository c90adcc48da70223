#pragma once
// The pictures of the button's states: for the normal, pressed, mouse-over
// and disabled state a picture or animation from a file or an address, or
// none. The state is chosen by its radio; the preview shows what the first
// control has for it, an animation running frame by frame at its own pace.

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"
#include "buttonlib/editor/MediaSlot.h"

#include <array>
#include <memory>

class CAnim;

class CPictureChoiceDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 32259;
    enum : int {
        IDC_CLOSE = 1,
        IDC_STATE_NORMAL = 330,
        IDC_STATE_MOUSE_OVER = 331,
        IDC_STATE_PRESSED = 332,
        IDC_STATE_DISABLED = 333,
    };
    // The states by index, as their radios come in tab order.
    enum State : int { kNormal, kPressed, kMouseOver, kDisabled, kStateCount };
    static constexpr std::uintptr_t kPreviewTimer = 1;
    // Filters of Browse: editor open (pictures only), else with AVI.
    static constexpr UINT IDS_PICTURES_FILTER = 104;
    static constexpr UINT IDS_MEDIA_FILTER = 106;
    static constexpr UINT IDS_EDITOR_NORMAL = 52;
    static constexpr UINT IDS_EDITOR_MOUSE_OVER = 53;
    static constexpr UINT IDS_EDITOR_CAPTION = 54;

    explicit CPictureChoiceDlg(COlePropertyPageEnh* page);
    ~CPictureChoiceDlg() override;

    int StateIndex() const { return m_nState; }
    // The animation running in the preview, null when none.
    const CAnim* PreviewAnimation() const { return m_pAnim; }
    // The animation frame the preview shows, -1 before the first.
    int PreviewFrame() const { return m_nShownFrame; }

    void OnTimer(std::uintptr_t id) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnPaint(HDC hdc) override;
    void OnDestroy() override;
    win::LRESULT OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam) override;

private:
    // What the first control shows in the chosen state.
    CLumvexCtrl::StateMedia stateMedia() const;
    MediaSlot& slot() { return *m_slots[std::size_t(m_nState)]; }
    void updatePreview();
    void startPreview(CAnim& animation);
    void stopPreview();
    void onLoadDone(win::WPARAM wParam);

    int m_nState = -1;
    CAnim* m_pAnim = nullptr;
    int m_nFrameCounter = 0;
    int m_nShownFrame = -1;
    CColorButton m_close;
    CColorButton m_help;
    CColorButton m_browse;
    CColorButton m_internet;
    CColorButton m_clear;
    std::array<std::unique_ptr<MediaSlot>, kStateCount> m_slots;
};
