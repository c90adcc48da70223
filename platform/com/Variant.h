#pragma once
// Automation values: the VARIANT with the types the system passes (16, 32 and
// 64-bit integers, doubles, booleans, strings, objects, and references to
// 16 and 32-bit integers and to VARIANTs) and its conversions, which follow
// the language runtime's: integers from doubles round halves to even, text is
// read as the runtime reads numbers, a value out of range is DISP_E_OVERFLOW,
// text that is no number DISP_E_TYPEMISMATCH.

#include "platform/com/Bstr.h"
#include "platform/com/HResult.h"

#include <cstdint>

struct IUnknown;
struct IDispatch;

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_I8 = 20,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        std::int64_t llVal;
        std::int32_t lVal;
        std::int16_t iVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        std::int16_t* piVal;
        std::int32_t* plVal;
        VARIANT* pvarVal;
        void* byref;
    };
};
using VARIANTARG = VARIANT;

// Flags of VariantChangeType: booleans become "True" and "False" instead of
// "-1" and "0".
inline constexpr WORD VARIANT_ALPHABOOL = 0x2;

void VariantInit(VARIANT* v);
// Frees what the value owns (a string, a reference) and leaves it empty. A
// reference (VT_BYREF) owns nothing.
HRESULT VariantClear(VARIANT* v);
// dest (cleared first) becomes a copy: strings copied, objects referenced again.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// As VariantCopy, but a reference is replaced by the value it points at.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);
// dest (which may be src) becomes src converted to vt; on failure dest is
// left as it was.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, WORD flags, VARTYPE vt);

namespace com {

// A VARIANT that clears itself.
class ComVariant : public VARIANT {
public:
    ComVariant() { VariantInit(this); }
    ComVariant(const ComVariant& o) : ComVariant() { VariantCopy(this, &o); }
    ComVariant& operator=(const ComVariant& o)
    {
        if (this != &o)
            VariantCopy(this, &o);
        return *this;
    }
    ~ComVariant() { VariantClear(this); }

    static ComVariant I2(std::int16_t v);
    static ComVariant I4(std::int32_t v);
    static ComVariant I8(std::int64_t v);
    static ComVariant R8(double v);
    static ComVariant Bool(bool v);
    static ComVariant Text(std::string_view utf8);
    // Takes over one reference of the object.
    static ComVariant Dispatch(IDispatch* object);
    static ComVariant Unknown(IUnknown* object);
    static ComVariant I2Ref(std::int16_t* p);
    static ComVariant I4Ref(std::int32_t* p);
    static ComVariant VariantRef(VARIANT* p);
};

} // namespace com
