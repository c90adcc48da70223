#include "platform/com/Variant.h"

#include "platform/com/testserver/TestWidget.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

namespace {

using com::ComVariant;

// "I2:5", "BSTR:text", "BOOL:-1": a value and its type, to compare in one go.
std::string describe(const VARIANT& v)
{
    std::ostringstream s;
    switch (v.vt) {
    case VT_EMPTY:
        return "EMPTY";
    case VT_I2:
        s << "I2:" << v.iVal;
        break;
    case VT_I4:
        s << "I4:" << v.lVal;
        break;
    case VT_I8:
        s << "I8:" << v.llVal;
        break;
    case VT_R8:
        s << "R8:" << v.dblVal;
        break;
    case VT_BOOL:
        s << "BOOL:" << v.boolVal;
        break;
    case VT_BSTR:
        s << "BSTR:" << com::Utf8FromBstr(v.bstrVal);
        break;
    default:
        s << "VT:" << v.vt;
    }
    return s.str();
}

struct Conversion {
    ComVariant from;
    VARTYPE to;
    HRESULT hr;
    std::string result; // when hr is S_OK
};

std::string convert(const VARIANT& from, VARTYPE to, HRESULT& hr, WORD flags = 0)
{
    ComVariant out;
    hr = VariantChangeType(&out, &from, flags, to);
    return describe(out);
}

TEST(ComVariant, ConversionTable)
{
    const Conversion cases[] = {
        // Integers widen and narrow; a value that does not fit overflows.
        {ComVariant::I2(-7), VT_I4, S_OK, "I4:-7"},
        {ComVariant::I4(32767), VT_I2, S_OK, "I2:32767"},
        {ComVariant::I4(32768), VT_I2, DISP_E_OVERFLOW, ""},
        {ComVariant::I4(-32769), VT_I2, DISP_E_OVERFLOW, ""},
        {ComVariant::I8(std::numeric_limits<std::int64_t>::max()), VT_I4, DISP_E_OVERFLOW, ""},
        {ComVariant::I8(-2147483648LL), VT_I4, S_OK, "I4:-2147483648"},
        {ComVariant::I4(-5), VT_I8, S_OK, "I8:-5"},
        // Doubles round halves to even.
        {ComVariant::R8(2.5), VT_I2, S_OK, "I2:2"},
        {ComVariant::R8(3.5), VT_I4, S_OK, "I4:4"},
        {ComVariant::R8(-2.5), VT_I8, S_OK, "I8:-2"},
        {ComVariant::R8(1e10), VT_I4, DISP_E_OVERFLOW, ""},
        {ComVariant::R8(1e19), VT_I8, DISP_E_OVERFLOW, ""},
        {ComVariant::R8(-9223372036854775808.0), VT_I8, S_OK, "I8:-9223372036854775808"},
        {ComVariant::I8(9007199254740993LL), VT_R8, S_OK, "R8:9.0072e+15"},
        // Booleans are -1 and 0; any non-zero number is true.
        {ComVariant::Bool(true), VT_I4, S_OK, "I4:-1"},
        {ComVariant::Bool(false), VT_I8, S_OK, "I8:0"},
        {ComVariant::I2(2), VT_BOOL, S_OK, "BOOL:-1"},
        {ComVariant::R8(0.0), VT_BOOL, S_OK, "BOOL:0"},
        {ComVariant::I8(1LL << 40), VT_BOOL, S_OK, "BOOL:-1"},
        // Text is read as the runtime reads numbers.
        {ComVariant::Text(" 42 "), VT_I2, S_OK, "I2:42"},
        {ComVariant::Text("&H10"), VT_I4, S_OK, "I4:16"},
        {ComVariant::Text("1,234.5"), VT_R8, S_OK, "R8:1234.5"},
        {ComVariant::Text("2.5"), VT_I4, S_OK, "I4:2"},
        {ComVariant::Text("40000"), VT_I2, DISP_E_OVERFLOW, ""},
        {ComVariant::Text("1e400"), VT_R8, DISP_E_OVERFLOW, ""},
        {ComVariant::Text("9223372036854775807"), VT_I8, S_OK, "I8:9223372036854775807"},
        {ComVariant::Text("9223372036854775808"), VT_I8, DISP_E_OVERFLOW, ""},
        {ComVariant::Text("abc"), VT_I4, DISP_E_TYPEMISMATCH, ""},
        {ComVariant::Text(""), VT_I2, DISP_E_TYPEMISMATCH, ""},
        {ComVariant::Text("12abc"), VT_I8, DISP_E_TYPEMISMATCH, ""},
        {ComVariant::Text("True"), VT_BOOL, S_OK, "BOOL:-1"},
        {ComVariant::Text("false"), VT_BOOL, S_OK, "BOOL:0"},
        {ComVariant::Text("0"), VT_BOOL, S_OK, "BOOL:0"},
        {ComVariant::Text("maybe"), VT_BOOL, DISP_E_TYPEMISMATCH, ""},
        // Numbers as text.
        {ComVariant::I2(-3), VT_BSTR, S_OK, "BSTR:-3"},
        {ComVariant::I8(-9223372036854775807LL - 1), VT_BSTR, S_OK, "BSTR:-9223372036854775808"},
        {ComVariant::R8(0.1), VT_BSTR, S_OK, "BSTR:0.1"},
        {ComVariant::Bool(true), VT_BSTR, S_OK, "BSTR:-1"},
        // Empty is zero, false and the empty string.
        {ComVariant(), VT_I4, S_OK, "I4:0"},
        {ComVariant(), VT_BOOL, S_OK, "BOOL:0"},
        {ComVariant(), VT_BSTR, S_OK, "BSTR:"},
        {ComVariant::I4(9), VT_EMPTY, S_OK, "EMPTY"},
        // Objects are no numbers.
        {ComVariant::Dispatch(nullptr), VT_I4, DISP_E_TYPEMISMATCH, ""},
        {ComVariant::Unknown(nullptr), VT_BSTR, DISP_E_TYPEMISMATCH, ""},
        {ComVariant::I4(1), VT_DISPATCH, DISP_E_TYPEMISMATCH, ""},
        // Types the layer does not know.
        {ComVariant::I4(1), VT_VARIANT, DISP_E_BADVARTYPE, ""},
        {ComVariant::I4(1), static_cast<VARTYPE>(7), DISP_E_BADVARTYPE, ""},
    };
    for (const Conversion& c : cases) {
        HRESULT hr = S_OK;
        const std::string result = convert(c.from, c.to, hr);
        EXPECT_EQ(hr, c.hr) << describe(c.from) << " to " << c.to;
        if (c.hr == S_OK) {
            EXPECT_EQ(result, c.result) << describe(c.from) << " to " << c.to;
        }
    }

    HRESULT hr = S_OK;
    EXPECT_EQ(convert(ComVariant::Bool(true), VT_BSTR, hr, VARIANT_ALPHABOOL), "BSTR:True");
    EXPECT_EQ(convert(ComVariant::Bool(false), VT_BSTR, hr, VARIANT_ALPHABOOL), "BSTR:False");
}

TEST(ComVariant, ReferencesAreReadThrough)
{
    std::int16_t small = 300;
    std::int32_t large = -70000;
    HRESULT hr = S_OK;
    EXPECT_EQ(convert(ComVariant::I2Ref(&small), VT_BSTR, hr), "BSTR:300");
    EXPECT_EQ(convert(ComVariant::I4Ref(&large), VT_I2, hr), "EMPTY");
    EXPECT_EQ(hr, DISP_E_OVERFLOW);
    ComVariant inner = ComVariant::Text("12");
    EXPECT_EQ(convert(ComVariant::VariantRef(&inner), VT_I4, hr), "I4:12");
    EXPECT_EQ(hr, S_OK);
    // A reference to a variant that refers back to itself is refused, not followed forever.
    VARIANT loop;
    loop.vt = VT_BYREF | VT_VARIANT;
    loop.pvarVal = &loop;
    EXPECT_EQ(convert(loop, VT_I4, hr), "EMPTY");
    EXPECT_EQ(hr, DISP_E_BADVARTYPE);
    EXPECT_EQ(convert(ComVariant::VariantRef(nullptr), VT_I4, hr), "EMPTY");
    EXPECT_EQ(hr, DISP_E_BADVARTYPE);

    // Clearing a reference leaves the referenced value alone.
    ComVariant ref = ComVariant::I2Ref(&small);
    EXPECT_EQ(VariantClear(&ref), S_OK);
    EXPECT_EQ(small, 300);
    EXPECT_EQ(ref.vt, VT_EMPTY);
}

TEST(ComVariant, ConversionInPlaceAndFailureLeaveTheValueWhole)
{
    ComVariant v = ComVariant::Text("123");
    EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(describe(v), "I4:123");

    ComVariant text = ComVariant::Text("not a number");
    ComVariant dest = ComVariant::Text("kept");
    EXPECT_EQ(VariantChangeType(&dest, &text, 0, VT_I2), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(describe(dest), "BSTR:kept");
    EXPECT_EQ(VariantChangeType(&text, &text, 0, VT_I2), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(describe(text), "BSTR:not a number");
}

TEST(ComVariant, CopiesOwnTheirStringsAndObjects)
{
    ComVariant original = ComVariant::Text("abc");
    {
        ComVariant copy = original;
        EXPECT_NE(copy.bstrVal, original.bstrVal);
        EXPECT_EQ(describe(copy), "BSTR:abc");
    }
    EXPECT_EQ(describe(original), "BSTR:abc");

    auto* widget = new comtest::Widget();
    {
        ComVariant holder = ComVariant::Dispatch(widget); // takes the creator's reference
        ComVariant copy = holder;
        ComVariant asUnknown;
        EXPECT_EQ(VariantChangeType(&asUnknown, &holder, 0, VT_UNKNOWN), S_OK);
        EXPECT_EQ(asUnknown.vt, VT_UNKNOWN);
        ComVariant back;
        EXPECT_EQ(VariantChangeType(&back, &asUnknown, 0, VT_DISPATCH), S_OK);
        EXPECT_EQ(static_cast<IDispatch*>(back.pdispVal), static_cast<IDispatch*>(widget));
        EXPECT_EQ(comtest::Widget::LiveCount(), 1);
    }
    // Every copy released its reference: the widget is gone.
    EXPECT_EQ(comtest::Widget::LiveCount(), 0);

    VARIANT bad;
    bad.vt = 99;
    ComVariant target;
    EXPECT_EQ(VariantCopy(&target, &bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
}

} // namespace
