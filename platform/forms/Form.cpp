#include "platform/forms/Form.h"

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/Variant.h"
#include "platform/forms/Menu.h"
#include "platform/win/WindowPos.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

namespace forms {

namespace {

constexpr const char* kSettingsApp = "Tallyvane";

std::vector<std::unique_ptr<Form>>& loadedForms()
{
    static std::vector<std::unique_ptr<Form>> forms;
    return forms;
}

void endIfLastGone()
{
    if (loadedForms().empty() && detail::RunActive())
        QCoreApplication::exit(0);
}

int px(double twips)
{
    return detail::TwipsToPixels(twips);
}

} // namespace

// The inner area of a form: holds its controls and its drawing.
class FormClient : public QWidget {
public:
    FormClient(Form& form, QWidget* parent)
        : QWidget(parent)
        , form_(form)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    Form& form_;
};

// The window of a form: its menu bar above the inner area, and the window
// system's events passed to the form. The inner area follows the window's
// size at once, also while the window is hidden (when Qt holds back resize
// events), so that ScaleWidth and drawing see the new size.
class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form)
        : form_(form)
        , client_(new FormClient(form, this))
    {
        setAttribute(Qt::WA_QuitOnClose, false);
        resize(320, 240);
        LayoutClient();
    }

    FormClient* Client() const { return client_; }

    QMenuBar* MenuBar()
    {
        if (!menuBar_) {
            menuBar_ = new QMenuBar(this);
            LayoutClient();
        }
        return menuBar_;
    }

    void LayoutClient()
    {
        int top = 0;
        if (menuBar_) {
            top = menuBar_->sizeHint().height();
            menuBar_->setGeometry(0, 0, width(), top);
        }
        client_->setGeometry(0, top, width(), std::max(0, height() - top));
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        bool unloaded = !form_.Loaded();
        if (!unloaded && !form_.Dying())
            detail::Dispatch([&] { unloaded = form_.unloadWith(vbFormControlMenu); });
        if (unloaded)
            e->accept();
        else
            e->ignore();
    }

    void resizeEvent(QResizeEvent*) override { LayoutClient(); }

    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
            // The window manager frames a window after it is mapped; Qt tells
            // of it by no event of its own.
            if (isVisible() && form_.frameExtra() != form_.seenExtra_ && !form_.Dying())
                QTimer::singleShot(0, this, [this] {
                    if (!form_.Dying())
                        form_.frameChanged();
                });
            break;
        default: break;
        }
        if (e->type() == QEvent::WindowActivate) {
            if (form_.Loaded() && !form_.Dying())
                detail::Dispatch([this] { form_.activated(); });
        } else if (e->type() == QEvent::WindowDeactivate) {
            form_.active_ = false;
        }
        return QWidget::event(e);
    }

private:
    Form& form_;
    FormClient* client_;
    QMenuBar* menuBar_ = nullptr;
};

void FormClient::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    form_.PaintSurface(p);
}

void FormClient::resizeEvent(QResizeEvent*)
{
    form_.ResizeSurface();
    if (form_.Loaded() && !form_.Dying())
        detail::Dispatch([this] { form_.Form_Resize(); });
}

QMenuBar* MenuBarOf(Form& form)
{
    return form.window_->MenuBar();
}

Form::Form(std::string name)
    : name_(std::move(name))
    , window_(std::make_unique<FormWindow>(*this))
{
    BindSurface(window_->Client());
    window_->setWindowTitle(QString::fromStdString(name_));
    window_->setAutoFillBackground(false);
    applyWindowKind();
}

Form::~Form()
{
    dying_ = true;
    if (modalLoop_)
        modalLoop_->quit();
    window_.reset();
}

void AdoptForm(std::unique_ptr<Form> form)
{
    if (QGuiApplication* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        app->setQuitOnLastWindowClosed(false);
    Form& f = *form;
    f.loaded_ = true;
    loadedForms().push_back(std::move(form));
    f.Form_Load();
}

int FormsCollection::Count() const
{
    return static_cast<int>(loadedForms().size());
}

Form& FormsCollection::Item(int index) const
{
    if (index < 0 || index >= Count())
        vb::Raise(vb::kErrSubscript);
    return *loadedForms()[static_cast<size_t>(index)];
}

FormsCollection Forms()
{
    return {};
}

void ResetForms()
{
    auto forms = std::move(loadedForms());
    loadedForms().clear();
    for (auto& f : forms) {
        f->loaded_ = false;
        f->dying_ = true;
        if (f->modalLoop_)
            f->modalLoop_->quit();
    }
    forms.clear();
    detail::DeletePendingNow();
}

bool Form::unloadWith(int mode)
{
    if (!loaded_ || unloading_ || dying_)
        return false;
    struct Flag {
        bool& f;
        explicit Flag(bool& flag) : f(flag) { f = true; }
        ~Flag() { f = false; }
    } busy(unloading_);

    int cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (cancel != 0)
        return false;
    Form_Unload(cancel);
    if (cancel != 0)
        return false;

    loaded_ = false;
    active_ = false;
    window_->hide();
    if (modalLoop_)
        modalLoop_->quit();
    auto& forms = loadedForms();
    auto it = std::find_if(forms.begin(), forms.end(), [this](const auto& p) { return p.get() == this; });
    if (it != forms.end()) {
        auto holder = std::make_shared<std::unique_ptr<Form>>(std::move(*it));
        forms.erase(it);
        detail::DeleteLater([holder] {
            if (!*holder)
                return;
            (*holder)->dying_ = true;
            (*holder)->window_.reset();
            holder->reset();
        });
    }
    endIfLastGone();
    return true;
}

bool Form::Unload()
{
    return unloadWith(vbFormCode);
}

void Form::activated()
{
    if (active_ || !loaded_ || !window_->isVisible())
        return;
    active_ = true;
    Form_Activate();
}

void Form::applyWindowKind()
{
    Qt::WindowFlags flags = Qt::Window;
    const bool tool = borderStyle_ == vbFixedToolWindow || borderStyle_ == vbSizableToolWindow || !showInTaskbar_;
    if (tool)
        flags = Qt::Tool;
    else if (borderStyle_ == vbFixedDialog)
        flags = Qt::Dialog;
    if (borderStyle_ == vbBSNone)
        flags |= Qt::FramelessWindowHint;
    if (borderStyle_ != vbSizable && borderStyle_ != vbBSNone) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        if (borderStyle_ == vbFixedSingle)
            flags |= Qt::WindowMinimizeButtonHint;
    }
    if (window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        flags |= Qt::WindowStaysOnTopHint;
    const bool visible = window_->isVisible();
    window_->setWindowFlags(flags);
    if (visible)
        window_->show();
}

void Form::SetBorderStyle(int style)
{
    borderStyle_ = style;
    applyWindowKind();
}

void Form::SetShowInTaskbar(bool show)
{
    showInTaskbar_ = show;
    applyWindowKind();
}

void Form::SetStartUpPosition(int position)
{
    startUpPosition_ = position;
}

namespace {

QRect ownerOrScreen(const QWidget* self, bool owner)
{
    if (owner) {
        const QWidget* active = QApplication::activeWindow();
        if (active != nullptr && active != self && active->isVisible())
            return active->frameGeometry();
    }
    if (QScreen* s = QGuiApplication::primaryScreen())
        return s->availableGeometry();
    return {};
}

} // namespace

QRect OwnerArea(const QWidget* self)
{
    return ownerOrScreen(self, true);
}

void Form::showWindow()
{
    const bool wasVisible = window_->isVisible();
    if (!shownOnce_) {
        shownOnce_ = true;
        // Centred on the window the user is in; on the screen when none is
        // open (or when the form asks for the screen).
        QRect area;
        if (startUpPosition_ == vbStartUpOwner)
            area = OwnerArea(window_.get());
        else if (startUpPosition_ == vbStartUpScreen)
            area = ownerOrScreen(window_.get(), false);
        if (!area.isNull()) {
            const QSize size = window_->frameGeometry().size();
            window_->move(area.x() + (area.width() - size.width()) / 2,
                          area.y() + (area.height() - size.height()) / 2);
        }
    }
    // Shown again while minimized, it comes back: a form asked for is in sight.
    if (window_->isMinimized())
        window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window_->raise();
    window_->activateWindow();
    if (frameExtra() != seenExtra_)
        frameChanged();
    else if (!wasVisible)
        keepOnScreen();
}

QSize Form::frameExtra() const
{
    return window_->frameGeometry().size() - window_->size();
}

void Form::frameChanged()
{
    const QSize extra = frameExtra();
    if (extra == seenExtra_ || !window_->isVisible())
        return;
    seenExtra_ = extra;
    // Width and Height (the outer size) changed with the frame: the form
    // lays itself out again, as it does after any change of its size.
    if (loaded_ && !dying_)
        detail::Dispatch([this] { Form_Resize(); });
    keepOnScreen();
}

void Form::keepOnScreen()
{
    if (!window_->isVisible() || window_->isMaximized() || window_->isFullScreen())
        return;
    QScreen* screen = window_->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = window_->frameGeometry();
    if (area.isEmpty() || area.contains(frame))
        return;
    // A window the user may size that is larger than the screen (a size
    // stored on a larger monitor) is made to fit it, frame and all, so that
    // its far edge and what lies there are within reach; the size it then
    // has is the one it stores. A window of fixed size keeps it and shows
    // its title bar and left edge.
    // (The offscreen platform's screen is no screen anyone sees: there a
    // window keeps the size it was given, and a picture of it shows all of it.)
    if ((borderStyle_ == vbSizable || borderStyle_ == vbSizableToolWindow) &&
        (frame.width() > area.width() || frame.height() > area.height()) &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        const QSize extra = frameExtra();
        setInnerSize(QSize(std::min(window_->width(), std::max(0, area.width() - extra.width())),
                           std::min(window_->height(), std::max(0, area.height() - extra.height()))));
        frame.setSize(window_->size() + extra);
    }
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.left() || y != frame.top())
        window_->move(x, y);
}

void Form::Show(int modal)
{
    if (!loaded_ || dying_)
        return;
    if (modal == vbModeless) {
        showWindow();
        activated();
        return;
    }
    if (window_->isVisible() && !modalLoop_)
        vb::Raise(400, "Form already displayed; can't show modally");
    // Runtime code with this form on the stack: no deletion until it returns.
    detail::HandlerScope scope;
    QEventLoop loop;
    modalLoop_ = &loop;
    window_->setWindowModality(Qt::ApplicationModal);
    showWindow();
    activated();
    if (loaded_ && modalLoop_ && window_->isVisible())
        loop.exec();
    modalLoop_ = nullptr;
    if (!dying_ && window_) {
        window_->hide();
        window_->setWindowModality(Qt::NonModal);
    }
}

void Form::Hide()
{
    if (window_)
        window_->hide();
    active_ = false;
    if (modalLoop_)
        modalLoop_->quit();
}

bool Form::Visible() const
{
    return window_ && window_->isVisible();
}

void Form::SetVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

std::string Form::Caption() const
{
    return window_->windowTitle().toStdString();
}

void Form::SetCaption(std::string_view caption)
{
    window_->setWindowTitle(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
}

double Form::Left() const
{
    return window_->frameGeometry().x() * 15.0;
}

double Form::Top() const
{
    return window_->frameGeometry().y() * 15.0;
}

double Form::Width() const
{
    return window_->frameGeometry().width() * 15.0;
}

double Form::Height() const
{
    return window_->frameGeometry().height() * 15.0;
}

void Form::SetLeft(double twips)
{
    Move(twips);
}

void Form::SetTop(double twips)
{
    Move(Left(), twips);
}

void Form::SetWidth(double twips)
{
    Move(Left(), Top(), twips);
}

void Form::SetHeight(double twips)
{
    Move(Left(), Top(), std::nullopt, twips);
}

void Form::Move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    if ((width && *width < 0) || (height && *height < 0))
        vb::Raise(vb::kErrInvalidProperty);
    const QSize extra = frameExtra();
    win::MoveWindowTo(window_.get(), QPoint(px(left), px(top.value_or(Top()))));
    // Before the window system framed the window there is no frame to take
    // off: the size is the inner one until then.
    const int w = width ? std::max(0, px(*width) - extra.width()) : window_->width();
    const int h = height ? std::max(0, px(*height) - extra.height()) : window_->height();
    setInnerSize(QSize(w, h));
}

void Form::setInnerSize(QSize size)
{
    if (borderStyle_ != vbSizable && borderStyle_ != vbSizableToolWindow && borderStyle_ != vbBSNone) {
        // The limits of a fixed window are its last fixed size: the program
        // may still give it another.
        window_->setFixedSize(size.boundedTo(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)));
    } else {
        window_->resize(size.expandedTo(window_->minimumSize()).boundedTo(window_->maximumSize()));
    }
    window_->LayoutClient();
}

bool Form::Enabled() const
{
    return window_->isEnabled();
}

void Form::SetEnabled(bool enabled)
{
    window_->setEnabled(enabled);
}

QFont Form::Font() const
{
    return window_->font();
}

void Form::SetFont(const QFont& font)
{
    window_->setFont(font);
}

void Form::Refresh()
{
    if (window_->isVisible())
        window_->repaint();
}

void Form::RestoreSize(double defaultHeight, double defaultWidth)
{
    // A stored size is held to the desktop, as the window system holds a
    // window: a damaged or foreign value must not ask for a window of
    // gigabytes.
    QSize desktop(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (QScreen* s = QGuiApplication::primaryScreen())
        desktop = s->virtualSize();
    auto read = [this](const char* key, double fallback, int desktopPixels) {
        const auto d = vb::StoredNumber(vb::GetSetting(kSettingsApp, name_, key, ""));
        if (!d || !(*d > 0))
            return fallback;
        return std::min(*d, std::max(fallback, desktopPixels * 15.0));
    };
    setInnerSize(QSize(std::max(0, px(read("Width", defaultWidth, desktop.width()))),
                       std::max(0, px(read("Height", defaultHeight, desktop.height())))));
}

// The stored size is the window's own, without the frame the window system
// draws around it: that frame is not known before the window is on show
// (when a size is restored) and differs from one desktop to the next.
void Form::SaveSize()
{
    const QSize inner = window_->size();
    vb::SaveSetting(kSettingsApp, name_, "Height", vb::CStr(vb::Variant(inner.height() * 15.0)));
    vb::SaveSetting(kSettingsApp, name_, "Width", vb::CStr(vb::Variant(inner.width() * 15.0)));
}

void Form::PopupMenu(Menu& menu)
{
    detail::HandlerScope scope;
    if (QMenu* m = menu.PopupWidget())
        m->exec(QCursor::pos());
}

QWidget* Form::hWnd() const
{
    return window_.get();
}

QWidget* Form::ClientWidget() const
{
    return window_->Client();
}

} // namespace forms
