#pragma once
// The report screen's browser: shows a local HTML page. The page is read
// whole and handed over as text, so a rebuilt "temp.htm" always shows its new
// contents, never a copy the view kept from before.

#include "platform/forms/Control.h"

#include <filesystem>
#include <string>

class QTextBrowser;

class ReportPageView : public forms::Control {
public:
    ReportPageView(forms::Container& parent, std::string name, int index = -1);

    // Loads the page; a missing or unreadable file leaves the view empty and
    // raises 53.
    void Navigate(const std::filesystem::path& file);
    // A page of its own in place of the report: what went wrong (a heading)
    // and why.
    void ShowProblem(const std::string& what, const std::string& why);
    const std::string& LocationURL() const { return location_; }
    // The page's text as shown (tests).
    std::string PlainText() const;
    std::string Html() const;

private:
    QTextBrowser* view_;
    std::string location_;
};
