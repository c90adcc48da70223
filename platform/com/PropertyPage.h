#pragma once
// A property page as the property frame hosts it: the frame gives it a site,
// hands it the objects to edit, has it build its window inside the frame's
// page area, shows and hides it, and passes the Help button on. Pages are
// classes a library serves like any other. A page applies what the user does
// at once, so the frame has nothing to apply on OK.

#include "platform/com/OleInterfaces.h"

struct PROPPAGEINFO {
    // The tab's caption; the page allocates it, the frame frees it with
    // CoTaskMemFree.
    LPOLESTR pszTitle;
    // The page's window in pixels.
    SIZE size;
};

// What the frame offers the page it hosts.
struct IPropertyPageSite : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B28C-BAB4-101A-B69C-00AA00341D07}");
    // The frame's own window: the page may rename or hide its buttons and
    // move it.
    virtual HRESULT GetFrameWindow(HWND* frame) = 0;

protected:
    ~IPropertyPageSite() = default;
};

struct IPropertyPage : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B28D-BAB4-101A-B69C-00AA00341D07}");
    // The page keeps the site until it is given null.
    virtual HRESULT SetPageSite(IPropertyPageSite* site) = 0;
    // The objects to edit (a count of 0 lets go of them).
    virtual HRESULT SetObjects(ULONG count, IUnknown** objects) = 0;
    // Builds the page's window under parent at rect's top-left corner,
    // hidden until Show.
    virtual HRESULT Activate(HWND parent, const RECT* rect, BOOL modal) = 0;
    // Destroys the page's window.
    virtual HRESULT Deactivate() = 0;
    virtual HRESULT GetPageInfo(PROPPAGEINFO* info) = 0;
    // SW_SHOW or SW_HIDE.
    virtual HRESULT Show(UINT cmdShow) = 0;
    // The frame's Help button; S_OK when the page showed help.
    virtual HRESULT Help(LPCOLESTR helpDir) = 0;

protected:
    ~IPropertyPage() = default;
};
