#pragma once
// WebBrowser: shows one HTML page, opened from a file. Navigation is
// synchronous: DocumentComplete is raised before Navigate returns.

#include "platform/forms/Control.h"

#include <string>
#include <string_view>

class QPrinter;
class QTextBrowser;
class QTextDocument;

namespace controls {

class WebBrowser : public forms::Control {
public:
    WebBrowser(forms::Container& parent, std::string name, int index = -1);

    // A file path or a file: URL; a page that cannot be read shows an empty
    // page (DocumentComplete is raised all the same).
    void Navigate(std::string_view url);
    // The address of the page on show; "" before the first navigation.
    std::string LocationURL() const { return location_; }
    QTextDocument* Document() const;
    // Prints the page on show, without asking the user.
    void Print(QPrinter& printer) const;

    forms::Event<const std::string&> DocumentComplete;

private:
    QTextBrowser* browser_;
    std::string location_;
};

} // namespace controls
