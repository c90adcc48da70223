// Replies taken off the front of what a mail server sent: whole multi-line
// replies only, the rest kept, and a peer that never ends a reply refused.

#include "program/reports/SmtpReply.h"

#include "platform/basic/RuntimeError.h"
#include "platform/net/Winsock.h"

#include <gtest/gtest.h>

TEST(SmtpReply, MultiLineRepliesAreTakenWholeOnceTheirLastLineArrives)
{
    std::string buffer = "250-mail.example.com\r\n250-SIZE 1000\r\n250 O";
    EXPECT_EQ(TakeSmtpReply(buffer, 65536), std::nullopt);
    buffer += "K\r\n354 go ahead\r\n22";
    auto reply = TakeSmtpReply(buffer, 65536);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->code, "250");
    EXPECT_EQ(reply->text, "250-mail.example.com\r\n250-SIZE 1000\r\n250 OK\r\n");
    reply = TakeSmtpReply(buffer, 65536);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->code, "354");
    EXPECT_EQ(buffer, "22");
    EXPECT_EQ(TakeSmtpReply(buffer, 65536), std::nullopt);

    // A bare LF ends a line; a line too short to continue ends the reply,
    // an empty one with an empty code.
    buffer = "25\n\n250-\n";
    EXPECT_EQ(TakeSmtpReply(buffer, 65536)->code, "25");
    EXPECT_EQ(TakeSmtpReply(buffer, 65536)->code, "");
    EXPECT_EQ(TakeSmtpReply(buffer, 65536), std::nullopt);
    EXPECT_EQ(buffer, "250-\n");
}

TEST(SmtpReply, APeerThatNeverEndsAReplyIsRefused)
{
    std::string buffer(40, 'x');
    EXPECT_EQ(TakeSmtpReply(buffer, 40), std::nullopt);
    buffer += "x";
    try {
        TakeSmtpReply(buffer, 40);
        ADD_FAILURE() << "no error raised";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::sckSocketError);
    }
    // Continuation lines count towards the limit; a reply that is complete
    // is taken whatever its length.
    buffer = "250-" + std::string(60, 'a') + "\r\n";
    EXPECT_THROW(TakeSmtpReply(buffer, 40), vb::RuntimeError);
    buffer += "250 OK\r\n";
    EXPECT_EQ(TakeSmtpReply(buffer, 40)->code, "250");
    EXPECT_TRUE(buffer.empty());
}
