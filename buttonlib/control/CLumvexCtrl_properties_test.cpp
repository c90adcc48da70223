// The properties of _DLumvex through IDispatch, one table row per property:
// default, a value in range, each out-of-range style at design and run time,
// what the change redraws, the container's notification and the modified flag.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/com/testserver/ComTesting.h"
#include "platform/win/MessageBox.h"

#include <gtest/gtest.h>

namespace {

using com::ComVariant;
using lumvextest::ActiveButton;
using Step = CLumvexCtrl::Step;

// What a change redraws, as seen at run time.
enum class Redraw { Repaint, Faces, Shape, None };

enum class Style { Reset, Ignore, Clamp };
struct OutOfRange {
    LONG value;
    Style style;
    LONG stored; // what the property holds afterwards (Ignore: the value before)
};

struct NumberCase {
    const char* name;
    DISPID id;
    VARTYPE vt;
    LONG byDefault;
    LONG inRange;
    Redraw redraw;
    std::vector<OutOfRange> outOfRange;
};

ComVariant valueOf(VARTYPE vt, LONG v)
{
    ComVariant x;
    x.vt = vt;
    if (vt == VT_I2)
        x.iVal = short(v);
    else if (vt == VT_BOOL)
        x.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    else
        x.lVal = v;
    return x;
}

LONG numberOf(const ComVariant& v)
{
    ComVariant as;
    EXPECT_EQ(VariantChangeType(&as, &v, 0, VT_I4), S_OK);
    return as.lVal;
}

const std::vector<NumberCase>& numberCases()
{
    constexpr LONG kTrue = -1;
    static const std::vector<NumberCase> cases = {
        {"Shape", dispidShape, VT_I2, 0, 3, Redraw::Shape, {{6, Style::Reset, 0}, {-1, Style::Reset, 0}}},
        {"Roundness", dispidRoundness, VT_I2, 4, 2, Redraw::Shape, {}},
        {"Slant", dispidSlant, VT_I2, 4, 1, Redraw::Shape, {}},
        {"Surface", dispidSurface, VT_I2, 0, 2, Redraw::Faces, {}},
        {"PictureTranspColor", dispidPictureTranspColor, VT_I4, 0x808000, 0x123456, Redraw::Repaint, {}},
        {"PicturePosition", dispidPicturePosition, VT_I2, 0, 8, Redraw::Repaint, {}},
        {"PictureXOffset", dispidPictureXOffset, VT_I2, 0, -99, Redraw::Repaint,
         {{100, Style::Reset, 0}, {-100, Style::Reset, 0}}},
        {"PictureYOffset", dispidPictureYOffset, VT_I2, 0, 99, Redraw::Repaint,
         {{-100, Style::Reset, 0}, {100, Style::Reset, 0}}},
        {"PictureTranspMode", dispidPictureTranspMode, VT_I2, 1, 0, Redraw::Repaint, {}},
        {"ButtonCustomRaised", dispidButtonCustomRaised, VT_BOOL, kTrue, 0, Redraw::Faces, {}},
        {"BackColorContainer", dispidBackColorContainer, VT_I4, 0, 0x00FF00, Redraw::Faces, {}},
        {"MovePictureOnPress", dispidMovePictureOnPress, VT_BOOL, kTrue, 0, Redraw::Repaint, {}},
        {"ButtonRaiseFactor", dispidButtonRaiseFactor, VT_I2, 1, 9, Redraw::Faces,
         {{10, Style::Reset, 1}, {-1, Style::Reset, 1}}},
        {"HighlightColor", dispidHighlightColor, VT_I4, 0, 0xFFFFFF, Redraw::Faces, {}},
        {"ShadowColor", dispidShadowColor, VT_I4, 0, 0x404040, Redraw::Faces, {}},
        {"ButtonCustomFitPicture", dispidButtonCustomFitPicture, VT_BOOL, 0, kTrue, Redraw::Faces, {}},
        {"SmoothEdges", dispidSmoothEdges, VT_I2, 0, 3, Redraw::Faces, {{-2, Style::Clamp, 0}, {9, Style::Clamp, 3}}},
        {"PictureKeepRatio", dispidPictureKeepRatio, VT_BOOL, kTrue, 0, Redraw::Repaint, {}},
        {"FocusMode", dispidFocusMode, VT_I2, 0, 2, Redraw::Faces, {{3, Style::Ignore, 0}, {-1, Style::Ignore, 0}}},
        {"SpecialEffect", dispidSpecialEffect, VT_I2, 0, 2, Redraw::Faces, {{3, Style::Ignore, 0}}},
        {"CaptionWordWrapPerc", dispidCaptionWordWrapPerc, VT_I2, 90, 10, Redraw::Repaint,
         {{5, Style::Clamp, 10}, {200, Style::Clamp, 100}}},
        {"Optimization", dispidOptimization, VT_I2, 0, 1, Redraw::None, {{2, Style::Ignore, 0}}},
        {"Clickable", dispidClickable, VT_BOOL, kTrue, 0, Redraw::Faces, {}},
        {"BackColor", dispidBackColor, VT_I4, 0xC0C0C0, 0x00FF00, Redraw::Faces, {}},
        {"ForeColor", dispidForeColor, VT_I4, 0, 0x0000FF, Redraw::Repaint, {}},
        {"IgnoreSpaceBar", dispidIgnoreSpaceBar, VT_BOOL, 0, kTrue, Redraw::None, {}},
        {"SpecialEffectFactor", dispidSpecialEffectFactor, VT_I2, 0, 4, Redraw::Faces, {{5, Style::Ignore, 0}}},
        {"TextureMode", dispidTextureMode, VT_I2, 1, 3, Redraw::Faces, {{4, Style::Ignore, 1}, {-1, Style::Ignore, 1}}},
        {"TextureLightIntensity", dispidTextureLightIntensity, VT_I2, 40, 100, Redraw::Faces,
         {{101, Style::Clamp, 100}, {-1, Style::Clamp, 0}}},
        {"TextureColorMix", dispidTextureColorMix, VT_I4, 0, 0x102030, Redraw::Faces, {}},
        {"TextureColorMixPerc", dispidTextureColorMixPerc, VT_I2, 50, 0, Redraw::Faces,
         {{-5, Style::Clamp, 0}, {150, Style::Clamp, 100}}},
        {"TextureBevelFactor", dispidTextureBevelFactor, VT_I2, 4, 0, Redraw::Faces,
         {{5, Style::Clamp, 4}, {-1, Style::Clamp, 0}}},
        {"ForeColorDisabled", dispidForeColorDisabled, VT_I4, 0x808080, 0x111111, Redraw::Faces, {}},
        {"BackColorDisabled", dispidBackColorDisabled, VT_I4, 0, 0x222222, Redraw::Faces, {}},
        {"BackColorMouseOver", dispidBackColorMouseOver, VT_I4, 0, 0x333333, Redraw::Faces, {}},
        {"BackColorFocus", dispidBackColorFocus, VT_I4, 0, 0x444444, Redraw::Faces, {}},
        {"BackColorInterior", dispidBackColorInterior, VT_I4, 0, 0x555555, Redraw::Faces, {}},
        {"ForeColorMouseOver", dispidForeColorMouseOver, VT_I4, 0, 0x666666, Redraw::Faces, {}},
        {"FlatPillowFactor", dispidFlatPillowFactor, VT_I2, 4, 0, Redraw::Faces, {}},
        {"ShadowMode", dispidShadowMode, VT_I2, 0, 3, Redraw::Faces, {}},
        {"Style", dispidStyle, VT_I2, 0, 2, Redraw::Faces, {{3, Style::Reset, 0}, {-1, Style::Reset, 0}}},
        {"ForeColorPressed", dispidForeColorPressed, VT_I4, 0, 0x777777, Redraw::Faces, {}},
        {"BackColorPressed", dispidBackColorPressed, VT_I4, 0, 0x888888, Redraw::Faces, {}},
    };
    return cases;
}

struct TextCase {
    const char* name;
    DISPID id;
    Redraw redraw;
};

const std::vector<TextCase>& textCases()
{
    static const std::vector<TextCase> cases = {
        {"SoundDown", dispidSoundDown, Redraw::Repaint},
        {"SoundUp", dispidSoundUp, Redraw::Repaint},
        {"Cursor", dispidCursor, Redraw::Repaint},
        {"SoundMouseOver", dispidSoundMouseOver, Redraw::Repaint},
        {"SoundMouseOut", dispidSoundMouseOut, Redraw::Repaint},
        {"Picture", dispidPicture, Redraw::Repaint},
        {"PicturePressed", dispidPicturePressed, Redraw::Repaint},
        {"PictureMouseOver", dispidPictureMouseOver, Redraw::Repaint},
        {"PictureCustom", dispidPictureCustom, Redraw::Shape},
        {"Hyperlink", dispidHyperlink, Redraw::None},
        {"TagEx", dispidTagEx, Redraw::None},
        {"Texture", dispidTexture, Redraw::Faces},
        {"PictureDisabled", dispidPictureDisabled, Redraw::Repaint},
    };
    return cases;
}

// A button at run time or design time, with the message boxes recorded.
struct Fixture {
    explicit Fixture(bool userMode) : b(userMode) { win::SetMessageBoxPort(boxes); }
    ~Fixture() { win::SetMessageBoxPort(nullptr); }

    IDispatch* Dispatch()
    {
        if (!dispatch)
            dispatch = b.site->ControlAs<IDispatch>();
        return dispatch.Get();
    }
    // Clears what the last steps left, so the next put is seen alone.
    void Quiet()
    {
        lumvextest::ClearRebuild(*b.button);
        b.button->SetModifiedFlag(FALSE);
        b.trace.clear();
        b.box.LogOf(b.site).changed.clear();
        boxes->shown.clear();
    }
    const std::vector<DISPID>& Changed() { return b.box.LogOf(b.site).changed; }

    ActiveButton b;
    com::ComPtr<IDispatch> dispatch;
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
};

void expectRedraw(Fixture& f, Redraw redraw)
{
    using enum Step;
    switch (redraw) {
    case Redraw::Repaint:
        EXPECT_EQ(f.b.trace, std::vector<Step>{InvalidateErase});
        EXPECT_FALSE(lumvextest::FacesRebuilt(*f.b.button));
        break;
    case Redraw::Faces:
        EXPECT_EQ(f.b.trace, std::vector<Step>{InvalidateErase});
        EXPECT_TRUE(lumvextest::FacesRebuilt(*f.b.button));
        break;
    case Redraw::Shape:
        EXPECT_EQ(f.b.trace, (std::vector<Step>{WindowRegion, RefreshButton, NeedRefresh}));
        EXPECT_TRUE(lumvextest::FacesRebuilt(*f.b.button));
        break;
    case Redraw::None:
        EXPECT_TRUE(f.b.trace.empty());
        EXPECT_FALSE(lumvextest::FacesRebuilt(*f.b.button));
        break;
    }
}

TEST(LumvexProperties, NumbersHaveTheirDefaultsRangesAndRedraws)
{
    for (const NumberCase& c : numberCases()) {
        SCOPED_TRACE(c.name);
        Fixture run(true);
        EXPECT_EQ(comtest::IdOf(run.Dispatch(), std::u16string(c.name, c.name + std::strlen(c.name))), c.id);
        EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), c.id)), c.byDefault);

        run.Quiet();
        ASSERT_EQ(comtest::Put(run.Dispatch(), c.id, valueOf(c.vt, c.inRange)), S_OK);
        EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), c.id)), c.inRange);
        EXPECT_EQ(run.Changed(), std::vector<DISPID>{c.id});
        EXPECT_EQ(run.b.button->IsModified(), TRUE);
        expectRedraw(run, c.redraw);

        for (const OutOfRange& o : c.outOfRange) {
            SCOPED_TRACE(o.value);
            for (const bool userMode : {true, false}) {
                Fixture f(userMode);
                f.Quiet();
                ASSERT_EQ(comtest::Put(f.Dispatch(), c.id, valueOf(c.vt, o.value)), S_OK);
                EXPECT_EQ(numberOf(comtest::Get(f.Dispatch(), c.id)), o.stored);
                // Only a reset at design time says so.
                if (o.style == Style::Reset && !userMode) {
                    ASSERT_EQ(f.boxes->shown.size(), 1u);
                    EXPECT_EQ(f.boxes->shown[0].text, "Property value out of bounds: it will be reset to default.");
                    EXPECT_EQ(f.boxes->shown[0].caption, "Quorvel Button");
                } else {
                    EXPECT_TRUE(f.boxes->shown.empty());
                }
                if (o.style == Style::Ignore) {
                    EXPECT_TRUE(f.Changed().empty());
                    EXPECT_EQ(f.b.button->IsModified(), FALSE);
                } else {
                    EXPECT_EQ(f.Changed(), std::vector<DISPID>{c.id});
                }
            }
        }
    }
}

// What a text property is given: media paths an address, whose download
// starts (nothing answers there), a cursor a file that cannot be read.
std::string textValueFor(DISPID id)
{
    switch (id) {
    case dispidSoundDown:
    case dispidSoundUp:
    case dispidSoundMouseOver:
    case dispidSoundMouseOut: return "http://127.0.0.1:1/née.wav";
    case dispidCursor: return "/nonexistent/née.cur";
    default: return "http://127.0.0.1:1/née.bmp";
    }
}

TEST(LumvexProperties, TextsAndMediaPathsKeepWhatIsSetAndRedrawAsTheyShould)
{
    for (const TextCase& c : textCases()) {
        SCOPED_TRACE(c.name);
        Fixture run(true);
        EXPECT_EQ(comtest::IdOf(run.Dispatch(), std::u16string(c.name, c.name + std::strlen(c.name))), c.id);
        EXPECT_EQ(comtest::Get(run.Dispatch(), c.id).vt, VT_BSTR);
        EXPECT_EQ(com::Utf8FromBstr(comtest::Get(run.Dispatch(), c.id).bstrVal), "");
        run.Quiet();
        const std::string value = textValueFor(c.id);
        ASSERT_EQ(comtest::Put(run.Dispatch(), c.id, ComVariant::Text(value)), S_OK);
        // A cursor that does not load is told and cleared.
        const bool kept = c.id != dispidCursor;
        EXPECT_EQ(com::Utf8FromBstr(comtest::Get(run.Dispatch(), c.id).bstrVal), kept ? value : "");
        EXPECT_EQ(run.boxes->shown.size(), kept ? 0u : 1u);
        EXPECT_EQ(run.Changed(), std::vector<DISPID>{c.id});
        EXPECT_EQ(run.b.button->IsModified(), TRUE);
        expectRedraw(run, c.redraw);
    }
}

TEST(LumvexProperties, EnableInternetLoadAtDesignTimeAsksForAReloadAndAShapeRebuild)
{
    Fixture run(true);
    run.b.button->m_bReloadOnCreate = FALSE;
    run.Quiet();
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidEnableInternetLoadAtDT, valueOf(VT_BOOL, 1)), S_OK);
    EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), dispidEnableInternetLoadAtDT)), -1);
    EXPECT_EQ(run.b.button->m_bReloadOnCreate, FALSE);
    EXPECT_TRUE(run.b.trace.empty());

    Fixture design(false);
    design.b.button->m_bReloadOnCreate = FALSE;
    design.Quiet();
    ASSERT_EQ(comtest::Put(design.Dispatch(), dispidEnableInternetLoadAtDT, valueOf(VT_BOOL, 1)), S_OK);
    EXPECT_EQ(design.b.button->m_bReloadOnCreate, TRUE);
    EXPECT_EQ(design.Changed(), std::vector<DISPID>{dispidEnableInternetLoadAtDT});
    EXPECT_TRUE(lumvextest::FacesRebuilt(*design.b.button));
    EXPECT_EQ(design.b.NeedRefreshEvents(), 1);
}

TEST(LumvexProperties, FontsAreCopiedFromTheFontGivenAndTheCaptionsRebuildsTheFaces)
{
    Fixture run(true);
    const ComVariant original = comtest::Get(run.Dispatch(), dispidFontTextRB);
    ASSERT_EQ(original.vt, VT_DISPATCH);
    EXPECT_EQ(com::Utf8FromBstr(comtest::Get(original.pdispVal, DISPID_FONT_NAME).bstrVal), "MS Sans Serif");
    // Another font, 20 points bold.
    ASSERT_EQ(comtest::Put(original.pdispVal, DISPID_FONT_SIZE, valueOf(VT_I2, 20)), S_OK);
    for (const DISPID id : {DISPID(dispidFontTextLT), DISPID(dispidFontTextCaption)}) {
        run.Quiet();
        ComVariant font;
        font.vt = VT_DISPATCH;
        font.pdispVal = original.pdispVal;
        font.pdispVal->AddRef();
        ASSERT_EQ(comtest::Put(run.Dispatch(), id, font), S_OK);
        const ComVariant now = comtest::Get(run.Dispatch(), id);
        ASSERT_EQ(now.vt, VT_DISPATCH);
        EXPECT_NE(now.pdispVal, original.pdispVal) << "a copy, not the font given";
        EXPECT_EQ(numberOf(comtest::Get(now.pdispVal, DISPID_FONT_SIZE)), 20);
        EXPECT_EQ(run.Changed(), std::vector<DISPID>{id});
        expectRedraw(run, id == dispidFontTextCaption ? Redraw::Faces : Redraw::Repaint);
    }
}

TEST(LumvexProperties, RoundnessAndSlantOutsideTheirTablesKeepTheirDivisors)
{
    Fixture run(true);
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidRoundness, valueOf(VT_I2, 0)), S_OK);
    EXPECT_FLOAT_EQ(run.b.button->m_fRoundDivisor, 1.5f);
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidRoundness, valueOf(VT_I2, 7)), S_OK);
    EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), dispidRoundness)), 7);
    EXPECT_FLOAT_EQ(run.b.button->m_fRoundDivisor, 1.5f);
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidSlant, valueOf(VT_I2, 2)), S_OK);
    EXPECT_FLOAT_EQ(run.b.button->m_fSlantDivisor, 2.0f);
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidSlant, valueOf(VT_I2, -3)), S_OK);
    EXPECT_FLOAT_EQ(run.b.button->m_fSlantDivisor, 2.0f);
}

TEST(LumvexProperties, ValueIsAPushButtonsNothingAndACheckBoxsState)
{
    Fixture run(true);
    run.Quiet();
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidValue, valueOf(VT_I2, 1)), S_OK);
    EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), dispidValue)), 0);
    EXPECT_TRUE(run.Changed().empty());

    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidStyle, valueOf(VT_I2, 2)), S_OK);
    run.Quiet();
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidValue, valueOf(VT_I2, 1)), S_OK);
    EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), dispidValue)), 1);
    EXPECT_EQ(run.Changed(), std::vector<DISPID>{dispidValue});
    EXPECT_TRUE(run.b.trace.empty()) << "the window's own check message shows it";
}

TEST(LumvexProperties, ACaptionChangeReachesTheCaptionTextAndATextShapeRebuildsItsShape)
{
    Fixture run(true);
    run.Quiet();
    ASSERT_EQ(comtest::Put(run.Dispatch(), DISPID_CAPTION, ComVariant::Text("&Go")), S_OK);
    EXPECT_EQ(run.b.button->m_text[0].GetText(), "&Go");
    EXPECT_EQ(run.b.trace, std::vector<Step>{Step::InvalidateErase});
    EXPECT_EQ(run.b.button->IsModified(), TRUE);

    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidShape, valueOf(VT_I2, 4)), S_OK);
    run.Quiet();
    ASSERT_EQ(comtest::Put(run.Dispatch(), DISPID_CAPTION, ComVariant::Text("Stop")), S_OK);
    EXPECT_TRUE(lumvextest::FacesRebuilt(*run.b.button));
    EXPECT_EQ(run.b.NeedRefreshEvents(), 2);
    // With a text shape the caption's colour changes the shape's faces.
    run.Quiet();
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidForeColor, valueOf(VT_I4, 0xFF)), S_OK);
    EXPECT_TRUE(lumvextest::FacesRebuilt(*run.b.button));
}

TEST(LumvexDispatch, TheTableHasEveryMemberAtItsPosition)
{
    const com::DispatchTable& table = CLumvexCtrl::DispatchMap();
    ASSERT_EQ(table.members.size(), 113u);
    int properties = 0;
    for (std::size_t i = 0; i < 107; ++i) {
        EXPECT_EQ(table.members[i].id, DISPID(i + 1)) << table.members[i].name;
        properties += table.members[i].kind == com::MemberKind::Property;
    }
    EXPECT_EQ(properties, 67);
    const DISPID stock[] = {DISPID_DOCLICK, DISPID_REFRESH, DISPID_CAPTION,
                            DISPID_ENABLED, DISPID_HWND,    DISPID_ABOUTBOX};
    for (std::size_t i = 0; i < std::size(stock); ++i)
        EXPECT_EQ(table.members[107 + i].id, stock[i]);
    EXPECT_EQ(CLumvexCtrl::EventMap().members.size(), 14u);

    // Names find their ids in any case; an unknown name finds none.
    Fixture run(true);
    EXPECT_EQ(comtest::IdOf(run.Dispatch(), u"getauxtext"), dispidGetAuxText);
    EXPECT_EQ(comtest::IdOf(run.Dispatch(), u"NoSuchMember"), DISPID_UNKNOWN);
    // Conversions: a colour given as text, a short given as a long.
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidBackColor, ComVariant::Text("255")), S_OK);
    EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), dispidBackColor)), 255);
    ASSERT_EQ(comtest::Put(run.Dispatch(), dispidShape, valueOf(VT_I4, 3)), S_OK);
    EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), dispidShape)), 3);
    EXPECT_NE(comtest::Put(run.Dispatch(), dispidShape, valueOf(VT_I4, 70000)), S_OK);
    EXPECT_EQ(numberOf(comtest::Get(run.Dispatch(), dispidShape)), 3);
}

} // namespace
