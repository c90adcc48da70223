// The SMTP dialogue against a scripted in-process server (the order of
// commands, every refusal and failure, replies split or spread over lines,
// re-entry), and against a real SMTP server whose messages a standard mail
// parser reads back.

#include "program/reports/frmMain_SendEmail.h"

#include "program/reports/testdata/MailTestSupport.h"
#include "program/services/ShellState.h"

#include "platform/basic/App.h"
#include "platform/testing/TempRoot.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace {

using mailtest::PumpUntil;

class SmtpSenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tv::ResetShellState();
        tv::Shell().g_SMTPMailServer = "mail.example.com";
        tv::Shell().g_OriginatorsName = "Lease Office";
        tv::Shell().g_OriginatorsEmail = "office@example.com";
        vb::SetEndpointMap([this](const vb::Endpoint& e) {
            asked = e;
            return vb::Endpoint{"127.0.0.1", server.Port()};
        });
    }
    void TearDown() override
    {
        EXPECT_EQ(sender.Winsock1.State(), vb::sckClosed);
        vb::SetEndpointMap(nullptr);
        vb::SetClock(nullptr);
        tv::ResetShellState();
    }

    long send(const std::string& to = "a@x.org", const std::string& body = "Hello")
    {
        return sender.SendEmail("Subject", body, to, false, "", "plain");
    }
    std::vector<std::string> dialogue(std::vector<std::string> rcpts, bool data = true)
    {
        std::vector<std::string> d = {"HELO mail.example.com", "MAIL FROM:<office@example.com>"};
        for (const auto& r : rcpts)
            d.push_back("RCPT TO:<" + r + ">");
        if (data)
            d.push_back("DATA");
        d.push_back("QUIT");
        return d;
    }
    static std::string badCode(const std::string& expected, const std::string& got)
    {
        return SmtpSender::kBadCode + expected + " Code recieved: " + got;
    }

    tv::testing::TempRoot root;
    mailtest::ScriptedSmtpServer server;
    mailtest::ScriptedBoxes boxes;
    SmtpSender sender;
    vb::Endpoint asked;
};

TEST_F(SmtpSenderTest, DialogueInOrderToPort25AndSocketClosedAfter)
{
    EXPECT_EQ(send("a@x.org;b@y.org"), SmtpSender::kSent);
    EXPECT_EQ(asked.host, "mail.example.com");
    EXPECT_EQ(asked.port, 25);
    EXPECT_EQ(server.commands, dialogue({"a@x.org", "b@y.org"}));
    EXPECT_NE(server.data.find("\r\nSubject: Subject\r\n"), std::string::npos);
    EXPECT_TRUE(server.data.ends_with("\r\n\r\nHello\r\n.\r\n"));
    EXPECT_TRUE(boxes.informed().empty());
    EXPECT_TRUE(boxes.failed().empty());
    EXPECT_TRUE(PumpUntil([&] { return server.clientGone; }));

    // The same sender goes again.
    EXPECT_EQ(send(), SmtpSender::kSent);
    EXPECT_EQ(server.connections, 2);
}

TEST_F(SmtpSenderTest, RecipientsTrimmedEmptySkippedMalformedRefused)
{
    EXPECT_EQ(send(" a@x.org ;;  ; <b@y.org>;c d@z.org;\te@w.org\t;f@v.org,g@u.org;"), SmtpSender::kSent);
    EXPECT_EQ(server.commands, dialogue({"a@x.org", "e@w.org"}));
    EXPECT_EQ(boxes.informed(),
              (std::vector<std::string>{std::string(SmtpSender::kBadRecipient) + "<b@y.org>",
                                        std::string(SmtpSender::kBadRecipient) + "c d@z.org",
                                        std::string(SmtpSender::kBadRecipient) + "f@v.org,g@u.org"}));
    EXPECT_NE(server.data.find("\r\nTo: a@x.org, e@w.org\r\n"), std::string::npos);

    // Nothing to send to: no connection, and blanks alone say nothing.
    boxes.clear();
    EXPECT_EQ(send("   "), SmtpSender::kFailed);
    EXPECT_EQ(send(" ; ;"), SmtpSender::kFailed);
    EXPECT_TRUE(boxes.informed().empty());
    EXPECT_EQ(send("<x@y.org>"), SmtpSender::kFailed);
    EXPECT_EQ(boxes.informed().size(), 1u);
    EXPECT_EQ(server.connections, 1);
}

TEST_F(SmtpSenderTest, EnvelopeSenderFallsBackToNameAtServer)
{
    tv::Shell().g_OriginatorsEmail = " ";
    tv::Shell().g_OriginatorsName = "John Q Public";
    EXPECT_EQ(send(), SmtpSender::kSent);
    EXPECT_EQ(server.commands.at(1), "MAIL FROM:<JohnQPublic@mail.example.com>");
    EXPECT_NE(server.data.find("From: John Q Public <JohnQPublic@mail.example.com>\r\n"), std::string::npos);

    EXPECT_EQ(SmtpSender::EnvelopeSender(" me@x.org ", "Name", "srv"), "me@x.org");
    EXPECT_EQ(SmtpSender::EnvelopeSender("not an address", "A <B>", "srv"), "AB@srv");
}

TEST_F(SmtpSenderTest, OneValidSenderAddressServesEnvelopeAndHeader)
{
    struct Case {
        const char *email, *name, *server, *expected;
    };
    const Case cases[] = {
        // A usable address of the settings is kept.
        {" me@x.org ", "Name", "srv", "me@x.org"},
        {"first.last+tag@sub.example.co", "Name", "srv", "first.last+tag@sub.example.co"},
        // Anything a strict server refuses is replaced by one made of the name.
        {" ", "Dr. Jane (Sales) M\xc3\xbcller", "mail.example.com", "Dr.JaneSalesMller@mail.example.com"},
        {"jane(x)@y.org", "Jane", "mail.example.com", "Jane@mail.example.com"},
        {"j\xc3\xb6@x.org", "Jo", "mail.example.com", "Jo@mail.example.com"},
        {"a..b@x.org", "Al Q.", "mail.example.com", "AlQ@mail.example.com"},
        {".a@x.org", "..Al..Bo..", "mail.example.com", "Al.Bo@mail.example.com"},
        {"a@x..org", "Al", "mail.example.com", "Al@mail.example.com"},
        {"a@-x.org", "Al", "mail.example.com", "Al@mail.example.com"},
        {"nobody", "Al", "mail.example.com", "Al@mail.example.com"},
        // A name with nothing an address can hold, a server given by number.
        {"", "\xe6\x9d\x8e\xe9\x9b\xb7", "mail.example.com", "tallyvane@mail.example.com"},
        {"", "Al", "127.0.0.1", "Al@[127.0.0.1]"},
        {"", "Al", "mail_host", "Al@localhost"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SmtpSender::EnvelopeSender(c.email, c.name, c.server), c.expected) << c.email << " / " << c.name;

    tv::Shell().g_OriginatorsEmail = "";
    tv::Shell().g_OriginatorsName = "Dr. Jane (Sales) M\xc3\xbcller";
    EXPECT_EQ(send(), SmtpSender::kSent);
    EXPECT_EQ(server.commands.at(1), "MAIL FROM:<Dr.JaneSalesMller@mail.example.com>");
    const std::string headers = server.data.substr(0, server.data.find("\r\n\r\n"));
    const size_t from = headers.find("From: ");
    ASSERT_NE(from, std::string::npos);
    EXPECT_NE(headers.find("<Dr.JaneSalesMller@mail.example.com>\r\n", from), std::string::npos) << headers;
}

TEST_F(SmtpSenderTest, AddressesBeyondAsciiAreRefused)
{
    // The dialogue asks for no 8-bit mail: such an address cannot travel.
    EXPECT_EQ(send("j\xc3\xb6rg@x.org; a@x.org; b@m\xc3\xbcller.de"), SmtpSender::kSent);
    EXPECT_EQ(server.commands, dialogue({"a@x.org"}));
    EXPECT_EQ(boxes.informed(), (std::vector<std::string>{std::string(SmtpSender::kBadRecipient) + "j\xc3\xb6rg@x.org",
                                                          std::string(SmtpSender::kBadRecipient) + "b@m\xc3\xbcller.de"}));
}

// An address longer than a server takes (RFC 5321: a local part of 64, a
// path of 256 with its brackets) is refused before sending, as an address
// beyond ASCII is, and no line of the message passes what mail allows.
TEST_F(SmtpSenderTest, AddressesLongerThanAServerTakesAreRefusedBeforeSending)
{
    const std::string tooLong = std::string(1094, 'x') + "@x.org";
    const std::string longLocal = std::string(65, 'l') + "@x.org";
    const std::string longest =
        std::string(64, 'l') + "@" + std::string(60, 'd') + "." + std::string(60, 'd') + "." + std::string(63, 'd') + ".org";
    ASSERT_EQ(longest.size(), 254u);
    EXPECT_EQ(send(tooLong + ";a@x.org;" + longLocal + ";" + longest), SmtpSender::kSent);
    EXPECT_EQ(server.commands, dialogue({"a@x.org", longest}));
    EXPECT_EQ(boxes.informed(), (std::vector<std::string>{std::string(SmtpSender::kBadRecipient) + tooLong,
                                                          std::string(SmtpSender::kBadRecipient) + longLocal}));
    size_t start = 0;
    for (size_t end; (end = server.data.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 998u) << server.data.substr(start, 60);
    EXPECT_EQ(server.data.find(tooLong), std::string::npos);

    // Nothing left to send to: nothing sent.
    boxes.clear();
    EXPECT_EQ(send(tooLong), SmtpSender::kFailed);
    EXPECT_EQ(boxes.informed(), std::vector<std::string>{std::string(SmtpSender::kBadRecipient) + tooLong});
    EXPECT_EQ(server.connections, 1);
}

TEST_F(SmtpSenderTest, SilentServerTimesOutWithoutHangingLaterSends)
{
    vb::SetClock(std::make_shared<mailtest::FastClock>());
    server.greeting.clear();
    EXPECT_EQ(send(), SmtpSender::kFailed);
    EXPECT_EQ(boxes.informed(), std::vector<std::string>{SmtpSender::kTimedOut});
    EXPECT_EQ(boxes.msgBox->shown.at(0).buttons, forms::vbInformation);
    EXPECT_TRUE(server.commands.empty());
    EXPECT_TRUE(boxes.failed().empty());

    vb::SetClock(nullptr);
    server.greeting = {"220 back\r\n"};
    EXPECT_EQ(send(), SmtpSender::kSent);
    EXPECT_EQ(server.connections, 2);
}

TEST_F(SmtpSenderTest, RefusalAtGreetingMailDataOrEndOfDataStopsAndQuits)
{
    struct Case {
        std::string key, expected;
        std::vector<std::string> commands;
        bool dataSent;
    };
    const std::vector<Case> cases = {
        {"greeting", "220", {"QUIT"}, false},
        {"HELO", "250", {"HELO mail.example.com", "QUIT"}, false},
        {"MAIL", "250", {"HELO mail.example.com", "MAIL FROM:<office@example.com>", "QUIT"}, false},
        {"DATA", "354", dialogue({"a@x.org"}), false},
        {".", "250", dialogue({"a@x.org"}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        mailtest::ScriptedSmtpServer refusing;
        vb::SetEndpointMap([&](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", refusing.Port()}; });
        if (c.key == "greeting")
            refusing.greeting = {"554 5.3.2 No service\r\n"};
        else
            refusing.replies[c.key] = {"554 5.7.1 Rejected\r\n"};
        boxes.clear();
        EXPECT_EQ(send(), SmtpSender::kFailed);
        const std::string got = c.key == "greeting" ? "554 5.3.2 No service" : "554 5.7.1 Rejected";
        EXPECT_EQ(boxes.informed(), std::vector<std::string>{badCode(c.expected, got)});
        EXPECT_EQ(refusing.commands, c.commands);
        EXPECT_EQ(!refusing.data.empty(), c.dataSent);
        EXPECT_TRUE(boxes.failed().empty());
        EXPECT_TRUE(PumpUntil([&] { return refusing.clientGone; }));
    }
}

TEST_F(SmtpSenderTest, RejectedRecipientLetsOthersThroughButNoneAcceptedFails)
{
    server.rcptReplies = {{"550 5.1.1 No such user\r\n"}, {"250 Ok\r\n"}};
    EXPECT_EQ(send("nobody@x.org;a@x.org"), SmtpSender::kSent);
    EXPECT_EQ(boxes.informed(), std::vector<std::string>{badCode("250", "550 5.1.1 No such user")});
    EXPECT_EQ(server.commands, dialogue({"nobody@x.org", "a@x.org"}));
    EXPECT_FALSE(server.data.empty());

    boxes.clear();
    server.data.clear();
    server.commands.clear();
    server.rcptReplies = {{"550 5.1.1 No such user\r\n"}, {"450 4.2.0 Try later\r\n"}};
    EXPECT_EQ(send("nobody@x.org;a@x.org"), SmtpSender::kFailed);
    EXPECT_EQ(boxes.informed().size(), 2u);
    EXPECT_EQ(server.commands, dialogue({"nobody@x.org", "a@x.org"}, false));
    EXPECT_TRUE(server.data.empty());
}

TEST_F(SmtpSenderTest, DroppedOrRefusedConnectionShowsTheFailureBox)
{
    for (const std::string at : {"MAIL", "DATA", "."}) {
        SCOPED_TRACE(at);
        mailtest::ScriptedSmtpServer dropping;
        vb::SetEndpointMap([&](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", dropping.Port()}; });
        dropping.dropAt = at;
        boxes.clear();
        EXPECT_EQ(send(), SmtpSender::kFailed);
        EXPECT_EQ(boxes.failed(), std::vector<std::string>{SmtpSender::kFailedToSend});
        EXPECT_TRUE(boxes.informed().empty());
        const MBoxMod::MBoxRequest& box = boxes.mbox->shown.at(0);
        EXPECT_EQ(box.colorScheme, 4);
        EXPECT_EQ(box.buttonSet, 0);
        EXPECT_EQ(box.iconIndex, 10);
        EXPECT_EQ(box.title, vb::App::Title());
        EXPECT_FALSE(box.showCheck);
        EXPECT_EQ(sender.Winsock1.State(), vb::sckClosed);
    }

    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const uint16_t dead = probe.serverPort();
    probe.close();
    vb::SetEndpointMap([dead](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", dead}; });
    boxes.clear();
    EXPECT_EQ(send(), SmtpSender::kFailed);
    EXPECT_EQ(boxes.failed(), std::vector<std::string>{SmtpSender::kFailedToSend});

    // No server set at all fails the same way, before any traffic.
    tv::Shell().g_SMTPMailServer = "";
    EXPECT_EQ(send(), SmtpSender::kFailed);
    EXPECT_EQ(boxes.failed().size(), 2u);
}

TEST_F(SmtpSenderTest, SplitAndMultiLineRepliesAreReadWhole)
{
    server.greeting = {"2", "20 test.local ESMTP\r\n"};
    server.replies["HELO"] = {"250-test.local Hello\r\n250-SIZE 1000", "0000\r\n250-8BITMIME\r", "\n250 HELP\r\n"};
    server.replies["MAIL"] = {"25", "0 Ok\r\n"};
    server.replies["DATA"] = {"354-Go on\r\n", "354 End with a dot\r\n"};
    size_t chunksBeforeMail = 0;
    server.onCommand = [&](const std::string& key) {
        if (key == "MAIL")
            chunksBeforeMail = server.chunksWritten;
    };
    EXPECT_EQ(send("a@x.org;b@y.org"), SmtpSender::kSent);
    // MAIL went out only after every piece of the greeting and the HELO reply.
    EXPECT_EQ(chunksBeforeMail, 5u);
    EXPECT_EQ(server.commands, dialogue({"a@x.org", "b@y.org"}));
    EXPECT_TRUE(boxes.informed().empty());
}

TEST_F(SmtpSenderTest, MessageLinesCannotEndTheDataOrBecomeCommands)
{
    const std::string body = "Intro\r\n.\r\n.\r\nQUIT\r\n.hidden\n.\nend";
    EXPECT_EQ(send("a@x.org", body), SmtpSender::kSent);
    EXPECT_EQ(server.commands, dialogue({"a@x.org"}));
    EXPECT_TRUE(server.data.ends_with("\r\n\r\nIntro\r\n..\r\n..\r\nQUIT\r\n..hidden\r\n..\r\nend\r\n.\r\n"));

    // A body in several pieces arrives whole, blanks at the piece edges included.
    std::string big;
    while (big.size() < 20000)
        big += "Rent line " + std::to_string(big.size()) + "  \r\n";
    big = "x" + big + "y";
    EXPECT_EQ(send("a@x.org", big), SmtpSender::kSent);
    EXPECT_NE(server.data.find("\r\n\r\n" + big + "\r\n.\r\n"), std::string::npos);
}

TEST_F(SmtpSenderTest, SecondSendWhileOneIsUnderWayIsRefusedAsBusy)
{
    long nested = -1;
    server.onCommand = [&](const std::string& key) {
        if (key == "DATA")
            nested = send("b@y.org");
    };
    EXPECT_EQ(send(), SmtpSender::kSent);
    EXPECT_EQ(nested, SmtpSender::kFailed);
    EXPECT_EQ(boxes.informed(), std::vector<std::string>{SmtpSender::kBusy});
    EXPECT_EQ(server.connections, 1);
}

TEST_F(SmtpSenderTest, UnreadableAttachmentFailsBeforeConnecting)
{
    EXPECT_EQ(sender.SendEmail("S", "B", "a@x.org", true, (root.ProgramFolder() / "gone.htm").string(), ""),
              SmtpSender::kFailed);
    EXPECT_EQ(boxes.failed(), std::vector<std::string>{SmtpSender::kFailedToSend});
    EXPECT_EQ(server.connections, 0);
}

// ---------------------------------------------------------------------------
// A real SMTP server (aiosmtpd) and Python's mail parser.

using mailtest::RealSmtpServer;

std::string str(const QJsonValue& v)
{
    return v.toString().toStdString();
}

TEST_F(SmtpSenderTest, RealServerReceivesPlainHtmlAndAttachmentMessages)
{
    const auto out = root.Path() / "sink";
    std::filesystem::create_directories(out);
    RealSmtpServer real(out);
    ASSERT_NE(real.Port(), 0) << "the SMTP sink did not start (python3-aiosmtpd installed?)";
    vb::SetEndpointMap([&](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", real.Port()}; });

    // 1. Plain text, with lines a server would take for the end of the data.
    const std::string plain = "If you receive this e-mail the connection was properly made.\r\n.\r\n..two\r\n.one";
    ASSERT_EQ(sender.SendEmail("Test Message", plain, "a@x.org; b@y.org", false, "", "plain"), SmtpSender::kSent);
    // 2. HTML beyond ASCII, on one line longer than a server takes.
    const std::string html = "<html><body><p>Grüße aus dem Büro</p>" + std::string(3000, 'w') + "</body></html>";
    ASSERT_EQ(sender.SendEmail("Miete für März", html, "a@x.org", false, "", "html"), SmtpSender::kSent);
    // 3. A binary attachment holding every byte value, lone dots and CR LF pairs.
    std::string bytes;
    std::mt19937 rng(3);
    for (int i = 0; i < 300000; ++i)
        bytes += static_cast<char>(i < 256 ? i : (i % 97 == 0 ? '.' : static_cast<int>(rng() & 255)));
    bytes += "\r\n.\r\n";
    const auto file = root.ProgramFolder() / "Base Rate.htm";
    std::ofstream(file, std::ios::binary) << bytes;
    const std::string body = "Tallyvane v1.0.0 automatic report generation\r\nReport : Base Rate\r\n\r\n"
                             "Please see attachment for report\r\n";
    ASSERT_EQ(sender.SendEmail("Base Rate", body, "c@z.org", true, file.string(), ""), SmtpSender::kSent);
    EXPECT_TRUE(boxes.informed().empty());
    EXPECT_TRUE(boxes.failed().empty());

    const QJsonObject m1 = real.Message(1);
    ASSERT_FALSE(m1.isEmpty());
    EXPECT_EQ(str(m1["helo"]), "mail.example.com");
    EXPECT_EQ(str(m1["mail_from"]), "office@example.com");
    EXPECT_EQ(m1["rcpt_tos"].toArray(), QJsonArray({"a@x.org", "b@y.org"}));
    EXPECT_EQ(m1["to"].toArray(), QJsonArray({"a@x.org", "b@y.org"}));
    EXPECT_EQ(str(m1["from_name"]), "Lease Office");
    EXPECT_EQ(str(m1["from_addr"]), "office@example.com");
    EXPECT_EQ(str(m1["subject"]), "Test Message");
    EXPECT_EQ(str(m1["x_mailer"]), "Merrowgate - Tallyvane");
    EXPECT_TRUE(m1["date"].isString()) << "Date header not readable";
    EXPECT_EQ(str(m1["content_type"]), "text/plain");
    EXPECT_TRUE(m1["defects"].toArray().isEmpty());
    const QJsonObject p1 = m1["parts"].toArray().at(0).toObject();
    // The message's last line end travels with the text.
    EXPECT_EQ(str(p1["text"]), "If you receive this e-mail the connection was properly made.\n.\n..two\n.one\n");

    const QJsonObject m2 = real.Message(2);
    ASSERT_FALSE(m2.isEmpty());
    EXPECT_EQ(str(m2["subject"]), "Miete für März");
    EXPECT_EQ(str(m2["content_type"]), "text/html");
    EXPECT_TRUE(m2["defects"].toArray().isEmpty());
    const QJsonObject p2 = m2["parts"].toArray().at(0).toObject();
    EXPECT_EQ(str(p2["charset"]), "utf-8");
    EXPECT_TRUE(str(p2["text"]) == html + "\n") << "the HTML body differs";

    const QJsonObject m3 = real.Message(3);
    ASSERT_FALSE(m3.isEmpty());
    EXPECT_TRUE(m3["is_multipart"].toBool());
    EXPECT_EQ(str(m3["content_type"]), "multipart/mixed");
    EXPECT_TRUE(m3["defects"].toArray().isEmpty());
    const QJsonArray parts = m3["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(str(parts[0].toObject()["content_type"]), "text/plain");
    EXPECT_EQ(str(parts[0].toObject()["text"]),
              "Tallyvane v1.0.0 automatic report generation\nReport : Base Rate\n\nPlease see attachment for report\n");
    const QJsonObject att = parts[1].toObject();
    EXPECT_EQ(str(att["content_type"]), "application/octet-stream");
    EXPECT_TRUE(att["is_attachment"].toBool());
    EXPECT_EQ(str(att["filename"]), "Base Rate.htm");
    EXPECT_EQ(att["size"].toInt(), static_cast<int>(bytes.size()));
    EXPECT_EQ(str(att["sha256"]),
              QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256).toHex().toStdString());
}

// A body holding a line that reads as the usual boundary arrives as it was
// sent, its attachment whole, at a real server read by a standard parser.
TEST_F(SmtpSenderTest, ABodyHoldingTheBoundaryLineArrivesAsSent)
{
    const auto out = root.Path() / "sink";
    std::filesystem::create_directories(out);
    RealSmtpServer real(out);
    ASSERT_NE(real.Port(), 0) << "the SMTP sink did not start (python3-aiosmtpd installed?)";
    vb::SetEndpointMap([&](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", real.Port()}; });

    const std::string attachment = "<html><body>Base Rate</body></html>";
    const auto file = root.ProgramFolder() / "Base Rate.htm";
    std::ofstream(file, std::ios::binary) << attachment;
    const std::string body = "Report : Base Rate\r\n--NextMimePart\r\nThis line is still the body.\r\n"
                             "--NextMimePart--\r\nSo is this one.";
    ASSERT_EQ(sender.SendEmail("Base Rate", body, "c@z.org", true, file.string(), ""), SmtpSender::kSent);
    EXPECT_TRUE(boxes.failed().empty());

    const QJsonObject m = real.Message(1);
    ASSERT_FALSE(m.isEmpty());
    EXPECT_TRUE(m["defects"].toArray().isEmpty());
    const QJsonArray parts = m["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    // The line end before the next delimiter belongs to the delimiter.
    EXPECT_EQ(str(parts[0].toObject()["text"]), QString::fromStdString(body).replace("\r\n", "\n").toStdString());
    const QJsonObject att = parts[1].toObject();
    EXPECT_EQ(str(att["filename"]), "Base Rate.htm");
    EXPECT_EQ(str(att["sha256"]), QCryptographicHash::hash(QByteArray::fromStdString(attachment),
                                                           QCryptographicHash::Sha256)
                                      .toHex()
                                      .toStdString());
}

} // namespace
