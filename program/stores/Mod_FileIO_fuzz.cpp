// Any bytes as a notes file: reading never fails, and notes written into it
// always read back.
#include "program/stores/Mod_FileIO.h"

#include "platform/testing/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::ofstream out(tv::fuzzing::TempFolder() / Mod_FileIO::kNotesFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Mod_FileIO::ReadRateNotes(7, tv::fuzzing::TempFolder(), Mod_FileIO::kTaxRateNotes);
    Mod_FileIO::WriteRateNotes(7, tv::fuzzing::TempFolder(), Mod_FileIO::kBaseRateNotes, {"fuzz notes"});
    const auto notes = Mod_FileIO::ReadRateNotes(7, tv::fuzzing::TempFolder(), Mod_FileIO::kBaseRateNotes);
    if (!notes || notes->front() != "fuzz notes")
        std::abort();
    return 0;
}
