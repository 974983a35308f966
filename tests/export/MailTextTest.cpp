#include <gtest/gtest.h>

#include "platform/Mail.h"

using namespace quillmar;

TEST(MailText, HeadersThenTheNoteWithCrLfLinesAndNoLineBreakInAHeader) {
    const std::string fixed =
        "MIME-Version: 1.0\r\n"
        "Content-Type: text/plain; charset=windows-1252\r\n"
        "Content-Transfer-Encoding: 8bit\r\n\r\n";
    const struct {
        MailMessage message;
        std::string text;
    } rows[] = {
        {{{"a@example.org", "b@example.org"}, "KQMR Quillmar Alarm", "one\ntwo"},
         "To: a@example.org, b@example.org\r\nSubject: KQMR Quillmar Alarm\r\n" + fixed +
             "one\r\ntwo\r\n"},
        {{{"a@example.org\r\nBcc: x@example.org", " \n"}, "KQMR\r\nBcc: y@example.org", "n"},
         "To: a@example.org  Bcc: x@example.org\r\nSubject: KQMR  Bcc: y@example.org\r\n" + fixed +
             "n\r\n"},
        {{{"a@example.org"}, "Caf\xE9", ""},
         "To: a@example.org\r\nSubject: =?windows-1252?B?Q2Fm6Q==?=\r\n" + fixed},
    };
    for (const auto& r : rows) EXPECT_EQ(FormatMailText(r.message), r.text);
    EXPECT_EQ(SingleLine("  x\r\ny  "), "x  y");
    EXPECT_EQ(SingleLine(" \r\n "), "");
}

// A header folds before an item that would take its line past 78 octets; a subject other than
// ASCII goes as encoded words of 42 bytes.
TEST(MailText, LongHeadersAreFoldedAndEncodedWordsStayShort) {
    MailMessage m{{"first.operator@example.org", "second.operator@example.org", "abcde@example.org",
                   "z@example.org"},
                  "Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9 Caf\xE9",
                  ""};
    const std::string text = FormatMailText(m);
    EXPECT_EQ(text.substr(0, text.find("MIME")),
              "To: first.operator@example.org, second.operator@example.org, abcde@example.org,\r\n"
              " z@example.org\r\nSubject: "
              "=?windows-1252?B?Q2Fm6SBDYWbpIENhZukgQ2Fm6SBDYWbpIENhZukgQ2Fm6SBDYWbpIENh?=\r\n"
              " =?windows-1252?B?Zuk=?=\r\n");
}
