#include "platform/report/ReportPrinter.h"

#include <QPrinterInfo>
#include <QTextDocument>

#include <algorithm>

namespace report {

namespace {

class DesktopPrintPort : public PrintPort {
public:
    std::vector<std::string> PrinterNames() override
    {
        std::vector<std::string> names;
        for (const QString& n : QPrinterInfo::availablePrinterNames())
            names.push_back(n.toStdString());
        return names;
    }
    std::string DefaultPrinterName() override { return QPrinterInfo::defaultPrinterName().toStdString(); }
    // No dialog is shown from the report engine itself: the program's
    // printer dialog is installed over this port.
    std::optional<std::string> ChoosePrinter(const std::string& current) override { return current; }
    std::unique_ptr<QPrinter> OpenPrinter(const std::string& name) override
    {
        auto printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(QString::fromStdString(name)),
                                                  QPrinter::HighResolution);
        return printer;
    }
};

std::shared_ptr<PrintPort>& port()
{
    static std::shared_ptr<PrintPort> p;
    return p;
}

std::optional<std::string>& chosen()
{
    static std::optional<std::string> name;
    return name;
}

} // namespace

void SetPrintPort(std::shared_ptr<PrintPort> p)
{
    port() = std::move(p);
    chosen().reset();
}

PrintPort& Printing()
{
    if (!port())
        port() = std::make_shared<DesktopPrintPort>();
    return *port();
}

std::string CurrentPrinter()
{
    return chosen() ? *chosen() : Printing().DefaultPrinterName();
}

void SetCurrentPrinter(const std::string& name)
{
    chosen() = name;
}

std::optional<std::string> ChoosePrinter(const std::string& current)
{
    auto choice = Printing().ChoosePrinter(current);
    if (choice)
        SetCurrentPrinter(*choice);
    return choice;
}

std::string ResolvePrinter(const std::string& name)
{
    PrintPort& p = Printing();
    const std::vector<std::string> names = p.PrinterNames();
    if (!name.empty() && std::find(names.begin(), names.end(), name) != names.end())
        return name;
    return p.DefaultPrinterName();
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

PdfPrintPort::PdfPrintPort(std::string folder_, std::vector<std::string> printers_)
    : folder(std::move(folder_))
    , printers(std::move(printers_))
{
}

std::optional<std::string> PdfPrintPort::ChoosePrinter(const std::string&)
{
    if (dialogAnswers.empty())
        return std::nullopt;
    auto answer = dialogAnswers.front();
    dialogAnswers.erase(dialogAnswers.begin());
    return answer;
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
