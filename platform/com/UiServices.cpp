#include "platform/com/UiServices.h"

#include "platform/com/FontDialog.h"
#include "platform/com/Loader.h"
#include "platform/com/PropertyBag.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace com {

namespace {

bool headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

struct HostedPage {
    ComPtr<IPropertyPage> page;
    std::string title;
    SIZE size{0, 0};
};

// Creates each page the request names and hands it the objects; the pages
// that could not be made are left out. The first failure when none could be.
HRESULT createPages(const PropertyFrameRequest& r, std::vector<HostedPage>& pages)
{
    HRESULT firstError = r.pages.empty() ? E_INVALIDARG : S_OK;
    std::vector<IUnknown*> objects;
    for (const auto& o : r.objects)
        objects.push_back(o.Get());
    for (const CLSID& clsid : r.pages) {
        HostedPage hosted;
        HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IPropertyPage::kIid,
                                      hosted.page.ReceiveVoid());
        if (SUCCEEDED(hr))
            hr = hosted.page->SetObjects(ULONG(objects.size()), objects.data());
        if (FAILED(hr)) {
            if (SUCCEEDED(firstError))
                firstError = hr;
            continue;
        }
        PROPPAGEINFO info{nullptr, {0, 0}};
        if (SUCCEEDED(hosted.page->GetPageInfo(&info)) && info.pszTitle) {
            hosted.title = Utf8FromOleString(info.pszTitle);
            CoTaskMemFree(info.pszTitle);
        }
        hosted.size = info.size;
        pages.push_back(std::move(hosted));
    }
    return pages.empty() ? (FAILED(firstError) ? firstError : E_FAIL) : S_OK;
}

class DesktopUiServices final : public UiServices {
public:
    void ShowAboutBox(const AboutBoxRequest& r) override
    {
        if (headless()) {
            std::fprintf(stderr, "[headless] about box %s\n", r.title.c_str());
            return;
        }
        QDialog dialog(r.owner);
        dialog.setWindowTitle(QString::fromStdString(r.title));
        auto* text = new QVBoxLayout;
        for (const std::string& line : r.lines)
            text->addWidget(new QLabel(QString::fromStdString(line)));
        text->addWidget(new QLabel(QStringLiteral("Version: ") + QString::fromStdString(r.version)));
        auto* body = new QHBoxLayout;
        if (!r.icon.isNull()) {
            auto* icon = new QLabel;
            icon->setPixmap(QPixmap::fromImage(r.icon));
            body->addWidget(icon, 0, Qt::AlignTop);
        }
        body->addLayout(text);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addLayout(body);
        layout->addWidget(buttons);
        dialog.exec();
    }

    HRESULT ShowPropertyFrame(const PropertyFrameRequest& r) override
    {
        std::vector<HostedPage> pages;
        const HRESULT hr = createPages(r, pages);
        if (FAILED(hr))
            return hr;
        if (headless()) {
            std::fprintf(stderr, "[headless] property frame %s\n", r.caption.c_str());
            return S_OK;
        }
        QDialog dialog(r.owner);
        dialog.setWindowTitle(QString::fromStdString(r.caption));
        if (r.x || r.y)
            dialog.move(r.x, r.y);
        auto* tabs = new QTabWidget;
        for (HostedPage& p : pages) {
            auto* area = new QWidget;
            area->setMinimumSize(p.size.cx, p.size.cy);
            tabs->addTab(area, QString::fromStdString(p.title));
            const RECT rect{0, 0, p.size.cx, p.size.cy};
            p.page->Activate(area, &rect, TRUE);
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
        auto applyAll = [&pages] {
            for (HostedPage& p : pages)
                if (p.page->IsPageDirty() == S_OK)
                    p.page->Apply();
        };
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
            applyAll();
            dialog.accept();
        });
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        QObject::connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, &dialog, applyAll);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(tabs);
        layout->addWidget(buttons);
        dialog.exec();
        for (HostedPage& p : pages)
            p.page->Deactivate();
        return S_OK;
    }
};

// Calls whatever services are current, so a library handed these follows a
// host that changes its own.
class ForwardingServices final : public UiServices {
public:
    void ShowAboutBox(const AboutBoxRequest& r) override { Ui().ShowAboutBox(r); }
    HRESULT ShowPropertyFrame(const PropertyFrameRequest& r) override { return Ui().ShowPropertyFrame(r); }
    std::optional<std::string> OpenFile(const forms::FileDialogRequest& r) override { return Ui().OpenFile(r); }
    std::optional<std::string> SaveFile(const forms::FileDialogRequest& r) override { return Ui().SaveFile(r); }
    std::optional<COLORREF> ChooseColor(COLORREF initial) override { return Ui().ChooseColor(initial); }
    std::optional<LOGFONT> ChooseFont(const FontDialogRequest& r) override { return Ui().ChooseFont(r); }
};

std::shared_ptr<UiServices>& services()
{
    static std::shared_ptr<UiServices> s = std::make_shared<DesktopUiServices>();
    return s;
}

} // namespace

std::optional<std::string> UiServices::OpenFile(const forms::FileDialogRequest& request)
{
    return forms::Dialogs().OpenFile(request);
}

std::optional<std::string> UiServices::SaveFile(const forms::FileDialogRequest& request)
{
    return forms::Dialogs().SaveFile(request);
}

std::optional<COLORREF> UiServices::ChooseColor(COLORREF initial)
{
    const auto chosen = forms::Dialogs().ChooseColor(forms::OLE_COLOR(initial & 0xFFFFFF));
    if (!chosen)
        return std::nullopt;
    return COLORREF(*chosen & 0xFFFFFF);
}

std::optional<LOGFONT> UiServices::ChooseFont(const FontDialogRequest& request)
{
    if (headless()) {
        std::fprintf(stderr, "[headless] font dialog\n");
        return std::nullopt;
    }
    FontDialog dialog(request.font, gdi::ScreenDpi(), request.owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.logFont();
}

void SetUiServices(std::shared_ptr<UiServices> s)
{
    services() = s ? std::move(s) : std::make_shared<DesktopUiServices>();
}

UiServices& Ui()
{
    return *services();
}

UiServices& ForwardingUiServices()
{
    static ForwardingServices forwarding;
    return forwarding;
}

HRESULT OleCreatePropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                               IUnknown** objects, ULONG pageCount, const CLSID* pages)
{
    PropertyFrameRequest r;
    r.owner = owner;
    r.x = int(x);
    r.y = int(y);
    r.caption = caption ? Utf8FromOleString(caption) : std::string();
    for (ULONG i = 0; objects && i < objectCount; ++i)
        r.objects.emplace_back(objects[i]);
    for (ULONG i = 0; pages && i < pageCount; ++i)
        r.pages.push_back(pages[i]);
    // Held for the call: a recorder keeps copies, a frame releases its own.
    auto held = services();
    return held->ShowPropertyFrame(r);
}

} // namespace com
