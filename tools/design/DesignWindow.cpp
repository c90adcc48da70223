#include "tools/design/DesignWindow.h"

#include "platform/com/Bstr.h"
#include "platform/com/UiServices.h"
#include "platform/com/Variant.h"
#include "platform/forms/CommonDialog.h"
#include "platform/win/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <vector>

namespace design {

namespace {

// The form the button stands on, white so that the button's own edges and
// shape show plainly.
constexpr int kFormWidth = 480;
constexpr int kFormHeight = 280;
constexpr OLE_COLOR kFormColor = 0x00FFFFFF;

// The template dialogs, as the property page has them.
constexpr const char* kTemplateFilter = "Template files (*.kzt) |*.kzt|All files (*.*)|*.*||";
constexpr const char* kOpenTitle = "Select button template file";
constexpr const char* kSaveTitle = "Save button template file";

// How long the window manager is given to frame a new window.
constexpr int kPlacingMilliseconds = 2000;

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

// A method of the button by its name, with one argument.
HRESULT callMethod(IDispatch* control, const char16_t* method, com::ComVariant argument, com::ComVariant* result,
                   EXCEPINFO* exception)
{
    if (!control)
        return E_POINTER;
    std::u16string name = method;
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    HRESULT hr = control->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    return control->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, exception, nullptr);
}

// The reason an automation error gives, or its code.
std::string failureOf(HRESULT hr, const EXCEPINFO& exception)
{
    if (hr == DISP_E_EXCEPTION && exception.bstrDescription)
        return ": " + com::Utf8FromBstr(exception.bstrDescription);
    if (FAILED(hr))
        return " (error " + hresultText(hr) + ")";
    return {};
}

void clear(EXCEPINFO& exception)
{
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    exception = EXCEPINFO{};
}

std::optional<QByteArray> readAll(const std::filesystem::path& file)
{
    QFile f(QString::fromStdString(file.string()));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

} // namespace

// --- The window --------------------------------------------------------------------------------

DesignWindow::DesignWindow()
{
    setObjectName(QStringLiteral("quorvelDesign"));
    updateTitle(false);
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
    QAction* save = file->addAction(tr("&Save..."), this, qOverload<>(&DesignWindow::SaveTemplate));
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
    // The tool styles whole buttons: the page's own template commands write
    // and read the extended form, with the media and the rectangle, as
    // File > Save and File > Open do.
    auto control = site->ControlAs<IDispatch>();
    com::ComVariant none;
    if (FAILED(hr = callMethod(control.Get(), u"SetEditingTplMode", com::ComVariant::I2(1), &none, nullptr))) {
        site->Close();
        return hr;
    }
    site_ = site;

    selection_ = new SelectionFrame(form_);
    connect(selection_, &SelectionFrame::resized, this, [this](const QRect& r) {
        site_->SetRect(winrect(r));
        placeSelection();
    });
    connect(selection_, &SelectionFrame::resizeEnded, this, [this] { updateTitle(HasUnsavedChanges()); });
    connect(selection_, &SelectionFrame::propertiesRequested, this, &DesignWindow::ShowProperties);
    placeSelection();
    selection_->show();
    // The new button is nothing to save yet.
    markSaved();
    updateTitle(false);
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
    com::ComVariant result;
    EXCEPINFO exception{};
    const HRESULT hr =
        callMethod(control.Get(), u"LoadTemplateEx", com::ComVariant::Text(file.string()), &result, &exception);
    const bool loaded = SUCCEEDED(hr) && result.vt == VT_I2 && result.iVal != 0;
    if (!loaded && error) {
        // The button's reader says only that it failed: the file tells why.
        std::error_code ec;
        const std::string name = "The template " + file.string();
        if (FAILED(hr))
            *error = name + " cannot be read" + failureOf(hr, exception) + ".";
        else if (!std::filesystem::exists(file, ec))
            *error = name + " does not exist.";
        else if (!std::ifstream(file, std::ios::binary))
            *error = name + " cannot be opened for reading.";
        else
            *error = name + " is no button template, or it is damaged; the button was not changed.";
    }
    clear(exception);
    placeSelection();
    if (loaded) {
        file_ = file;
        markSaved();
        updateTitle(false);
    }
    return loaded;
}

bool DesignWindow::saveTemplateEx(const std::filesystem::path& file)
{
    auto control = site_ ? site_->ControlAs<IDispatch>() : com::ComPtr<IDispatch>();
    com::ComVariant result;
    const HRESULT hr = callMethod(control.Get(), u"SaveTemplateEx", com::ComVariant::Text(file.string()), &result,
                                  nullptr);
    return SUCCEEDED(hr) && result.vt == VT_I2 && result.iVal != 0;
}

bool DesignWindow::SaveTemplate(const std::filesystem::path& file, std::string* error)
{
    if (!site_) {
        if (error)
            *error = "There is no button to save in " + file.string() + ".";
        return false;
    }
    // The file is replaced only once all of it is written.
    if (!saveTemplateEx(file)) {
        if (error)
            *error = "The template " + file.string() +
                     " cannot be written: its folder is missing, read-only or full. The file was not changed.";
        updateTitle(HasUnsavedChanges());
        return false;
    }
    file_ = file;
    saved_ = readAll(file);
    updateTitle(!saved_.has_value());
    return true;
}

std::optional<QByteArray> DesignWindow::currentTemplate()
{
    if (!site_)
        return std::nullopt;
    if (!scratch_)
        scratch_ = std::make_unique<QTemporaryDir>();
    if (!scratch_->isValid())
        return std::nullopt;
    const std::filesystem::path now = std::filesystem::path(scratch_->path().toStdString()) / "now.kzt";
    if (!saveTemplateEx(now))
        return std::nullopt;
    return readAll(now);
}

void DesignWindow::markSaved()
{
    saved_ = currentTemplate();
}

bool DesignWindow::HasUnsavedChanges()
{
    if (!site_)
        return false;
    const std::optional<QByteArray> now = currentTemplate();
    return !now || !saved_ || *now != *saved_;
}

void DesignWindow::updateTitle(bool modified)
{
    const QString name = file_.empty() ? tr("Untitled") : QString::fromStdString(file_.filename().string());
    setWindowTitle(QStringLiteral("%1 - %2%3")
                       .arg(QString::fromLatin1(kTitle), name, modified ? QStringLiteral("*") : QString()));
}

void DesignWindow::showBox(const std::string& text, unsigned type)
{
    win::MessageBox(this, text.c_str(), kTitle, type);
}

void DesignWindow::whenPlaced(std::function<void()> then)
{
    auto* timer = new QTimer(this);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    // Without a window manager (or with one that frames nothing) the
    // window is where it will stay once it shows.
    const QString platform = QGuiApplication::platformName();
    const bool framed = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    connect(timer, &QTimer::timeout, this, [this, timer, started, framed, then = std::move(then)] {
        QWindow* handle = windowHandle();
        const bool late = started->elapsed() > kPlacingMilliseconds;
        if (!late && !(isVisible() && handle && handle->isExposed()))
            return;
        if (!late && framed && handle->frameMargins().isNull())
            return;
        timer->stop();
        timer->deleteLater();
        then();
    });
    timer->start(20);
}

void DesignWindow::OpenAtStart(const std::filesystem::path& file)
{
    whenPlaced([this, file] {
        std::string error;
        if (!LoadTemplate(file, &error))
            showBox(error, win::MB_OK | win::MB_ICONEXCLAMATION);
    });
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
        showBox("The button's properties cannot be shown (error " + hresultText(hr) + ").",
                win::MB_OK | win::MB_ICONEXCLAMATION);
    placeSelection();
    updateTitle(HasUnsavedChanges());
}

void DesignWindow::OpenTemplate()
{
    if (!site_ || Running() || !setAsideChanges("opening another template"))
        return;
    forms::FileDialogRequest request;
    request.title = kOpenTitle;
    request.filter = kTemplateFilter;
    request.flags = forms::OFN_HIDEREADONLY | forms::OFN_PATHMUSTEXIST | forms::OFN_FILEMUSTEXIST;
    const auto chosen = com::Ui().OpenFile(request);
    if (!chosen || chosen->empty())
        return;
    std::string error;
    if (!LoadTemplate(*chosen, &error))
        showBox(error, win::MB_OK | win::MB_ICONEXCLAMATION);
}

bool DesignWindow::SaveTemplate()
{
    if (!site_ || Running())
        return false;
    forms::FileDialogRequest request;
    request.title = kSaveTitle;
    request.filter = kTemplateFilter;
    request.defaultExt = "kzt";
    request.flags = forms::OFN_OVERWRITEPROMPT | forms::OFN_HIDEREADONLY | forms::OFN_PATHMUSTEXIST;
    const auto chosen = com::Ui().SaveFile(request);
    if (!chosen || chosen->empty())
        return false;
    std::filesystem::path file(*chosen);
    // A name typed without an extension is a template's.
    if (!file.has_extension())
        file += ".kzt";
    std::string error;
    if (!SaveTemplate(file, &error)) {
        showBox(error, win::MB_OK | win::MB_ICONEXCLAMATION);
        return false;
    }
    return true;
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

bool DesignWindow::setAsideChanges(const char* before)
{
    if (!HasUnsavedChanges())
        return true;
    const std::string what = file_.empty() ? std::string("the button in a template")
                                           : "the changes to " + file_.filename().string();
    const std::string question = "Save " + what + " before " + before + "?";
    switch (win::MessageBox(this, question.c_str(), kTitle, win::MB_YESNOCANCEL | win::MB_ICONQUESTION)) {
    // Only once the template is written: a cancelled or failed save keeps
    // the button as it is.
    case win::IDYES: return SaveTemplate();
    case win::IDNO: return true;
    default: return false;
    }
}

void DesignWindow::closeEvent(QCloseEvent* event)
{
    // A modal frame or dialog of the button's is still open: it ends first.
    if (QApplication::activeModalWidget() || !setAsideChanges("closing")) {
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
    if (event->button() != Qt::LeftButton)
        return;
    const bool resizing = grip_ >= 0;
    grip_ = -1;
    if (resizing)
        emit resizeEnded();
}

void SelectionFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && button_.contains(mapToParent(event->position().toPoint())))
        emit propertiesRequested();
}

} // namespace design
