#include "platform/report/ReportPrinter.h"

#include "platform/forms/CommonDialog.h"
#include "platform/forms/Printer.h"

#include <QPrinterInfo>
#include <QTextDocument>

#include <algorithm>

namespace report {

namespace {

class DesktopPrintPort : public PrintPort {
public:
    std::unique_ptr<QPrinter> OpenPrinter(const std::string& name) override
    {
        return std::make_unique<QPrinter>(QPrinterInfo::printerInfo(QString::fromStdString(name)),
                                          QPrinter::HighResolution);
    }
};

std::shared_ptr<PrintPort>& port()
{
    static std::shared_ptr<PrintPort> p;
    return p;
}

} // namespace

void SetPrintPort(std::shared_ptr<PrintPort> p)
{
    port() = std::move(p);
}

PrintPort& Printing()
{
    if (!port())
        port() = std::make_shared<DesktopPrintPort>();
    return *port();
}

std::string CurrentPrinter()
{
    return forms::Printer().DeviceName();
}

std::optional<std::string> ChoosePrinter()
{
    auto choice = forms::Dialogs().ChoosePrinter(CurrentPrinter());
    if (choice)
        forms::Printer().SetDeviceName(*choice);
    return choice;
}

std::string ResolvePrinter(const std::string& name)
{
    const std::vector<std::string> names = forms::Printers();
    if (!name.empty() && std::find(names.begin(), names.end(), name) != names.end())
        return name;
    return forms::Dialogs().DefaultPrinterName();
}

bool PrintDocument(QTextDocument& document, const std::string& printerName, std::string* error)
{
    const std::string name = ResolvePrinter(printerName);
    if (name.empty()) {
        if (error)
            *error = "No printer is installed.";
        return false;
    }
    std::unique_ptr<QPrinter> printer = Printing().OpenPrinter(name);
    if (!printer || !printer->isValid()) {
        if (error)
            *error = "The printer \"" + name + "\" cannot be used.";
        return false;
    }
    document.print(printer.get());
    if (printer->printerState() == QPrinter::Error || printer->printerState() == QPrinter::Aborted) {
        if (error)
            *error = "Printing on \"" + name + "\" failed.";
        return false;
    }
    return true;
}

bool PrintHtml(const std::string& html, const std::string& printerName, std::string* error)
{
    QTextDocument document;
    document.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    return PrintDocument(document, printerName, error);
}

std::unique_ptr<QPrinter> PdfPrintPort::OpenPrinter(const std::string& name)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const std::string file = folder + "/print-" + std::to_string(jobs.size() + 1) + ".pdf";
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(file));
    printer->setPageSize(QPageSize(QPageSize::Letter));
    jobs.emplace_back(name, file);
    return printer;
}

} // namespace report
