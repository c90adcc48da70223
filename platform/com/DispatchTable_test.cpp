#include "platform/com/DispatchTable.h"

#include "platform/com/testserver/ComTestIds.h"
#include "platform/com/testserver/ComTesting.h"
#include "platform/com/testserver/TestWidget.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using com::ComPtr;
using com::ComVariant;
using namespace comtest;

ComPtr<IDispatch> newWidget()
{
    return ComPtr<IDispatch>::Attach(new Widget());
}

TEST(DispatchTable, NamesAreFoundWithoutCase)
{
    auto w = newWidget();
    EXPECT_EQ(IdOf(w.Get(), u"Describe"), kDescribe);
    EXPECT_EQ(IdOf(w.Get(), u"DESCRIBE"), kDescribe);
    EXPECT_EQ(IdOf(w.Get(), u"liveCount"), kLiveCount);
    EXPECT_EQ(IdOf(w.Get(), u"Describ"), DISPID_UNKNOWN);
    EXPECT_EQ(IdOf(w.Get(), u"Describes"), DISPID_UNKNOWN);

    // Parameter names are not looked up: they come back unknown.
    std::u16string member = u"add", param = u"a";
    LPOLESTR names[] = {member.data(), param.data()};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(w->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], kAdd);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    EXPECT_EQ(w->GetIDsOfNames(DIID_Widget, names, 1, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNINTERFACE);
}

TEST(DispatchTable, PropertiesTakeTheNamedValueAndConvertIt)
{
    auto w = newWidget();
    EXPECT_EQ(Put(w.Get(), kSmall, ComVariant::Text("12")), S_OK);
    EXPECT_EQ(Get(w.Get(), kSmall).iVal, 12);
    EXPECT_EQ(Get(w.Get(), kSmall).vt, VT_I2);
    EXPECT_EQ(Put(w.Get(), kTitle, ComVariant::R8(2.5)), S_OK);
    EXPECT_EQ(com::Utf8FromBstr(Get(w.Get(), kTitle).bstrVal), "2.5");
    EXPECT_EQ(Put(w.Get(), kFlag, ComVariant::I4(5)), S_OK);
    EXPECT_EQ(Get(w.Get(), kFlag).boolVal, VARIANT_TRUE);
    // Addresses are 64 bits wide.
    const std::int64_t address = 0x7FFF12345678LL;
    EXPECT_EQ(Put(w.Get(), kAddress, ComVariant::I8(address)), S_OK);
    EXPECT_EQ(Get(w.Get(), kAddress).llVal, address);

    // A value out of the property's range, or no number at all, leaves it be.
    EXPECT_EQ(Put(w.Get(), kSmall, ComVariant::I4(70000)), DISP_E_OVERFLOW);
    EXPECT_EQ(Put(w.Get(), kSmall, ComVariant::Text("twelve")), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Get(w.Get(), kSmall).iVal, 12);

    // A put without the named value, with another name or more values.
    ComVariant value = ComVariant::I2(1);
    DISPPARAMS plain{&value, nullptr, 1, 0};
    EXPECT_EQ(w->Invoke(kSmall, IID_NULL, 0, DISPATCH_PROPERTYPUT, &plain, nullptr, nullptr, nullptr),
              DISP_E_PARAMNOTFOUND);
    DISPID other = 1;
    DISPPARAMS misnamed{&value, &other, 1, 1};
    EXPECT_EQ(w->Invoke(kSmall, IID_NULL, 0, DISPATCH_PROPERTYPUT, &misnamed, nullptr, nullptr, nullptr),
              DISP_E_NONAMEDARGS);
    ComVariant two[2] = {ComVariant::I2(1), ComVariant::I2(2)};
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS extra{two, &named, 2, 1};
    EXPECT_EQ(w->Invoke(kSmall, IID_NULL, 0, DISPATCH_PROPERTYPUT, &extra, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);

    // Read-only properties refuse a put; a get with arguments is refused.
    EXPECT_EQ(Put(w.Get(), kLiveCount, ComVariant::I4(3)), DISP_E_MEMBERNOTFOUND);
    ComVariant result;
    EXPECT_EQ(Call(w.Get(), kSmall, DISPATCH_PROPERTYGET, {ComVariant::I2(1)}, &result), DISP_E_BADPARAMCOUNT);
    // Unknown members and a call of a property as a method.
    EXPECT_EQ(Call(w.Get(), 999, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(w.Get(), kSmall, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
    // The form a language runtime uses for "x = obj.Small".
    EXPECT_EQ(Call(w.Get(), kSmall, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.iVal, 12);
}

TEST(DispatchTable, MethodsConvertArgumentsAndWriteOutputsThroughReferences)
{
    auto w = newWidget();
    ComVariant sum;
    EXPECT_EQ(Call(w.Get(), kAdd, DISPATCH_METHOD, {ComVariant::I2(40), ComVariant::Text("2")}, &sum), S_OK);
    EXPECT_EQ(sum.vt, VT_I4);
    EXPECT_EQ(sum.lVal, 42);

    std::int16_t length = -1;
    std::int32_t words = -1;
    ComVariant upper;
    EXPECT_EQ(Call(w.Get(), kDescribe, DISPATCH_METHOD,
                   {ComVariant::Text("two words"), ComVariant::I2Ref(&length), ComVariant::I4Ref(&words)}, &upper),
              S_OK);
    EXPECT_EQ(com::Utf8FromBstr(upper.bstrVal), "TWO WORDS");
    EXPECT_EQ(length, 9);
    EXPECT_EQ(words, 2);

    // A caller that wants no result gets none, and nothing leaks.
    EXPECT_EQ(Call(w.Get(), kDescribe, DISPATCH_METHOD,
                   {ComVariant::Text("x"), ComVariant::I2Ref(&length), ComVariant::I4Ref(&words)}),
              S_OK);
    EXPECT_EQ(length, 1);

    // The VARIANT parameter is passed as given.
    ComVariant echoed;
    EXPECT_EQ(Call(w.Get(), kEcho, DISPATCH_METHOD, {ComVariant::Text("same")}, &echoed), S_OK);
    EXPECT_EQ(com::Utf8FromBstr(echoed.bstrVal), "same");
}

TEST(DispatchTable, WrongArgumentsAreRefusedWithTheArgumentNamed)
{
    auto w = newWidget();
    ComVariant result;
    UINT argErr = 99;
    EXPECT_EQ(Call(w.Get(), kAdd, DISPATCH_METHOD, {ComVariant::I4(1)}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(w.Get(), kAdd, DISPATCH_METHOD, {ComVariant::I4(1), ComVariant::I4(2), ComVariant::I4(3)},
                   &result),
              DISP_E_BADPARAMCOUNT);
    // The index is the argument's place in rgvarg, which holds the last one first.
    EXPECT_EQ(Call(w.Get(), kAdd, DISPATCH_METHOD, {ComVariant::Text("one"), ComVariant::I4(2)}, &result, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);
    EXPECT_EQ(Call(w.Get(), kAdd, DISPATCH_METHOD, {ComVariant::I4(1), ComVariant::R8(3e9)}, &result, &argErr),
              DISP_E_OVERFLOW);
    EXPECT_EQ(argErr, 0u);

    // An output must be a reference of its own type.
    std::int16_t length = 0;
    std::int32_t words = 0;
    EXPECT_EQ(Call(w.Get(), kDescribe, DISPATCH_METHOD,
                   {ComVariant::Text("x"), ComVariant::I2(0), ComVariant::I4Ref(&words)}, &result, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 1u);
    EXPECT_EQ(Call(w.Get(), kDescribe, DISPATCH_METHOD,
                   {ComVariant::Text("x"), ComVariant::I2Ref(&length), ComVariant::I2Ref(&length)}, &result,
                   &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(Call(w.Get(), kDescribe, DISPATCH_METHOD,
                   {ComVariant::Text("x"), ComVariant::I2Ref(nullptr), ComVariant::I4Ref(&words)}, &result),
              DISP_E_TYPEMISMATCH);

    // Named arguments other than a put's value are not taken.
    ComVariant args[2] = {ComVariant::I4(1), ComVariant::I4(2)};
    DISPID names[1] = {0};
    DISPPARAMS named{args, names, 2, 1};
    EXPECT_EQ(w->Invoke(kAdd, IID_NULL, 0, DISPATCH_METHOD, &named, &result, nullptr, nullptr),
              DISP_E_NONAMEDARGS);
    DISPPARAMS broken{nullptr, nullptr, 2, 0};
    EXPECT_EQ(w->Invoke(kAdd, IID_NULL, 0, DISPATCH_METHOD, &broken, &result, nullptr, nullptr), E_INVALIDARG);
}

TEST(DispatchTable, AFailingMemberFillsTheExceptionInfo)
{
    auto w = newWidget();
    EXCEPINFO info{};
    ComVariant result;
    EXPECT_EQ(Call(w.Get(), kFail, DISPATCH_METHOD, {ComVariant::Text("No paper.")}, &result, nullptr, &info),
              DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_FAIL);
    EXPECT_EQ(com::Utf8FromBstr(info.bstrDescription), "No paper.");
    EXPECT_EQ(com::Utf8FromBstr(info.bstrSource), "Widget");
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);

    EXPECT_EQ(Call(w.Get(), kAdd, DISPATCH_METHOD,
                   {ComVariant::I4(std::numeric_limits<std::int32_t>::max()), ComVariant::I4(1)}, &result, nullptr,
                   &info),
              DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, DISP_E_OVERFLOW);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    // Without room for the details the failure still comes back.
    EXPECT_EQ(Call(w.Get(), kFail, DISPATCH_METHOD, {ComVariant::Text("x")}), DISP_E_EXCEPTION);
}

TEST(DispatchTable, TypeInformationComesFromTheSameTable)
{
    auto w = newWidget();
    UINT count = 0;
    EXPECT_EQ(w->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(w->GetTypeInfo(0, 0, info.Receive()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, DIID_Widget);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    // Six read-write properties give two entries each, the read-only one and
    // the eight methods one each.
    EXPECT_EQ(attr->cFuncs, 6 * 2 + 1 + 8);
    info->ReleaseTypeAttr(attr);

    bool sawDescribe = false;
    for (UINT i = 0;; ++i) {
        FUNCDESC* f = nullptr;
        if (info->GetFuncDesc(i, &f) != S_OK)
            break;
        if (f->memid == kDescribe) {
            sawDescribe = true;
            EXPECT_EQ(f->invkind, INVOKE_FUNC);
            ASSERT_EQ(f->cParams, 3);
            EXPECT_EQ(f->lprgelemdescParam[0].vt, VT_BSTR);
            EXPECT_EQ(f->lprgelemdescParam[0].wParamFlags, PARAMFLAG_FIN);
            EXPECT_EQ(f->lprgelemdescParam[1].vt, VT_BYREF | VT_I2);
            EXPECT_EQ(f->lprgelemdescParam[1].wParamFlags, PARAMFLAG_FOUT);
            EXPECT_EQ(f->elemdescFunc.vt, VT_BSTR);
        }
        if (f->memid == kSmall && f->invkind == INVOKE_PROPERTYPUT) {
            ASSERT_EQ(f->cParams, 1);
            EXPECT_EQ(f->lprgelemdescParam[0].vt, VT_I2);
        }
        info->ReleaseFuncDesc(f);
    }
    EXPECT_TRUE(sawDescribe);

    BSTR names[4] = {};
    UINT got = 0;
    ASSERT_EQ(info->GetNames(kDescribe, names, 4, &got), S_OK);
    ASSERT_EQ(got, 4u);
    EXPECT_EQ(com::Utf8FromBstr(names[0]), "Describe");
    EXPECT_EQ(com::Utf8FromBstr(names[2]), "length");
    for (BSTR n : names)
        SysFreeString(n);
    EXPECT_EQ(info->GetNames(999, names, 4, &got), TYPE_E_ELEMENTNOTFOUND);
}

TEST(DispatchTable, TheClassNamesItsDefaultEventInterface)
{
    auto w = newWidget();
    auto provider = w.As<IProvideClassInfo2>();
    ASSERT_TRUE(provider);
    GUID events{};
    EXPECT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_EQ(events, DIID_WidgetEvents);
    EXPECT_EQ(provider->GetGUID(7, &events), E_INVALIDARG);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(provider->GetClassInfo(coclass.Receive()), S_OK);
    TYPEATTR* attr = nullptr;
    coclass->GetTypeAttr(&attr);
    EXPECT_EQ(attr->guid, CLSID_Widget);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    ASSERT_EQ(attr->cImplTypes, 2);
    coclass->ReleaseTypeAttr(attr);
    int flags = 0;
    HREFTYPE ref = 0;
    ASSERT_EQ(coclass->GetImplTypeFlags(1, &flags), S_OK);
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
    ASSERT_EQ(coclass->GetRefTypeOfImplType(1, &ref), S_OK);
    ComPtr<ITypeInfo> source;
    ASSERT_EQ(coclass->GetRefTypeInfo(ref, source.Receive()), S_OK);
    // The event interface lists its events by name.
    std::u16string click = u"key";
    LPOLESTR names[] = {click.data()};
    MEMBERID id = 0;
    EXPECT_EQ(source->GetIDsOfNames(names, 1, &id), S_OK);
    EXPECT_EQ(id, kKey);
    EXPECT_EQ(coclass->GetImplTypeFlags(2, &flags), TYPE_E_ELEMENTNOTFOUND);
}

} // namespace
