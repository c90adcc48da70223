#pragma once
// Reading and writing one property of any dispatch object, as the template
// files and the text settings dialog do. A failing call changes nothing and
// reports nothing.

#include "platform/com/Dispatch.h"
#include "platform/mfc/WinTypes.h"

// out by vartype: VT_I2 short*, VT_I4 LONG* (or OLE_COLOR*), VT_BOOL BOOL*,
// VT_R8 double*, VT_BSTR CString*, VT_DISPATCH IDispatch** (with a reference
// for the caller). out keeps its value when the call fails.
void GetDispatchProperty(IDispatch* pDispatch, DISPID dwDispID, VARTYPE vtProp, void* out);
void SetDispatchPropertyShort(IDispatch* pDispatch, DISPID dwDispID, short value);
