#pragma once
// The standard font object: a face name, a size in points, weight, italic,
// underline, strike-out and character set, with a notification to its
// IPropertyNotifySink connections each time a property changes. Controls
// keep one per font property; containers and scripts reach it through its
// dispatch interface, where Size is in points (a double; automation here has
// no currency type).

#include "platform/com/ConnectionPoint.h"
#include "platform/com/TypeInfo.h"

#include <cstdint>
#include <string>

// A currency value: the amount times 10,000 (font sizes: points x 10,000).
struct CY {
    std::int64_t int64 = 0;
};

struct FONTDESC {
    UINT cbSizeofstruct;
    LPOLESTR lpstrName;
    CY cySize;
    short sWeight;
    short sCharset;
    BOOL fItalic;
    BOOL fUnderline;
    BOOL fStrikethrough;
};

// Sizes from above 0 up to what a LONG of currency units holds.
inline constexpr std::int64_t kMaxFontSize = 0x7FFFFFFF;

struct IFont : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{BEF6E002-A874-101A-8BBA-00AA00300CAB}");
    virtual HRESULT get_Name(BSTR* name) = 0;
    virtual HRESULT put_Name(BSTR name) = 0;
    virtual HRESULT get_Size(CY* size) = 0;
    // E_INVALIDARG for sizes outside 1 .. kMaxFontSize.
    virtual HRESULT put_Size(CY size) = 0;
    virtual HRESULT get_Bold(BOOL* bold) = 0;
    // Bold is weight 700, not bold 400.
    virtual HRESULT put_Bold(BOOL bold) = 0;
    virtual HRESULT get_Italic(BOOL* italic) = 0;
    virtual HRESULT put_Italic(BOOL italic) = 0;
    virtual HRESULT get_Underline(BOOL* underline) = 0;
    virtual HRESULT put_Underline(BOOL underline) = 0;
    virtual HRESULT get_Strikethrough(BOOL* strikethrough) = 0;
    virtual HRESULT put_Strikethrough(BOOL strikethrough) = 0;
    virtual HRESULT get_Weight(short* weight) = 0;
    // E_INVALIDARG outside 0 .. 1000.
    virtual HRESULT put_Weight(short weight) = 0;
    virtual HRESULT get_Charset(short* charset) = 0;
    // E_INVALIDARG outside 0 .. 255.
    virtual HRESULT put_Charset(short charset) = 0;
    // A new font with the same properties and no connections.
    virtual HRESULT Clone(IFont** copy) = 0;
    // S_OK when every property is the same, S_FALSE otherwise.
    virtual HRESULT IsEqual(IFont* other) = 0;

protected:
    ~IFont() = default;
};

// The font's dispatch interface.
inline constexpr IID IID_IFontDisp = com::GuidLiteral("{BEF6E003-A874-101A-8BBA-00AA00300CAB}");

// A new font object with the description's properties (a null name reads
// as empty), asked for iid.
HRESULT OleCreateFontIndirect(const FONTDESC* desc, REFIID iid, void** font);

namespace com {

class StdFont final
    : public ComObject<StdFont, DispatchImpl<StdFont>, IFont, IConnectionPointContainer> {
public:
    explicit StdFont(const FONTDESC& desc);

    static const DispatchTable& Table();
    std::span<const InterfaceEntry> InterfaceTable() const;

    HRESULT get_Name(BSTR* name) override;
    HRESULT put_Name(BSTR name) override;
    HRESULT get_Size(CY* size) override;
    HRESULT put_Size(CY size) override;
    HRESULT get_Bold(BOOL* bold) override;
    HRESULT put_Bold(BOOL bold) override;
    HRESULT get_Italic(BOOL* italic) override;
    HRESULT put_Italic(BOOL italic) override;
    HRESULT get_Underline(BOOL* underline) override;
    HRESULT put_Underline(BOOL underline) override;
    HRESULT get_Strikethrough(BOOL* strikethrough) override;
    HRESULT put_Strikethrough(BOOL strikethrough) override;
    HRESULT get_Weight(short* weight) override;
    HRESULT put_Weight(short weight) override;
    HRESULT get_Charset(short* charset) override;
    HRESULT put_Charset(short charset) override;
    HRESULT Clone(IFont** copy) override;
    HRESULT IsEqual(IFont* other) override;

    HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // The dispatch interface's members.
    std::string NameText() const { return name_; }
    void SetNameText(std::string name);
    double SizePoints() const { return double(size_.int64) / 10000.0; }
    void SetSizePoints(double points);
    bool BoldFlag() const { return weight_ >= 600; }
    void SetBoldFlag(bool bold) { check(put_Bold(bold)); }
    bool ItalicFlag() const { return italic_; }
    void SetItalicFlag(bool italic) { check(put_Italic(italic)); }
    bool UnderlineFlag() const { return underline_; }
    void SetUnderlineFlag(bool underline) { check(put_Underline(underline)); }
    bool StrikethroughFlag() const { return strikethrough_; }
    void SetStrikethroughFlag(bool strike) { check(put_Strikethrough(strike)); }
    std::int16_t WeightValue() const { return weight_; }
    void SetWeightValue(std::int16_t weight) { check(put_Weight(weight)); }
    std::int16_t CharsetValue() const { return charset_; }
    void SetCharsetValue(std::int16_t charset) { check(put_Charset(charset)); }

private:
    static void check(HRESULT hr);
    static HRESULT getFlag(bool member, BOOL* value);
    HRESULT setFlag(bool& member, BOOL value, DISPID id);
    void changed(DISPID id) { notify_.FireOnChanged(id); }

    ConnectionPoint notify_;
    std::string name_;
    CY size_;
    short weight_;
    short charset_;
    bool italic_;
    bool underline_;
    bool strikethrough_;
};

} // namespace com
