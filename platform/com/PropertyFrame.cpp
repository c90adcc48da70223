#include "platform/com/PropertyFrame.h"

#include "platform/com/Loader.h"
#include "platform/com/PropertyBag.h"
#include "platform/win/WindowPos.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace com {

namespace {

ClassObjectSource& moduleSource()
{
    static ClassObjectSource source = nullptr;
    return source;
}

} // namespace

void SetModuleClassSource(ClassObjectSource source)
{
    moduleSource() = source;
}

HRESULT CreatePropertyPage(REFCLSID clsid, IPropertyPage** page)
{
    if (!page)
        return E_POINTER;
    *page = nullptr;
    if (ClassObjectSource source = moduleSource()) {
        ComPtr<IClassFactory> factory;
        if (SUCCEEDED(source(clsid, IID_IClassFactory, factory.ReceiveVoid())) && factory)
            return factory->CreateInstance(nullptr, IPropertyPage::kIid, reinterpret_cast<void**>(page));
    }
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IPropertyPage::kIid,
                            reinterpret_cast<void**>(page));
}

// The frame as its pages see it. The frame may go before a page lets go of
// its site: then there is no window to give.
class PropertyFrame::Site final : public ComObject<Site, IPropertyPageSite> {
public:
    explicit Site(QWidget* frame) : frame_(frame) {}

    std::span<const InterfaceEntry> InterfaceTable() const
    {
        static constexpr InterfaceEntry table[] = {Implements<Site, IPropertyPageSite>()};
        return table;
    }

    HRESULT GetFrameWindow(HWND* frame) override
    {
        if (!frame)
            return E_POINTER;
        *frame = frame_.data();
        return *frame ? S_OK : E_UNEXPECTED;
    }

private:
    QPointer<QWidget> frame_;
};

PropertyFrame::PropertyFrame(PropertyFrameRequest request)
    : QDialog(request.owner), request_(std::move(request)), site_(ComPtr<IPropertyPageSite>::Attach(new Site(this)))
{
    setObjectName(QStringLiteral("propertyFrame"));
    setWindowTitle(QString::fromStdString(request_.caption));
    tabs_ = new QTabWidget;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::pair<int, const char*> kButtons[] = {
        {kFrameOk, "OK"}, {kFrameCancel, "Cancel"}, {kFrameApply, "&Apply"}, {kFrameHelp, "Help"}};
    for (const auto& [id, text] : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(text));
        button->setObjectName(QStringLiteral("id%1").arg(id));
        button->setAutoDefault(id == kFrameOk);
        button->setDefault(id == kFrameOk);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    // The frame is as large as its largest page and its buttons, no larger:
    // it cannot be resized or maximised into empty margins.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button(kFrameOk), &QPushButton::clicked, this, &QDialog::accept);
    connect(Button(kFrameCancel), &QPushButton::clicked, this, &QDialog::reject);
    connect(Button(kFrameHelp), &QPushButton::clicked, this, [this] { help(); });
    // The pages apply what the user does at once: nothing is ever pending.
    Button(kFrameApply)->setEnabled(false);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { showPage(index); });
    if (request_.x || request_.y)
        win::MoveWindowTo(this, QPoint(request_.x, request_.y));
}

PropertyFrame::~PropertyFrame()
{
    release();
}

HRESULT PropertyFrame::Open()
{
    if (request_.pages.empty())
        return E_INVALIDARG;
    auto create = request_.createPage ? request_.createPage : &CreatePropertyPage;
    std::vector<IUnknown*> objects;
    for (const auto& o : request_.objects)
        objects.push_back(o.Get());
    HRESULT firstError = S_OK;
    for (const CLSID& clsid : request_.pages) {
        ComPtr<IPropertyPage> page;
        HRESULT hr = create(clsid, page.Receive());
        if (SUCCEEDED(hr) && !page)
            hr = E_NOINTERFACE;
        if (SUCCEEDED(hr))
            hr = page->SetPageSite(site_.Get());
        if (SUCCEEDED(hr))
            hr = page->SetObjects(ULONG(objects.size()), objects.data());
        PROPPAGEINFO info{nullptr, {0, 0}};
        if (SUCCEEDED(hr))
            hr = page->GetPageInfo(&info);
        if (FAILED(hr)) {
            if (page) {
                page->SetObjects(0, nullptr);
                page->SetPageSite(nullptr);
            }
            if (SUCCEEDED(firstError))
                firstError = hr;
            continue;
        }
        std::string title;
        if (info.pszTitle) {
            title = Utf8FromOleString(info.pszTitle);
            CoTaskMemFree(info.pszTitle);
        }
        auto* area = new QWidget;
        area->setMinimumSize(std::max<LONG>(info.size.cx, 1), std::max<LONG>(info.size.cy, 1));
        {
            // Adding the first tab makes it current; it is shown once built.
            const QSignalBlocker quiet(tabs_);
            tabs_->addTab(area, QString::fromStdString(title));
        }
        const RECT rect{0, 0, info.size.cx, info.size.cy};
        if (FAILED(hr = page->Activate(area, &rect, TRUE))) {
            const QSignalBlocker quiet(tabs_);
            tabs_->removeTab(tabs_->indexOf(area));
            delete area;
            page->SetObjects(0, nullptr);
            page->SetPageSite(nullptr);
            if (SUCCEEDED(firstError))
                firstError = hr;
            continue;
        }
        pages_.push_back(Page{page, area, false});
    }
    if (pages_.empty())
        return FAILED(firstError) ? firstError : E_FAIL;
    showPage(tabs_->currentIndex());
    return S_OK;
}

void PropertyFrame::showPage(int index)
{
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        Page& p = pages_[i];
        const bool show = int(i) == index;
        if (p.shown == show)
            continue;
        p.shown = show;
        p.page->Show(show ? win::SW_SHOW : win::SW_HIDE);
    }
}

void PropertyFrame::help()
{
    const int index = tabs_->currentIndex();
    if (index >= 0 && std::size_t(index) < pages_.size())
        pages_[std::size_t(index)].page->Help(nullptr);
}

void PropertyFrame::done(int result)
{
    // Hidden first: a page does its closing work while it still has its
    // objects and its window.
    showPage(-1);
    QDialog::done(result);
    release();
}

void PropertyFrame::release()
{
    showPage(-1);
    // Taken out first: a page's last calls may re-enter the frame.
    std::vector<Page> pages;
    pages.swap(pages_);
    for (Page& p : pages)
        p.page->Deactivate();
    for (Page& p : pages) {
        p.page->SetObjects(0, nullptr);
        p.page->SetPageSite(nullptr);
    }
}

QPushButton* PropertyFrame::Button(int id) const
{
    return findChild<QPushButton*>(QStringLiteral("id%1").arg(id));
}

QWidget* PropertyFrame::PageArea(std::size_t index) const
{
    return index < pages_.size() ? pages_[index].area : nullptr;
}

HRESULT RunPropertyFrame(const PropertyFrameRequest& request)
{
    PropertyFrame frame(request);
    const HRESULT hr = frame.Open();
    if (FAILED(hr))
        return hr;
    frame.exec();
    return S_OK;
}

} // namespace com
