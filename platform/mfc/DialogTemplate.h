#pragma once
// Dialog templates as data: a dialog's caption, size and items, all in
// dialog units, written as constexpr tables and registered by id as the
// module's dialog resources. A dialog unit is a quarter of the dialog font's
// average character width across and an eighth of its height down, so a
// template keeps its proportions whatever the font measures.

#include "platform/gdi/GdiDraw.h"
#include "platform/mfc/WinTypes.h"

#include <QFont>

#include <optional>
#include <span>
#include <string_view>

enum class DialogItemKind {
    Static,        // a text label
    GroupBox,      // a titled frame around other items
    PushButton,    // BS_DEFPUSHBUTTON, BS_OWNERDRAW, BS_BITMAP, BS_ICON, BS_FLAT
    CheckBox,      // an automatic check box
    RadioButton,   // an automatic radio button; WS_GROUP starts a group
    Edit,          // a single-line edit; ES_AUTOHSCROLL
    ComboDropList, // a drop-down list without an edit field
    UpDown,        // arrows stepping a position; UDS_ flags
    Frame,         // a rectangle drawn as a sunken edge, clear inside
};

// Item styles.
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
inline constexpr DWORD BS_ICON = 0x00000040;
inline constexpr DWORD BS_BITMAP = 0x00000080;
inline constexpr DWORD BS_FLAT = 0x00008000;
inline constexpr DWORD ES_AUTOHSCROLL = 0x00000080;
inline constexpr DWORD UDS_SETBUDDYINT = 0x00000002;
inline constexpr DWORD UDS_AUTOBUDDY = 0x00000010;
inline constexpr DWORD UDS_ARROWKEYS = 0x00000020;
// An item created hidden (shown later by the dialog's code). It keeps its
// rectangle while hidden.
inline constexpr DWORD ITEM_HIDDEN = 0x80000000;

// Ids of the standard buttons and of anonymous items.
inline constexpr int IDC_STATIC = -1;

struct DialogItem {
    int id;
    DialogItemKind kind;
    std::string_view text;
    DWORD style;
    short x;
    short y;
    short cx;
    short cy;
};

struct DialogTemplate {
    UINT id;
    std::string_view caption;
    short cx;
    short cy;
    std::span<const DialogItem> items;
    // The dialog font; the substitution table picks the face drawn.
    std::string_view fontFace = "MS Sans Serif";
    int fontPoints = 8;
};

// The module's templates. FALSE when the id is taken.
BOOL AfxRegisterDialogTemplate(const DialogTemplate& dialog);
// Null when no template has the id.
const DialogTemplate* AfxFindDialogTemplate(UINT id);

// Dialog base units in pixels: the font's average character width and
// its height.
struct DialogBaseUnits {
    int cx;
    int cy;
    bool operator==(const DialogBaseUnits&) const = default;
};

// The base units of a dialog font at the screen's resolution: the width is
// that of "A".."Z" "a".."z" over 52, rounded; the height the font's line
// height. Base units set with SetDialogBaseUnits take precedence.
DialogBaseUnits DialogFontBaseUnits(std::string_view face, int points);
// Fixed base units for every dialog (tests); nothing returns to measuring.
void SetDialogBaseUnits(std::optional<DialogBaseUnits> units);

// The dialog font as a LOGFONT and the units a template is laid out with.
LOGFONT DialogLogFont(const DialogTemplate& dialog);
// The font the items show their texts in: the dialog font with its
// outlines fitted to the pixel grid. Drawn unfitted and without smoothing,
// a small stroke that falls between pixel centres (the upper dot of a
// colon) is lost.
QFont DialogFont(const DialogTemplate& dialog);
DialogBaseUnits BaseUnitsOf(const DialogTemplate& dialog);

// A rectangle in dialog units (left, top, right, bottom) in pixels.
RECT MapDialogRect(const RECT& dlu, DialogBaseUnits units);
// An item's rectangle in the dialog's client area, in pixels.
RECT ItemRect(const DialogItem& item, DialogBaseUnits units);
