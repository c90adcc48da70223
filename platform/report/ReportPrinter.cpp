#include "platform/report/ReportPrinter.h"

#include "platform/forms/CommonDialog.h"
#include "platform/forms/Printer.h"

#include <QPrinterInfo>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <filesystem>
#include <system_error>

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

std::optional<forms::PrintTarget> ChoosePrintTarget()
{
    auto choice = forms::Dialogs().ChoosePrintTarget(CurrentPrinter());
    if (choice && !choice->toFile)
        forms::Printer().SetDeviceName(choice->printer);
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

void SetPrintHtml(QTextDocument& document, const std::string& html)
{
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(option);
    document.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
}

bool PrintHtml(const std::string& html, const std::string& printerName, std::string* error)
{
    QTextDocument document;
    SetPrintHtml(document, html);
    return PrintDocument(document, printerName, error);
}

bool PrintDocumentToPdf(QTextDocument& document, const std::string& file, std::string* error)
{
    namespace fs = std::filesystem;
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (file.empty())
        return fail("No file was named to print into.");
    const fs::path target(file);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return fail("\"" + file + "\" is a folder, not a file.");
    // Beside the target, so that the rename below stays on one file system.
    const fs::path part = target.string() + ".part";
    fs::remove(part, ec);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(part.string()));
        printer.setPageSize(QPageSize(QPageSize::Letter));
        document.print(&printer);
    }
    if (!fs::is_regular_file(part, ec) || fs::file_size(part, ec) == 0 || ec) {
        fs::remove(part, ec);
        return fail("The PDF file \"" + file + "\" cannot be written.");
    }
    fs::rename(part, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        return fail("The PDF file \"" + file + "\" cannot be written: " + ec.message() + ".");
    }
    return true;
}

bool PrintDocument(QTextDocument& document, const forms::PrintTarget& target, std::string* error)
{
    if (target.toFile)
        return PrintDocumentToPdf(document, target.pdfFile, error);
    return PrintDocument(document, target.printer, error);
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
