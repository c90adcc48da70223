#pragma once
// The windows a component shows on its own: its about box and the property
// frame with its pages (message boxes go through win::MessageBox). They are
// a seam: the desktop shows Qt dialogs, except that on the offscreen
// platform nothing is shown and the default answer is given; tests install
// a RecordingUiServices. A host hands its services to the libraries it loads
// (HostServices.h), so one recorder hears every component of the process.

#include "platform/com/PropertyPage.h"
#include "platform/forms/CommonDialog.h"
#include "platform/gdi/Text.h"

#include <QImage>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace com {

struct AboutBoxRequest {
    QWidget* owner = nullptr;
    std::string title;
    QImage icon;
    // The dialog's text lines, then "Version: " and the version.
    std::vector<std::string> lines;
    std::string version;
};

struct PropertyFrameRequest {
    QWidget* owner = nullptr;
    int x = 0;
    int y = 0;
    std::string caption;
    std::vector<ComPtr<IUnknown>> objects;
    std::vector<CLSID> pages;
    // How the pages are made: the calling module's own way, so that a page
    // and the controls it edits are one module's objects. Null: the frame's.
    HRESULT (*createPage)(REFCLSID clsid, IPropertyPage** page) = nullptr;
};

// CF_ flags of a font request.
inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_EFFECTS = 0x00000100;

struct FontDialogRequest {
    QWidget* owner = nullptr;
    LOGFONT font{};
    DWORD flags = 0;
};

class UiServices {
public:
    virtual ~UiServices() = default;
    // Modal; returns when the user closed it.
    virtual void ShowAboutBox(const AboutBoxRequest& request) = 0;
    // Modal. Creates each page by its class and shows those it could; an
    // error when not one page could be created. S_OK once closed.
    virtual HRESULT ShowPropertyFrame(const PropertyFrameRequest& request) = 0;

    // The common dialogs; nothing for Cancel. Files and colours go to the
    // forms layer's dialog port of the process these services belong to, so
    // a host's recorder hears a library's requests as well.
    virtual std::optional<std::string> OpenFile(const forms::FileDialogRequest& request);
    virtual std::optional<std::string> SaveFile(const forms::FileDialogRequest& request);
    virtual std::optional<COLORREF> ChooseColor(COLORREF initial);
    // Our own font dialog (FontDialog.h): face, style, size, underline and
    // strike-out; headless it answers Cancel.
    virtual std::optional<LOGFONT> ChooseFont(const FontDialogRequest& request);
};

// nullptr restores the desktop services.
void SetUiServices(std::shared_ptr<UiServices> services);
UiServices& Ui();

// The services that forward to whatever Ui() is at the time of each call;
// what a host hands a library.
UiServices& ForwardingUiServices();

// The frame of OLE's own call: objects and pages as arrays.
HRESULT OleCreatePropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                               IUnknown** objects, ULONG pageCount, const CLSID* pages);

// Keeps every request and answers at once.
class RecordingUiServices : public UiServices {
public:
    void ShowAboutBox(const AboutBoxRequest& request) override { aboutBoxes.push_back(request); }
    HRESULT ShowPropertyFrame(const PropertyFrameRequest& request) override
    {
        frames.push_back(request);
        return frameResult;
    }
    // Fonts answer from the queue, Cancel once it is empty.
    std::optional<LOGFONT> ChooseFont(const FontDialogRequest& request) override
    {
        fontRequests.push_back(request);
        if (fonts.empty())
            return std::nullopt;
        auto answer = fonts.front();
        fonts.pop_front();
        return answer;
    }
    std::vector<AboutBoxRequest> aboutBoxes;
    std::vector<PropertyFrameRequest> frames;
    HRESULT frameResult = S_OK;
    std::deque<std::optional<LOGFONT>> fonts;
    std::vector<FontDialogRequest> fontRequests;
};

} // namespace com
