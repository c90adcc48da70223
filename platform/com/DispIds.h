#pragma once
// Member ids with a fixed meaning: the stock properties, methods and events
// of controls, the container's ambient properties and the font object's
// members. Code names them; no code writes the bare numbers.

#include <cstdint>

using DISPID = std::int32_t;
using MEMBERID = DISPID;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
// The named argument that carries the new value of a property put.
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

// Stock properties.
inline constexpr DISPID DISPID_BACKCOLOR = -501;
inline constexpr DISPID DISPID_FONT = -512;
inline constexpr DISPID DISPID_FORECOLOR = -513;
inline constexpr DISPID DISPID_ENABLED = -514;
inline constexpr DISPID DISPID_HWND = -515;
inline constexpr DISPID DISPID_TEXT = -517;
inline constexpr DISPID DISPID_CAPTION = -518;

// Stock methods.
inline constexpr DISPID DISPID_REFRESH = -550;
inline constexpr DISPID DISPID_DOCLICK = -551;
inline constexpr DISPID DISPID_ABOUTBOX = -552;

// Stock events.
inline constexpr DISPID DISPID_CLICK = -600;
inline constexpr DISPID DISPID_DBLCLICK = -601;
inline constexpr DISPID DISPID_KEYDOWN = -602;
inline constexpr DISPID DISPID_KEYPRESS = -603;
inline constexpr DISPID DISPID_KEYUP = -604;
inline constexpr DISPID DISPID_MOUSEDOWN = -605;
inline constexpr DISPID DISPID_MOUSEMOVE = -606;
inline constexpr DISPID DISPID_MOUSEUP = -607;

// Ambient properties of the container.
inline constexpr DISPID DISPID_AMBIENT_BACKCOLOR = -701;
inline constexpr DISPID DISPID_AMBIENT_DISPLAYNAME = -702;
inline constexpr DISPID DISPID_AMBIENT_FONT = -703;
inline constexpr DISPID DISPID_AMBIENT_FORECOLOR = -704;
inline constexpr DISPID DISPID_AMBIENT_MESSAGEREFLECT = -706;
inline constexpr DISPID DISPID_AMBIENT_USERMODE = -709;
inline constexpr DISPID DISPID_AMBIENT_UIDEAD = -710;

// The font object's members.
inline constexpr DISPID DISPID_FONT_NAME = 0;
inline constexpr DISPID DISPID_FONT_SIZE = 2;
inline constexpr DISPID DISPID_FONT_BOLD = 3;
inline constexpr DISPID DISPID_FONT_ITALIC = 4;
inline constexpr DISPID DISPID_FONT_UNDER = 5;
inline constexpr DISPID DISPID_FONT_STRIKE = 6;
inline constexpr DISPID DISPID_FONT_WEIGHT = 7;
inline constexpr DISPID DISPID_FONT_CHARSET = 8;
