#pragma once
// A sample dialog with an item of every kind, which logs the notifications
// it receives, and a fixture with fixed base units (6 x 13) and recorders
// for message boxes, common dialogs and UI services.

#include "platform/com/UiServices.h"
#include "platform/forms/CommonDialog.h"
#include "platform/mfc/CButton.h"
#include "platform/mfc/CComboBox.h"
#include "platform/mfc/CDataExchange.h"
#include "platform/mfc/CDialog.h"
#include "platform/mfc/CEdit.h"
#include "platform/mfc/CSpinButtonCtrl.h"
#include "platform/win/MessageBox.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dialogtest {

enum : int {
    kLabel = 1000,
    kValue = 1001,
    kSpin = 1002,
    kCombo = 1003,
    kCheck = 1004,
    kRadioA = 1005,
    kRadioB = 1006,
    kFrame = 1007,
    kSwatch = 1008,
    kOwnerDrawn = 1009,
    kPicture = 1010,
    kName = 1011,
    kSmall = 1012,
    kGroup = 1013,
    kSampleId = 9000,
};

inline constexpr DialogItem kSampleItems[] = {
    {kLabel, DialogItemKind::Static, "&Value:", 0, 7, 9, 40, 8},
    {kValue, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 50, 7, 40, 14},
    {kSpin, DialogItemKind::UpDown, "", UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_AUTOBUDDY, 90, 7, 10, 14},
    {kCombo, DialogItemKind::ComboDropList, "", WS_GROUP, 110, 7, 83, 14},
    {kGroup, DialogItemKind::GroupBox, "Options", 0, 7, 28, 93, 62},
    {kCheck, DialogItemKind::CheckBox, "&Check", 0, 14, 40, 75, 10},
    {kRadioA, DialogItemKind::RadioButton, "Radio &A", WS_GROUP, 14, 54, 75, 10},
    {kRadioB, DialogItemKind::RadioButton, "Radio &B", 0, 14, 68, 75, 10},
    {kFrame, DialogItemKind::Frame, "", WS_GROUP, 110, 28, 83, 62},
    {kSwatch, DialogItemKind::Static, "", ITEM_HIDDEN, 120, 38, 30, 20},
    {kName, DialogItemKind::Edit, "", ES_AUTOHSCROLL, 7, 96, 93, 14},
    {kSmall, DialogItemKind::Edit, "", ES_AUTOHSCROLL, 110, 96, 40, 14},
    {kPicture, DialogItemKind::PushButton, "Picture", BS_FLAT | BS_BITMAP, 155, 96, 38, 14},
    {kOwnerDrawn, DialogItemKind::PushButton, "Owner", win::BS_OWNERDRAW, 7, 128, 60, 14},
    {IDOK, DialogItemKind::PushButton, "OK", BS_DEFPUSHBUTTON | WS_GROUP, 86, 128, 50, 14},
    {IDCANCEL, DialogItemKind::PushButton, "Cancel", 0, 143, 128, 50, 14},
};

inline constexpr DialogTemplate kSample{kSampleId, "Sample settings", 200, 150, kSampleItems};

inline const bool kSampleRegistered = AfxRegisterDialogTemplate(kSample);

// Draws its owner-drawn button in the state it is given and remembers it.
class StateButton : public CButton {
public:
    void DrawItem(win::DRAWITEMSTRUCT* item) override
    {
        states.push_back(item->itemState);
        HBRUSH brush = CreateSolidBrush((item->itemState & win::ODS_SELECTED) ? RGB(0, 0, 128) : RGB(0, 128, 0));
        FillRect(item->hDC, &item->rcItem, brush);
        DeleteObject(brush);
    }
    std::vector<UINT> states;
};

class SampleDialog : public CDialog {
public:
    explicit SampleDialog(CWnd* parent = nullptr) : CDialog(kSampleId, parent) {}

    int m_value = 3;
    short m_small = 7;
    CString m_name = "first";
    int m_check = 0;
    int m_radio = 0;
    CSpinButtonCtrl m_spin;
    CComboBox m_combo;
    CEdit m_edit;
    StateButton m_owner;

    // Each notification as "CODE id" (UDN_DELTAPOS with pos, delta and the
    // edit's text at that moment).
    std::vector<std::string> log;
    // Answer to UDN_DELTAPOS: nonzero refuses the step.
    int refuseDelta = 0;
    int helps = 0;
    int paints = 0;
    std::vector<std::pair<UINT, win::WPARAM>> userMessages;
    std::vector<std::uintptr_t> timers;
    COLORREF swatch = RGB(255, 0, 0);
    // Run by OnInitDialog after the base, when set.
    std::function<void(SampleDialog&)> onInit;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, kSpin, m_spin);
        DDX_Control(pDX, kCombo, m_combo);
        DDX_Control(pDX, kValue, m_edit);
        DDX_Control(pDX, kOwnerDrawn, m_owner);
        DDX_Text(pDX, kValue, m_value);
        DDV_MinMaxInt(pDX, m_value, 1, 6);
        DDX_Text(pDX, kSmall, m_small);
        DDX_Text(pDX, kName, m_name);
        DDX_Check(pDX, kCheck, m_check);
        DDX_Radio(pDX, kRadioA, m_radio);
    }

    BOOL OnInitDialog() override
    {
        const BOOL result = CDialog::OnInitDialog();
        m_spin.SetRange(1, 6);
        for (const char* s : {"Round", "Square", "Diamond"})
            m_combo.AddString(s);
        m_combo.SetCurSel(0);
        log.clear();
        if (onInit)
            onInit(*this);
        return result;
    }

    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override
    {
        const int id = win::LOWORD(wParam);
        const UINT code = win::HIWORD(wParam);
        if (code == EN_CHANGE)
            log.push_back("EN_CHANGE " + std::to_string(id) + " " + GetDlgItemText(id));
        else if (code == CBN_SELCHANGE)
            log.push_back("CBN_SELCHANGE " + std::to_string(id));
        else if (code == win::BN_CLICKED)
            log.push_back("BN_CLICKED " + std::to_string(id));
        return CDialog::OnCommand(wParam, lParam);
    }

    BOOL OnNotify(win::WPARAM, win::LPARAM lParam, win::LRESULT* result) override
    {
        auto* nm = reinterpret_cast<NMUPDOWN*>(lParam);
        if (nm->hdr.code != UDN_DELTAPOS)
            return FALSE;
        log.push_back("UDN_DELTAPOS " + std::to_string(nm->hdr.idFrom) + " pos " + std::to_string(nm->iPos) +
                      " delta " + std::to_string(nm->iDelta) + " text " + GetDlgItemText(kValue));
        *result = refuseDelta;
        return TRUE;
    }

    void OnHelp() override { ++helps; }

    void OnTimer(std::uintptr_t id) override { timers.push_back(id); }

    void OnPaint(HDC hdc) override
    {
        ++paints;
        // The swatch over the hidden placeholder, in client coordinates.
        RECT r{0, 0, 0, 0};
        GetDlgItem(kSwatch)->GetWindowRect(&r);
        POINT topLeft{r.left, r.top};
        POINT bottomRight{r.right, r.bottom};
        ScreenToClient(&topLeft);
        ScreenToClient(&bottomRight);
        HBRUSH brush = CreateSolidBrush(swatch);
        HGDIOBJ oldBrush = SelectObject(hdc, brush);
        HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
        Rectangle(hdc, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
        SelectObject(hdc, oldPen);
        SelectObject(hdc, oldBrush);
        DeleteObject(brush);
    }

    win::LRESULT OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam) override
    {
        userMessages.emplace_back(message, wParam);
        return CDialog::OnUserMessage(message, wParam, lParam);
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kSampleRegistered);
        SetDialogBaseUnits(DialogBaseUnits{6, 13});
        win::SetMessageBoxPort(boxes);
        forms::SetDialogPort(dialogs);
        com::SetUiServices(ui);
    }
    void TearDown() override
    {
        SetDialogBaseUnits(std::nullopt);
        win::SetMessageBoxPort(nullptr);
        forms::SetDialogPort(nullptr);
        com::SetUiServices(nullptr);
    }

    // The item's widget by its object name, as a user finds it.
    template <class T = QWidget>
    static T* find(QWidget* dialog, int id)
    {
        return dialog->findChild<T*>(QStringLiteral("id%1").arg(id));
    }

    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
    std::shared_ptr<com::RecordingUiServices> ui = std::make_shared<com::RecordingUiServices>();
};

} // namespace dialogtest
