#pragma once
// Printing of report pages: an HTML page laid out by QTextDocument and
// printed through QPrinter on a printer named by the caller, the default
// printer when that name is empty or not installed. The installed printers,
// the current printer and the printer dialog are the forms runtime's
// (forms::Printers, forms::Printer, forms::Dialogs); where the pages really
// go sits behind a port, which tests replace with one that writes PDF files.

#include "platform/forms/CommonDialog.h"

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
    // A printer ready to print on the named (installed) printer.
    virtual std::unique_ptr<QPrinter> OpenPrinter(const std::string& name) = 0;
};

// nullptr restores the desktop's printers.
void SetPrintPort(std::shared_ptr<PrintPort> port);
PrintPort& Printing();

// The current printer of the program (the default printer until one is chosen).
std::string CurrentPrinter();
// The printer dialog; a choice becomes the current printer. Nothing for Cancel.
std::optional<std::string> ChoosePrinter();
// The print dialog of a job: a printer (which becomes the current printer)
// or a PDF file. Nothing for Cancel.
std::optional<forms::PrintTarget> ChoosePrintTarget();

// Why a print that the user cancelled did not print.
inline constexpr const char* kPrintCancelled = "Printing was cancelled.";

// The installed printer of that name, else the default printer ("" when no
// printer is installed).
std::string ResolvePrinter(const std::string& name);

// Prints the document, every page, on the named printer (resolved as
// above). False, with why in error, when no printer exists or printing failed.
bool PrintDocument(QTextDocument& document, const std::string& printerName, std::string* error = nullptr);
// The same for an HTML page (UTF-8).
bool PrintHtml(const std::string& html, const std::string& printerName, std::string* error = nullptr);
// Prints the document into a PDF file: written beside it first and put in
// its place only once whole, so a failed print leaves an old file as it was.
bool PrintDocumentToPdf(QTextDocument& document, const std::string& file, std::string* error = nullptr);
// On the printer, or into the PDF file, the target names.
bool PrintDocument(QTextDocument& document, const forms::PrintTarget& target, std::string* error = nullptr);
// Lays out an HTML page for printing: words break only between words.
void SetPrintHtml(QTextDocument& document, const std::string& html);

// Writes each job to a numbered PDF file (folder/print-1.pdf, ...) and keeps
// the printer each job was meant for. For tests.
class PdfPrintPort : public PrintPort {
public:
    explicit PdfPrintPort(std::string folder) : folder(std::move(folder)) {}
    std::unique_ptr<QPrinter> OpenPrinter(const std::string& name) override;

    std::string folder;
    // Per job: the printer name and the PDF file written.
    std::vector<std::pair<std::string, std::string>> jobs;
};

} // namespace report
