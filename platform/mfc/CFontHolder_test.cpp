// The font object and its holder: properties, ranges, notifications, the
// LOGFONT the drawing layer gets.

#include "platform/com/testserver/ComTesting.h"
#include "platform/mfc/CFontHolder.h"

#include <gtest/gtest.h>

namespace {

// Counts the changes a font reports.
class Counter final : public com::ComObject<Counter, IPropertyNotifySink> {
public:
    std::span<const com::InterfaceEntry> InterfaceTable() const
    {
        static constexpr com::InterfaceEntry table[] = {com::Implements<Counter, IPropertyNotifySink>()};
        return table;
    }
    HRESULT OnChanged(DISPID id) override
    {
        changed.push_back(id);
        return S_OK;
    }
    HRESULT OnRequestEdit(DISPID) override { return S_OK; }
    std::vector<DISPID> changed;
};

TEST(CFontHolderTest, OneChangeNotifiesOnce)
{
    auto counter = com::ComPtr<Counter>::Attach(new Counter());
    CFontHolder holder(counter.Get());
    holder.InitializeFont();
    IFont* font = holder.m_pFont;
    ASSERT_TRUE(font);
    font->put_Bold(TRUE);
    font->put_Bold(TRUE);
    font->put_Italic(TRUE);
    font->put_Size(CY{120000});
    font->put_Name(com::Bstr("Arial").Get());
    EXPECT_EQ(counter->changed,
              (std::vector<DISPID>{DISPID_FONT_BOLD, DISPID_FONT_ITALIC, DISPID_FONT_SIZE, DISPID_FONT_NAME}));
    // Refused values change nothing and notify nothing.
    EXPECT_EQ(font->put_Size(CY{0}), E_INVALIDARG);
    EXPECT_EQ(font->put_Size(CY{kMaxFontSize + 1}), E_INVALIDARG);
    EXPECT_EQ(font->put_Weight(1001), E_INVALIDARG);
    EXPECT_EQ(font->put_Charset(256), E_INVALIDARG);
    EXPECT_EQ(counter->changed.size(), 4u);

    // Through the dispatch interface: Size in points; a 16-bit read rounds
    // half to even, as templates read it.
    com::ComPtr<IDispatch> disp = com::ComPtr<IDispatch>::Attach(holder.GetFontDispatch());
    ASSERT_EQ(comtest::Put(disp.Get(), DISPID_FONT_SIZE, com::ComVariant::R8(8.5)), S_OK);
    com::ComVariant size = comtest::Get(disp.Get(), DISPID_FONT_SIZE);
    ASSERT_EQ(VariantChangeType(&size, &size, 0, VT_I2), S_OK);
    EXPECT_EQ(size.iVal, 8);
    comtest::Put(disp.Get(), DISPID_FONT_SIZE, com::ComVariant::I2(9));
    CY cy;
    font->get_Size(&cy);
    EXPECT_EQ(cy.int64, 90000);
    EXPECT_NE(comtest::Put(disp.Get(), DISPID_FONT_SIZE, com::ComVariant::R8(-1)), S_OK);
    EXPECT_EQ(counter->changed.size(), 6u);

    // A copy is equal and has no connections; the holder drops its own.
    com::ComPtr<IFont> copy;
    ASSERT_EQ(font->Clone(copy.Receive()), S_OK);
    EXPECT_EQ(font->IsEqual(copy.Get()), S_OK);
    copy->put_Underline(TRUE);
    EXPECT_EQ(font->IsEqual(copy.Get()), S_FALSE);
    EXPECT_EQ(counter->changed.size(), 6u);
    holder.ReleaseFont();
    copy->put_Underline(FALSE);
    EXPECT_EQ(counter->changed.size(), 6u);
}

TEST(CFontHolderTest, LogFontForTheDrawingLayer)
{
    CFontHolder holder(nullptr);
    LOGFONT lf{};
    EXPECT_FALSE(holder.GetLogFont(&lf, 96));
    EXPECT_EQ(holder.GetFontHandle(), nullptr);
    holder.InitializeFont();
    ASSERT_TRUE(holder.GetLogFont(&lf, 96));
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(lf.lfHeight, -11); // 8 points at 96 dpi: 10.67 pixels
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    holder.GetLogFont(&lf, 120);
    EXPECT_EQ(lf.lfHeight, -13);

    OLECHAR face[] = u"Times New Roman";
    const FONTDESC desc{sizeof(FONTDESC), face, CY{120000}, 700, 0, TRUE, TRUE, FALSE};
    holder.InitializeFont(&desc);
    holder.GetLogFont(&lf, 96);
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, 0);

    // The handle is kept until the font changes.
    HFONT first = holder.GetFontHandle();
    ASSERT_TRUE(first);
    EXPECT_EQ(holder.GetFontHandle(), first);
    holder.m_pFont->put_Italic(FALSE);
    HFONT second = holder.GetFontHandle();
    LOGFONT now{};
    GetObject(second, sizeof now, &now);
    EXPECT_EQ(now.lfItalic, 0);

    // A copy of an ambient font is taken instead of the description.
    CFontHolder other(nullptr);
    com::ComPtr<IDispatch> ambient = com::ComPtr<IDispatch>::Attach(holder.GetFontDispatch());
    other.InitializeFont(nullptr, ambient.Get());
    EXPECT_EQ(other.m_pFont->IsEqual(holder.m_pFont), S_OK);
    EXPECT_NE(static_cast<void*>(other.m_pFont), static_cast<void*>(holder.m_pFont));
}

} // namespace
