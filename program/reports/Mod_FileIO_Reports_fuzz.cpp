// Any bytes as a report settings file: reading never fails, and settings
// written into it always read back.
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"

#include "platform/forms/MsgBox.h"
#include "platform/testing/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

// A damaged file is told about in a message box: answered at once here.
struct SilentMsgBox : forms::MessageBoxPort {
    int Show(const forms::MsgBoxRequest& request) override { return forms::DefaultAnswer(request.buttons); }
};

void answerMessageBoxes()
{
    static const bool set = [] {
        forms::SetMessageBoxPort(std::make_shared<SilentMsgBox>());
        return true;
    }();
    (void)set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    answerMessageBoxes();
    {
        std::ofstream out(tv::fuzzing::TempFolder() / Mod_Report::kReportFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Mod_Report::ReadReportSettings(tv::fuzzing::TempFolder(), "CAM RATE");
    const std::vector<std::string> values = {"1 Year", "2026", "ASC", "Arial", "True", "3/15/2026",
                                             "09:00 AM", "Daily", "None", "2", "a@x.com", "True"};
    Mod_FileIO::WriteReportSettings(tv::fuzzing::TempFolder(), "TAX RATE", values);
    if (Mod_Report::ReadReportSettings(tv::fuzzing::TempFolder(), "TAX RATE") != values)
        std::abort();
    tv::fuzzing::RemoveKeptCopies(tv::fuzzing::TempFolder(), Mod_Report::kReportFileName);
    return 0;
}
