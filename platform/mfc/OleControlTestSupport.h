#pragma once
// A sample control for the tests of the control framework: an owner-drawn
// button with two properties (Count, a short, and Label, a string), one
// event (Counted), the stock members, a mnemonic from its label and a timer
// while its window lives. It notes what the framework calls on it.

#include "platform/mfc/COleControl.h"
#include "platform/mfc/CFontHolder.h"

#include <cctype>
#include <string>
#include <vector>

namespace mfctest {

inline constexpr CLSID CLSID_SampleControl = com::GuidLiteral("{7A0C55E1-3B1D-4E0B-9F4A-52D6C1A0B001}");
inline constexpr IID DIID_Sample = com::GuidLiteral("{7A0C55E2-3B1D-4E0B-9F4A-52D6C1A0B001}");
inline constexpr IID DIID_SampleEvents = com::GuidLiteral("{7A0C55E3-3B1D-4E0B-9F4A-52D6C1A0B001}");

inline constexpr DISPID kDispCount = 1;
inline constexpr DISPID kDispLabel = 2;
inline constexpr DISPID kEventCounted = 1;
inline constexpr DWORD kSampleVersion = 0x00010002;
inline constexpr std::uintptr_t kSampleTimer = 7;
inline constexpr short kDefaultCount = 7;
inline constexpr const char* kDefaultLabel = "Sample";

class SampleControl final : public COleControl {
public:
    SampleControl() : m_font(GetFontNotificationSink())
    {
        InitializeIIDs(&DIID_Sample, &DIID_SampleEvents);
        m_font.InitializeFont();
    }

    static const com::DispatchTable& Table()
    {
        static constexpr com::DispatchMember members[] = {
            com::Property<SampleControl, &SampleControl::GetCount, &SampleControl::SetCount>("Count", kDispCount,
                                                                                             VT_I2),
            com::Property<SampleControl, &SampleControl::GetLabel, &SampleControl::SetLabel>("Label", kDispLabel,
                                                                                             VT_BSTR),
            DispStockDoClick<SampleControl>(),
            DispStockRefresh<SampleControl>(),
            DispStockCaption<SampleControl>(),
            DispStockEnabled<SampleControl>(),
            DispStockHwnd<SampleControl>(),
            DispStockAboutBox<SampleControl>(),
        };
        static constexpr com::DispatchTable table{&DIID_Sample, "_DSample", members};
        return table;
    }
    static const com::DispatchTable& Events()
    {
        static constexpr com::DispatchMember members[] = {
            com::Event("Counted", kEventCounted, {{"count", VT_I2}}),
            EventStockClick(),
            EventStockDblClick(),
            EventStockKeyDown(),
            EventStockKeyUp(),
            EventStockMouseDown(),
            EventStockMouseMove(),
            EventStockMouseUp(),
        };
        static constexpr com::DispatchTable table{&DIID_SampleEvents, "_DSampleEvents", members};
        return table;
    }

    const com::DispatchTable& GetDispatchMap() const override { return Table(); }
    const com::DispatchTable& GetEventMap() const override { return Events(); }
    HRESULT GetClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = CLSID_SampleControl;
        return S_OK;
    }
    BOOL IsSubclassedControl() override { return TRUE; }
    const CLSID* GetPropPageIDs(ULONG& count) override
    {
        count = ULONG(pages.size());
        return pages.empty() ? nullptr : pages.data();
    }
    BOOL PreCreateWindow(win::CREATESTRUCT& cs) override
    {
        cs.lpszClass = "Button";
        cs.style |= win::BS_OWNERDRAW;
        return COleControl::PreCreateWindow(cs);
    }

    void DoPropExchange(CPropExchange* pPX) override
    {
        notes.push_back(pPX->IsLoading() ? "exchange-load" : "exchange-save");
        ExchangeVersion(pPX, kSampleVersion);
        COleControl::DoPropExchange(pPX);
        PX_Short(pPX, "Count", m_count, kDefaultCount);
        PX_String(pPX, "Label", m_label, CString(kDefaultLabel));
        PX_Font(pPX, "Font", m_font);
    }

    short GetCount() const { return m_count; }
    void SetCount(short count)
    {
        m_count = count;
        BoundPropertyChanged(kDispCount);
        SetModifiedFlag();
        InvalidateControl();
        FireEvent(kEventCounted, {com::EventArg::I2(count)});
    }
    CString GetLabel() const { return m_label; }
    void SetLabel(CString label)
    {
        m_label = std::move(label);
        BoundPropertyChanged(kDispLabel);
        SetModifiedFlag();
        ControlInfoChanged();
    }
    CFontHolder& Font() { return m_font; }

    // The property pages the control names.
    std::vector<CLSID> pages;
    // What the framework called, in order.
    std::vector<std::string> notes;
    std::vector<DISPID> ambientChanges;
    std::vector<UINT> drawStates;
    std::vector<short> clicks;
    int timerTicks = 0;
    int mnemonics = 0;
    int fontChanges = 0;

protected:
    void OnSetClientSite() override
    {
        notes.push_back(GetClientSite() ? "site" : "no-site");
    }
    void OnAmbientPropertyChange(DISPID dispid) override { ambientChanges.push_back(dispid); }
    void BeginModalState() override { notes.push_back("modal"); }
    void EndModalState() override { notes.push_back("modeless"); }
    void OnDraw(HDC hdc, const RECT& rcBounds, const RECT&) override { DoSuperclassPaint(hdc, rcBounds); }
    void OnClick(short iButton) override
    {
        clicks.push_back(iButton);
        COleControl::OnClick(iButton);
    }
    void OnFontChanged() override
    {
        ++fontChanges;
        COleControl::OnFontChanged();
    }
    int OnCreate(win::CREATESTRUCT* cs) override
    {
        const int result = COleControl::OnCreate(cs);
        SetTimer(kSampleTimer, 20);
        return result;
    }
    void OnTimer(std::uintptr_t id) override
    {
        if (id == kSampleTimer)
            ++timerTicks;
    }
    // A mnemonic for the label's "&" key.
    void OnGetControlInfo(CONTROLINFO* info) override
    {
        if (m_accel)
            win::DestroyAcceleratorTable(m_accel);
        m_accel = nullptr;
        const std::size_t amp = m_label.find('&');
        if (amp != std::string::npos && amp + 1 < m_label.size()) {
            const win::ACCEL key{BYTE(win::FALT | win::FVIRTKEY),
                                 WORD(std::toupper(static_cast<unsigned char>(m_label[amp + 1]))), 1};
            m_accel = win::CreateAcceleratorTable(&key, 1);
        }
        info->hAccel = m_accel;
        info->cAccel = m_accel ? 1 : 0;
    }
    void OnMnemonic(win::MSG*) override
    {
        ++mnemonics;
        DoClick();
    }
    win::LRESULT WindowProc(UINT message, win::WPARAM wParam, win::LPARAM lParam) override
    {
        if (message != win::OCM_DRAWITEM)
            return COleControl::WindowProc(message, wParam, lParam);
        const auto* item = reinterpret_cast<const win::DRAWITEMSTRUCT*>(lParam);
        drawStates.push_back(item->itemState);
        // Pressed dark, otherwise light; the label in the middle.
        HBRUSH brush = CreateSolidBrush((item->itemState & win::ODS_SELECTED) ? RGB(64, 64, 128) : RGB(224, 224, 160));
        FillRect(item->hDC, &item->rcItem, brush);
        DeleteObject(brush);
        RECT text = item->rcItem;
        SetBkMode(item->hDC, TRANSPARENT);
        HGDIOBJ old = SelectObject(item->hDC, m_font.GetFontHandle());
        DrawText(item->hDC, m_label.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(item->hDC, old);
        return TRUE;
    }

public:
    ~SampleControl() override
    {
        if (m_accel)
            win::DestroyAcceleratorTable(m_accel);
    }

private:
    short m_count = kDefaultCount;
    CString m_label = kDefaultLabel;
    CFontHolder m_font;
    win::HACCEL m_accel = nullptr;
};

// A new sample control with one reference for the caller.
inline com::ComPtr<IUnknown> NewSampleControl(SampleControl** object = nullptr)
{
    auto* control = new SampleControl();
    if (object)
        *object = control;
    return com::ComPtr<IUnknown>::Attach(control->GetControllingUnknown());
}

} // namespace mfctest
