#pragma once
// The runtime's Printer object, as far as the program uses it: the name of
// the current printer, which the printer dialog changes, and the list of
// installed printers.

#include <string>
#include <vector>

namespace forms {

class PrinterObject {
public:
    // The current printer; the default printer until one is chosen.
    std::string DeviceName() const;
    void SetDeviceName(const std::string& name);

private:
    std::string chosen_;
};

PrinterObject& Printer();
std::vector<std::string> Printers();

} // namespace forms
