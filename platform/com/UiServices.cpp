#include "platform/com/UiServices.h"

#include "platform/com/FontDialog.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/PropertyFrame.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include <cstdio>

namespace com {

namespace {

bool headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen");
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
        PropertyFrame frame(r);
        const HRESULT hr = frame.Open();
        if (FAILED(hr))
            return hr;
        if (headless()) {
            std::fprintf(stderr, "[headless] property frame %s\n", r.caption.c_str());
            frame.reject();
            return S_OK;
        }
        frame.exec();
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
    r.createPage = &CreatePropertyPage;
    // Held for the call: a recorder keeps copies, a frame releases its own.
    auto held = services();
    return held->ShowPropertyFrame(r);
}

} // namespace com
