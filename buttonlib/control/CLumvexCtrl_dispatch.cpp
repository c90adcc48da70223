// The control's dispatch interface _DLumvex: one table, in DISPID order,
// serving names, calls and the type information alike.

#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/control/CAboutDlg.h"

#include <cstdint>
#include <string>

namespace {

using C = CLumvexCtrl;
using com::Method;
using com::Property;

constexpr VARTYPE kColor = VT_I4;
constexpr VARTYPE kHandle = VT_I4;
// Descriptor addresses are pointer-sized.
constexpr VARTYPE kAddress = VT_I8;
constexpr VARTYPE kOutColor = VT_BYREF | VT_I4;
constexpr VARTYPE kOutShort = VT_BYREF | VT_I2;

// Addresses come pointer-sized (VT_I8) and name memory of the caller's own
// process; anything else is no address.
const void* addressIn(const VARIANT& v)
{
    return v.vt == VT_I8 ? reinterpret_cast<const void*>(static_cast<std::intptr_t>(v.llVal)) : nullptr;
}

template <class T>
T* descriptorAt(std::int64_t address)
{
    return reinterpret_cast<T*>(static_cast<std::intptr_t>(address));
}

void setPictureFromMemory(CLumvexCtrl& c, com::InvokeCall& call)
{
    call.SetResult(c.SetPictureFromMemory(call.Arg<short>(0), addressIn(call.Arg<VARIANT>(1)), call.Arg<LONG>(2)));
}

void setAnimFromMemory(CLumvexCtrl& c, com::InvokeCall& call)
{
    call.SetResult(c.SetAnimFromMemory(call.Arg<short>(0), addressIn(call.Arg<VARIANT>(1)), call.Arg<LONG>(2)));
}

void setSoundFromMemory(CLumvexCtrl& c, com::InvokeCall& call)
{
    call.SetResult(c.SetSoundFromMemory(call.Arg<short>(0), addressIn(call.Arg<VARIANT>(1)), call.Arg<LONG>(2)));
}

void setTextSettingOnPos(CLumvexCtrl& c, com::InvokeCall& call)
{
    c.SetTextSettingOnPos(call.Arg<short>(0), descriptorAt<const C::TextSettingDesc>(call.Arg<std::int64_t>(1)),
                          call.Arg<short>(2));
}

void getTextSettingOnPos(CLumvexCtrl& c, com::InvokeCall& call)
{
    c.GetTextSettingOnPos(call.Arg<short>(0), descriptorAt<C::TextSettingDesc>(call.Arg<std::int64_t>(1)));
}

void setSurfaceColorDesc(CLumvexCtrl& c, com::InvokeCall& call)
{
    c.SetSurfaceColorDesc(call.Arg<short>(0), descriptorAt<const C::SurfaceColorDesc>(call.Arg<std::int64_t>(1)));
}

void getSurfaceColorDesc(CLumvexCtrl& c, com::InvokeCall& call)
{
    c.GetSurfaceColorDesc(call.Arg<short>(0), descriptorAt<C::SurfaceColorDesc>(call.Arg<std::int64_t>(1)));
}

} // namespace

const com::DispatchTable& CLumvexCtrl::DispatchMap()
{
    static constexpr com::DispatchMember members[] = {
        Property<C, &C::GetSoundDown, &C::SetSoundDown>("SoundDown", dispidSoundDown, VT_BSTR),
        Property<C, &C::GetSoundUp, &C::SetSoundUp>("SoundUp", dispidSoundUp, VT_BSTR),
        Property<C, &C::GetCursor, &C::SetCursor>("Cursor", dispidCursor, VT_BSTR),
        Property<C, &C::GetSoundMouseOver, &C::SetSoundMouseOver>("SoundMouseOver", dispidSoundMouseOver, VT_BSTR),
        Property<C, &C::GetSoundMouseOut, &C::SetSoundMouseOut>("SoundMouseOut", dispidSoundMouseOut, VT_BSTR),
        Property<C, &C::GetPicture, &C::SetPicture>("Picture", dispidPicture, VT_BSTR),
        Property<C, &C::GetPicturePressed, &C::SetPicturePressed>("PicturePressed", dispidPicturePressed, VT_BSTR),
        Property<C, &C::GetPictureMouseOver, &C::SetPictureMouseOver>("PictureMouseOver", dispidPictureMouseOver,
                                                                      VT_BSTR),
        Property<C, &C::GetPictureCustom, &C::SetPictureCustom>("PictureCustom", dispidPictureCustom, VT_BSTR),
        Property<C, &C::GetEnableInternetLoadAtDT, &C::SetEnableInternetLoadAtDT>(
            "EnableInternetLoadAtDT", dispidEnableInternetLoadAtDT, VT_BOOL),
        Property<C, &C::GetShape, &C::SetShape>("Shape", dispidShape, VT_I2),
        Property<C, &C::GetRoundness, &C::SetRoundness>("Roundness", dispidRoundness, VT_I2),
        Property<C, &C::GetSlant, &C::SetSlant>("Slant", dispidSlant, VT_I2),
        Property<C, &C::GetSurface, &C::SetSurface>("Surface", dispidSurface, VT_I2),
        Property<C, &C::GetPictureTranspColor, &C::SetPictureTranspColor>("PictureTranspColor",
                                                                          dispidPictureTranspColor, kColor),
        Property<C, &C::GetFontTextLT, &C::SetFontTextLT>("FontTextLT", dispidFontTextLT, VT_DISPATCH),
        Property<C, &C::GetFontTextCT, &C::SetFontTextCT>("FontTextCT", dispidFontTextCT, VT_DISPATCH),
        Property<C, &C::GetFontTextRT, &C::SetFontTextRT>("FontTextRT", dispidFontTextRT, VT_DISPATCH),
        Property<C, &C::GetFontTextLM, &C::SetFontTextLM>("FontTextLM", dispidFontTextLM, VT_DISPATCH),
        Property<C, &C::GetFontTextRM, &C::SetFontTextRM>("FontTextRM", dispidFontTextRM, VT_DISPATCH),
        Property<C, &C::GetFontTextLB, &C::SetFontTextLB>("FontTextLB", dispidFontTextLB, VT_DISPATCH),
        Property<C, &C::GetFontTextCB, &C::SetFontTextCB>("FontTextCB", dispidFontTextCB, VT_DISPATCH),
        Property<C, &C::GetFontTextRB, &C::SetFontTextRB>("FontTextRB", dispidFontTextRB, VT_DISPATCH),
        Property<C, &C::GetPicturePosition, &C::SetPicturePosition>("PicturePosition", dispidPicturePosition, VT_I2),
        Property<C, &C::GetPictureXOffset, &C::SetPictureXOffset>("PictureXOffset", dispidPictureXOffset, VT_I2),
        Property<C, &C::GetPictureYOffset, &C::SetPictureYOffset>("PictureYOffset", dispidPictureYOffset, VT_I2),
        Property<C, &C::GetPictureTranspMode, &C::SetPictureTranspMode>("PictureTranspMode",
                                                                        dispidPictureTranspMode, VT_I2),
        Property<C, &C::GetButtonCustomRaised, &C::SetButtonCustomRaised>("ButtonCustomRaised",
                                                                          dispidButtonCustomRaised, VT_BOOL),
        Property<C, &C::GetBackColorContainer, &C::SetBackColorContainer>("BackColorContainer",
                                                                          dispidBackColorContainer, kColor),
        Property<C, &C::GetMovePictureOnPress, &C::SetMovePictureOnPress>("MovePictureOnPress",
                                                                          dispidMovePictureOnPress, VT_BOOL),
        Property<C, &C::GetButtonRaiseFactor, &C::SetButtonRaiseFactor>("ButtonRaiseFactor",
                                                                        dispidButtonRaiseFactor, VT_I2),
        Property<C, &C::GetHighlightColor, &C::SetHighlightColor>("HighlightColor", dispidHighlightColor, kColor),
        Property<C, &C::GetShadowColor, &C::SetShadowColor>("ShadowColor", dispidShadowColor, kColor),
        Property<C, &C::GetButtonCustomFitPicture, &C::SetButtonCustomFitPicture>(
            "ButtonCustomFitPicture", dispidButtonCustomFitPicture, VT_BOOL),
        Property<C, &C::GetFontTextCaption, &C::SetFontTextCaption>("FontTextCaption", dispidFontTextCaption,
                                                                    VT_DISPATCH),
        Property<C, &C::GetHyperlink, &C::SetHyperlink>("Hyperlink", dispidHyperlink, VT_BSTR),
        Property<C, &C::GetSmoothEdges, &C::SetSmoothEdges>("SmoothEdges", dispidSmoothEdges, VT_I2),
        Property<C, &C::GetTagEx, &C::SetTagEx>("TagEx", dispidTagEx, VT_BSTR),
        Property<C, &C::GetPictureKeepRatio, &C::SetPictureKeepRatio>("PictureKeepRatio", dispidPictureKeepRatio,
                                                                      VT_BOOL),
        Property<C, &C::GetFocusMode, &C::SetFocusMode>("FocusMode", dispidFocusMode, VT_I2),
        Property<C, &C::GetSpecialEffect, &C::SetSpecialEffect>("SpecialEffect", dispidSpecialEffect, VT_I2),
        Property<C, &C::GetCaptionWordWrapPerc, &C::SetCaptionWordWrapPerc>("CaptionWordWrapPerc",
                                                                            dispidCaptionWordWrapPerc, VT_I2),
        Property<C, &C::GetOptimization, &C::SetOptimization>("Optimization", dispidOptimization, VT_I2),
        Property<C, &C::GetClickable, &C::SetClickable>("Clickable", dispidClickable, VT_BOOL),
        Property<C, &C::GetBackColor, &C::SetBackColor>("BackColor", dispidBackColor, kColor),
        Property<C, &C::GetForeColor, &C::SetForeColor>("ForeColor", dispidForeColor, kColor),
        Property<C, &C::GetIgnoreSpaceBar, &C::SetIgnoreSpaceBar>("IgnoreSpaceBar", dispidIgnoreSpaceBar, VT_BOOL),
        Property<C, &C::GetSpecialEffectFactor, &C::SetSpecialEffectFactor>("SpecialEffectFactor",
                                                                            dispidSpecialEffectFactor, VT_I2),
        Method<C, &C::SetAuxText>("SetAuxText", dispidSetAuxText, VT_EMPTY,
                               {{"position", VT_I2},
                                {"text", VT_BSTR},
                                {"color", kColor},
                                {"colorMouseOver", kColor},
                                {"xOffset", VT_I2},
                                {"yOffset", VT_I2},
                                {"iEffect", VT_I2},
                                {"nFactor", VT_I2}}),
        Method<C, &C::GetControlPtr>("GetControlPtr", dispidGetControlPtr, VT_UNKNOWN),
        Method<C, &C::EnableSound>("EnableSound", dispidEnableSound, VT_EMPTY, {{"nSound", VT_I2}, {"bEnable", VT_BOOL}}),
        Method<C, &C::SetNSContainerColor>("SetNSContainerColor", dispidSetNSContainerColor, VT_EMPTY, {{"color", kColor}}),
        Method<C, &C::GetAuxText>("GetAuxText", dispidGetAuxText, VT_BSTR,
                               {{"position", VT_I2},
                                {"pcolor", kOutColor},
                                {"pcolorMouseOver", kOutColor},
                                {"pxOffset", kOutShort},
                                {"pyOffset", kOutShort},
                                {"piEffect", kOutShort},
                                {"pnFactor", kOutShort}}),
        Method<C, &C::SetPictureFromHandle>("SetPictureFromHandle", dispidSetPictureFromHandle, VT_I4, {{"index", VT_I2}, {"hBmp", kHandle}}),
        Method<C, &setPictureFromMemory>("SetPictureFromMemory", dispidSetPictureFromMemory, VT_I4,
                                         {{"index", VT_I2}, {"pData", VT_VARIANT}, {"sizeData", VT_I4}}),
        Method<C, &setAnimFromMemory>("SetAnimFromMemory", dispidSetAnimFromMemory, VT_I4,
                                      {{"index", VT_I2}, {"pData", VT_VARIANT}, {"sizeData", VT_I4}}),
        Method<C, &C::SetCursorFromHandle>("SetCursorFromHandle", dispidSetCursorFromHandle, VT_I4, {{"hCursor", kHandle}}),
        Method<C, &setSoundFromMemory>("SetSoundFromMemory", dispidSetSoundFromMemory, VT_I4,
                                       {{"index", VT_I2}, {"pData", VT_VARIANT}, {"sizeData", VT_I4}}),
        Method<C, &C::SetAutomaticRefresh>("SetAutomaticRefresh", dispidSetAutomaticRefresh, VT_EMPTY, {{"bAutoRefresh", VT_BOOL}}),
        Method<C, &C::SetSoundSync>("SetSoundSync", dispidSetSoundSync, VT_EMPTY, {{"sound", VT_I2}, {"flag", VT_BOOL}}),
        Method<C, &C::EnableAcceleratorForVB>("EnableAcceleratorForVB", dispidEnableAcceleratorForVB, VT_EMPTY),
        Method<C, &C::SetTextVisible>("SetTextVisible", dispidSetTextVisible, VT_EMPTY, {{"nText", VT_I2}, {"bVisible", VT_BOOL}}),
        Method<C, &C::SetCaptionText>("SetCaptionText", dispidSetCaptionText, VT_EMPTY,
                                   {{"text", VT_BSTR},
                                    {"color", kColor},
                                    {"colorMouseOver", kColor},
                                    {"xOffset", VT_I2},
                                    {"yOffset", VT_I2},
                                    {"iEffect", VT_I2},
                                    {"nFactor", VT_I2},
                                    {"nAngle", VT_I2}}),
        Method<C, &C::GetCaptionText>("GetCaptionText", dispidGetCaptionText, VT_BSTR,
                                   {{"pcolor", kOutColor},
                                    {"pcolorMouseOver", kOutColor},
                                    {"pxOffset", kOutShort},
                                    {"pyOffset", kOutShort},
                                    {"piEffect", kOutShort},
                                    {"pnFactor", kOutShort},
                                    {"pnAngle", kOutShort}}),
        Method<C, &C::SetPictureFromNet>("SetPictureFromNet", dispidSetPictureFromNet, VT_I4,
            {{"index", VT_I2}, {"strAddress", VT_BSTR}, {"strUsername", VT_BSTR}, {"strPassword", VT_BSTR}}),
        Method<C, &C::SetSoundFromNet>("SetSoundFromNet", dispidSetSoundFromNet, VT_I4,
            {{"index", VT_I2}, {"strAddress", VT_BSTR}, {"strUsername", VT_BSTR}, {"strPassword", VT_BSTR}}),
        Method<C, &C::SetAnimFromNet>("SetAnimFromNet", dispidSetAnimFromNet, VT_BOOL,
            {{"index", VT_I2}, {"strAddress", VT_BSTR}, {"strUsername", VT_BSTR}, {"strPassword", VT_BSTR}}),
        Method<C, &C::SetSurfaceColor>("SetSurfaceColor", dispidSetSurfaceColor, VT_EMPTY,
            {{"nElement", VT_I2}, {"color", kColor}, {"nGradientFactor", VT_I2}, {"nRender3D", VT_I2}}),
        Method<C, &C::MouseCapture>("MouseCapture", dispidMouseCapture, VT_EMPTY, {{"bCapture", VT_BOOL}}),
        Method<C, &C::GetSurfaceColor>("GetSurfaceColor", dispidGetSurfaceColor, VT_EMPTY,
            {{"nElement", VT_I2}, {"pcolor", kOutColor}, {"pnGradientFactor", kOutShort}, {"pnRender3D", kOutShort}}),
        Method<C, &C::InternalRefresh>("InternalRefresh", dispidInternalRefresh, VT_EMPTY),
        Method<C, &C::SetAuxTextString>("SetAuxTextString", dispidSetAuxTextString, VT_EMPTY, {{"position", VT_I2}, {"text", VT_BSTR}}),
        Property<C, &C::GetTexture, &C::SetTexture>("Texture", dispidTexture, VT_BSTR),
        Property<C, &C::GetTextureMode, &C::SetTextureMode>("TextureMode", dispidTextureMode, VT_I2),
        Property<C, &C::GetTextureLightIntensity, &C::SetTextureLightIntensity>(
            "TextureLightIntensity", dispidTextureLightIntensity, VT_I2),
        Property<C, &C::GetTextureColorMix, &C::SetTextureColorMix>("TextureColorMix", dispidTextureColorMix, kColor),
        Property<C, &C::GetTextureColorMixPerc, &C::SetTextureColorMixPerc>("TextureColorMixPerc",
                                                                            dispidTextureColorMixPerc, VT_I2),
        Property<C, &C::GetTextureBevelFactor, &C::SetTextureBevelFactor>("TextureBevelFactor",
                                                                          dispidTextureBevelFactor, VT_I2),
        Property<C, &C::GetForeColorDisabled, &C::SetForeColorDisabled>("ForeColorDisabled",
                                                                        dispidForeColorDisabled, kColor),
        Property<C, &C::GetBackColorDisabled, &C::SetBackColorDisabled>("BackColorDisabled",
                                                                        dispidBackColorDisabled, kColor),
        Property<C, &C::GetBackColorMouseOver, &C::SetBackColorMouseOver>("BackColorMouseOver",
                                                                          dispidBackColorMouseOver, kColor),
        Property<C, &C::GetBackColorFocus, &C::SetBackColorFocus>("BackColorFocus", dispidBackColorFocus, kColor),
        Property<C, &C::GetBackColorInterior, &C::SetBackColorInterior>("BackColorInterior",
                                                                        dispidBackColorInterior, kColor),
        Property<C, &C::GetForeColorMouseOver, &C::SetForeColorMouseOver>("ForeColorMouseOver",
                                                                          dispidForeColorMouseOver, kColor),
        Method<C, &C::ExportBtnImage>("ExportBtnImage", dispidExportBtnImage, VT_BOOL,
                                   {{"nImage", VT_I2}, {"strFilename", VT_BSTR}, {"nFormat", VT_I2}}),
        Method<C, &C::EditProperties>("EditProperties", dispidEditProperties, VT_EMPTY,
                                   {{"colorText", kColor}, {"colorBack", kColor}, {"x", VT_I4}, {"y", VT_I4}}),
        Property<C, &C::GetFlatPillowFactor, &C::SetFlatPillowFactor>("FlatPillowFactor", dispidFlatPillowFactor,
                                                                      VT_I2),
        Property<C, &C::GetShadowMode, &C::SetShadowMode>("ShadowMode", dispidShadowMode, VT_I2),
        Method<C, &C::LoadTemplate>("LoadTemplate", dispidLoadTemplate, VT_I2, {{"strFilename", VT_BSTR}}),
        Method<C, &C::SaveTemplate>("SaveTemplate", dispidSaveTemplate, VT_I2, {{"strFilename", VT_BSTR}}),
        Method<C, &C::LoadTemplateEx>("LoadTemplateEx", dispidLoadTemplateEx, VT_I2, {{"strFilename", VT_BSTR}}),
        Method<C, &C::SaveTemplateEx>("SaveTemplateEx", dispidSaveTemplateEx, VT_I2, {{"strFilename", VT_BSTR}}),
        Method<C, &C::SetHelpLink>("SetHelpLink", dispidSetHelpLink, VT_EMPTY, {{"nPage", VT_I2}, {"strLink", VT_BSTR}}),
        Method<C, &C::ShowEditingButtons>("ShowEditingButtons", dispidShowEditingButtons, VT_EMPTY, {{"lFlags", VT_I2}, {"bShow", VT_I2}}),
        Property<C, &C::GetStyle, &C::SetStyle>("Style", dispidStyle, VT_I2),
        Property<C, &C::GetPictureDisabled, &C::SetPictureDisabled>("PictureDisabled", dispidPictureDisabled,
                                                                    VT_BSTR),
        Property<C, &C::GetForeColorPressed, &C::SetForeColorPressed>("ForeColorPressed", dispidForeColorPressed,
                                                                      kColor),
        Property<C, &C::GetBackColorPressed, &C::SetBackColorPressed>("BackColorPressed", dispidBackColorPressed,
                                                                      kColor),
        Method<C, &C::SetTextOnPos>("SetTextOnPos", dispidSetTextOnPos, VT_EMPTY, {{"position", VT_I2}, {"strText", VT_BSTR}}),
        Method<C, &C::GetTextOnPos>("GetTextOnPos", dispidGetTextOnPos, VT_BSTR, {{"position", VT_I2}}),
        Method<C, &setTextSettingOnPos>("SetTextSettingOnPos", dispidSetTextSettingOnPos, VT_EMPTY,
                                        {{"position", VT_I2}, {"pdesc", kAddress}, {"nFlag", VT_I2}}),
        Method<C, &getTextSettingOnPos>("GetTextSettingOnPos", dispidGetTextSettingOnPos, VT_EMPTY, {{"position", VT_I2}, {"pdesc", kAddress}}),
        Method<C, &setSurfaceColorDesc>("SetSurfaceColorDesc", dispidSetSurfaceColorDesc, VT_EMPTY, {{"nElement", VT_I2}, {"pdesc", kAddress}}),
        Method<C, &getSurfaceColorDesc>("GetSurfaceColorDesc", dispidGetSurfaceColorDesc, VT_EMPTY, {{"nElement", VT_I2}, {"pdesc", kAddress}}),
        Property<C, &C::GetValue, &C::SetValue>("Value", dispidValue, VT_I2),
        Method<C, &C::SetEditingTplMode>("SetEditingTplMode", dispidSetEditingTplMode, VT_EMPTY, {{"nMode", VT_I2}}),
        Method<C, &C::SetTemplateBinDir>("SetTemplateBinDir", dispidSetTemplateBinDir, VT_EMPTY, {{"nType", VT_I2}, {"strDirPath", VT_BSTR}}),
        DispStockDoClick<CLumvexCtrl>(),
        DispStockRefresh<CLumvexCtrl>(),
        DispStockCaption<CLumvexCtrl>(),
        DispStockEnabled<CLumvexCtrl>(),
        DispStockHwnd<CLumvexCtrl>(),
        DispStockAboutBox<CLumvexCtrl>(),
    };
    static_assert(std::size(members) == 113);
    static constexpr com::DispatchTable table{&DIID_DLumvex, "_DLumvex", members};
    return table;
}

void CLumvexCtrl::AboutBox()
{
    BeginModalState();
    CAboutDlg::Show(GetContainerWindow());
    EndModalState();
}
