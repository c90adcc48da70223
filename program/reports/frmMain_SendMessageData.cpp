#include "program/reports/frmMain_SendMessageData.h"

#include "program/reports/Base64.h"

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "platform/forms/MsgBox.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

constexpr const char* kCrLf = "\r\n";
// Mail servers refuse longer lines (998 characters and CR LF).
constexpr size_t kMaxLine = 998;
// Longest encoded word: 45 bytes are 60 base64 characters, 72 with the wrapper.
constexpr size_t kWordBytes = 45;
// Header lines of encoded words stay within what mail readers show whole.
constexpr size_t kFoldedLine = 76;

bool isPlainAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7e)
            return false;
    return true;
}

std::string oneLine(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value)
        out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    return out;
}

std::string base64Of(std::string_view bytes)
{
    std::string out(Base64::EncodedLength(bytes.size()), '\0');
    Base64().Encode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                    reinterpret_cast<uint8_t*>(out.data()));
    return out;
}

// Encoded words, never splitting a character, folded so that no line is
// longer than kFoldedLine: column is where the first word starts, and ends
// as the column after the last.
std::string encodedWords(std::string_view text, size_t& column)
{
    constexpr size_t kWrapper = 12; // "=?utf-8?B?" and "?="
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (i > 0) {
            out += "\r\n ";
            column = 1;
        }
        const size_t room = kFoldedLine > column + kWrapper ? kFoldedLine - column - kWrapper : 0;
        const size_t bytes = std::clamp<size_t>(room / 4 * 3, 6, kWordBytes);
        size_t end = std::min(text.size(), i + bytes);
        while (end < text.size() && end > i + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        const std::string word = "=?utf-8?B?" + base64Of(text.substr(i, end - i)) + "?=";
        out += word;
        column += word.size();
        i = end;
    }
    return out;
}

bool isAtomText(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-/=?^_`{|}~ ").find(c) != std::string_view::npos;
}

std::string quotedString(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// The file name parameter of the disposition; names beyond plain ASCII go
// percent-encoded in UTF-8, as mail readers expect.
std::string fileNameParameter(std::string_view name)
{
    if (isPlainAscii(name))
        return "filename=" + quotedString(name);
    std::string out = "filename*=utf-8''";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// A header folded (a line end put before a blank) wherever a line would pass
// the 998 characters mail allows; a longer run without a blank cannot be
// folded, and no message goes out with it.
std::string foldedHeader(std::string_view header)
{
    std::string out;
    out.reserve(header.size() + 8);
    size_t start = 0;
    while (start <= header.size()) {
        size_t end = header.find(kCrLf, start);
        if (end == std::string_view::npos)
            end = header.size();
        std::string_view rest = header.substr(start, end - start);
        while (rest.size() > kMaxLine) {
            const size_t blank = rest.substr(0, kMaxLine + 1).find_last_of(" \t");
            if (blank == std::string_view::npos || blank == 0)
                vb::Raise(vb::kErrInvalidCall, "A header of the message would hold a line longer than the "
                                               + std::to_string(kMaxLine) + " characters mail allows: "
                                               + std::string(rest.substr(0, 40)) + "...");
            out.append(rest.substr(0, blank));
            out += kCrLf;
            rest.remove_prefix(blank);
        }
        out.append(rest);
        if (end == header.size())
            break;
        out += kCrLf;
        start = end + 2;
    }
    return out;
}

std::string mailerText()
{
    return vb::App::CompanyName() + " - " + vb::App::Title();
}

} // namespace

std::string MimeComposer::MailDate(vb::Date local, int utcOffsetSeconds)
{
    const vb::DateParts p = vb::Decompose(local);
    const int offsetMinutes = std::abs(utcOffsetSeconds) / 60;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d",
                  vb::WeekdayName(vb::Weekday(local), true).c_str(), p.day, vb::MonthName(p.month, true).c_str(),
                  p.year, p.hour, p.minute, p.second, utcOffsetSeconds < 0 ? '-' : '+', offsetMinutes / 60,
                  offsetMinutes % 60);
    return buf;
}

int MimeComposer::LocalUtcOffset(vb::Date local)
{
    const vb::DateParts p = vb::Decompose(local);
    const QDateTime t(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second), Qt::LocalTime);
    return t.isValid() ? t.offsetFromUtc() : 0;
}

std::string MimeComposer::HeaderText(std::string_view value, size_t column)
{
    const std::string text = oneLine(value);
    // Room for the longest header name in front of it.
    if (isPlainAscii(text) && text.size() <= kMaxLine - 40)
        return text;
    return encodedWords(text, column);
}

std::string MimeComposer::FormatAddress(const MailAddress& a, size_t column)
{
    const std::string name = vb::Trim(oneLine(a.name));
    const std::string addr = "<" + a.address + ">";
    if (name.empty())
        return addr;
    if (!isPlainAscii(name) || name.size() > 200) {
        std::string words = encodedWords(name, column);
        // The address goes on a line of its own when the last word's is full.
        return words + (column + 1 + addr.size() > kFoldedLine ? "\r\n " : " ") + addr;
    }
    for (char c : name)
        if (!isAtomText(c))
            return quotedString(name) + " " + addr;
    return name + " " + addr;
}

std::string MimeComposer::NormaliseLineEnds(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += kCrLf;
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += kCrLf;
        } else {
            out += c;
        }
    }
    return out;
}

bool MimeComposer::NeedsQuotedPrintable(std::string_view crlfText)
{
    size_t lineLength = 0;
    for (unsigned char c : crlfText) {
        if (c >= 0x80 || c == 0)
            return true;
        if (c == '\n') {
            lineLength = 0;
        } else if (++lineLength > kMaxLine) {
            return true;
        }
    }
    return false;
}

std::string MimeComposer::QuotedPrintable(std::string_view crlfText)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(crlfText.size() + crlfText.size() / 8);
    size_t col = 0;
    for (size_t i = 0; i < crlfText.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(crlfText[i]);
        if (c == '\r' && i + 1 < crlfText.size() && crlfText[i + 1] == '\n') {
            out += kCrLf;
            col = 0;
            ++i;
            continue;
        }
        const bool lineEndFollows =
            i + 1 == crlfText.size() || (crlfText[i + 1] == '\r' && i + 2 < crlfText.size() && crlfText[i + 2] == '\n');
        const bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !lineEndFollows);
        const size_t width = literal ? 1 : 3;
        // Lines stay within 76 characters, the soft break's "=" included.
        if (col + width > 75) {
            out += "=\r\n";
            col = 0;
        }
        if (literal) {
            out += static_cast<char>(c);
        } else {
            out += '=';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        col += width;
    }
    return out;
}

std::string MimeComposer::ToSmtpData(std::string_view message)
{
    std::string out;
    out.reserve(message.size() + message.size() / 64 + 8);
    bool lineStart = true;
    for (size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (c == '\r' || c == '\n') {
            out += kCrLf;
            if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
                ++i;
            lineStart = true;
            continue;
        }
        // A line beginning with a dot gets a second one, which the server
        // removes; a lone dot can therefore never end the data early.
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = false;
    }
    out += "\r\n.\r\n";
    return out;
}

std::string MimeComposer::AttachmentPart(const std::string& path)
{
    std::string part;
    size_t content = 0, contentEnd = 0;
    appendAttachmentPart(path, part, kBoundary, content, contentEnd);
    return part;
}

std::string MimeComposer::FreeBoundary(std::initializer_list<std::string_view> texts)
{
    auto free = [&](const std::string& boundary) {
        for (std::string_view text : texts)
            if (text.find(boundary) != std::string_view::npos)
                return false;
        return true;
    };
    std::string boundary = kBoundary;
    for (int n = 1; !free(boundary); ++n)
        boundary = std::string(kBoundary) + "_" + std::to_string(n);
    return boundary;
}

void MimeComposer::appendAttachmentPart(const std::string& path, std::string& message, std::string_view boundary,
                                        size_t& content, size_t& contentEnd)
{
    std::string name = path;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    name = vb::Trim(oneLine(name));

    const std::string delimiter = std::string(kCrLf) + "--" + std::string(boundary) + kCrLf;
    const std::string head = "Content-Type: application/octet-stream; name=Mimefilename\r\n"
                             "Content-Transfer-Encoding: base64\r\n"
                             "Content-Disposition: attachment; " +
                             fileNameParameter(name) + kCrLf + kCrLf;
    const std::string tail = std::string(kCrLf) + "--" + std::string(boundary) + "--" + kCrLf;

    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        vb::Raise(vb::kErrFileNotFound);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        vb::Raise(vb::kErrPathFileAccess);
    const uintmax_t size = std::filesystem::file_size(path, ec);

    bool skip = false;
    const std::string app = vb::App::Title();
    if (!ec && size > kLargeAttachment && vb::GetSetting(app, "Settings", "Too big") != "True") {
        const double mb = std::floor(static_cast<double>(size) / 1048576.0 * 100.0 + 0.5) / 100.0;
        const std::string question =
            "The current file is " + vb::CStr(vb::Variant(mb)) +
            " MB of size, extracting from it could take a few minutes, Click Yes to go ahead, No to skip it or "
            "Cancel if you don't want to get this message again";
        switch (forms::MsgBox(question, forms::vbYesNoCancel)) {
        case forms::vbNo: skip = true; break;
        case forms::vbCancel: vb::SaveSetting(app, "Settings", "Too big", "True"); break;
        default: break;
        }
    }

    message += delimiter;
    content = message.size();
    message += head;
    // An unreadable file raises: the message is never sent in part.
    if (!skip)
        Base64().AppendMimeLines(file, ec ? 0 : static_cast<size_t>(size), message, [] { vb::DoEvents(); });
    contentEnd = message.size();
    message += tail;
}

std::string MimeComposer::ComposeMessage(const MailContent& mail, vb::Date now)
{
    std::string m;
    auto line = [&m](std::string_view s) {
        m += foldedHeader(s);
        m += kCrLf;
    };

    // Long lists fold between addresses.
    std::string to;
    size_t col = 4; // after "To: "
    for (const std::string& r : mail.to) {
        if (!to.empty()) {
            if (col + 2 + r.size() > 76) {
                to += ",\r\n ";
                col = 1;
            } else {
                to += ", ";
                col += 2;
            }
        }
        to += r;
        col += r.size();
    }

    line("From: " + FormatAddress(mail.from, 6));
    line("To: " + to);
    line("Date: " + MailDate(now, LocalUtcOffset(now)));
    line("Subject: " + HeaderText(mail.subject, 9));

    std::string body = NormaliseLineEnds(vb::Trim(mail.body));
    const bool quoted = NeedsQuotedPrintable(body);
    if (quoted)
        body = QuotedPrintable(body);

    if (!mail.hasAttachment) {
        std::string subtype = vb::LCase(vb::Trim(mail.contentSubtype));
        if (subtype.empty() || subtype.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-+.") != std::string::npos)
            subtype = "plain";
        line("Mime-Version: 1.0");
        line("Content-Type: text/" + subtype + "; charset=utf-8");
        if (quoted)
            line("Content-Transfer-Encoding: quoted-printable");
        line("X-Mailer: " + mailerText());
        line("");
        m += body;
        return m;
    }

    // A line of a part that reads as the boundary would split the message
    // there: the boundary is one that neither the body nor the attachment's
    // text holds.
    const std::string top = m;
    auto multipart = [&](std::string_view boundary) {
        m = top;
        line("X-Mailer: " + mailerText());
        line("Mime-Version: 1.0");
        line("Content-Type: multipart/mixed; boundary=" + std::string(boundary));
        line("Content-Transfer-Encoding: 7bit");
        line("");
        line("This is a multi-part message in MIME format.");
        line("");
        line("--" + std::string(boundary));
        if (quoted) {
            line("Content-Type: text/plain; charset=utf-8");
            line("Content-Transfer-Encoding: quoted-printable");
        }
        line("");
        m += body;
    };
    std::string boundary = FreeBoundary({body});
    multipart(boundary);
    size_t content = 0, contentEnd = 0;
    appendAttachmentPart(mail.attachmentPath, m, boundary, content, contentEnd);
    const std::string_view attachment = std::string_view(m).substr(content, contentEnd - content);
    if (attachment.find(boundary) == std::string_view::npos)
        return m;
    // The attachment's text is known only now; the rare message whose text
    // holds the boundary is put together again around another one.
    const std::string part(attachment);
    boundary = FreeBoundary({body, part});
    multipart(boundary);
    m += std::string(kCrLf) + "--" + boundary + kCrLf;
    m += part;
    m += std::string(kCrLf) + "--" + boundary + "--" + kCrLf;
    return m;
}
