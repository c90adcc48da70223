#pragma once
// A property page as the property frame hosts it: the frame hands it the
// objects to edit, gives it a widget to build itself in, and applies it when
// the user confirms. Pages are classes a library serves like any other.

#include "platform/com/OleInterfaces.h"

struct PROPPAGEINFO {
    // The tab's caption; the page allocates it, the frame frees it with
    // CoTaskMemFree.
    LPOLESTR pszTitle;
    SIZE size;
};

struct IPropertyPage : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B28D-BAB4-101A-B69C-00AA00341D07}");
    virtual HRESULT SetObjects(ULONG count, IUnknown** objects) = 0;
    // Builds the page's widgets under parent, within rect.
    virtual HRESULT Activate(HWND parent, const RECT* rect, BOOL modal) = 0;
    virtual HRESULT Deactivate() = 0;
    virtual HRESULT GetPageInfo(PROPPAGEINFO* info) = 0;
    // S_OK when the page holds changes not yet applied.
    virtual HRESULT IsPageDirty() = 0;
    virtual HRESULT Apply() = 0;

protected:
    ~IPropertyPage() = default;
};
