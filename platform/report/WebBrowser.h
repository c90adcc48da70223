#pragma once
// The browser control as the hidden main window uses it to print a report
// page: Navigate loads a local HTML file (synchronously, so the page is
// complete before anything prints), Visible, and ExecWB's print command,
// which prints without asking on the program's current printer or, when
// given, on a named one.

#include <QTextDocument>

#include <filesystem>
#include <string>

namespace report {

enum OLECMDID : int { OLECMDID_PRINT = 6 };
enum OLECMDEXECOPT : int { OLECMDEXECOPT_DODEFAULT = 0, OLECMDEXECOPT_PROMPTUSER = 1, OLECMDEXECOPT_DONTPROMPTUSER = 2 };
enum READYSTATE : int { READYSTATE_UNINITIALIZED = 0, READYSTATE_COMPLETE = 4 };

class WebBrowser {
public:
    // Loads the page; raises 53 when the file is missing (the page is then empty).
    void Navigate(const std::filesystem::path& url);
    int ReadyState() const { return ready_ ? READYSTATE_COMPLETE : READYSTATE_UNINITIALIZED; }
    const std::string& LocationURL() const { return location_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

    // OLECMDID_PRINT: prints the loaded page, every page; with
    // OLECMDEXECOPT_PROMPTUSER the printer dialog is asked first. printerName
    // "" means the current printer. Returns whether the page was printed;
    // raises 5 for another command or when no page is loaded.
    bool ExecWB(int command, int option, const std::string& printerName = {});
    // Why the last print failed.
    const std::string& LastError() const { return lastError_; }

    QTextDocument& Document() { return document_; }

private:
    QTextDocument document_;
    std::string location_;
    std::string lastError_;
    bool ready_ = false;
    bool visible_ = false;
};

} // namespace report
