// "Test Connection" against a real SMTP server: the message goes to the
// server just typed, from the sender just typed, to the address box; success
// is shown only after the server took it; a refused recipient and a dead port
// show the sender's own messages and no success.

#include "program/shell/frmOptions.h"

#include "platform/net/Winsock.h"
#include "program/reports/frmMain_SendEmail.h"
#include "program/reports/testdata/MailTestSupport.h"
#include "program/shell/OptionsTestSupport.h"

#include <QJsonArray>
#include <QTest>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

class TestConnection : public tv::testing::OptionsFixture {
protected:
    void SetUp() override
    {
        OptionsFixture::SetUp();
        std::filesystem::create_directories(out);
        ASSERT_NE(server.Port(), 0) << "the SMTP sink did not start (python3-aiosmtpd installed?)";
        vb::SetEndpointMap([this](const vb::Endpoint& e) {
            asked.push_back(e);
            return vb::Endpoint{"127.0.0.1", port};
        });
        start();
        form = &open();
        form->SmartTabStrip.Choose("EMAIL");
    }

    void TearDown() override
    {
        vb::SetEndpointMap(nullptr);
        OptionsFixture::TearDown();
    }

    std::vector<std::string> successes() const
    {
        std::vector<std::string> shown;
        for (const auto& r : mbox->shown)
            if (r.prompt == frmOptions::kTestSent)
                shown.push_back(r.prompt);
        return shown;
    }

    std::filesystem::path out = root.Path() / "sink";
    mailtest::RealSmtpServer server{out};
    uint16_t port = server.Port();
    std::vector<vb::Endpoint> asked;
    frmOptions* form = nullptr;
};

TEST_F(TestConnection, SuccessIsShownOnceTheServerJustTypedTookTheMessage)
{
    form->txtSMTPMailServer.SetText("mail.example.com");
    form->txtOrigEmail.SetText("office@example.com");
    form->txtFromEMail.SetText("Lease Office");
    QTest::mouseClick(form->Lumvex1.Window(), Qt::LeftButton);

    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].host, "mail.example.com");
    EXPECT_EQ(asked[0].port, SmtpSender::kSmtpPort);
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(mbox->shown[0].prompt, frmOptions::kTestSent);
    EXPECT_EQ(mbox->shown[0].colorScheme, 4);
    EXPECT_EQ(mbox->shown[0].buttonSet, 0);
    EXPECT_EQ(mbox->shown[0].iconIndex, 10);
    EXPECT_TRUE(msgbox->shown.empty());

    const QJsonObject m = server.Message(1);
    ASSERT_FALSE(m.isEmpty());
    EXPECT_EQ(m["rcpt_tos"].toArray(), QJsonArray({"office@example.com"}));
    EXPECT_EQ(m["mail_from"].toString(), "office@example.com");
    EXPECT_EQ(m["from_name"].toString(), "Lease Office");
    EXPECT_EQ(m["subject"].toString(), "Test Message");
    EXPECT_EQ(m["parts"].toArray().at(0).toObject()["text"].toString(),
              "If you receive this e-mail the connection was properly made.\n");

    // Another server typed is the next one asked.
    form->txtSMTPMailServer.SetText("smtp.example.org");
    form->Lumvex1.Click.Raise();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].host, "smtp.example.org");
    EXPECT_EQ(successes().size(), 2u);
}

TEST_F(TestConnection, ARefusedRecipientShowsNoSuccess)
{
    form->txtSMTPMailServer.SetText("mail.example.com");
    form->txtOrigEmail.SetText("office@refused.invalid");
    form->Lumvex1.Click.Raise();
    EXPECT_TRUE(successes().empty());
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_NE(msgbox->shown[0].prompt.find("550"), std::string::npos) << msgbox->shown[0].prompt;
    EXPECT_TRUE(server.Message(1).isEmpty());
}

TEST_F(TestConnection, ADeadPortShowsNoSuccess)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    port = closed.serverPort();
    closed.close();
    form->txtSMTPMailServer.SetText("mail.example.com");
    form->txtOrigEmail.SetText("office@example.com");
    form->Lumvex1.Click.Raise();
    EXPECT_TRUE(successes().empty());
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(mbox->shown[0].prompt, SmtpSender::kFailedToSend);
}

} // namespace
