// Any bytes as a notes file: reading never fails, and notes written into it
// always read back.
#include "program/stores/Mod_FileIO.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::filesystem::path& folder()
{
    static const std::filesystem::path path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::ofstream out(folder() / Mod_FileIO::kNotesFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Mod_FileIO::ReadRateNotes(7, folder(), Mod_FileIO::kTaxRateNotes);
    Mod_FileIO::WriteRateNotes(7, folder(), Mod_FileIO::kBaseRateNotes, {"fuzz notes"});
    const auto notes = Mod_FileIO::ReadRateNotes(7, folder(), Mod_FileIO::kBaseRateNotes);
    if (!notes || notes->front() != "fuzz notes")
        std::abort();
    return 0;
}
