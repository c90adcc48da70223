#pragma once
// A button control in a shown test container, for the control's tests.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/com/TestContainer.h"
#include "platform/mfc/CWinApp.h"

#include <QEvent>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace lumvextest {

// The reviewed pictures of the faces and what is drawn over them.
inline std::filesystem::path FaceGoldens()
{
    return std::filesystem::path(__FILE__).parent_path() / "testdata" / "faces";
}

// A colour bitmap holding a copy of what a DC shows at (0, 0).
inline HBITMAP BitmapCopyOf(HDC dc, int w, int h)
{
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(mem, bm);
    BitBlt(mem, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    return bm;
}

// A new control with one reference for the caller, its module initialised
// first as the library's entry points do.
inline com::ComPtr<IUnknown> NewButton(CLumvexCtrl** object = nullptr)
{
    AfxInitModule();
    auto* control = new CLumvexCtrl();
    if (object)
        *object = control;
    return com::ComPtr<IUnknown>::Attach(control->GetControllingUnknown());
}

// Whether the button's faces are to be rebuilt or were rebuilt since
// ClearRebuild: a repaint that runs at once rebuilds them and clears the flag.
inline bool FacesRebuilt(const CLumvexCtrl& button)
{
    return button.m_bRebuildFaces || button.m_nFaceRenders > 0;
}
inline void ClearRebuild(CLumvexCtrl& button)
{
    button.m_bRebuildFaces = FALSE;
    button.m_nFaceRenders = 0;
}

// A control loaded with its defaults in a shown container, 96 x 48 at
// (10, 20), active in the given mode; its refresh steps traced from then on.
struct ActiveButton {
    explicit ActiveButton(bool userMode = true)
    {
        control = NewButton(&button);
        box.SetUserMode(userMode);
        site = box.Add(control.Get());
        site->InitNew();
        site->SetRect(RECT{10, 20, 106, 68});
        box.Host().show();
        box.Host().activateWindow();
        if (!QTest::qWaitForWindowActive(&box.Host()))
            ADD_FAILURE() << "the container never became active";
        site->Activate();
        button->m_pTrace = &trace;
    }
    ~ActiveButton() { button->m_pTrace = nullptr; }

    int NeedRefreshEvents()
    {
        const auto& events = box.LogOf(site).events;
        return int(std::count_if(events.begin(), events.end(),
                                 [](const auto& e) { return e.id == DISPID_EVT_CONTAINERNEEDREFRESH; }));
    }

    com::TestContainer box;
    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> control;
    com::ControlSite* site = nullptr;
    std::vector<CLumvexCtrl::Step> trace;
};

// Counts the events of one type a widget gets (installed as its filter).
template <QEvent::Type Type>
class EventCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == Type)
            ++count;
        return false;
    }
};

} // namespace lumvextest
