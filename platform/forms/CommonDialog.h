#pragma once
// The common dialogs (open, save, colour, font, printer) as the CommonDialog
// control presents them, behind a seam: tests install ScriptedDialogs; on
// the offscreen platform the desktop dialogs are never shown and answer
// Cancel. With CancelError, Cancel raises 32755.
//
// Filter is "description|pattern;pattern|description|pattern", FilterIndex
// 1-based; FileName is a full path.

#include "platform/forms/Color.h"

#include <QFont>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace forms {

class Container;

constexpr int cdlCancel = 32755;

struct FileDialogRequest {
    std::string title;
    std::string initDir;
    std::string fileName;
    std::string filter;
    int filterIndex = 1;
    std::string defaultExt;
    // The OFN_ flags of the caller; the desktop dialogs honour the ones that
    // have a meaning here (overwrite prompt, must-exist).
    unsigned long flags = 0;
};

// OFN_ flags of a file request.
inline constexpr unsigned long OFN_READONLY = 0x00000001;
inline constexpr unsigned long OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr unsigned long OFN_HIDEREADONLY = 0x00000004;
inline constexpr unsigned long OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr unsigned long OFN_FILEMUSTEXIST = 0x00001000;

// Where the print dialog sends a job: an installed printer, or, with
// toFile, a PDF file ("Print to File (PDF)").
struct PrintTarget {
    std::string printer;
    bool toFile = false;
    std::string pdfFile;
};

class DialogPort {
public:
    virtual ~DialogPort() = default;
    // A full path, or nothing for Cancel.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<OLE_COLOR> ChooseColor(OLE_COLOR initial) = 0;
    virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;
    // A printer's name.
    virtual std::optional<std::string> ChoosePrinter(const std::string& current) = 0;
    // The print dialog of a print job, which may also print into a file;
    // nothing for Cancel. By default the printer dialog's choice.
    virtual std::optional<PrintTarget> ChoosePrintTarget(const std::string& current)
    {
        auto name = ChoosePrinter(current);
        if (!name)
            return std::nullopt;
        return PrintTarget{*name, false, {}};
    }
    // The installed printers and the default one.
    virtual std::vector<std::string> PrinterNames() = 0;
    virtual std::string DefaultPrinterName() = 0;
};

// nullptr restores the desktop dialogs.
void SetDialogPort(std::shared_ptr<DialogPort> port);
DialogPort& Dialogs();

// A pipe filter ("Pictures (*.bmp, *.jpg) |*.bmp;*.jpg|All files (*.*)|*.*||")
// as Qt's name filters ("Pictures (*.bmp *.jpg)", "All files (*)"): the
// closing empty pair goes, a "(...)" ending a description gives way to the
// pattern field's own patterns (a description's list may hold commas, which
// Qt would read as part of a pattern), and "*.*" becomes "*".
std::vector<std::string> QtNameFilters(const std::string& filter);

class CommonDialog {
public:
    CommonDialog(Container& parent, std::string name);

    const std::string& Name() const { return name_; }

    void ShowOpen();
    void ShowSave();
    void ShowColor();
    void ShowFont();
    // The choice becomes the current printer (Printer().DeviceName).
    void ShowPrinter();

    bool CancelError = false;
    std::string DialogTitle;
    std::string InitDir;
    std::string FileName;
    // The file name without its folder, after ShowOpen or ShowSave.
    std::string FileTitle;
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt;
    long Flags = 0;
    OLE_COLOR Color = 0;
    QFont Font;

private:
    void cancelled();
    std::string name_;
};

// Answers from queues (Cancel once a queue is empty) and keeps the requests.
class ScriptedDialogs : public DialogPort {
public:
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
    std::optional<OLE_COLOR> ChooseColor(OLE_COLOR initial) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    std::optional<std::string> ChoosePrinter(const std::string& current) override;
    // From printTargets while it holds answers, else from printerChoices.
    std::optional<PrintTarget> ChoosePrintTarget(const std::string& current) override;
    std::vector<std::string> PrinterNames() override { return printers; }
    std::string DefaultPrinterName() override { return printers.empty() ? std::string() : printers.front(); }

    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<OLE_COLOR>> colors;
    std::deque<std::optional<QFont>> fonts;
    std::deque<std::optional<std::string>> printerChoices;
    std::deque<std::optional<PrintTarget>> printTargets;
    std::vector<std::string> printers;
    std::vector<FileDialogRequest> fileRequests;
    // The initial colour of each colour request.
    std::vector<OLE_COLOR> colorRequests;
};

} // namespace forms
