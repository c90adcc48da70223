// Feeds arbitrary bytes to a control's state reader: the sample control
// loads them through IPersistStreamInit::Load, from the start of a stream
// and after bytes of another object; what loads must save and load again to
// the same bytes. The same bytes also go through a stream exchange of every
// kind of value, each kind read first.

#include "platform/mfc/CArchivePropExchange.h"
#include "platform/mfc/CMemFile.h"
#include "platform/mfc/OleControlTestSupport.h"

#include <cstdlib>
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
void exchangeKinds(const std::uint8_t* data, std::size_t size)
{
    std::vector<BYTE> copy(data, data + size);
    CMemFile file(copy.data(), UINT(copy.size()));
    CArchive ar(&file, CArchive::load);
    CArchivePropExchange px(ar);
    DWORD version = 0;
    short s = 0;
    BOOL b = FALSE;
    LONG l = 0;
    OLE_COLOR c = 0;
    double d = 0;
    CString text;
    CFontHolder font(nullptr);
    HGLOBAL blob = nullptr;
    const int first = size ? data[0] % 4 : 0;
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    loadControl(bytes, 0);
    if (size > 0)
        loadControl(bytes, data[0] % 8 < size ? data[0] % 8 : 0);
    exchangeKinds(data, size);
    return 0;
}
