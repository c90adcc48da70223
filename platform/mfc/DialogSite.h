#pragma once
// The items of a dialog made from its template, and what ties them to the
// dialog: notifications, keys, the close box, the colours and the layer
// the dialog's WM_PAINT draws on above the items. Internal to CDialog and
// its control classes.

#include "platform/mfc/DialogTemplate.h"
#include "platform/win/Window.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class CDialog;
struct NMUPDOWN;

namespace mfc_detail {

// WM_PAINT from the layer above the items carries this as lParam; the one
// the window itself sends below them does not reach OnPaint.
inline constexpr win::LPARAM kPaintAbove = 0x7A11;

// The up-down control: two arrow buttons and, with UDS_ARROWKEYS, the
// buddy's arrow keys. A step sends UDN_DELTAPOS first (which may refuse
// it or change the delta), then moves the position within the range and,
// with UDS_SETBUDDYINT, writes it into the buddy.
class UpDownWidget : public QWidget {
    Q_OBJECT
public:
    UpDownWidget(DWORD style, QWidget* parent);

    // Answers UDN_DELTAPOS; nonzero refuses the step.
    std::function<win::LRESULT(NMUPDOWN&)> notify;

    void setBuddy(QWidget* buddy);
    QWidget* buddy() const { return buddy_; }
    void setRange(int lower, int upper);
    int lower() const { return lower_; }
    int upper() const { return upper_; }
    // The buddy's number when it holds one in range (set-buddy-int), else
    // the last position set.
    int position() const;
    // Clamps to the range; writes the buddy with set-buddy-int.
    int setPosition(int pos);
    // One step as the arrows make it: +1 up, -1 down.
    void step(int direction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    DWORD style_;
    QPointer<QWidget> buddy_;
    QWidget* up_;
    QWidget* down_;
    int lower_ = 0;
    int upper_ = 100;
    int pos_ = 0;
};

class DialogSite : public QObject {
    Q_OBJECT
public:
    DialogSite(CDialog& dialog, const DialogTemplate& dialogTemplate, DialogBaseUnits units);
    ~DialogSite() override;

    // Makes the items in the dialog's window, in template order.
    void build(QWidget* window);

    QWidget* item(int id) const;
    const DialogItem* itemTemplate(int id) const;
    DialogItemKind kindOf(QWidget* widget) const;
    // The radio buttons of the group that holds the item.
    std::vector<QWidget*> radioGroup(int id) const;

    void setColors(COLORREF background, COLORREF text);
    COLORREF background() const { return background_; }

    // The id of the button Enter presses.
    int defaultButton() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void command(int id, UINT code, QWidget* from);
    QWidget* makeItem(const DialogItem& item, QWidget* window, QWidget* previous);

    struct Entry {
        const DialogItem* item;
        QPointer<QWidget> widget;
        int group;
    };

    CDialog& dialog_;
    const DialogTemplate& template_;
    DialogBaseUnits units_;
    QPointer<QWidget> window_;
    QPointer<QWidget> paintLayer_;
    std::vector<Entry> entries_;
    std::vector<std::unique_ptr<win::WindowHandler>> ownerDrawn_;
    COLORREF background_;
    bool customColors_ = false;
};

// Images a button shows (BM_SETIMAGE), kept on the button's widget so that
// every control object over it sees the same.
win::LRESULT SetButtonImage(QWidget* button, win::WPARAM type, win::LPARAM image);
win::LRESULT GetButtonImage(QWidget* button, win::WPARAM type);
// BS_BITMAP or BS_ICON now; the image of that kind shows.
void SetButtonImageStyle(QWidget* button, DWORD style);
DWORD ButtonImageStyle(QWidget* button);

// The check state of any button item (layer window or Qt button).
UINT ButtonCheck(QWidget* button);
void SetButtonCheck(QWidget* button, UINT check);

// The system colours as a palette.
QPalette SystemPalette();

} // namespace mfc_detail
