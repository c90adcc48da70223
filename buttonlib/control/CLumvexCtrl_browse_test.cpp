// The property browser's view of the button through IPerPropertyBrowsing,
// and the property frame at design and run time.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/com/Bstr.h"

#include <gtest/gtest.h>

namespace {

using lumvextest::NewButton;

constexpr CLSID kColorPage = com::GuidLiteral("{0BE35201-8F91-11CE-9DE3-00AA004BB851}");
constexpr CLSID kFontPage = com::GuidLiteral("{0BE35200-8F91-11CE-9DE3-00AA004BB851}");

struct Browsing : ::testing::Test {
    Browsing()
    {
        control = NewButton(&button);
        browsing = control.As<IPerPropertyBrowsing>();
    }
    // The display string, or "(none)" when the control leaves it to the browser.
    std::string Display(DISPID id)
    {
        BSTR text = nullptr;
        const HRESULT hr = browsing->GetDisplayString(id, &text);
        const std::string s = hr == S_OK ? com::Utf8FromBstr(text) : "(none)";
        SysFreeString(text);
        return s;
    }
    std::vector<std::pair<std::string, DWORD>> List(DISPID id)
    {
        CALPOLESTR strings{};
        CADWORD cookies{};
        std::vector<std::pair<std::string, DWORD>> out;
        if (browsing->GetPredefinedStrings(id, &strings, &cookies) != S_OK)
            return out;
        for (ULONG i = 0; i < strings.cElems; ++i) {
            out.emplace_back(com::Bstr::Attach(SysAllocString(strings.pElems[i])).Utf8(), cookies.pElems[i]);
            CoTaskMemFree(strings.pElems[i]);
        }
        CoTaskMemFree(strings.pElems);
        CoTaskMemFree(cookies.pElems);
        return out;
    }

    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> control;
    com::ComPtr<IPerPropertyBrowsing> browsing;
};

TEST_F(Browsing, EnumeratedValuesShowTheirNames)
{
    button->m_Shape = 5;
    EXPECT_EQ(Display(dispidShape), "Custom");
    button->m_Shape = 6;
    EXPECT_EQ(Display(dispidShape), "(none)");
    button->m_Slant = 0;
    EXPECT_EQ(Display(dispidSlant), "Very High");
    button->m_PicturePosition = 8;
    EXPECT_EQ(Display(dispidPicturePosition), "Right (Horizontal) Bottom (Vertical)");
    button->m_SpecialEffectFactor = 2;
    EXPECT_EQ(Display(dispidSpecialEffectFactor), "Medium (Medium buttons)");
    button->m_TextureBevelFactor = 0;
    EXPECT_EQ(Display(dispidTextureBevelFactor), "Very Low");
    button->m_FlatPillowFactor = 4;
    EXPECT_EQ(Display(dispidFlatPillowFactor), "Very High");
    button->m_Optimization = 1;
    EXPECT_EQ(Display(dispidOptimization), "Optimize final EXE size");
    EXPECT_EQ(Display(dispidStyle), "Push Button");
    // Not an enumeration.
    EXPECT_EQ(Display(dispidButtonRaiseFactor), "(none)");
}

TEST_F(Browsing, ListsOfferEachValueInOrder)
{
    using Entries = std::vector<std::pair<std::string, DWORD>>;
    EXPECT_EQ(List(dispidStyle), (Entries{{"0 - Push Button", 0}, {"1 - Check Box", 1}, {"2 - Radio Button", 2}}));
    EXPECT_EQ(List(dispidTextureBevelFactor), (Entries{{"0 - Very Low", 0},
                                                       {"1 - Low", 1},
                                                       {"2 - Medium", 2},
                                                       {"3 - High", 3},
                                                       {"4 - Very High", 4}}));
    EXPECT_EQ(List(dispidRoundness), List(dispidSlant));
    const std::pair<DISPID, std::size_t> sizes[] = {
        {dispidShape, 6},        {dispidRoundness, 5},   {dispidSurface, 4},          {dispidPicturePosition, 9},
        {dispidPictureTranspMode, 2}, {dispidSmoothEdges, 3}, {dispidFocusMode, 3},   {dispidSpecialEffect, 3},
        {dispidOptimization, 2}, {dispidTextureMode, 4}, {dispidFlatPillowFactor, 5}, {dispidShadowMode, 4},
    };
    for (const auto& [id, n] : sizes) {
        const Entries entries = List(id);
        ASSERT_EQ(entries.size(), n) << id;
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(entries[i].second, i) << id;
            EXPECT_EQ(entries[i].first.substr(0, 4), std::to_string(i) + " - ") << id;
        }
    }
    EXPECT_EQ(List(dispidShadowMode).back().first, "3 - Blurred shadow");
    EXPECT_TRUE(List(dispidSpecialEffectFactor).empty());
    EXPECT_TRUE(List(dispidBackColor).empty());

    // A chosen cookie comes back as a short.
    for (DISPID id : {dispidStyle, dispidButtonRaiseFactor, dispidCaptionWordWrapPerc, dispidSpecialEffectFactor}) {
        VARIANT value{};
        ASSERT_EQ(browsing->GetPredefinedValue(id, 2, &value), S_OK) << id;
        EXPECT_EQ(value.vt, VT_I2);
        EXPECT_EQ(value.iVal, 2);
    }
    VARIANT value{};
    EXPECT_EQ(browsing->GetPredefinedValue(dispidBackColor, 2, &value), E_FAIL);
}

TEST_F(Browsing, ColoursAndFontsGoToTheStockPages)
{
    const DISPID colours[] = {dispidPictureTranspColor, dispidBackColorContainer, dispidHighlightColor,
                              dispidShadowColor,        dispidTextureColorMix,    dispidForeColorDisabled,
                              dispidBackColorDisabled,  dispidBackColorMouseOver, dispidBackColorFocus,
                              dispidBackColorInterior,  dispidForeColorMouseOver, DISPID_FORECOLOR,
                              DISPID_BACKCOLOR};
    const DISPID fonts[] = {dispidFontTextLT, dispidFontTextCT, dispidFontTextRT, dispidFontTextLM,     dispidFontTextRM,
                            dispidFontTextLB, dispidFontTextCB, dispidFontTextRB, dispidFontTextCaption};
    CLSID page{};
    for (DISPID id : colours) {
        ASSERT_EQ(browsing->MapPropertyToPage(id, &page), S_OK) << id;
        EXPECT_EQ(page, kColorPage) << id;
    }
    for (DISPID id : fonts) {
        ASSERT_EQ(browsing->MapPropertyToPage(id, &page), S_OK) << id;
        EXPECT_EQ(page, kFontPage) << id;
    }
    // The control's own colours open its own page.
    for (DISPID id : {dispidBackColor, dispidForeColor, dispidForeColorPressed, dispidBackColorPressed, dispidShape})
        EXPECT_EQ(browsing->MapPropertyToPage(id, &page), PERPROP_E_NOPAGEAVAILABLE) << id;
}

// Remembers, with each frame, whether the control was being edited from code.
struct FrameRecorder : com::RecordingUiServices {
    HRESULT ShowPropertyFrame(const com::PropertyFrameRequest& request) override
    {
        editorOpen.push_back(watched ? watched->m_bEditorOpen : -1);
        return RecordingUiServices::ShowPropertyFrame(request);
    }
    CLumvexCtrl* watched = nullptr;
    std::vector<int> editorOpen;
};

TEST(PropertyFrame, PropertiesVerbOnlyAtDesignTimeAndEditPropertiesAlways)
{
    auto recorder = std::make_shared<FrameRecorder>();
    com::SetUiServices(recorder);
    for (bool userMode : {true, false}) {
        lumvextest::ActiveButton b(userMode);
        recorder->watched = b.button;
        recorder->frames.clear();
        recorder->editorOpen.clear();
        auto object = b.site->ControlAs<IOleObject>();
        const HRESULT hr = object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr);
        if (userMode) {
            EXPECT_EQ(hr, E_FAIL);
            EXPECT_TRUE(recorder->frames.empty());
        } else {
            EXPECT_EQ(hr, S_OK);
            ASSERT_EQ(recorder->frames.size(), 1u);
            EXPECT_EQ(recorder->frames[0].pages, std::vector<CLSID>{CLSID_LumvexPropPage});
        }
        recorder->frames.clear();
        recorder->editorOpen.clear();
        b.button->EditProperties(0x0000FF, 0x00FF00, 5, 6);
        ASSERT_EQ(recorder->frames.size(), 1u) << userMode;
        EXPECT_EQ(recorder->editorOpen, std::vector<int>{TRUE});
        EXPECT_FALSE(b.button->m_bEditorOpen);
        EXPECT_EQ(b.button->m_EditColorText, 0x0000FFu);
        EXPECT_EQ(b.button->m_EditColorBack, 0x00FF00u);
        EXPECT_EQ(b.button->m_ptEditProperties.x, 5);
        EXPECT_EQ(b.button->m_ptEditProperties.y, 6);
        recorder->watched = nullptr;
    }
    com::SetUiServices(nullptr);
}

} // namespace
