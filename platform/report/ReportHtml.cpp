// The HTML writer of the report designer stand-in. It keeps to the subset of
// HTML that QTextDocument renders (tables with bgcolor, align and width, a
// thead that repeats on every printed page, b and br, white-space nowrap),
// one element per line so that no line grows long and no two words touch
// when lines are joined.

#include "platform/ado/Field.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/Currency.h"
#include "platform/basic/Format.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"
#include "platform/report/DataReport.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace report {

namespace {

constexpr const char* kGroupBack = "#EEEEEE";
constexpr const char* kTotalBack = "#F6F6F6";

// Escapes text into out, each line break (CR, LF or CR LF) as <br>; the
// runs between characters that need it are copied whole.
void appendText(std::string& out, std::string_view text)
{
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* replacement = nullptr;
        switch (c) {
        case '&': replacement = "&amp;"; break;
        case '<': replacement = "&lt;"; break;
        case '>': replacement = "&gt;"; break;
        case '"': replacement = "&quot;"; break;
        case '\r':
        case '\n': replacement = "<br>"; break;
        default: continue;
        }
        out.append(text.data() + from, i - from);
        out += replacement;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        from = i + 1;
    }
    out.append(text.data() + from, text.size() - from);
}

// The value as its column shows it, appended to out.
void appendFormatted(std::string& out, const vb::Variant& v, FieldFormat format)
{
    if (v.IsNull() || v.IsEmpty())
        return;
    switch (format) {
    case FieldFormat::Money: out += MoneyText(vb::CCur(v)); return;
    case FieldFormat::Date: out += HtmlEscape(vb::Format(vb::Variant(vb::CDate(v)), "m/d/yyyy")); return;
    case FieldFormat::Years: out += HtmlEscape(vb::CStr(v) + " years"); return;
    case FieldFormat::Text: break;
    }
    if (v.IsString())
        appendText(out, v.StringValue());
    else
        appendText(out, vb::CStr(v));
}

std::string formatted(const vb::Variant& v, FieldFormat format)
{
    std::string out;
    appendFormatted(out, v, format);
    return out;
}

// Which store a row is, for a message: "store 101 (Harbor Point)", or "a
// row" when the row names no store.
std::string rowName(ado::Recordset& rows)
{
    std::string number, name;
    try {
        number = vb::CStr(rows.Fields("StoreNumber").Value());
    } catch (const vb::RuntimeError&) {
    }
    try {
        name = vb::CStr(rows.Fields("StoreName").Value());
    } catch (const vb::RuntimeError&) {
    }
    if (number.empty() && name.empty())
        return "a row";
    std::string text = "store";
    if (!number.empty())
        text += " " + number;
    if (!name.empty())
        text += number.empty() ? " " + name : " (" + name + ")";
    return text;
}

std::string whyNot(const vb::RuntimeError& e)
{
    return e.Number() == vb::kErrOverflow ? "it is beyond what an amount can hold" : e.Description();
}

// A value the report cannot show stops the report: a page with the rows
// that could be shown would read as the whole report.
[[noreturn]] void cannotShow(const std::string& field, ado::Recordset& rows, const vb::RuntimeError& e)
{
    vb::Raise(e.Number(), "The " + field + " of " + rowName(rows) + " cannot be shown: " + whyNot(e) + ".");
}

[[noreturn]] void cannotTotal(const std::string& field, const vb::RuntimeError& e)
{
    vb::Raise(e.Number(), "The total of " + field + " cannot be shown: " + whyNot(e) + ".");
}

class Writer {
public:
    Writer(const ReportLayout& layout, const ReportControl& title) : layout_(layout), title_(title) {}

    std::string Render(ado::Recordset& rows)
    {
        head();
        if (rows.RecordCount() > 0)
            rows.MoveFirst();
        switch (layout_.grouping) {
        case ReportLayout::Grouping::None: details(rows, false); break;
        case ReportLayout::Grouping::Compute: computeGroups(rows); break;
        case ReportLayout::Grouping::Append: appendGroups(rows); break;
        }
        if (!layout_.grandTotalLabel.empty())
            totalRow(layout_.grandTotalLabel, grandTotal_);
        line("</table>");
        line("</body>");
        line("</html>");
        return std::move(out_);
    }

private:
    void line(std::string_view text)
    {
        out_ += text;
        out_ += "\r\n";
    }
    int columnCount() const { return static_cast<int>(layout_.columns.size()); }

    void head()
    {
        const std::string title = HtmlEscape(title_.Caption);
        line("<!DOCTYPE html>");
        line("<html>");
        line("<head>");
        line("<meta charset=\"utf-8\">");
        line("<title>" + title + "</title>");
        line("</head>");
        line("<body>");
        line("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"8\">");
        line("<tr>");
        line("<td bgcolor=\"" + HtmlColor(title_.BackColor) + "\" align=\"center\"><font color=\""
             + HtmlColor(title_.ForeColor, "#000000") + "\" size=\"+2\"><b>" + title + "</b></font></td>");
        line("</tr>");
        line("</table>");
        line("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"4\">");
        if (layout_.showCaptions) {
            line("<thead>");
            line("<tr>");
            for (const ReportColumn& c : layout_.columns) {
                std::string cell = "<th";
                cell += c.alignRight ? " align=\"right\"" : " align=\"left\"";
                if (c.widthPercent > 0)
                    cell += " width=\"" + std::to_string(c.widthPercent) + "%\"";
                line(cell + ">" + HtmlEscape(c.caption) + "</th>");
            }
            line("</tr>");
            line("</thead>");
        }
    }

    // Appended in place: a report has tens of thousands of cells. A whole
    // cell (a date, an amount, a number) never breaks across lines.
    void openCell(bool right, const char* back = nullptr, int span = 1, bool whole = false)
    {
        out_ += "<td";
        if (whole)
            out_ += " style=\"white-space: nowrap\"";
        if (span > 1) {
            out_ += " colspan=\"";
            out_ += std::to_string(span);
            out_ += '"';
        }
        if (right)
            out_ += " align=\"right\"";
        if (back) {
            out_ += " bgcolor=\"";
            out_ += back;
            out_ += '"';
        }
        out_ += '>';
    }
    void closeCell() { out_ += "</td>\r\n"; }
    void cell(std::string_view content, bool right, const char* back = nullptr, int span = 1, bool whole = false)
    {
        openCell(right, back, span, whole);
        out_ += content;
        closeCell();
    }

    // Detail rows; with a group column the first cell stays empty.
    void details(ado::Recordset& rows, bool skipFirst)
    {
        vb::Currency subTotal;
        if (rows.EOF_()) {
            if (!layout_.subTotalLabel.empty())
                totalRow(layout_.subTotalLabel, subTotal);
            return;
        }
        // Fields read the current row: look each one up once.
        std::vector<std::optional<ado::Field>> fields;
        for (size_t i = 0; i < layout_.columns.size(); ++i)
            fields.push_back(i == 0 && skipFirst ? std::nullopt
                                                 : std::optional<ado::Field>(rows.Fields(layout_.columns[i].field)));
        const std::optional<ado::Field> total =
            layout_.totalField.empty() ? std::nullopt : std::optional<ado::Field>(rows.Fields(layout_.totalField));
        // The summed field is usually shown too: its value is then read once.
        size_t totalShownAt = fields.size();
        for (size_t i = 0; total && i < fields.size(); ++i) {
            if (fields[i] && fields[i]->Name() == total->Name())
                totalShownAt = i;
        }
        vb::Variant amount;
        while (!rows.EOF_()) {
            line("<tr>");
            for (size_t i = 0; i < layout_.columns.size(); ++i) {
                const ReportColumn& c = layout_.columns[i];
                if (i == 0 && skipFirst) {
                    cell("", false);
                    continue;
                }
                vb::Variant v;
                openCell(c.alignRight, nullptr, 1, c.format != FieldFormat::Text);
                try {
                    v = fields[i]->Value();
                    appendFormatted(out_, v, c.format);
                } catch (const vb::RuntimeError& e) {
                    cannotShow(c.field, rows, e);
                }
                closeCell();
                if (i == totalShownAt)
                    amount = std::move(v);
            }
            line("</tr>");
            if (total) {
                try {
                    if (totalShownAt == fields.size())
                        amount = total->Value();
                } catch (const vb::RuntimeError& e) {
                    cannotShow(layout_.totalField, rows, e);
                }
                try {
                    if (!amount.IsNull() && !amount.IsEmpty())
                        subTotal += vb::CCur(amount);
                } catch (const vb::RuntimeError& e) {
                    cannotTotal(layout_.totalField, e);
                }
            }
            rows.MoveNext();
        }
        try {
            grandTotal_ += subTotal;
        } catch (const vb::RuntimeError& e) {
            cannotTotal(layout_.totalField, e);
        }
        if (!layout_.subTotalLabel.empty())
            totalRow(layout_.subTotalLabel, subTotal);
    }

    void totalRow(const std::string& label, vb::Currency amount)
    {
        // The label stands right-aligned before the summed column.
        size_t at = 0;
        for (size_t i = 0; i < layout_.columns.size(); ++i)
            if (layout_.columns[i].field == layout_.totalField)
                at = i;
        line("<tr>");
        if (at > 0)
            cell("<b>" + HtmlEscape(label) + "</b>", true, kTotalBack, static_cast<int>(at));
        cell("<b>" + MoneyText(amount) + "</b>", true, kTotalBack, 1, true);
        for (size_t i = at + 1; i < layout_.columns.size(); ++i)
            cell("", false, kTotalBack);
        line("</tr>");
    }

    void computeGroups(ado::Recordset& groups)
    {
        while (!groups.EOF_()) {
            line("<tr>");
            cell("<b>" + formatted(groups.Fields(layout_.groupField).Value(), FieldFormat::Text) + "</b>", false,
                 kGroupBack);
            if (columnCount() > 1)
                cell("", false, kGroupBack, columnCount() - 1);
            line("</tr>");
            ado::RecordsetPtr chapter = groups.Fields(layout_.chapterField).Chapter();
            details(*chapter, true);
            groups.MoveNext();
        }
    }

    void appendGroups(ado::Recordset& parents)
    {
        while (!parents.EOF_()) {
            std::string header;
            bool first = true;
            for (const GroupLine& g : layout_.groupHeader) {
                std::string text;
                for (const std::string& f : g.fields) {
                    const std::string v = formatted(parents.Fields(f).Value(), FieldFormat::Text);
                    if (v.empty())
                        continue;
                    if (!text.empty())
                        text += &f == &g.fields.back() && g.fields.size() > 2 ? " " : ", ";
                    text += v;
                }
                // A line without a value is left out, label and all.
                if (text.empty())
                    continue;
                if (!g.label.empty())
                    text = HtmlEscape(g.label) + " " + text;
                if (!header.empty())
                    header += "<br>";
                header += first ? "<b>" + text + "</b>" : text;
                first = false;
            }
            line("<tr>");
            cell(header, false, kGroupBack, columnCount());
            line("</tr>");
            ado::RecordsetPtr chapter = parents.Fields(layout_.chapterField).Chapter();
            details(*chapter, false);
            parents.MoveNext();
        }
    }

    const ReportLayout& layout_;
    const ReportControl& title_;
    std::string out_;
    vb::Currency grandTotal_;
};

} // namespace

std::string MoneyText(vb::Currency amount)
{
    // Ten-thousandths to cents, halves away from zero, as Format rounds.
    const int64_t raw = amount.Raw();
    const bool negative = raw < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
    const uint64_t cents = (magnitude + 50) / 100;
    std::string whole = std::to_string(cents / 100);
    for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3)
        whole.insert(static_cast<size_t>(at), ",");
    const uint64_t fraction = cents % 100;
    std::string text = negative && cents != 0 ? "-$" : "$";
    text += whole;
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return text;
}

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string HtmlColor(uint32_t color, std::string_view fallback)
{
    if (color & 0x80000000u)
        return std::string(fallback);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return buf;
}

std::string RenderReportHtml(const ReportLayout& layout, const ReportControl& title, ado::Recordset& rows)
{
    return Writer(layout, title).Render(rows);
}

} // namespace report
