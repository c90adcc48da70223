// Feeds arbitrary bytes to a control's state readers: the sample control
// loads them through IPersistStreamInit::Load, from the start of a stream
// and after bytes of another object, and through IPersistPropertyBag::Load
// as a bag of values of every variant type (fonts as bags of their own);
// what loads must save and load again to the same bytes. The same bytes also
// go through a stream exchange and a bag exchange of every kind of value,
// each kind read first.

#include "platform/com/PropertyBag.h"
#include "platform/mfc/CArchivePropExchange.h"
#include "platform/mfc/CMemFile.h"
#include "platform/mfc/CPropbagPropExchange.h"
#include "platform/mfc/OleControlTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string saved(IPersistStreamInit* persist)
{
    com::ComPtr<IStream> out;
    com::CreateStreamOnMemory({}, out.Receive());
    if (FAILED(persist->Save(out.Get(), TRUE)))
        std::abort();
    std::uint64_t end = 0;
    out->Seek(0, STREAM_SEEK_CUR, &end);
    out->Seek(0, STREAM_SEEK_SET, nullptr);
    std::string bytes(end, '\0');
    out->Read(bytes.data(), ULONG(bytes.size()), nullptr);
    return bytes;
}

void loadControl(std::string_view bytes, std::size_t skip)
{
    auto control = mfctest::NewSampleControl();
    auto persist = control.As<IPersistStreamInit>();
    com::ComPtr<IStream> in;
    com::CreateStreamOnMemory(bytes, in.Receive());
    in->Seek(std::int64_t(skip), STREAM_SEEK_SET, nullptr);
    if (FAILED(persist->Load(in.Get())))
        return;
    // A state that loaded is one the control can write and read back alike.
    const std::string once = saved(persist.Get());
    auto again = mfctest::NewSampleControl();
    com::ComPtr<IStream> back;
    com::CreateStreamOnMemory(once, back.Receive());
    if (FAILED(again.As<IPersistStreamInit>()->Load(back.Get())) ||
        saved(again.As<IPersistStreamInit>().Get()) != once)
        std::abort();
}

// Every kind of value, read in an order that starts with the first byte's choice.
void exchangeKinds(CPropExchange& px, int first)
{
    DWORD version = 0;
    short s = 0;
    BOOL b = FALSE;
    LONG l = 0;
    OLE_COLOR c = 0;
    double d = 0;
    CString text;
    CFontHolder font(nullptr);
    HGLOBAL blob = nullptr;
    for (int i = 0; i < 4; ++i) {
        switch ((first + i) % 4) {
        case 0: px.ExchangeVersion(version, 1, TRUE); break;
        case 1:
            PX_Font(&px, "Font", font);
            PX_Short(&px, "Short", s, 1);
            break;
        case 2:
            PX_Blob(&px, "Blob", blob);
            PX_Bool(&px, "Bool", b, TRUE);
            break;
        default:
            PX_String(&px, "String", text, CString("x"));
            PX_Long(&px, "Long", l, 2);
            PX_Color(&px, "Color", c, 3);
            PX_Double(&px, "Double", d, 4.0);
            break;
        }
    }
    if (blob)
        GlobalFree(blob);
}

void streamKinds(const std::uint8_t* data, std::size_t size)
{
    std::vector<BYTE> copy(data, data + size);
    CMemFile file(copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    CArchivePropExchange px(ar);
    exchangeKinds(px, size ? data[0] % 4 : 0);
}

// The names a reader asks for, so that the bytes choose among them.
constexpr const char* kNames[] = {"_Version", "_ExtentX", "_ExtentY", "_StockProps", "Caption", "Enabled",
                                  "Count", "Label", "Font", "Name", "Size", "Weight", "Charset", "Italic",
                                  "Underline", "Strikethrough", "Short", "Bool", "Long", "Color", "Double",
                                  "String", "Blob"};

// A bag from lines of bytes: a type byte, a name byte (past the table, the
// line's text up to '=' is the name) and the value's bytes. A font line
// makes a bag of the lines that follow it, up to an empty line.
com::ComPtr<com::PropertyBag> bagOf(std::string_view& bytes, int depth = 0)
{
    auto bag = com::NewPropertyBag();
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
        if (line.empty()) {
            if (depth > 0)
                break;
            continue;
        }
        const auto type = std::uint8_t(line[0]);
        line.remove_prefix(1);
        std::string name;
        if (!line.empty() && std::uint8_t(line[0]) < std::size(kNames)) {
            name = kNames[std::uint8_t(line[0])];
            line.remove_prefix(1);
        } else {
            const std::size_t eq = std::min(line.find('='), line.size());
            name = std::string(line.substr(0, eq));
            line.remove_prefix(std::min(eq + 1, line.size()));
        }
        std::int64_t number = 0;
        double real = 0;
        if (!line.empty()) {
            std::memcpy(&number, line.data(), std::min(line.size(), sizeof number));
            std::memcpy(&real, line.data(), std::min(line.size(), sizeof real));
        }
        switch (type % 8) {
        case 0: bag->SetValue(name, com::ComVariant::Text(line)); break;
        case 1: bag->SetValue(name, com::ComVariant::I2(std::int16_t(number))); break;
        case 2: bag->SetValue(name, com::ComVariant::I4(std::int32_t(number))); break;
        case 3: bag->SetValue(name, com::ComVariant::Bool(number & 1)); break;
        case 4: bag->SetValue(name, com::ComVariant::R8(real)); break;
        case 5: bag->SetValue(name, com::ComVariant::I8(number)); break;
        case 6: bag->SetValue(name, com::ComVariant()); break;
        default:
            if (depth < 2) {
                auto inner = bagOf(bytes, depth + 1);
                inner->AddRef(); // the variant takes this reference over
                bag->SetValue(name, com::ComVariant::Unknown(inner.Get()));
            }
            break;
        }
    }
    return bag;
}

std::string savedOf(IPersistPropertyBag* persist)
{
    auto out = com::NewPropertyBag();
    if (FAILED(persist->Save(out.Get(), TRUE, TRUE)))
        std::abort();
    auto again = mfctest::NewSampleControl();
    if (FAILED(again.As<IPersistPropertyBag>()->Load(out.Get(), nullptr)))
        std::abort();
    return saved(again.As<IPersistStreamInit>().Get());
}

void loadBag(std::string_view bytes)
{
    auto bag = bagOf(bytes);
    auto control = mfctest::NewSampleControl();
    auto persist = control.As<IPersistPropertyBag>();
    if (FAILED(persist->Load(bag.Get(), nullptr)))
        return;
    // What loaded from a bag saves to a bag that loads to the same state.
    const std::string once = saved(control.As<IPersistStreamInit>().Get());
    if (savedOf(persist.Get()) != once)
        std::abort();
}

void bagKinds(std::string_view bytes)
{
    const int first = bytes.empty() ? 0 : std::uint8_t(bytes[0]) % 4;
    auto bag = bagOf(bytes);
    CPropbagPropExchange px(bag.Get(), nullptr, TRUE);
    exchangeKinds(px, first);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    loadControl(bytes, 0);
    if (size > 0)
        loadControl(bytes, data[0] % 8 < size ? data[0] % 8 : 0);
    streamKinds(data, size);
    loadBag(bytes);
    bagKinds(bytes);
    return 0;
}
