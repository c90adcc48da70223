#pragma once
// Printing of report pages: an HTML page laid out by QTextDocument and
// printed through QPrinter on a printer named by the caller, the default
// printer when that name is empty or not installed. Where the pages really
// go, which printers exist and the printer dialog sit behind one port:
// tests install one that writes PDF files and answers the dialog from a
// script.

#include <QPrinter>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTextDocument;

namespace report {

class PrintPort {
public:
    virtual ~PrintPort() = default;
    // The installed printers' names and the default printer ("" when none).
    virtual std::vector<std::string> PrinterNames() = 0;
    virtual std::string DefaultPrinterName() = 0;
    // The printer dialog: the chosen printer's name, nothing for Cancel.
    virtual std::optional<std::string> ChoosePrinter(const std::string& current) = 0;
    // A printer ready to print on the named (installed) printer.
    virtual std::unique_ptr<QPrinter> OpenPrinter(const std::string& name) = 0;
};

// nullptr restores the desktop's printers.
void SetPrintPort(std::shared_ptr<PrintPort> port);
PrintPort& Printing();

// The current printer of the program: the default printer until one is chosen.
std::string CurrentPrinter();
void SetCurrentPrinter(const std::string& name);
// Asks the printer dialog; a choice becomes the current printer.
std::optional<std::string> ChoosePrinter(const std::string& current);

// The installed printer of that name, else the default printer ("" when no
// printer is installed).
std::string ResolvePrinter(const std::string& name);

// Prints the document, every page, on the named printer (resolved as
// above). False, with why in error, when no printer exists or printing failed.
bool PrintDocument(QTextDocument& document, const std::string& printerName, std::string* error = nullptr);
// The same for an HTML page (UTF-8).
bool PrintHtml(const std::string& html, const std::string& printerName, std::string* error = nullptr);

// A port whose one printer writes each job to a numbered PDF file
// (folder/print-1.pdf, ...); its dialog answers from a queue (Cancel once
// empty). For tests.
class PdfPrintPort : public PrintPort {
public:
    explicit PdfPrintPort(std::string folder, std::vector<std::string> printers = {"PDF Printer"});
    std::vector<std::string> PrinterNames() override { return printers; }
    std::string DefaultPrinterName() override { return printers.empty() ? std::string() : printers.front(); }
    std::optional<std::string> ChoosePrinter(const std::string& current) override;
    std::unique_ptr<QPrinter> OpenPrinter(const std::string& name) override;

    std::string folder;
    std::vector<std::string> printers;
    std::vector<std::optional<std::string>> dialogAnswers;
    // Per job: the printer name and the PDF file written.
    std::vector<std::pair<std::string, std::string>> jobs;
};

} // namespace report
