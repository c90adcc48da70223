#include "buttonlib/control/DispatchProperty.h"

#include "platform/com/Bstr.h"

void GetDispatchProperty(IDispatch* pDispatch, DISPID dwDispID, VARTYPE vtProp, void* out)
{
    if (!pDispatch || !out)
        return;
    com::ComVariant value;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (FAILED(pDispatch->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                 nullptr, nullptr)))
        return;
    com::ComVariant as;
    if (FAILED(VariantChangeType(&as, &value, 0, vtProp)))
        return;
    switch (vtProp) {
    case VT_I2: *static_cast<short*>(out) = as.iVal; break;
    case VT_I4: *static_cast<LONG*>(out) = as.lVal; break;
    case VT_BOOL: *static_cast<BOOL*>(out) = as.boolVal ? TRUE : FALSE; break;
    case VT_R8: *static_cast<double*>(out) = as.dblVal; break;
    case VT_BSTR: *static_cast<CString*>(out) = com::Utf8FromBstr(as.bstrVal); break;
    case VT_DISPATCH:
        if (as.pdispVal)
            as.pdispVal->AddRef();
        *static_cast<IDispatch**>(out) = as.pdispVal;
        break;
    default: break;
    }
}

void SetDispatchPropertyShort(IDispatch* pDispatch, DISPID dwDispID, short value)
{
    if (!pDispatch)
        return;
    com::ComVariant arg;
    arg.vt = VT_I2;
    arg.iVal = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    pDispatch->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                      nullptr);
}
