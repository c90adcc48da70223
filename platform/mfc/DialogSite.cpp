#include "platform/mfc/DialogSite.h"

#include "platform/mfc/CButton.h"
#include "platform/mfc/CDialog.h"
#include "platform/win/CursorService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <cstring>

namespace mfc_detail {

namespace {

QColor toQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QString itemText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A radio button that stays checked when clicked again, as an automatic
// radio button does; the site clears the rest of its group.
class RadioItem : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override { setChecked(true); }
};

// Draws what the dialog's WM_PAINT draws, above the items. The surface is
// filled with a marker in the pixels' fourth byte, which no drawing call
// writes; pixels that keep it stay clear.
class PaintLayer : public QWidget {
public:
    explicit PaintLayer(QWidget* dialog) : QWidget(dialog), dialog_(dialog)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setObjectName(QStringLiteral("paintLayer"));
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        const int w = width();
        const int h = height();
        if (w <= 0 || h <= 0)
            return;
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        HDC dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        HBITMAP surface = dc ? CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
        if (!surface || !bits) {
            if (surface)
                DeleteObject(surface);
            if (dc)
                DeleteDC(dc);
            return;
        }
        auto* pixels = static_cast<std::uint32_t*>(bits);
        const std::size_t count = std::size_t(w) * std::size_t(h);
        std::fill(pixels, pixels + count, kUntouched);
        HGDIOBJ old = SelectObject(dc, surface);
        win::SendMessage(dialog_, win::WM_PAINT, win::WPARAM(dc), kPaintAbove);
        QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < h; ++y) {
            auto* out = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
            const std::uint32_t* in = pixels + std::size_t(y) * std::size_t(w);
            for (int x = 0; x < w; ++x)
                out[x] = (in[x] >> 24) == (kUntouched >> 24) ? 0u : (0xFF000000u | (in[x] & 0xFFFFFF));
        }
        SelectObject(dc, old);
        DeleteObject(surface);
        DeleteDC(dc);
        QPainter painter(this);
        painter.drawImage(e->rect(), picture, e->rect());
    }

private:
    static constexpr std::uint32_t kUntouched = 0x5A000000;
    QWidget* dialog_;
};

// The window procedure of an owner-drawn button item: its painting goes to
// the attached control's DrawItem (else the dialog's OnDrawItem), its click
// to the dialog as BN_CLICKED.
class OwnerDrawItem : public win::WindowHandler {
public:
    OwnerDrawItem(CDialog& dialog, int id) : dialog_(dialog), id_(id) {}

    win::LRESULT HandleMessage(win::HWND hwnd, UINT message, win::WPARAM wParam, win::LPARAM lParam) override
    {
        switch (message) {
        case win::OCM_DRAWITEM: {
            auto* item = reinterpret_cast<win::DRAWITEMSTRUCT*>(lParam);
            item->CtlID = UINT(id_);
            win::SendMessage(dialog_.GetSafeHwnd(), win::WM_DRAWITEM, win::WPARAM(id_), lParam);
            return 1;
        }
        case win::OCM_COMMAND:
            win::SendMessage(dialog_.GetSafeHwnd(), win::WM_COMMAND, MAKEWPARAM(id_, win::HIWORD(wParam)),
                             win::LPARAM(hwnd));
            return 0;
        case BM_SETIMAGE: return SetButtonImage(hwnd, wParam, lParam);
        case BM_GETIMAGE: return GetButtonImage(hwnd, wParam);
        default: return win::DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    CDialog& dialog_;
    int id_;
};

bool isStaticLike(DialogItemKind kind)
{
    switch (kind) {
    case DialogItemKind::Static:
    case DialogItemKind::GroupBox:
    case DialogItemKind::CheckBox:
    case DialogItemKind::RadioButton:
    case DialogItemKind::Frame: return true;
    default: return false;
    }
}

const char* const kImageBitmap = "tvImageBitmap";
const char* const kImageIcon = "tvImageIcon";
const char* const kImageStyle = "tvImageStyle";

QPixmap pixmapOfBitmap(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObject(bitmap, int(sizeof info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return {};
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = info.bmWidth;
    bmi.bmiHeader.biHeight = -info.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    QImage image(info.bmWidth, info.bmHeight, QImage::Format_RGB32);
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, UINT(info.bmHeight), image.bits(), &bmi, DIB_RGB_COLORS);
    DeleteDC(dc);
    return rows > 0 ? QPixmap::fromImage(image) : QPixmap();
}

void showButtonImage(QWidget* button)
{
    auto* push = qobject_cast<QPushButton*>(button);
    if (!push) {
        button->update();
        return;
    }
    const DWORD style = ButtonImageStyle(button);
    QPixmap pixmap;
    if (style & BS_BITMAP) {
        pixmap = pixmapOfBitmap(reinterpret_cast<HBITMAP>(button->property(kImageBitmap).value<quintptr>()));
    } else if (style & BS_ICON) {
        if (const auto cursor =
                win::CursorFromHandle(reinterpret_cast<HCURSOR>(button->property(kImageIcon).value<quintptr>())))
            pixmap = cursor->pixmap();
    }
    push->setIcon(pixmap.isNull() ? QIcon() : QIcon(pixmap));
    push->setIconSize(pixmap.isNull() ? QSize() : pixmap.size());
    // An image button shows its image in place of its text.
    const bool imageOnly = !pixmap.isNull();
    const QString text = push->property("tvText").toString();
    push->setText(imageOnly ? QString() : text);
}

} // namespace

win::LRESULT SetButtonImage(QWidget* button, win::WPARAM type, win::LPARAM image)
{
    if (!button)
        return 0;
    const char* key = type == IMAGE_BITMAP ? kImageBitmap : kImageIcon;
    const win::LRESULT previous = win::LRESULT(button->property(key).value<quintptr>());
    button->setProperty(key, QVariant::fromValue(quintptr(image)));
    showButtonImage(button);
    return previous;
}

win::LRESULT GetButtonImage(QWidget* button, win::WPARAM type)
{
    return button ? win::LRESULT(button->property(type == IMAGE_BITMAP ? kImageBitmap : kImageIcon).value<quintptr>())
                  : 0;
}

void SetButtonImageStyle(QWidget* button, DWORD style)
{
    if (!button)
        return;
    button->setProperty(kImageStyle, QVariant::fromValue(uint(style & (BS_BITMAP | BS_ICON))));
    showButtonImage(button);
}

DWORD ButtonImageStyle(QWidget* button)
{
    return button ? DWORD(button->property(kImageStyle).toUInt()) : 0;
}

UINT ButtonCheck(QWidget* button)
{
    if (win::IsWindow(button))
        return UINT(win::SendMessage(button, win::BM_GETCHECK, 0, 0));
    auto* b = qobject_cast<QAbstractButton*>(button);
    return b && b->isChecked() ? win::BST_CHECKED : win::BST_UNCHECKED;
}

void SetButtonCheck(QWidget* button, UINT check)
{
    if (win::IsWindow(button)) {
        win::SendMessage(button, win::BM_SETCHECK, check, 0);
        return;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(button))
        b->setChecked(check == win::BST_CHECKED);
}

QPalette SystemPalette()
{
    QPalette p;
    static constexpr std::pair<QPalette::ColorRole, int> kRoles[] = {
        {QPalette::Window, COLOR_BTNFACE},        {QPalette::Button, COLOR_BTNFACE},
        {QPalette::WindowText, COLOR_WINDOWTEXT}, {QPalette::ButtonText, COLOR_BTNTEXT},
        {QPalette::Base, COLOR_WINDOW},           {QPalette::Text, COLOR_WINDOWTEXT},
        {QPalette::Light, COLOR_BTNHIGHLIGHT},    {QPalette::Midlight, COLOR_3DLIGHT},
        {QPalette::Mid, COLOR_BTNSHADOW},         {QPalette::Dark, COLOR_BTNSHADOW},
        {QPalette::Shadow, COLOR_3DDKSHADOW},     {QPalette::Highlight, COLOR_HIGHLIGHT},
        {QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT},
    };
    for (const auto& [role, index] : kRoles)
        p.setColor(QPalette::All, role, toQColor(GetSysColor(index)));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        p.setColor(QPalette::Disabled, role, toQColor(GetSysColor(COLOR_GRAYTEXT)));
    return p;
}

UpDownWidget::UpDownWidget(DWORD style, QWidget* parent) : QWidget(parent), style_(style)
{
    auto* up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    up->setObjectName(QStringLiteral("up"));
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    down->setObjectName(QStringLiteral("down"));
    for (QToolButton* b : {up, down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    up_ = up;
    down_ = down;
}

void UpDownWidget::resizeEvent(QResizeEvent*)
{
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDownWidget::setBuddy(QWidget* buddy)
{
    if (buddy_)
        buddy_->removeEventFilter(this);
    buddy_ = buddy;
    if (buddy_ && (style_ & UDS_ARROWKEYS))
        buddy_->installEventFilter(this);
}

void UpDownWidget::setRange(int lower, int upper)
{
    lower_ = lower;
    upper_ = upper;
}

int UpDownWidget::position() const
{
    if (buddy_ && (style_ & UDS_SETBUDDYINT)) {
        bool ok = false;
        const int value = buddy_->property("text").toString().trimmed().toInt(&ok);
        if (ok && value >= std::min(lower_, upper_) && value <= std::max(lower_, upper_))
            return value;
    }
    return pos_;
}

int UpDownWidget::setPosition(int pos)
{
    const int previous = position();
    pos_ = std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
    if (buddy_ && (style_ & UDS_SETBUDDYINT))
        buddy_->setProperty("text", QString::number(pos_));
    return previous;
}

void UpDownWidget::step(int direction)
{
    if (!isEnabled())
        return;
    const int pos = position();
    NMUPDOWN nm;
    nm.hdr.hwndFrom = this;
    nm.hdr.idFrom = std::uintptr_t(property("tvId").toInt());
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = pos;
    // A reversed range counts down as the up arrow goes up.
    nm.iDelta = upper_ >= lower_ ? direction : -direction;
    QPointer<UpDownWidget> self(this);
    if (notify && notify(nm) != 0)
        return;
    if (!self)
        return;
    const int target = std::clamp(pos + nm.iDelta, std::min(lower_, upper_), std::max(lower_, upper_));
    if (target != pos)
        setPosition(target);
}

bool UpDownWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

DialogSite::DialogSite(CDialog& dialog, const DialogTemplate& dialogTemplate, DialogBaseUnits units)
    : dialog_(dialog), template_(dialogTemplate), units_(units), background_(GetSysColor(COLOR_BTNFACE))
{
}

DialogSite::~DialogSite()
{
    if (window_)
        window_->removeEventFilter(this);
}

void DialogSite::build(QWidget* window)
{
    window_ = window;
    window->setObjectName(QStringLiteral("dialog%1").arg(template_.id));
    window->setWindowTitle(itemText(template_.caption));
    window->setFont(DialogFont(template_));
    window->setPalette(SystemPalette());
    const RECT client = MapDialogRect(RECT{0, 0, template_.cx, template_.cy}, units_);
    window->resize(client.right, client.bottom);
    window->installEventFilter(this);

    int group = 0;
    QWidget* previous = nullptr;
    for (const DialogItem& item : template_.items) {
        if (item.style & WS_GROUP)
            ++group;
        QWidget* w = makeItem(item, window, previous);
        if (!w)
            continue;
        const RECT r = ItemRect(item, units_);
        w->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
        w->setObjectName(QStringLiteral("id%1").arg(item.id));
        w->setProperty("tvId", item.id);
        if (item.style & win::WS_DISABLED)
            w->setEnabled(false);
        // Through the window layer, so a window item remembers it is shown
        // and a later ShowWindow(SW_HIDE) hides it.
        win::ShowWindow(w, (item.style & ITEM_HIDDEN) ? win::SW_HIDE : win::SW_SHOW);
        entries_.push_back(Entry{&item, w, group});
        previous = w;
    }
    // Statics name the item after them as the one their mnemonic reaches.
    for (std::size_t i = 0; i + 1 < entries_.size(); ++i) {
        if (auto* label = qobject_cast<QLabel*>(entries_[i].widget.data()))
            if (label->text().contains(QLatin1Char('&')))
                label->setBuddy(entries_[i + 1].widget);
    }
    auto* layer = new PaintLayer(window);
    layer->setGeometry(0, 0, client.right, client.bottom);
    layer->raise();
    layer->show();
    paintLayer_ = layer;
}

QWidget* DialogSite::makeItem(const DialogItem& item, QWidget* window, QWidget* previous)
{
    const int id = item.id;
    const QString text = itemText(item.text);
    switch (item.kind) {
    case DialogItemKind::Static: {
        auto* label = new QLabel(text, window);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        return label;
    }
    case DialogItemKind::GroupBox: return new QGroupBox(text, window);
    case DialogItemKind::Frame: {
        auto* frame = new QFrame(window);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(1);
        return frame;
    }
    case DialogItemKind::PushButton: {
        if ((item.style & 0xF) == win::BS_OWNERDRAW) {
            auto handler = std::make_unique<OwnerDrawItem>(dialog_, id);
            win::CREATESTRUCT cs;
            cs.hwndParent = window;
            cs.lpszClass = "Button";
            cs.lpszName = std::string(item.text);
            cs.style = win::WS_CHILD | win::WS_TABSTOP | win::BS_OWNERDRAW;
            win::HWND hwnd = win::CreateWindowEx(cs, handler.get());
            if (!hwnd)
                return nullptr;
            ownerDrawn_.push_back(std::move(handler));
            hwnd->setProperty(kImageStyle, QVariant::fromValue(uint(item.style & (BS_BITMAP | BS_ICON))));
            return hwnd;
        }
        auto* button = new QPushButton(text, window);
        button->setProperty("tvText", text);
        button->setAutoDefault(false);
        button->setDefault(item.style & BS_DEFPUSHBUTTON);
        button->setFlat(item.style & BS_FLAT);
        button->setProperty(kImageStyle, QVariant::fromValue(uint(item.style & (BS_BITMAP | BS_ICON))));
        connect(button, &QPushButton::clicked, this, [this, id, button] { command(id, win::BN_CLICKED, button); });
        return button;
    }
    case DialogItemKind::CheckBox: {
        auto* check = new QCheckBox(text, window);
        connect(check, &QCheckBox::clicked, this, [this, id, check] { command(id, win::BN_CLICKED, check); });
        return check;
    }
    case DialogItemKind::RadioButton: {
        auto* radio = new RadioItem(text, window);
        radio->setAutoExclusive(false);
        connect(radio, &QRadioButton::clicked, this, [this, id, radio] {
            for (QWidget* other : radioGroup(id))
                if (other != radio)
                    SetButtonCheck(other, win::BST_UNCHECKED);
            command(id, win::BN_CLICKED, radio);
        });
        return radio;
    }
    case DialogItemKind::Edit: {
        auto* edit = new QLineEdit(text, window);
        connect(edit, &QLineEdit::textChanged, this, [this, id, edit] { command(id, EN_CHANGE, edit); });
        return edit;
    }
    case DialogItemKind::ComboDropList: {
        auto* combo = new QComboBox(window);
        combo->setEditable(false);
        connect(combo, &QComboBox::activated, this, [this, id, combo] { command(id, CBN_SELCHANGE, combo); });
        return combo;
    }
    case DialogItemKind::UpDown: {
        auto* upDown = new UpDownWidget(item.style, window);
        upDown->notify = [this](NMUPDOWN& nm) -> win::LRESULT {
            if (!window_)
                return 0;
            return win::SendMessage(window_, WM_NOTIFY, win::WPARAM(nm.hdr.idFrom), win::LPARAM(&nm));
        };
        upDown->setProperty("tvId", id);
        if ((item.style & UDS_AUTOBUDDY) && previous)
            upDown->setBuddy(previous);
        return upDown;
    }
    }
    return nullptr;
}

void DialogSite::command(int id, UINT code, QWidget* from)
{
    if (window_)
        win::SendMessage(window_, win::WM_COMMAND, MAKEWPARAM(id, int(code)), win::LPARAM(from));
}

QWidget* DialogSite::item(int id) const
{
    for (const Entry& e : entries_)
        if (e.item->id == id && e.widget)
            return e.widget;
    return nullptr;
}

const DialogItem* DialogSite::itemTemplate(int id) const
{
    for (const Entry& e : entries_)
        if (e.item->id == id)
            return e.item;
    return nullptr;
}

DialogItemKind DialogSite::kindOf(QWidget* widget) const
{
    for (const Entry& e : entries_)
        if (e.widget == widget)
            return e.item->kind;
    return DialogItemKind::Static;
}

std::vector<QWidget*> DialogSite::radioGroup(int id) const
{
    int group = -1;
    for (const Entry& e : entries_)
        if (e.item->id == id)
            group = e.group;
    std::vector<QWidget*> radios;
    for (const Entry& e : entries_)
        if (e.group == group && e.item->kind == DialogItemKind::RadioButton && e.widget)
            radios.push_back(e.widget);
    return radios;
}

int DialogSite::defaultButton() const
{
    for (const Entry& e : entries_)
        if (e.item->kind == DialogItemKind::PushButton && (e.item->style & BS_DEFPUSHBUTTON))
            return e.item->id;
    return IDOK;
}

void DialogSite::setColors(COLORREF background, COLORREF text)
{
    if (!window_)
        return;
    background_ = background;
    customColors_ = true;
    QPalette colored = SystemPalette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
        colored.setColor(QPalette::All, role, toQColor(background));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
        colored.setColor(QPalette::Active, role, toQColor(text));
        colored.setColor(QPalette::Inactive, role, toQColor(text));
    }
    window_->setPalette(colored);
    for (const Entry& e : entries_) {
        if (!e.widget)
            continue;
        // Statics take the colours but stay clear: the dialog's background
        // under them is the same colour already. A filled one would count
        // as opaque, and an update of the dialog's area beneath it (a
        // swatch, a preview) would then never reach the layer drawn above
        // the items.
        if (isStaticLike(e.item->kind)) {
            e.widget->setPalette(colored);
        } else if (e.item->kind == DialogItemKind::Edit || e.item->kind == DialogItemKind::ComboDropList) {
            e.widget->setPalette(SystemPalette());
        }
    }
    window_->update();
}

bool DialogSite::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        // The close box cancels, as Escape does; the dialog decides.
        event->ignore();
        command(IDCANCEL, win::BN_CLICKED, nullptr);
        return true;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            break;
        switch (key->key()) {
        case Qt::Key_Escape: command(IDCANCEL, win::BN_CLICKED, nullptr); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // A focused push button is the one Enter presses.
            QWidget* focus = window_->focusWidget();
            if (auto* push = qobject_cast<QPushButton*>(focus)) {
                push->click();
                return true;
            }
            const int id = defaultButton();
            QWidget* button = item(id);
            if (button && !button->isEnabled())
                return true;
            if (auto* push = qobject_cast<QPushButton*>(button))
                push->click();
            else
                command(id, win::BN_CLICKED, button);
            return true;
        }
        case Qt::Key_F1: {
            HELPINFO info;
            QWidget* focus = window_->focusWidget();
            info.hItemHandle = focus;
            info.iCtrlId = focus ? focus->property("tvId").toInt() : 0;
            win::SendMessage(window_, WM_HELP, 0, win::LPARAM(&info));
            return true;
        }
        default: break;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mfc_detail
