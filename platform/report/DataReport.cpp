#include "platform/report/DataReport.h"

#include "platform/ado/Recordset.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/ReportPrinter.h"

#include <QTextDocument>

namespace report {

ReportControl& ReportSection::Controls(int index)
{
    if (index < 1 || static_cast<size_t>(index) > controls.size())
        vb::Raise(vb::kErrSubscript);
    return controls[static_cast<size_t>(index - 1)];
}

DataReport::DataReport(std::string name, int commandIndex, ReportLayout layout)
    : name_(std::move(name))
    , commandIndex_(commandIndex)
    , layout_(std::move(layout))
{
    ReportSection header{"ReportHeader", {{"lblTitle", layout_.title}}};
    ReportSection pageHeader{"PageHeader", {}};
    for (const ReportColumn& c : layout_.columns)
        pageHeader.controls.push_back({"lbl" + c.field, c.caption});
    sections_ = {std::move(header), std::move(pageHeader), {"Detail", {}}, {"ReportFooter", {}}, {"PageFooter", {}}};
}

std::string DataReport::Title() const
{
    return sections_.front().controls.front().Caption;
}

ReportSection& DataReport::Sections(int index)
{
    if (index < 1 || static_cast<size_t>(index) > sections_.size())
        vb::Raise(vb::kErrSubscript);
    return sections_[static_cast<size_t>(index - 1)];
}

std::string DataReport::RenderHtml()
{
    ado::RecordsetPtr rows = DataEnvironment1().Execute(commandIndex_);
    return RenderReportHtml(layout_, sections_.front().controls.front(), *rows);
}

bool DataReport::ExportReport(std::string_view formatKey, const std::filesystem::path& fileName, bool overwrite,
                              bool /*showDialog*/, int /*range*/)
{
    lastError_.clear();
    try {
        if (formatKey != kFormatHtml)
            vb::Raise(vb::kErrInvalidCall, "Unknown export format \"" + std::string(formatKey) + "\".");
        if (!overwrite && vb::fso::FileExists(fileName))
            vb::Raise(vb::kErrFileExists);
        const std::string html = RenderHtml();
        try {
            vb::fso::WriteAllBytesAtomic(fileName, html);
        } catch (const vb::RuntimeError& e) {
            vb::Raise(e.Number(), "The report page " + fileName.string() + " cannot be written (" + e.Description()
                                      + ").");
        }
        return true;
    } catch (const vb::RuntimeError& e) {
        lastError_ = e.Description();
    }
    return false;
}

bool DataReport::PrintReport(bool showDialog, int /*range*/)
{
    lastError_.clear();
    try {
        forms::PrintTarget target{CurrentPrinter(), false, {}};
        if (showDialog) {
            auto chosen = ChoosePrintTarget();
            if (!chosen) {
                lastError_ = kPrintCancelled;
                return false;
            }
            target = *chosen;
        }
        QTextDocument document;
        SetPrintHtml(document, RenderHtml());
        return PrintDocument(document, target, &lastError_);
    } catch (const vb::RuntimeError& e) {
        lastError_ = e.Description();
    }
    return false;
}

} // namespace report
