// Feeds arbitrary bytes to the template readers the ways a caller may: as a
// plain template (LoadTemplate) and as an extended one (LoadTemplateEx),
// with and without the media folders set, the bytes with or without the
// extended mark in front. A template that loads must save, load and save
// again to the same bytes. The media an extended template names are loaded;
// message boxes of those that fail go to a recorder, and nothing is fetched
// (media named by an address are sent to a closed port of this machine).
// The button lives in a GUI application, as in every container.

#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/media/CDIB.h"

#include "platform/com/UiServices.h"
#include "platform/mfc/CWinApp.h"
#include "platform/testing/FuzzGuiApplication.h"
#include "platform/testing/FuzzSupport.h"
#include "platform/testing/RiffWriter.h"
#include "platform/win/MessageBox.h"

#include <QImageReader>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

struct Button {
    Button() : control(new CLumvexCtrl()), unknown(com::ComPtr<IUnknown>::Attach(control->GetControllingUnknown()))
    {
    }
    CLumvexCtrl* control;
    com::ComPtr<IUnknown> unknown;
};

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Media in the template folder, so that templates naming them (the seeds
// do) load them: a colour picture, a one-bit mask and a short sound.
void makeMedia()
{
    const std::filesystem::path& folder = tv::fuzzing::TempFolder();
    CDIB picture;
    picture.CreateBlank(6, 5, 24, RGB(200, 40, 40));
    picture.Save((folder / "pic.bmp").c_str());
    CDIB mask;
    mask.CreateBlank(8, 4, 1, RGB(255, 255, 255));
    mask.Fill(2, 1, 3, 2, BLACKNESS);
    mask.Save((folder / "mask.bmp").c_str());

    using namespace tv::testing;
    ByteVector fmt, chunks;
    for (unsigned v : {1u, 1u})
        AppendLe16(fmt, v);
    AppendLe32(fmt, 8000);
    AppendLe32(fmt, 8000);
    AppendLe16(fmt, 1);
    AppendLe16(fmt, 8);
    AppendChunk(chunks, "fmt ", fmt);
    AppendChunk(chunks, "data", ByteVector(16, 0x80));
    const ByteVector riff = MakeRiff("WAVE", chunks);
    writeAll((folder / "tone.wav").string(), std::string_view(reinterpret_cast<const char*>(riff.data()), riff.size()));
}

// The folders the media of an extended template are looked up in.
void setFolders(CLumvexCtrl& control, unsigned mode)
{
    if (!(mode & 4))
        return;
    const std::string folder = tv::fuzzing::TempFolder().string();
    for (short type = 0; type < 4; ++type)
        control.SetTemplateBinDir(type, mode & 8 ? folder : folder + "/");
}

void roundTrip(CLumvexCtrl& loaded, bool extended, unsigned mode, const std::string& file)
{
    const auto save = [&](CLumvexCtrl& c) {
        if ((extended ? c.SaveTemplateEx(file) : c.SaveTemplate(file)) != 1)
            std::abort();
        return readAll(file);
    };
    const std::string first = save(loaded);
    Button again;
    setFolders(*again.control, mode);
    if ((extended ? again.control->LoadTemplateEx(file) : again.control->LoadTemplate(file)) != 1)
        std::abort();
    if (save(*again.control) != first)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const auto boxes = [] {
        AfxInitModule();
        makeMedia();
        auto recorder = std::make_shared<win::RecordingMessageBox>();
        win::SetMessageBoxPort(recorder);
        com::SetUiServices(std::make_shared<com::RecordingUiServices>());
        return recorder;
    }();
    boxes->shown.clear();
    const unsigned mode = data[0];
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool extended = mode & 1;
    // Most inputs are given the mark, so the extended reader goes past it.
    if (extended && (mode & 2))
        bytes.insert(0, "KZTM");
    const std::string file = (tv::fuzzing::TempFolder() / "in.kzt").string();
    writeAll(file, bytes);

    Button button;
    setFolders(*button.control, mode);
    const short loaded = extended ? button.control->LoadTemplateEx(file) : button.control->LoadTemplate(file);
    if (loaded == 1)
        roundTrip(*button.control, extended, mode, (tv::fuzzing::TempFolder() / "out.kzt").string());
    tv::fuzzing::DropPostedEvents();
    return 0;
}
