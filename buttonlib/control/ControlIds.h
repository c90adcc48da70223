#pragma once
// The button control's identifiers: its class, interfaces, type library and
// ProgID, its persistence version, its events and the ids of its resources.

#include "platform/com/DispIds.h"
#include "platform/com/Guid.h"
#include "platform/mfc/WinTypes.h"

// Class, interfaces, property page and type library.
inline constexpr CLSID CLSID_LumvexCtrl = com::GuidLiteral("{40B5CE81-C5A8-11D2-8183-00002440DFD8}");
inline constexpr IID DIID_DLumvex = com::GuidLiteral("{40B5CE82-C5A8-11D2-8183-00002440DFD8}");
inline constexpr IID DIID_DLumvexEvents = com::GuidLiteral("{40B5CE83-C5A8-11D2-8183-00002440DFD8}");
inline constexpr CLSID CLSID_LumvexPropPage = com::GuidLiteral("{40B5CE84-C5A8-11D2-8183-00002440DFD8}");
inline constexpr GUID LIBID_LUMVEXLib4 = com::GuidLiteral("{40B5CE80-C5A8-11D2-8183-00002440DFD8}");
inline constexpr WORD kTypeLibMajor = 6;
inline constexpr WORD kTypeLibMinor = 0;
inline constexpr const char* kTypeLibName = "LUMVEXLib4";
inline constexpr const char* kLumvexProgId = "LUMVEX.LumvexCtrl.4";

// The component categories the control is registered in, and their locale.
inline constexpr GUID CATID_SafeForScripting = com::GuidLiteral("{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
inline constexpr GUID CATID_SafeForInitializing = com::GuidLiteral("{7DD95802-9882-11CF-9FA9-00AA006C42C4}");
inline constexpr const char* kSafeForScriptingText = "Controls that are safely scriptable";
inline constexpr const char* kSafeForInitializingText = "Controls safely initializable from persistent data";
inline constexpr DWORD kCategoryLocale = 0x409;

// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
inline constexpr DWORD kLumvexMiscStatus = 0x20191;

// The version the control writes; older ones are read too.
inline constexpr DWORD kLumvexVersion60 = 0x00060000;

// Events of _DLumvexEvents that are the control's own.
inline constexpr DISPID DISPID_EVT_MOUSEIN = 1;
inline constexpr DISPID DISPID_EVT_MOUSEOUT = 2;
inline constexpr DISPID DISPID_EVT_SOUNDDONE = 3;
inline constexpr DISPID DISPID_EVT_PICTUREDLLDONE = 4;
inline constexpr DISPID DISPID_EVT_SOUNDDLLDONE = 5;
inline constexpr DISPID DISPID_EVT_ANIMDLLDONE = 6;
inline constexpr DISPID DISPID_EVT_CONTAINERNEEDREFRESH = 7;

// String table.
inline constexpr UINT IDS_LUMVEX = 1;          // the control's display name
inline constexpr UINT IDS_LUMVEX_PPG = 2;      // the property page's type name
inline constexpr UINT IDS_APP_TITLE = 50;      // title of the design-time message boxes
inline constexpr UINT IDS_ERROR_OPEN_FILE = 1501;
inline constexpr UINT IDS_NOT_MONOCHROME = 1502;
inline constexpr UINT IDS_INVALID_EXTENSION = 1503;
inline constexpr UINT IDS_OUT_OF_BOUNDS = 1504;
inline constexpr UINT IDS_INVALID_PICTURE = 1506;
inline constexpr UINT IDS_SOUND_NOTICE = 1507;
inline constexpr UINT IDS_INVALID_TEXTURE = 1508;

// Bitmaps.
inline constexpr UINT IDB_LUMVEX = 1;                 // toolbox picture, 16 x 16
inline constexpr UINT IDB_CUSTOM_SHAPE = 226;         // built-in shape mask, 47 x 47, one bit
inline constexpr UINT IDB_DOWNLOAD_PICTURE = 239;     // picture placeholder, 32 x 33
inline constexpr UINT IDB_DOWNLOAD_SHAPE = 240;       // shape-mask placeholder, 47 x 47, one bit

// The about box and its version field.
inline constexpr UINT IDD_ABOUTBOX_LUMVEX = 1;
inline constexpr UINT IDC_VERSION = 308;

// Members of _DLumvex: the DISPID is the member's position in the table.
enum LumvexDispid : DISPID {
    dispidSoundDown = 1,
    dispidSoundUp,
    dispidCursor,
    dispidSoundMouseOver,
    dispidSoundMouseOut,
    dispidPicture,
    dispidPicturePressed,
    dispidPictureMouseOver,
    dispidPictureCustom,
    dispidEnableInternetLoadAtDT,
    dispidShape,
    dispidRoundness,
    dispidSlant,
    dispidSurface,
    dispidPictureTranspColor,
    dispidFontTextLT,
    dispidFontTextCT,
    dispidFontTextRT,
    dispidFontTextLM,
    dispidFontTextRM,
    dispidFontTextLB,
    dispidFontTextCB,
    dispidFontTextRB,
    dispidPicturePosition,
    dispidPictureXOffset,
    dispidPictureYOffset,
    dispidPictureTranspMode,
    dispidButtonCustomRaised,
    dispidBackColorContainer,
    dispidMovePictureOnPress,
    dispidButtonRaiseFactor,
    dispidHighlightColor,
    dispidShadowColor,
    dispidButtonCustomFitPicture,
    dispidFontTextCaption,
    dispidHyperlink,
    dispidSmoothEdges,
    dispidTagEx,
    dispidPictureKeepRatio,
    dispidFocusMode,
    dispidSpecialEffect,
    dispidCaptionWordWrapPerc,
    dispidOptimization,
    dispidClickable,
    dispidBackColor,
    dispidForeColor,
    dispidIgnoreSpaceBar,
    dispidSpecialEffectFactor,
    dispidSetAuxText,
    dispidGetControlPtr,
    dispidEnableSound,
    dispidSetNSContainerColor,
    dispidGetAuxText,
    dispidSetPictureFromHandle,
    dispidSetPictureFromMemory,
    dispidSetAnimFromMemory,
    dispidSetCursorFromHandle,
    dispidSetSoundFromMemory,
    dispidSetAutomaticRefresh,
    dispidSetSoundSync,
    dispidEnableAcceleratorForVB,
    dispidSetTextVisible,
    dispidSetCaptionText,
    dispidGetCaptionText,
    dispidSetPictureFromNet,
    dispidSetSoundFromNet,
    dispidSetAnimFromNet,
    dispidSetSurfaceColor,
    dispidMouseCapture,
    dispidGetSurfaceColor,
    dispidInternalRefresh,
    dispidSetAuxTextString,
    dispidTexture,
    dispidTextureMode,
    dispidTextureLightIntensity,
    dispidTextureColorMix,
    dispidTextureColorMixPerc,
    dispidTextureBevelFactor,
    dispidForeColorDisabled,
    dispidBackColorDisabled,
    dispidBackColorMouseOver,
    dispidBackColorFocus,
    dispidBackColorInterior,
    dispidForeColorMouseOver,
    dispidExportBtnImage,
    dispidEditProperties,
    dispidFlatPillowFactor,
    dispidShadowMode,
    dispidLoadTemplate,
    dispidSaveTemplate,
    dispidLoadTemplateEx,
    dispidSaveTemplateEx,
    dispidSetHelpLink,
    dispidShowEditingButtons,
    dispidStyle,
    dispidPictureDisabled,
    dispidForeColorPressed,
    dispidBackColorPressed,
    dispidSetTextOnPos,
    dispidGetTextOnPos,
    dispidSetTextSettingOnPos,
    dispidGetTextSettingOnPos,
    dispidSetSurfaceColorDesc,
    dispidGetSurfaceColorDesc,
    dispidValue,
    dispidSetEditingTplMode,
    dispidSetTemplateBinDir,
};
static_assert(dispidSetTemplateBinDir == 107);

// Persistence versions the control reads.
inline constexpr DWORD kLumvexVersion50 = 0x00050000;
inline constexpr DWORD kLumvexVersion46 = 0x00040006;
inline constexpr DWORD kLumvexVersion45 = 0x00040005;
inline constexpr DWORD kLumvexVersion40 = 0x00040000;
