// Every exchanged type through the stream, the bag and the reset, against
// bytes and bag values written down here.

#include "platform/com/PropertyBag.h"
#include "platform/mfc/CArchivePropExchange.h"
#include "platform/mfc/CFontHolder.h"
#include "platform/mfc/CMemFile.h"
#include "platform/mfc/CPropbagPropExchange.h"
#include "platform/mfc/CResetPropExchange.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr DWORD kVersion = 0x00020001;
OLECHAR kArial[] = u"Arial";
const FONTDESC kDefaultFont{sizeof(FONTDESC), kArial, CY{100000}, 400, 1, FALSE, FALSE, FALSE};

std::string hex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

HGLOBAL blobOf(const std::string& payload)
{
    HGLOBAL h = GlobalAlloc(GHND, payload.size() + 4);
    GlobalLockScope lock(h);
    const DWORD n = DWORD(payload.size());
    std::memcpy(lock.get(), &n, 4);
    std::memcpy(lock.get() + 4, payload.data(), payload.size());
    return h;
}

std::string payloadOf(HGLOBAL h)
{
    GlobalLockScope lock(h);
    if (!lock.get())
        return "<null>";
    DWORD n = 0;
    std::memcpy(&n, lock.get(), 4);
    return std::string(reinterpret_cast<const char*>(lock.get() + 4), n);
}

// One property of each kind, with defaults that differ from the values set.
struct AllKinds {
    AllKinds() : font(nullptr) {}
    ~AllKinds()
    {
        if (blob)
            GlobalFree(blob);
    }
    void Exchange(CPropExchange* px)
    {
        px->ExchangeVersion(loaded, kVersion, TRUE);
        PX_Short(px, "Short", s, 10);
        PX_Bool(px, "Bool", b, TRUE);
        PX_Long(px, "Long", l, -3);
        PX_Color(px, "Color", c, 0x808000);
        PX_Double(px, "Double", d, 0.1);
        PX_String(px, "String", str, CString("def"));
        PX_Font(px, "Font", font, &kDefaultFont);
        PX_Blob(px, "Blob", blob);
    }
    void SetSample()
    {
        s = -2;
        b = TRUE;
        l = 0x12345678;
        c = 0x00C0FFEE;
        d = 1.5;
        str = "Caf\xC3\xA9"; // U+00E9, one byte in Windows-1252
        OLECHAR face[] = u"Arial";
        const FONTDESC desc{sizeof(FONTDESC), face, CY{125000}, 700, 0, TRUE, FALSE, TRUE};
        font.InitializeFont(&desc);
        blob = blobOf("\x01\x02\x03");
    }
    std::string FontText() const
    {
        LOGFONT lf{};
        font.GetLogFont(&lf, 96);
        CY size;
        font.m_pFont->get_Size(&size);
        return std::string(lf.lfFaceName) + "/" + std::to_string(size.int64) + "/" + std::to_string(lf.lfWeight) +
               "/" + std::to_string(lf.lfCharSet) + "/" + std::to_string(lf.lfItalic) +
               std::to_string(lf.lfUnderline) + std::to_string(lf.lfStrikeOut);
    }

    DWORD loaded = 0;
    short s = 0;
    BOOL b = FALSE;
    LONG l = 0;
    OLE_COLOR c = 0;
    double d = 0;
    CString str;
    CFontHolder font;
    HGLOBAL blob = nullptr;
};

// What SetSample stores: version, short, BOOL, long, colour, double, string,
// font (charset, flags, weight, size, name) and blob.
const std::string kGolden = std::string("\x01\x00\x02\x00", 4) + std::string("\xFE\xFF", 2) +
                            std::string("\x01\x00\x00\x00", 4) + std::string("\x78\x56\x34\x12", 4) +
                            std::string("\xEE\xFF\xC0\x00", 4) + std::string("\x00\x00\x00\x00\x00\x00\xF8\x3F", 8) +
                            std::string("\x04" "Caf\xE9", 5) + std::string("\x00\x00\x05\xBC\x02", 5) +
                            std::string("\x48\xE8\x01\x00", 4) + std::string("\x05" "Arial", 6) +
                            std::string("\x03\x00\x00\x00\x01\x02\x03", 7);

std::string store(AllKinds& k)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CArchivePropExchange px(ar);
        k.Exchange(&px);
        ar.Close();
    }
    std::vector<BYTE> bytes = file.Detach();
    return std::string(bytes.begin(), bytes.end());
}

bool load(AllKinds& k, std::string bytes)
{
    CMemFile file(reinterpret_cast<BYTE*>(bytes.data()), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CArchivePropExchange px(ar);
    k.Exchange(&px);
    return !px.Failed();
}

void expectDefaults(const AllKinds& k)
{
    EXPECT_EQ(k.s, 10);
    EXPECT_EQ(k.b, TRUE);
    EXPECT_EQ(k.l, -3);
    EXPECT_EQ(k.c, 0x808000u);
    EXPECT_EQ(k.d, 0.1);
    EXPECT_EQ(k.str, "def");
    EXPECT_EQ(k.FontText(), "Arial/100000/400/1/000");
    EXPECT_EQ(k.blob, nullptr);
}

TEST(CPropExchangeTest, StreamHoldsEveryKindAsWrittenDown)
{
    AllKinds out;
    out.SetSample();
    EXPECT_EQ(hex(store(out)), hex(kGolden));

    AllKinds in;
    ASSERT_TRUE(load(in, kGolden));
    EXPECT_EQ(in.loaded, kVersion);
    EXPECT_EQ(in.s, -2);
    EXPECT_EQ(in.b, TRUE);
    EXPECT_EQ(in.l, 0x12345678);
    EXPECT_EQ(in.c, 0x00C0FFEEu);
    EXPECT_EQ(in.d, 1.5);
    EXPECT_EQ(in.str, "Caf\xC3\xA9");
    EXPECT_EQ(in.FontText(), "Arial/125000/700/0/101");
    EXPECT_EQ(payloadOf(in.blob), "\x01\x02\x03");

    // Without a blob an empty one is stored; it loads as an empty blob.
    AllKinds none;
    none.SetSample();
    GlobalFree(none.blob);
    none.blob = nullptr;
    const std::string bytes = store(none);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0'));
    AllKinds back;
    ASSERT_TRUE(load(back, bytes));
    EXPECT_EQ(payloadOf(back.blob), "");
}

TEST(CPropExchangeTest, ShortOrDamagedStreamsGiveDefaultsFromThereOn)
{
    const std::size_t before = GlobalBlockCount();
    for (std::size_t cut = 0; cut < kGolden.size(); ++cut) {
        AllKinds k;
        EXPECT_FALSE(load(k, kGolden.substr(0, cut))) << cut;
        // Whatever was read before the cut is kept; the first value short of
        // its bytes and all after it take their defaults.
        EXPECT_EQ(k.blob, nullptr) << cut;
        if (cut < 6) {
            EXPECT_EQ(k.s, 10) << cut;
        }
        if (cut < 46) {
            EXPECT_EQ(k.FontText(), "Arial/100000/400/1/000") << cut;
        }
    }
    // A blob claiming more bytes than there are: no large block is made.
    std::string huge = kGolden.substr(0, kGolden.size() - 7) + std::string("\xFF\xFF\xFF\x7F\x01", 5);
    AllKinds k;
    EXPECT_FALSE(load(k, huge));
    EXPECT_EQ(k.blob, nullptr);
    // A font weight above 1000 is no font.
    std::string heavy = kGolden;
    heavy[34] = '\xFF';
    heavy[35] = '\x7F';
    AllKinds h;
    EXPECT_FALSE(load(h, heavy));
    EXPECT_EQ(h.FontText(), "Arial/100000/400/1/000");
    EXPECT_EQ(h.d, 1.5);
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(CPropExchangeTest, BagHoldsEveryKindByName)
{
    AllKinds out;
    out.SetSample();
    auto bag = com::NewPropertyBag();
    {
        CPropbagPropExchange px(bag.Get(), nullptr, FALSE);
        out.Exchange(&px);
    }
    EXPECT_EQ(bag->Names(), (std::vector<std::string>{"_Version", "Short", "Bool", "Long", "Color", "Double",
                                                      "String", "Font", "Blob"}));
    const auto v = [&](const char* name) { return bag->Value(name); };
    EXPECT_EQ(v("_Version").vt, VT_I4);
    EXPECT_EQ(v("_Version").lVal, LONG(kVersion));
    EXPECT_EQ(v("Short").vt, VT_I2);
    EXPECT_EQ(v("Short").iVal, -2);
    EXPECT_EQ(v("Bool").vt, VT_BOOL);
    EXPECT_EQ(v("Bool").boolVal, VARIANT_TRUE);
    EXPECT_EQ(v("Long").lVal, 0x12345678);
    EXPECT_EQ(v("Color").lVal, 0x00C0FFEE);
    EXPECT_EQ(v("Double").dblVal, 1.5);
    EXPECT_EQ(com::Utf8FromBstr(v("String").bstrVal), "Caf\xC3\xA9");
    EXPECT_EQ(com::Utf8FromBstr(v("Blob").bstrVal), "AwAAAAECAw==");
    ASSERT_EQ(v("Font").vt, VT_UNKNOWN);
    com::ComPtr<IPropertyBag> fontBag;
    v("Font").punkVal->QueryInterface(IPropertyBag::kIid, fontBag.ReceiveVoid());
    auto* font = static_cast<com::PropertyBag*>(fontBag.Get());
    EXPECT_EQ(font->Names(), (std::vector<std::string>{"Name", "Size", "Weight", "Charset", "Italic", "Underline",
                                                       "Strikethrough"}));
    EXPECT_EQ(com::Utf8FromBstr(font->Value("Name").bstrVal), "Arial");
    EXPECT_EQ(font->Value("Size").dblVal, 12.5);
    EXPECT_EQ(font->Value("Weight").iVal, 700);
    EXPECT_EQ(font->Value("Strikethrough").boolVal, VARIANT_TRUE);

    AllKinds in;
    {
        CPropbagPropExchange px(bag.Get(), nullptr, TRUE);
        in.Exchange(&px);
    }
    EXPECT_EQ(in.loaded, kVersion);
    EXPECT_EQ(in.s, -2);
    EXPECT_EQ(in.l, 0x12345678);
    EXPECT_EQ(in.c, 0x00C0FFEEu);
    EXPECT_EQ(in.str, "Caf\xC3\xA9");
    EXPECT_EQ(in.FontText(), "Arial/125000/700/0/101");
    EXPECT_EQ(payloadOf(in.blob), "\x01\x02\x03");

    // An empty bag, or values of no use, give the defaults.
    auto odd = com::NewPropertyBag();
    odd->SetValue("Short", com::ComVariant::Text("many"));
    odd->SetValue("Blob", com::ComVariant::Text("not base64!"));
    odd->SetValue("Font", com::ComVariant::I4(3));
    AllKinds d;
    d.SetSample();
    {
        CPropbagPropExchange px(odd.Get(), nullptr, TRUE);
        d.Exchange(&px);
    }
    EXPECT_EQ(d.loaded, kVersion);
    expectDefaults(d);
    // A blob whose count does not match its bytes.
    odd->SetValue("Blob", com::ComVariant::Text("BAAAAAECAw=="));
    AllKinds m;
    {
        CPropbagPropExchange px(odd.Get(), nullptr, TRUE);
        m.Exchange(&px);
    }
    EXPECT_EQ(m.blob, nullptr);
}

TEST(CPropExchangeTest, ResetGivesTheDefaults)
{
    AllKinds k;
    k.SetSample();
    k.loaded = 7;
    CResetPropExchange px;
    k.Exchange(&px);
    EXPECT_TRUE(px.IsLoading());
    EXPECT_EQ(px.GetVersion(), kVersion);
    EXPECT_EQ(k.loaded, kVersion);
    expectDefaults(k);

    // A property exchanged without a default keeps its value.
    short kept = 5;
    PX_Short(&px, "Kept", kept);
    EXPECT_EQ(kept, 5);
}

} // namespace
