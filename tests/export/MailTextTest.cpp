#include <gtest/gtest.h>

#include "platform/Mail.h"

using namespace quillmar;

TEST(MailText, HeadersThenTheNoteWithCrLfLines) {
    const std::string text =
        FormatMailText({{"a@example.org", "b@example.org"}, "KQMR Quillmar Alarm", "one\ntwo"});
    EXPECT_EQ(text,
              "To: a@example.org, b@example.org\r\n"
              "Subject: KQMR Quillmar Alarm\r\n"
              "MIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=windows-1252\r\n"
              "Content-Transfer-Encoding: 8bit\r\n"
              "\r\n"
              "one\r\ntwo\r\n");
}

TEST(MailText, LineBreaksNeverReachAHeader) {
    const std::string text = FormatMailText(
        {{"a@example.org\r\nBcc: x@example.org", " \n"}, "KQMR\r\nBcc: y@example.org", "n"});
    const std::string headers = text.substr(0, text.find("\r\n\r\n") + 2);
    EXPECT_EQ(headers.find("\r\nBcc"), std::string::npos) << headers;
    EXPECT_NE(headers.find("To: a@example.org  Bcc: x@example.org\r\n"), std::string::npos);
    EXPECT_NE(headers.find("Subject: KQMR  Bcc: y@example.org\r\n"), std::string::npos);
    // Every header line is one of the five written.
    int lines = 0;
    for (auto at = headers.find("\r\n"); at != std::string::npos; at = headers.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 5);
}

TEST(MailText, ASubjectOutsideAsciiIsEncoded) {
    const std::string text = FormatMailText({{"a@example.org"}, "Caf\xE9", ""});
    EXPECT_NE(text.find("Subject: =?windows-1252?B?Q2Fm6Q==?=\r\n"), std::string::npos) << text;
    EXPECT_EQ(SingleLine("  x\r\ny  "), "x  y");
    EXPECT_EQ(SingleLine(" \r\n "), "");
}
