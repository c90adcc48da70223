// The container's bag: names without case, first-written order, reads in
// the type the reader asks for.

#include "platform/com/PropertyBag.h"

#include <gtest/gtest.h>

namespace {

com::ComVariant read(IPropertyBag* bag, const char16_t* name, VARTYPE wanted, HRESULT* hr)
{
    com::ComVariant value;
    value.vt = wanted;
    *hr = bag->Read(reinterpret_cast<LPCOLESTR>(name), &value, nullptr);
    return value;
}

TEST(PropertyBagTest, NamesIgnoreCaseAndKeepTheirFirstOrder)
{
    auto bag = com::NewPropertyBag();
    com::ComVariant one = com::ComVariant::I4(1);
    ASSERT_EQ(bag->Write(u"Count", &one), S_OK);
    bag->SetValue("Label", com::ComVariant::Text("a"));
    bag->SetValue("COUNT", com::ComVariant::I4(2));
    EXPECT_EQ(bag->Names(), (std::vector<std::string>{"Count", "Label"}));
    EXPECT_EQ(bag->Value("count").lVal, 2);
    EXPECT_TRUE(bag->Contains("LABEL"));
    EXPECT_TRUE(bag->Remove("label"));
    EXPECT_FALSE(bag->Remove("label"));
    EXPECT_EQ(bag->Value("Label").vt, VT_EMPTY);
    EXPECT_EQ(bag->Write(nullptr, &one), E_POINTER);
    EXPECT_EQ(bag->Write(u"x", nullptr), E_POINTER);
}

TEST(PropertyBagTest, ReadsConvertToTheTypeAskedFor)
{
    auto bag = com::NewPropertyBag();
    bag->SetValue("Size", com::ComVariant::Text("12"));
    bag->SetValue("Word", com::ComVariant::Text("many"));
    bag->SetValue("Big", com::ComVariant::I4(70000));
    HRESULT hr = E_FAIL;

    com::ComVariant v = read(bag.Get(), u"size", VT_I2, &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 12);
    // No type asked: the value as stored.
    v = read(bag.Get(), u"Size", VT_EMPTY, &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(v.vt, VT_BSTR);
    // Text that is no number, and a number too large for the type.
    v = read(bag.Get(), u"Word", VT_I4, &hr);
    EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(v.vt, VT_EMPTY);
    v = read(bag.Get(), u"Big", VT_I2, &hr);
    EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
    // Missing names and null arguments.
    v = read(bag.Get(), u"Absent", VT_I2, &hr);
    EXPECT_EQ(hr, E_INVALIDARG);
    EXPECT_EQ(bag->Read(nullptr, &v, nullptr), E_POINTER);
    EXPECT_EQ(bag->Read(u"Size", nullptr, nullptr), E_POINTER);
}

TEST(PropertyBagTest, NestedBagsAreHeldByReference)
{
    auto outer = com::NewPropertyBag();
    {
        auto inner = com::NewPropertyBag();
        inner->SetValue("Name", com::ComVariant::Text("Arial"));
        inner->AddRef();
        outer->SetValue("Font", com::ComVariant::Unknown(inner.Get()));
    }
    HRESULT hr = E_FAIL;
    com::ComVariant font = read(outer.Get(), u"Font", VT_UNKNOWN, &hr);
    ASSERT_EQ(hr, S_OK);
    com::ComPtr<IPropertyBag> bag;
    ASSERT_EQ(font.punkVal->QueryInterface(IPropertyBag::kIid, bag.ReceiveVoid()), S_OK);
    com::ComVariant name = read(bag.Get(), u"name", VT_BSTR, &hr);
    EXPECT_EQ(com::Utf8FromBstr(name.bstrVal), "Arial");
}

} // namespace
