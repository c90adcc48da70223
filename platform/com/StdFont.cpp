#include "platform/com/StdFont.h"

#include <cmath>

namespace com {

namespace {

constexpr DispatchMember kMembers[] = {
    Property<StdFont, &StdFont::NameText, &StdFont::SetNameText>("Name", DISPID_FONT_NAME, VT_BSTR),
    Property<StdFont, &StdFont::SizePoints, &StdFont::SetSizePoints>("Size", DISPID_FONT_SIZE, VT_R8),
    Property<StdFont, &StdFont::BoldFlag, &StdFont::SetBoldFlag>("Bold", DISPID_FONT_BOLD, VT_BOOL),
    Property<StdFont, &StdFont::ItalicFlag, &StdFont::SetItalicFlag>("Italic", DISPID_FONT_ITALIC, VT_BOOL),
    Property<StdFont, &StdFont::UnderlineFlag, &StdFont::SetUnderlineFlag>("Underline", DISPID_FONT_UNDER, VT_BOOL),
    Property<StdFont, &StdFont::StrikethroughFlag, &StdFont::SetStrikethroughFlag>("Strikethrough",
                                                                                   DISPID_FONT_STRIKE, VT_BOOL),
    Property<StdFont, &StdFont::WeightValue, &StdFont::SetWeightValue>("Weight", DISPID_FONT_WEIGHT, VT_I2),
    Property<StdFont, &StdFont::CharsetValue, &StdFont::SetCharsetValue>("Charset", DISPID_FONT_CHARSET, VT_I2),
};

FONTDESC describe(StdFont& font, BSTR name)
{
    FONTDESC d{sizeof(FONTDESC), name, {}, 0, 0, FALSE, FALSE, FALSE};
    font.get_Size(&d.cySize);
    font.get_Weight(&d.sWeight);
    font.get_Charset(&d.sCharset);
    font.get_Italic(&d.fItalic);
    font.get_Underline(&d.fUnderline);
    font.get_Strikethrough(&d.fStrikethrough);
    return d;
}

} // namespace

StdFont::StdFont(const FONTDESC& desc)
    : notify_(*static_cast<IDispatch*>(this), IID_IPropertyNotifySink),
      name_(desc.lpstrName ? Bstr::Attach(SysAllocString(desc.lpstrName)).Utf8() : std::string()),
      size_(desc.cySize.int64 > 0 && desc.cySize.int64 <= kMaxFontSize ? desc.cySize : CY{80000}),
      weight_(desc.sWeight >= 0 && desc.sWeight <= 1000 ? desc.sWeight : short(400)),
      charset_(desc.sCharset >= 0 && desc.sCharset <= 255 ? desc.sCharset : short(1)),
      italic_(desc.fItalic != FALSE), underline_(desc.fUnderline != FALSE),
      strikethrough_(desc.fStrikethrough != FALSE)
{
}

const DispatchTable& StdFont::Table()
{
    static constexpr DispatchTable table{&IID_IFontDisp, "Font", kMembers};
    return table;
}

std::span<const InterfaceEntry> StdFont::InterfaceTable() const
{
    static constexpr InterfaceEntry table[] = {
        Implements<StdFont, IDispatch>(),
        Implements<StdFont, IDispatch>(IID_IFontDisp),
        Implements<StdFont, IFont>(),
        Implements<StdFont, IConnectionPointContainer>(),
    };
    return table;
}

void StdFont::check(HRESULT hr)
{
    if (FAILED(hr))
        throw DispatchException(hr, "Invalid property value.");
}

HRESULT StdFont::get_Name(BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = BstrFromUtf8(name_);
    return S_OK;
}

HRESULT StdFont::put_Name(BSTR name)
{
    SetNameText(Utf8FromBstr(name));
    return S_OK;
}

void StdFont::SetNameText(std::string name)
{
    if (name == name_)
        return;
    name_ = std::move(name);
    changed(DISPID_FONT_NAME);
}

HRESULT StdFont::get_Size(CY* size)
{
    if (!size)
        return E_POINTER;
    *size = size_;
    return S_OK;
}

HRESULT StdFont::put_Size(CY size)
{
    if (size.int64 <= 0 || size.int64 > kMaxFontSize)
        return E_INVALIDARG;
    if (size.int64 == size_.int64)
        return S_OK;
    size_ = size;
    changed(DISPID_FONT_SIZE);
    return S_OK;
}

void StdFont::SetSizePoints(double points)
{
    const double units = std::round(points * 10000.0);
    if (!(units > 0 && units <= double(kMaxFontSize)))
        check(E_INVALIDARG);
    check(put_Size(CY{std::int64_t(units)}));
}

HRESULT StdFont::get_Bold(BOOL* bold)
{
    if (!bold)
        return E_POINTER;
    *bold = BoldFlag() ? TRUE : FALSE;
    return S_OK;
}

HRESULT StdFont::put_Bold(BOOL bold)
{
    if (BoldFlag() == (bold != FALSE))
        return S_OK;
    weight_ = bold ? 700 : 400;
    changed(DISPID_FONT_BOLD);
    return S_OK;
}

HRESULT StdFont::getFlag(bool member, BOOL* value)
{
    if (!value)
        return E_POINTER;
    *value = member ? TRUE : FALSE;
    return S_OK;
}

HRESULT StdFont::setFlag(bool& member, BOOL value, DISPID id)
{
    if (member == (value != FALSE))
        return S_OK;
    member = value != FALSE;
    changed(id);
    return S_OK;
}

HRESULT StdFont::get_Italic(BOOL* italic)
{
    return getFlag(italic_, italic);
}

HRESULT StdFont::put_Italic(BOOL italic)
{
    return setFlag(italic_, italic, DISPID_FONT_ITALIC);
}

HRESULT StdFont::get_Underline(BOOL* underline)
{
    return getFlag(underline_, underline);
}

HRESULT StdFont::put_Underline(BOOL underline)
{
    return setFlag(underline_, underline, DISPID_FONT_UNDER);
}

HRESULT StdFont::get_Strikethrough(BOOL* strikethrough)
{
    return getFlag(strikethrough_, strikethrough);
}

HRESULT StdFont::put_Strikethrough(BOOL strikethrough)
{
    return setFlag(strikethrough_, strikethrough, DISPID_FONT_STRIKE);
}

HRESULT StdFont::get_Weight(short* weight)
{
    if (!weight)
        return E_POINTER;
    *weight = weight_;
    return S_OK;
}

HRESULT StdFont::put_Weight(short weight)
{
    if (weight < 0 || weight > 1000)
        return E_INVALIDARG;
    if (weight == weight_)
        return S_OK;
    weight_ = weight;
    changed(DISPID_FONT_WEIGHT);
    return S_OK;
}

HRESULT StdFont::get_Charset(short* charset)
{
    if (!charset)
        return E_POINTER;
    *charset = charset_;
    return S_OK;
}

HRESULT StdFont::put_Charset(short charset)
{
    if (charset < 0 || charset > 255)
        return E_INVALIDARG;
    if (charset == charset_)
        return S_OK;
    charset_ = charset;
    changed(DISPID_FONT_CHARSET);
    return S_OK;
}

HRESULT StdFont::Clone(IFont** copy)
{
    if (!copy)
        return E_POINTER;
    Bstr name(name_);
    const FONTDESC d = describe(*this, name.Get());
    return OleCreateFontIndirect(&d, IFont::kIid, reinterpret_cast<void**>(copy));
}

HRESULT StdFont::IsEqual(IFont* other)
{
    if (!other)
        return E_POINTER;
    Bstr otherName;
    other->get_Name(otherName.Receive());
    FONTDESC mine = describe(*this, nullptr);
    FONTDESC theirs{};
    other->get_Size(&theirs.cySize);
    other->get_Weight(&theirs.sWeight);
    other->get_Charset(&theirs.sCharset);
    other->get_Italic(&theirs.fItalic);
    other->get_Underline(&theirs.fUnderline);
    other->get_Strikethrough(&theirs.fStrikethrough);
    const bool same = otherName.Utf8() == name_ && mine.cySize.int64 == theirs.cySize.int64 &&
                      mine.sWeight == theirs.sWeight && mine.sCharset == theirs.sCharset &&
                      mine.fItalic == theirs.fItalic && mine.fUnderline == theirs.fUnderline &&
                      mine.fStrikethrough == theirs.fStrikethrough;
    return same ? S_OK : S_FALSE;
}

HRESULT StdFont::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    ConnectionPoint* const all[] = {&notify_};
    return com::EnumConnectionPoints(all, points);
}

HRESULT StdFont::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    ConnectionPoint* const all[] = {&notify_};
    return com::FindConnectionPoint(all, iid, point);
}

} // namespace com

HRESULT OleCreateFontIndirect(const FONTDESC* desc, REFIID iid, void** font)
{
    if (!desc || !font)
        return E_POINTER;
    *font = nullptr;
    auto* created = new com::StdFont(*desc);
    const HRESULT hr = created->QueryInterface(iid, font);
    created->Release();
    return hr;
}
