// Feeds arbitrary bytes to a fresh button the ways a container may: through
// IPersistStreamInit::Load (from the start of a stream and after bytes of
// another object) and through IPersistPropertyBag::Load as a bag whose
// values, under the button's own keys, take every variant type. A state that
// loads must save and load again, and then keep its bytes, whether it is
// saved to a stream or to a bag. The button lives in a GUI application, as
// in every container.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/com/PropertyBag.h"
#include "platform/com/Stream.h"
#include "platform/testing/FuzzGuiApplication.h"
#include "platform/testing/FuzzSupport.h"

#include <QByteArray>
#include <QImageReader>

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Cursors and pictures of the button's properties hold PNG images.
    tv::fuzzing::DropQtWarnings();
    tv::fuzzing::SilenceLibraryPrints();
    QImageReader::setAllocationLimit(4);
    tv::fuzzing::StartGuiApplication(argc, argv);
    return 0;
}

namespace {

com::ComPtr<IUnknown> newButton()
{
    auto* control = new CLumvexCtrl();
    return com::ComPtr<IUnknown>::Attach(control->GetControllingUnknown());
}

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

// What loaded once saves and loads again, and from then on saves the same
// bytes. (The first save may still differ from the second: a state read
// from an unknown version keeps no screen resolution, which the next load
// fills in.)
std::string reloaded(const std::string& bytes)
{
    auto again = newButton();
    com::ComPtr<IStream> back;
    com::CreateStreamOnMemory(bytes, back.Receive());
    if (FAILED(again.As<IPersistStreamInit>()->Load(back.Get())))
        std::abort();
    return saved(again.As<IPersistStreamInit>().Get());
}

// The same state saved to a bag and loaded from it saves the same stream.
std::string throughBag(const std::string& bytes)
{
    auto button = newButton();
    com::ComPtr<IStream> in;
    com::CreateStreamOnMemory(bytes, in.Receive());
    if (FAILED(button.As<IPersistStreamInit>()->Load(in.Get())))
        std::abort();
    auto bag = com::NewPropertyBag();
    if (FAILED(button.As<IPersistPropertyBag>()->Save(bag.Get(), TRUE, TRUE)))
        std::abort();
    auto again = newButton();
    if (FAILED(again.As<IPersistPropertyBag>()->Load(bag.Get(), nullptr)))
        std::abort();
    return saved(again.As<IPersistStreamInit>().Get());
}

void roundTrip(IPersistStreamInit* loaded)
{
    const std::string second = reloaded(saved(loaded));
    if (reloaded(second) != second || throughBag(second) != second)
        std::abort();
}

void loadStream(std::string_view bytes, std::size_t skip)
{
    auto button = newButton();
    auto persist = button.As<IPersistStreamInit>();
    com::ComPtr<IStream> in;
    com::CreateStreamOnMemory(bytes, in.Receive());
    in->Seek(std::int64_t(skip), STREAM_SEEK_SET, nullptr);
    if (SUCCEEDED(persist->Load(in.Get())))
        roundTrip(persist.Get());
}

constexpr const char* kKeys[] = {
    "_Version", "_ExtentX", "_ExtentY", "_StockProps", "Caption", "Enabled", "FontCaption", "FontTextLT",
    "FontTextRB", "Shape", "Roundness", "Slant", "Surface", "PictureTranspColor", "Picture", "PicturePressed",
    "PictureMouseOver", "PictureCustom", "PictureXOffset", "SoundDown", "Cursor", "ButtonRaiseFactor",
    "Hyperlink", "EnableInternetLoadAtDT", "SmoothEdges", "CaptionWordWrapPerc", "LogPixels", "Optimization",
    "IgnoreSpaceBar", "SpecialEffectFactor", "Texture", "TextureMode", "UserData", "Res", "BitsPix",
    "dibPicture", "aviPicture", "dibPicturePressed", "aviPicturePressed", "dibPictureCustom", "sndDown",
    "textCaption", "textRB", "curCursor", "colorBack", "colorPressed", "btn", "dibTexture", "Style",
    "PictureDisabled", "dibPictureDisabled"};

// One value from the front of data: a type byte, a length byte, the bytes.
com::ComVariant takeValue(std::string_view& data)
{
    if (data.size() < 2)
        return {};
    const unsigned char type = data[0];
    const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(data[1]), data.size() - 2);
    const std::string_view bytes = data.substr(2, n);
    data.remove_prefix(2 + n);
    std::int64_t number = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 8; ++i)
        number |= std::int64_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
    switch (type % 8) {
    case 0: return com::ComVariant::I2(std::int16_t(number));
    case 1: return com::ComVariant::I4(std::int32_t(number));
    case 2: return com::ComVariant::Bool(number & 1);
    case 3: {
        double d = 0;
        std::memcpy(&d, &number, sizeof d);
        return com::ComVariant::R8(d);
    }
    case 4: return com::ComVariant::Text(bytes);
    case 5: {
        // A blob as the bag keeps it: base64 of its DWORD count and bytes.
        return com::ComVariant::Text(QByteArray(bytes.data(), qsizetype(bytes.size())).toBase64().toStdString());
    }
    case 6: {
        // A font as a bag of its own.
        auto font = com::NewPropertyBag();
        font->SetValue("Name", com::ComVariant::Text(bytes));
        font->SetValue("Size", com::ComVariant::R8(double(number % 4000) / 10.0));
        font->SetValue("Weight", com::ComVariant::I2(std::int16_t(number >> 16)));
        // The value takes over the bag's reference.
        return com::ComVariant::Unknown(font.Detach());
    }
    default: return com::ComVariant::I8(number);
    }
}

void loadBag(std::string_view data)
{
    auto bag = com::NewPropertyBag();
    for (const char* key : kKeys) {
        const com::ComVariant value = takeValue(data);
        if (value.vt != VT_EMPTY)
            bag->SetValue(key, value);
    }
    auto button = newButton();
    if (SUCCEEDED(button.As<IPersistPropertyBag>()->Load(bag.Get(), nullptr)))
        roundTrip(button.As<IPersistStreamInit>().Get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::string_view bytes = all.substr(1);
    // A stored stream starts with the low byte of its version, 0 for every
    // version there is: such input loads whole.
    switch (data[0] % 3) {
    case 0: loadStream(all, 0); break;
    case 1: loadStream(bytes, bytes.empty() ? 0 : std::size_t(data[0]) % bytes.size()); break;
    default: loadBag(bytes); break;
    }
    tv::fuzzing::DropPostedEvents();
    return 0;
}
