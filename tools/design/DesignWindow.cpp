#include "tools/design/DesignWindow.h"

#include "platform/com/Bstr.h"
#include "platform/com/PropertyBag.h"
#include "platform/com/PropertyFrame.h"
#include "platform/com/Variant.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdio>

namespace design {

namespace {

// The form the button stands on, white so that the button's own edges and
// shape show plainly.
constexpr int kFormWidth = 480;
constexpr int kFormHeight = 280;
constexpr OLE_COLOR kFormColor = 0x00FFFFFF;

QRect qrect(const RECT& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

RECT winrect(const QRect& r)
{
    return RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

std::string hresultText(HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
    return code;
}

// The page a container would show for the button: the first it names.
HRESULT firstPageOf(IUnknown* control, CLSID* page)
{
    com::ComPtr<ISpecifyPropertyPages> specify;
    if (!control || FAILED(control->QueryInterface(ISpecifyPropertyPages::kIid, specify.ReceiveVoid())))
        return E_NOINTERFACE;
    CAUUID pages{0, nullptr};
    const HRESULT hr = specify->GetPages(&pages);
    if (FAILED(hr))
        return hr;
    const bool any = pages.cElems > 0 && pages.pElems;
    if (any)
        *page = pages.pElems[0];
    CoTaskMemFree(pages.pElems);
    return any ? S_OK : E_FAIL;
}

// The page as a frame would hold it, without a frame of its own.
class PageSite final : public com::ComObject<PageSite, IPropertyPageSite> {
public:
    std::span<const com::InterfaceEntry> InterfaceTable() const
    {
        static constexpr com::InterfaceEntry table[] = {com::Implements<PageSite, IPropertyPageSite>()};
        return table;
    }
    HRESULT GetFrameWindow(HWND* frame) override
    {
        if (!frame)
            return E_POINTER;
        *frame = nullptr;
        return E_NOTIMPL;
    }
};

} // namespace

// --- The window --------------------------------------------------------------------------------

DesignWindow::DesignWindow()
{
    setObjectName(QStringLiteral("quorvelDesign"));
    setWindowTitle(QStringLiteral("Quorvel Design"));
    form_ = new QWidget(this);
    form_->setObjectName(QStringLiteral("form"));
    form_->setMinimumSize(kFormWidth, kFormHeight);
    form_->setAutoFillBackground(true);
    QPalette palette = form_->palette();
    palette.setColor(QPalette::Window, Qt::white);
    form_->setPalette(palette);
    setCentralWidget(form_);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* open = file->addAction(tr("&Open..."), this, &DesignWindow::OpenTemplate);
    open->setShortcut(QKeySequence::Open);
    QAction* save = file->addAction(tr("&Save..."), this, &DesignWindow::SaveTemplate);
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    QMenu* button = menuBar()->addMenu(tr("&Button"));
    properties_ = button->addAction(tr("&Properties..."), this, &DesignWindow::ShowProperties);
    properties_->setShortcut(Qt::Key_F4);
    run_ = button->addAction(tr("&Run"));
    run_->setCheckable(true);
    run_->setShortcut(Qt::Key_F5);
    connect(run_, &QAction::toggled, this, &DesignWindow::SetRunning);
    // Design commands wait while the button runs.
    for (QAction* designOnly : {open, save, properties_})
        connect(run_, &QAction::toggled, designOnly, [designOnly](bool running) { designOnly->setEnabled(!running); });
}

DesignWindow::~DesignWindow()
{
    if (site_)
        site_->Close();
}

HRESULT DesignWindow::CreateButton(REFCLSID clsid)
{
    if (site_)
        return E_UNEXPECTED;
    auto site = com::NewControlSite(form_);
    // A designer's container: design mode, its form's colour.
    site->SetUserMode(false);
    site->SetBackColor(kFormColor);
    site->SetDisplayName("Button1");
    HRESULT hr = site->Create(clsid);
    if (SUCCEEDED(hr))
        hr = site->InitNew();
    if (FAILED(hr)) {
        site->Close();
        return hr;
    }
    const QRect rect((kFormWidth - kButtonWidth) / 2, (kFormHeight - kButtonHeight) / 2, kButtonWidth,
                     kButtonHeight);
    site->SetRect(winrect(rect));
    // A template that carries a rectangle moves the button there.
    site->onPosRectChange = [this](const RECT& r) {
        if (selection_)
            selection_->SetButtonRect(qrect(r));
    };
    if (FAILED(hr = site->Activate())) {
        site->Close();
        return hr;
    }
    site_ = site;
    clsid_ = clsid;

    selection_ = new SelectionFrame(form_);
    connect(selection_, &SelectionFrame::resized, this, [this](const QRect& r) {
        site_->SetRect(winrect(r));
        placeSelection();
    });
    connect(selection_, &SelectionFrame::propertiesRequested, this, &DesignWindow::ShowProperties);
    placeSelection();
    selection_->show();
    return S_OK;
}

void DesignWindow::placeSelection()
{
    if (!selection_ || !site_)
        return;
    selection_->SetButtonRect(qrect(site_->Rect()));
    selection_->raise();
}

bool DesignWindow::LoadTemplate(const std::filesystem::path& file, std::string* error)
{
    auto control = site_ ? site_->ControlAs<IDispatch>() : com::ComPtr<IDispatch>();
    if (!control) {
        if (error)
            *error = "There is no button to load " + file.string() + " into.";
        return false;
    }
    // The extended form's reader takes the plain form too.
    std::u16string name = u"LoadTemplateEx";
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    HRESULT hr = control->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    com::ComVariant path = com::ComVariant::Text(file.string());
    DISPPARAMS params{&path, nullptr, 1, 0};
    com::ComVariant result;
    EXCEPINFO exception{};
    if (SUCCEEDED(hr))
        hr = control->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &exception, nullptr);
    const bool loaded = SUCCEEDED(hr) && result.vt == VT_I2 && result.iVal != 0;
    if (!loaded && error) {
        *error = "The template " + file.string() + " cannot be read";
        if (hr == DISP_E_EXCEPTION && exception.bstrDescription)
            *error += ": " + com::Utf8FromBstr(exception.bstrDescription);
        else if (FAILED(hr))
            *error += " (error " + hresultText(hr) + ")";
        *error += ".";
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    placeSelection();
    if (loaded)
        setWindowTitle(QStringLiteral("Quorvel Design - %1").arg(QString::fromStdString(file.filename().string())));
    return loaded;
}

void DesignWindow::ShowProperties()
{
    if (!site_ || Running())
        return;
    auto object = site_->ControlAs<IOleObject>();
    if (!object)
        return;
    const RECT rect = site_->Rect();
    const HRESULT hr =
        object->DoVerb(OLEIVERB_PROPERTIES, nullptr, static_cast<IOleClientSite*>(site_.Get()), 0, form_, &rect);
    if (FAILED(hr))
        QMessageBox::warning(this, windowTitle(),
                             tr("The button's properties cannot be shown (error %1).")
                                 .arg(QString::fromStdString(hresultText(hr))));
    placeSelection();
}

void DesignWindow::OpenTemplate()
{
    pressPageButton(kLoadTemplateButton);
}

void DesignWindow::SaveTemplate()
{
    pressPageButton(kSaveTemplateButton);
}

// The page's own command: the page is made for the button as the frame
// would make it, built in a hidden holder, and its button pressed with the
// space key, so the page asks for the file and does the work itself.
void DesignWindow::pressPageButton(int id)
{
    if (!site_ || Running())
        return;
    CLSID clsid{};
    com::ComPtr<IPropertyPage> page;
    HRESULT hr = firstPageOf(site_->Control(), &clsid);
    if (SUCCEEDED(hr))
        hr = com::CreatePropertyPage(clsid, page.Receive());
    if (SUCCEEDED(hr) && !page)
        hr = E_NOINTERFACE;
    if (FAILED(hr)) {
        QMessageBox::warning(this, windowTitle(),
                             tr("The button's property page cannot be made (error %1).")
                                 .arg(QString::fromStdString(hresultText(hr))));
        return;
    }
    auto site = com::ComPtr<PageSite>::Attach(new PageSite);
    QWidget holder;
    IUnknown* objects[] = {site_->Control()};
    const RECT at{0, 0, 0, 0};
    if (SUCCEEDED(page->SetPageSite(site.Get())) && SUCCEEDED(page->SetObjects(1, objects)) &&
        SUCCEEDED(page->Activate(&holder, &at, TRUE))) {
        if (QWidget* button = holder.findChild<QWidget*>(QStringLiteral("id%1").arg(id))) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QCoreApplication::sendEvent(button, &press);
            QCoreApplication::sendEvent(button, &release);
        }
        page->Deactivate();
    }
    page->SetObjects(0, nullptr);
    page->SetPageSite(nullptr);
    placeSelection();
}

void DesignWindow::SetRunning(bool running)
{
    if (!site_)
        return;
    if (run_->isChecked() != running) {
        run_->setChecked(running); // comes back here through toggled
        return;
    }
    site_->SetUserMode(running);
    selection_->setVisible(!running);
    if (!running)
        placeSelection();
}

bool DesignWindow::Running() const
{
    return site_ && site_->UserMode();
}

void DesignWindow::closeEvent(QCloseEvent* event)
{
    // A modal frame or dialog of the button's is still open: it ends first.
    if (QApplication::activeModalWidget()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// --- The selection -------------------------------------------------------------------------

SelectionFrame::SelectionFrame(QWidget* form) : QWidget(form)
{
    setObjectName(QStringLiteral("selection"));
    setMouseTracking(true);
}

void SelectionFrame::SetButtonRect(const QRect& rect)
{
    button_ = rect;
    setGeometry(rect.adjusted(-kGrip, -kGrip, kGrip, kGrip));
    update();
}

QRect SelectionFrame::GripRect(int grip) const
{
    const QRect r = button_.adjusted(-1, -1, 1, 1);
    const int xs[3] = {r.left() - kGrip / 2 - 1, r.center().x() - kGrip / 2, r.right() - kGrip / 2 + 1};
    const int ys[3] = {r.top() - kGrip / 2 - 1, r.center().y() - kGrip / 2, r.bottom() - kGrip / 2 + 1};
    // Clockwise from the left top corner.
    static constexpr std::array<std::pair<int, int>, 8> kPlaces{
        {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}};
    const auto [col, row] = kPlaces[std::size_t(grip)];
    return QRect(xs[col], ys[row], kGrip, kGrip);
}

int SelectionFrame::gripAt(const QPoint& formPoint) const
{
    for (int i = 0; i < 8; ++i)
        if (GripRect(i).adjusted(-1, -1, 1, 1).contains(formPoint))
            return i;
    return -1;
}

QRect SelectionFrame::dragged(const QPoint& formPoint) const
{
    const QPoint d = formPoint - pressedAt_;
    int left = pressedRect_.left();
    int top = pressedRect_.top();
    int right = pressedRect_.right();
    int bottom = pressedRect_.bottom();
    const bool moveLeft = grip_ == 0 || grip_ == 6 || grip_ == 7;
    const bool moveRight = grip_ == 2 || grip_ == 3 || grip_ == 4;
    const bool moveTop = grip_ == 0 || grip_ == 1 || grip_ == 2;
    const bool moveBottom = grip_ == 4 || grip_ == 5 || grip_ == 6;
    const QRect form = parentWidget()->rect();
    // The side dragged stays on the form and leaves the button its least size.
    if (moveLeft)
        left = std::clamp(left + d.x(), form.left(), right - kMinimum + 1);
    if (moveRight)
        right = std::clamp(right + d.x(), left + kMinimum - 1, std::max(form.right(), left + kMinimum - 1));
    if (moveTop)
        top = std::clamp(top + d.y(), form.top(), bottom - kMinimum + 1);
    if (moveBottom)
        bottom = std::clamp(bottom + d.y(), top + kMinimum - 1, std::max(form.bottom(), top + kMinimum - 1));
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void SelectionFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.translate(-pos());
    p.setPen(QPen(Qt::darkGray, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(button_.adjusted(-1, -1, 0, 0));
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    for (int i = 0; i < 8; ++i)
        p.drawRect(GripRect(i).adjusted(0, 0, -1, -1));
}

void SelectionFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = mapToParent(event->position().toPoint());
    grip_ = gripAt(at);
    pressedAt_ = at;
    pressedRect_ = button_;
}

void SelectionFrame::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = mapToParent(event->position().toPoint());
    if (grip_ >= 0 && (event->buttons() & Qt::LeftButton)) {
        const QRect r = dragged(at);
        if (r != button_)
            emit resized(r);
        return;
    }
    static constexpr Qt::CursorShape kShapes[8] = {Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor,
                                                   Qt::SizeHorCursor,   Qt::SizeFDiagCursor, Qt::SizeVerCursor,
                                                   Qt::SizeBDiagCursor, Qt::SizeHorCursor};
    const int grip = gripAt(at);
    setCursor(grip >= 0 ? kShapes[grip] : Qt::ArrowCursor);
}

void SelectionFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        grip_ = -1;
}

void SelectionFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && button_.contains(mapToParent(event->position().toPoint())))
        emit propertiesRequested();
}

} // namespace design
