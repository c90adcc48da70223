// Feeds arbitrary bytes to the template readers the ways a caller may: as a
// plain template (LoadTemplate) and as an extended one (LoadTemplateEx),
// with and without the media folders set, the bytes with or without the
// extended mark in front. A template that loads must save, load and save
// again to the same bytes.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/CWinApp.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

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

void roundTrip(CLumvexCtrl& loaded, bool extended, const std::string& file)
{
    const auto save = [&](CLumvexCtrl& c) {
        if ((extended ? c.SaveTemplateEx(file) : c.SaveTemplate(file)) != 1)
            std::abort();
        return readAll(file);
    };
    const std::string first = save(loaded);
    Button again;
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
    static const bool initialised = [] {
        AfxInitModule();
        return true;
    }();
    (void)initialised;
    const unsigned mode = data[0];
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool extended = mode & 1;
    // Most inputs are given the mark, so the extended reader goes past it.
    if (extended && (mode & 2))
        bytes.insert(0, "KZTM");
    const std::string file = (tv::fuzzing::TempFolder() / "in.kzt").string();
    writeAll(file, bytes);

    Button button;
    if (mode & 4) {
        const std::string folder = tv::fuzzing::TempFolder().string();
        for (short type = 0; type < 4; ++type)
            button.control->SetTemplateBinDir(type, mode & 8 ? folder : folder + "/");
    }
    const short loaded = extended ? button.control->LoadTemplateEx(file) : button.control->LoadTemplate(file);
    if (loaded == 1)
        roundTrip(*button.control, extended, (tv::fuzzing::TempFolder() / "out.kzt").string());
    return 0;
}
