// Any bytes as a report settings file: reading never fails, and settings
// written into it always read back.
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"

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
        std::ofstream out(folder() / Mod_Report::kReportFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Mod_Report::ReadReportSettings(folder(), "CAM RATE");
    const std::vector<std::string> values = {"1 Year", "2026", "ASC", "Arial", "True", "3/15/2026",
                                             "09:00 AM", "Daily", "None", "2", "a@x.com", "True"};
    Mod_FileIO::WriteReportSettings(folder(), "TAX RATE", values);
    if (Mod_Report::ReadReportSettings(folder(), "TAX RATE") != values)
        std::abort();
    return 0;
}
