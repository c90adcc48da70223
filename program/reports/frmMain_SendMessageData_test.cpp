// The composed message byte for byte (both layouts), the DATA transparency,
// header safety, bodies that need quoting, and the attachment part with its
// size question.

#include "program/reports/frmMain_SendMessageData.h"

#include "program/reports/Base64.h"
#include "program/reports/testdata/MailTestSupport.h"

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/RuntimeError.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class MimeComposerTest : public ::testing::Test {
protected:
    void SetUp() override { vb::DeleteSetting(vb::App::Title(), "Settings"); }

    std::string writeFile(const std::string& name, const std::string& content)
    {
        const auto p = root.ProgramFolder() / name;
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }

    MailContent mail(bool attachment = false)
    {
        MailContent m;
        m.from = {"Lease Office", "office@example.com"};
        m.to = {"a@x.org", "b@y.org"};
        m.subject = "Base Rate";
        m.body = "  Line one\r\nLine two  ";
        m.hasAttachment = attachment;
        m.contentSubtype = "html";
        return m;
    }

    tv::testing::TempRoot root;
    mailtest::ScriptedBoxes boxes;
    MimeComposer composer;
    const vb::Date now = vb::DateSerial(2026, 12, 8);
};

TEST_F(MimeComposerTest, TextMessageLayout)
{
    const std::string date = MimeComposer::MailDate(now, MimeComposer::LocalUtcOffset(now));
    EXPECT_EQ(composer.ComposeMessage(mail(), now),
              "From: Lease Office <office@example.com>\r\n"
              "To: a@x.org, b@y.org\r\n"
              "Date: " + date + "\r\n"
              "Subject: Base Rate\r\n"
              "Mime-Version: 1.0\r\n"
              "Content-Type: text/html; charset=utf-8\r\n"
              "X-Mailer: Merrowgate - Tallyvane\r\n"
              "\r\n"
              "Line one\r\nLine two");
    // An unknown or empty subtype is plain text; a hostile one cannot add headers.
    MailContent m = mail();
    m.contentSubtype = "";
    EXPECT_NE(composer.ComposeMessage(m, now).find("Content-Type: text/plain; charset=utf-8\r\n"), std::string::npos);
    m.contentSubtype = "html\r\nBcc: x@evil";
    EXPECT_NE(composer.ComposeMessage(m, now).find("Content-Type: text/plain; charset=utf-8\r\n"), std::string::npos);
}

TEST_F(MimeComposerTest, AttachmentMessageLayout)
{
    MailContent m = mail(true);
    m.body = "Report : Base Rate\r\n";
    m.attachmentPath = writeFile("Base Rate.htm", std::string(100, 'z'));
    Base64::Bytes enc;
    Base64().EncodeB64(Base64::Bytes(100, 'z'), enc);
    const std::string b64(enc.begin(), enc.end());
    const std::string date = MimeComposer::MailDate(now, MimeComposer::LocalUtcOffset(now));
    EXPECT_EQ(composer.ComposeMessage(m, now),
              "From: Lease Office <office@example.com>\r\n"
              "To: a@x.org, b@y.org\r\n"
              "Date: " + date + "\r\n"
              "Subject: Base Rate\r\n"
              "X-Mailer: Merrowgate - Tallyvane\r\n"
              "Mime-Version: 1.0\r\n"
              "Content-Type: multipart/mixed; boundary=NextMimePart\r\n"
              "Content-Transfer-Encoding: 7bit\r\n"
              "\r\n"
              "This is a multi-part message in MIME format.\r\n"
              "\r\n"
              "--NextMimePart\r\n"
              "\r\n"
              "Report : Base Rate\r\n"
              "\r\n--NextMimePart\r\n"
              "Content-Type: application/octet-stream; name=Mimefilename\r\n"
              "Content-Transfer-Encoding: base64\r\n"
              "Content-Disposition: attachment; filename=\"Base Rate.htm\"\r\n"
              "\r\n" +
                  b64.substr(0, 76) + "\r\n" + b64.substr(76) +
                  "\r\n--NextMimePart--\r\n");
    EXPECT_EQ(b64.size(), 136u);
    EXPECT_TRUE(boxes.informed().empty());
}

// The boundary never occurs in what it separates: a body or an attachment
// holding it gets the boundary with a suffix, which the message then uses
// throughout.
TEST_F(MimeComposerTest, TheBoundaryIsOneThePartsDoNotHold)
{
    const auto boundaryOf = [](const std::string& message) {
        const std::string header = "Content-Type: multipart/mixed; boundary=";
        const size_t at = message.find(header);
        return at == std::string::npos ? std::string()
                                       : message.substr(at + header.size(),
                                                        message.find("\r\n", at) - at - header.size());
    };
    const auto delimiters = [](const std::string& message, const std::string& boundary) {
        int n = 0;
        for (size_t at = 0; (at = message.find("\r\n--" + boundary, at)) != std::string::npos; ++at)
            ++n;
        return n;
    };

    MailContent m = mail(true);
    m.attachmentPath = writeFile("Base Rate.htm", "<html></html>");
    m.body = "Report : Base Rate\r\n--NextMimePart\r\nstill the body";
    std::string message = composer.ComposeMessage(m, now);
    EXPECT_EQ(boundaryOf(message), "NextMimePart_1");
    EXPECT_EQ(delimiters(message, "NextMimePart_1"), 3); // text part, attachment, closing
    m.body = "--NextMimePart\r\n--NextMimePart_1--\r\n";
    message = composer.ComposeMessage(m, now);
    EXPECT_EQ(boundaryOf(message), "NextMimePart_2");
    EXPECT_EQ(delimiters(message, "NextMimePart_2"), 3);

    // Nine bytes whose base64 text is the boundary itself.
    const std::string decoded = "\x35\xEC\x6D\x32\x29\x9E\x3D\xAA\xED";
    Base64::Bytes enc;
    Base64().EncodeB64(Base64::Bytes(decoded.begin(), decoded.end()), enc);
    ASSERT_EQ(std::string(enc.begin(), enc.end()), "NextMimePart");
    m.body = "Report : Base Rate";
    m.attachmentPath = writeFile("Odd.bin", decoded);
    message = composer.ComposeMessage(m, now);
    EXPECT_EQ(boundaryOf(message), "NextMimePart_1");
    EXPECT_EQ(delimiters(message, "NextMimePart_1"), 3);
    EXPECT_NE(message.find("\r\n\r\nNextMimePart\r\n--NextMimePart_1--\r\n"), std::string::npos) << message;
    EXPECT_EQ(message.find("--NextMimePart\r\n"), std::string::npos);
}

TEST_F(MimeComposerTest, DataTransparencyDoublesLeadingDotsAndEndsOnce)
{
    EXPECT_EQ(MimeComposer::ToSmtpData("a\r\n.\r\nb"), "a\r\n..\r\nb\r\n.\r\n");
    // Two lone dots in a row: neither may end the data.
    EXPECT_EQ(MimeComposer::ToSmtpData("a\r\n.\r\n.\r\nb"), "a\r\n..\r\n..\r\nb\r\n.\r\n");
    EXPECT_EQ(MimeComposer::ToSmtpData(".first\r\n.foo\r\nx.y"), "..first\r\n..foo\r\nx.y\r\n.\r\n");
    // Bare line ends become CR LF, so "\n.\n" cannot pass as an end either.
    EXPECT_EQ(MimeComposer::ToSmtpData("a\n.\nb\rc"), "a\r\n..\r\nb\r\nc\r\n.\r\n");
    EXPECT_EQ(MimeComposer::ToSmtpData(""), "\r\n.\r\n");
}

TEST_F(MimeComposerTest, HeaderValuesStayOnOneLineAndReadable)
{
    MailContent m = mail();
    m.subject = "Hello\r\nBcc: victim@x.org";
    m.from.name = "Evil\nTo: x";
    const std::string msg = composer.ComposeMessage(m, now);
    EXPECT_NE(msg.find("Subject: Hello  Bcc: victim@x.org\r\n"), std::string::npos);
    EXPECT_EQ(msg.find("\nBcc"), std::string::npos);
    EXPECT_EQ(msg.find("\nTo: x"), std::string::npos);

    EXPECT_EQ(MimeComposer::FormatAddress({"John Q. Public", "j@x.org"}), "\"John Q. Public\" <j@x.org>");
    EXPECT_EQ(MimeComposer::FormatAddress({"Say \"hi\"", "j@x.org"}), "\"Say \\\"hi\\\"\" <j@x.org>");
    EXPECT_EQ(MimeComposer::FormatAddress({"", "j@x.org"}), "<j@x.org>");
    EXPECT_EQ(MimeComposer::FormatAddress({"Zoë", "z@x.org"}), "=?utf-8?B?Wm/Dqw==?= <z@x.org>");

    // Text beyond ASCII becomes encoded words of whole characters, folded.
    std::string longSubject;
    for (int i = 0; i < 40; ++i)
        longSubject += "Miete für März ";
    const std::string h = MimeComposer::HeaderText(longSubject);
    std::string joined;
    size_t pos = 0;
    while (pos < h.size()) {
        size_t end = h.find("\r\n ", pos);
        const std::string word = h.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        ASSERT_LE(word.size(), 75u);
        ASSERT_EQ(word.rfind("=?utf-8?B?", 0), 0u);
        const std::string b64 = word.substr(10, word.size() - 12);
        Base64::Bytes dec;
        Base64().DecodeB64(Base64::Bytes(b64.begin(), b64.end()), dec);
        // Every word holds whole UTF-8 characters.
        ASSERT_NE(dec.front() & 0xC0, 0x80);
        joined.append(dec.begin(), dec.end());
        pos = end == std::string::npos ? h.size() : end + 3;
    }
    EXPECT_EQ(joined, longSubject);

    EXPECT_EQ(MimeComposer::MailDate(vb::DateSerial(2026, 12, 8), 3600).substr(0, 16), "Tue, 08 Dec 2026");
    EXPECT_EQ(MimeComposer::MailDate(vb::Date::FromSerial(vb::DateSerial(2026, 1, 2).Serial() + 0.5), -19800),
              "Fri, 02 Jan 2026 12:00:00 -0530");
    EXPECT_EQ(MimeComposer::MailDate(vb::DateSerial(2026, 12, 8), 0), "Tue, 08 Dec 2026 00:00:00 +0000");
}

// No header line passes the 998 characters mail allows: long lists fold
// between their addresses, and a run that cannot be folded is never sent.
TEST_F(MimeComposerTest, NoHeaderLineIsLongerThanMailAllows)
{
    MailContent m = mail();
    m.to.clear();
    for (int i = 0; i < 60; ++i)
        m.to.push_back(std::string(40, static_cast<char>('a' + i % 26)) + std::to_string(i) + "@example.com");
    const std::string msg = composer.ComposeMessage(m, now);
    const std::string headers = msg.substr(0, msg.find("\r\n\r\n") + 2);
    size_t start = 0;
    for (size_t end; (end = headers.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 998u) << headers.substr(start, 60);
    EXPECT_NE(headers.find(m.to.back()), std::string::npos);

    m.to = {"a@x.org", std::string(1100, 'x') + "@x.org"};
    try {
        composer.ComposeMessage(m, now);
        ADD_FAILURE() << "a header line longer than mail allows was composed";
    } catch (const vb::RuntimeError& e) {
        EXPECT_NE(e.Description().find("998"), std::string::npos) << e.Description();
    }
}

TEST_F(MimeComposerTest, HeadersBeyondAsciiFoldWithinSeventySixCharacters)
{
    MailContent m = mail();
    std::string subject;
    for (int i = 0; i < 12; ++i)
        subject += "Miete f\xc3\xbcr M\xc3\xa4rz ";
    for (const std::string& s : {subject, std::string("\xc3\xa4"), std::string(70, 'x') + "\xc3\xa4"}) {
        m.subject = s;
        m.from.name = "Zo\xc3\xab \xc3\x9cnal-" + std::string(60, 'y');
        const std::string msg = composer.ComposeMessage(m, now);
        const std::string headers = msg.substr(0, msg.find("\r\n\r\n"));
        size_t start = 0;
        std::string subjectLines;
        bool inSubject = false;
        while (start <= headers.size()) {
            size_t end = headers.find("\r\n", start);
            if (end == std::string::npos)
                end = headers.size();
            const std::string lineText = headers.substr(start, end - start);
            EXPECT_LE(lineText.size(), 76u) << lineText;
            if (lineText.starts_with("Subject: "))
                inSubject = true;
            else if (!lineText.starts_with(" "))
                inSubject = false;
            if (inSubject)
                subjectLines += lineText + "\n";
            start = end + 2;
        }
        // The words read back as the subject, character for character.
        std::string decoded;
        for (size_t at = subjectLines.find("=?utf-8?B?"); at != std::string::npos;
             at = subjectLines.find("=?utf-8?B?", at)) {
            const size_t close = subjectLines.find("?=", at + 10);
            ASSERT_NE(close, std::string::npos);
            const std::string b64 = subjectLines.substr(at + 10, close - at - 10);
            Base64::Bytes bytes;
            Base64().DecodeB64(Base64::Bytes(b64.begin(), b64.end()), bytes);
            decoded.append(bytes.begin(), bytes.end());
            at = close + 2;
        }
        EXPECT_EQ(decoded, s);
    }
}

TEST_F(MimeComposerTest, BodiesBeyondAsciiOrWithLongLinesTravelQuotedPrintable)
{
    EXPECT_FALSE(MimeComposer::NeedsQuotedPrintable("plain\r\n" + std::string(998, 'x')));
    EXPECT_TRUE(MimeComposer::NeedsQuotedPrintable(std::string(999, 'x')));
    EXPECT_TRUE(MimeComposer::NeedsQuotedPrintable("Grüße"));

    const std::string qp = MimeComposer::QuotedPrintable("Grüße = 100%  \r\n" + std::string(200, 'y') + " ");
    EXPECT_EQ(qp.substr(0, 30), "Gr=C3=BC=C3=9Fe =3D 100% =20\r\n");
    size_t start = 0;
    while (start < qp.size()) {
        const size_t end = qp.find("\r\n", start);
        const size_t len = (end == std::string::npos ? qp.size() : end) - start;
        EXPECT_LE(len, 76u);
        start = end == std::string::npos ? qp.size() : end + 2;
    }
    EXPECT_EQ(qp.substr(qp.size() - 3), "=20"); // a blank at the very end is kept visible

    MailContent m = mail();
    m.body = "<html>" + std::string(5000, 'h') + "</html>";
    const std::string msg = composer.ComposeMessage(m, now);
    EXPECT_NE(msg.find("Content-Transfer-Encoding: quoted-printable\r\n"), std::string::npos);
    MailContent a = mail(true);
    a.body = "Prüfbericht";
    a.attachmentPath = writeFile("r.htm", "x");
    EXPECT_NE(composer.ComposeMessage(a, now).find("--NextMimePart\r\nContent-Type: text/plain; charset=utf-8\r\n"
                                                   "Content-Transfer-Encoding: quoted-printable\r\n\r\nPr=C3=BCfbericht"),
              std::string::npos);
}

TEST_F(MimeComposerTest, AttachmentNamesEmptyFilesAndUnreadableFiles)
{
    const std::string empty = writeFile("empty.bin", "");
    EXPECT_EQ(composer.AttachmentPart(empty),
              "\r\n--NextMimePart\r\n"
              "Content-Type: application/octet-stream; name=Mimefilename\r\n"
              "Content-Transfer-Encoding: base64\r\n"
              "Content-Disposition: attachment; filename=\"empty.bin\"\r\n"
              "\r\n"
              "\r\n--NextMimePart--\r\n");

    // A name with folders of either kind, or none, keeps only the file's name.
    const std::string plain = writeFile("plain.htm", "abc");
    EXPECT_NE(composer.AttachmentPart(plain).find("filename=\"plain.htm\"\r\n\r\nYWJj\r\n"), std::string::npos);
    const std::string odd = writeFile("a\\b\\ Quote\"d .htm", "abc");
    EXPECT_NE(composer.AttachmentPart(odd).find("filename=\"Quote\\\"d .htm\"\r\n"), std::string::npos);
    const std::string umlaut = writeFile("Übersicht.htm", "abc");
    EXPECT_NE(composer.AttachmentPart(umlaut).find("filename*=utf-8''%C3%9Cbersicht.htm\r\n"), std::string::npos);

    try {
        composer.AttachmentPart((root.ProgramFolder() / "missing.htm").string());
        FAIL() << "a missing file was attached";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::kErrFileNotFound);
    }
    EXPECT_THROW(composer.AttachmentPart(root.ProgramFolder().string()), vb::RuntimeError);

    // A file that fails while it is read raises, and no message comes of it.
    const std::string failing = "/proc/self/mem"; // a read at its start fails
    try {
        composer.AttachmentPart(failing);
        FAIL() << "a file that could not be read was attached";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::kErrDeviceIO);
    }
    MailContent m = mail(true);
    m.attachmentPath = failing;
    EXPECT_THROW(composer.ComposeMessage(m, now), vb::RuntimeError);
}

TEST_F(MimeComposerTest, AttachmentOverSeveralBlocksIsTheWholeFileInLines)
{
    std::string content(2 * Base64::kStreamBlock + 100, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7919 % 251);
    const std::string part = composer.AttachmentPart(writeFile("blocks.bin", content));
    Base64::Bytes lines;
    Base64().EncodeB64Lines(76, Base64::Bytes(content.begin(), content.end()), lines);
    EXPECT_EQ(part, "\r\n--NextMimePart\r\n"
                    "Content-Type: application/octet-stream; name=Mimefilename\r\n"
                    "Content-Transfer-Encoding: base64\r\n"
                    "Content-Disposition: attachment; filename=\"blocks.bin\"\r\n"
                    "\r\n" +
                        std::string(lines.begin(), lines.end()) + "\r\n--NextMimePart--\r\n");
}

TEST_F(MimeComposerTest, LargeAttachmentQuestionAndDoNotAskAgain)
{
    const std::string big = writeFile("big.bin", std::string(3 * 1048576, 'q'));
    const std::string question =
        "The current file is 3 MB of size, extracting from it could take a few minutes, Click Yes to go ahead, No "
        "to skip it or Cancel if you don't want to get this message again";

    boxes.msgBox->answers = {forms::vbNo};
    const std::string skipped = composer.AttachmentPart(big);
    ASSERT_EQ(boxes.informed(), std::vector<std::string>{question});
    EXPECT_EQ(boxes.msgBox->shown.at(0).buttons, forms::vbYesNoCancel);
    EXPECT_TRUE(skipped.ends_with("filename=\"big.bin\"\r\n\r\n\r\n--NextMimePart--\r\n"));

    boxes.msgBox->answers = {forms::vbYes};
    const std::string sent = composer.AttachmentPart(big);
    EXPECT_EQ(boxes.informed().size(), 2u);
    EXPECT_GT(sent.size(), 4u * 1048576);
    EXPECT_EQ(vb::GetSetting(vb::App::Title(), "Settings", "Too big"), "");

    boxes.msgBox->answers = {forms::vbCancel};
    EXPECT_EQ(composer.AttachmentPart(big), sent);
    EXPECT_EQ(vb::GetSetting(vb::App::Title(), "Settings", "Too big"), "True");
    composer.AttachmentPart(big);
    EXPECT_EQ(boxes.informed().size(), 3u); // not asked again

    // 2.5 MB shows its fraction; exactly 2 MB is not asked about.
    vb::DeleteSetting(vb::App::Title(), "Settings");
    composer.AttachmentPart(writeFile("two.bin", std::string(2097152, 'q')));
    EXPECT_EQ(boxes.informed().size(), 3u);
    composer.AttachmentPart(writeFile("half.bin", std::string(2621440, 'q')));
    ASSERT_EQ(boxes.informed().size(), 4u);
    EXPECT_EQ(boxes.informed().back().substr(0, 27), "The current file is 2.5 MB ");
}

} // namespace
