#include "platform/report/WebBrowser.h"

#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/report/ReportPrinter.h"

namespace report {

void WebBrowser::Navigate(const std::filesystem::path& url)
{
    ready_ = false;
    document_.clear();
    location_ = url.string();
    const std::string bytes = vb::fso::ReadAllBytes(url);
    document_.setHtml(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
    ready_ = true;
}

bool WebBrowser::ExecWB(int command, int option, const std::string& printerName)
{
    lastError_.clear();
    if (command != OLECMDID_PRINT)
        vb::Raise(vb::kErrInvalidCall, "The browser knows no command " + std::to_string(command) + ".");
    if (!ready_)
        vb::Raise(vb::kErrInvalidCall, "No page is loaded.");
    forms::PrintTarget target{printerName.empty() ? CurrentPrinter() : printerName, false, {}};
    if (option == OLECMDEXECOPT_PROMPTUSER) {
        auto chosen = ChoosePrintTarget();
        if (!chosen) {
            lastError_ = kPrintCancelled;
            return false;
        }
        target = *chosen;
    }
    return PrintDocument(document_, target, &lastError_);
}

} // namespace report
