#include "platform/forms/Printer.h"

#include "platform/forms/CommonDialog.h"

namespace forms {

std::string PrinterObject::DeviceName() const
{
    return chosen_.empty() ? Dialogs().DefaultPrinterName() : chosen_;
}

void PrinterObject::SetDeviceName(const std::string& name)
{
    chosen_ = name;
}

PrinterObject& Printer()
{
    static PrinterObject p;
    return p;
}

std::vector<std::string> Printers()
{
    return Dialogs().PrinterNames();
}

} // namespace forms
