#pragma once
// The shape settings of the buttons: shape, surface, special effect,
// shadow, roundness, smoothing, the raise factor, whether the button can be
// clicked and, for the custom shape, the one-bit mask with its preview.
// Every change goes to every bound control at once; Close only ends the
// dialog.

#include "buttonlib/editor/CColorButton.h"
#include "buttonlib/editor/CSettingsDialog.h"
#include "buttonlib/editor/MediaSlot.h"

#include "platform/mfc/CEdit.h"
#include "platform/mfc/CSpinButtonCtrl.h"

#include <array>

class CShapeSettingsDlg : public CSettingsDialog {
public:
    static constexpr UINT IDD = 32261;
    enum : int {
        IDC_SHAPE = 201,
        IDC_SURFACE = 202,
        IDC_SPECIAL_EFFECT = 204,
        IDC_ROUNDNESS = 207,
        IDC_SPECIAL_EFFECT_FACTOR = 208,
        IDC_SMOOTH_EDGES = 209,
        IDC_FLAT_PILLOW_FACTOR = 211,
        IDC_SHADOW_MODE = 212,
        IDC_RAISE_SPIN = 271,
        IDC_RAISE_FACTOR = 273,
        IDC_CUSTOM_RAISED = 275,
        IDC_CUSTOM_GROUP = 277,
        IDC_CLOSE = 311,
        IDC_CLICKABLE = 353,
        IDC_MASK_LABEL = 366,
    };
    // Filter of the mask files.
    static constexpr UINT IDS_MASK_FILTER = 108;
    static constexpr int kShapeCustom = 5;

    explicit CShapeSettingsDlg(COlePropertyPageEnh* page);
    ~CShapeSettingsDlg() override;

    // Whether the custom shape's items are enabled (and the mask shown).
    bool CustomGroupEnabled() const { return m_bCustomGroupEnabled; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    void OnPaint(HDC hdc) override;
    void OnDestroy() override;
    win::LRESULT OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam) override;

private:
    static constexpr std::size_t kComboCount = 8;

    CComboBox* comboOf(int id);
    void enable(std::initializer_list<int> ids, bool bEnable);
    void enableCustomGroup(bool bEnable);
    void onShapeSelected();
    void onComboSelected(int id);
    void onRaiseFactorChanged();

    std::array<CComboBox, kComboCount> m_combos;
    CSpinButtonCtrl m_spinRaise;
    CEdit m_editRaise;
    CColorButton m_close;
    CColorButton m_help;
    CColorButton m_browse;
    CColorButton m_internet;
    CColorButton m_clear;
    bool m_bCustomGroupEnabled = false;
    MediaSlot m_mask;
};
