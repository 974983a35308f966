#include <gtest/gtest.h>

#include "platform/Mail.h"
#include "support/Logs.h"

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

namespace {

std::string FromBase64(const std::string& digits) {
    static const std::string kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned v = 0;
    int bits = 0;
    for (char c : digits) {
        if (c == '=') break;
        v = v << 6 | static_cast<unsigned>(kDigits.find(c));
        if ((bits += 6) >= 8) out += static_cast<char>(v >> (bits -= 8) & 0xFF);
    }
    return out;
}

}  // namespace

TEST(MailText, LongHeadersAreFoldedAndEncodedWordsStayShort) {
    MailMessage m;
    for (int i = 0; i < 40; ++i)
        m.recipients.push_back("operator" + std::to_string(i) + "@" + std::string(40, 'x') +
                               ".org");
    for (int i = 0; i < 30; ++i) m.subject += "Caf\xE9 ";
    m.subject += "end";
    const std::string text = FormatMailText(m);
    const auto lines = quillmar::testing::SplitLines(text.substr(0, text.find("\r\n\r\n")));

    std::string to, subject;
    bool inTo = false;
    for (const auto& line : lines) {
        EXPECT_LE(line.size(), 998u) << line;
        if (line.rfind("To:", 0) == 0 || line.rfind("Subject:", 0) == 0) {
            inTo = line[0] == 'T';
            (inTo ? to : subject) += line;
        } else if (line[0] == ' ') {
            (inTo ? to : subject) += line;  // a continuation line
        }
    }
    // Unfolded, the To: header names every recipient in order.
    std::string expected = "To: " + m.recipients[0];
    for (std::size_t i = 1; i < m.recipients.size(); ++i) expected += ", " + m.recipients[i];
    EXPECT_EQ(to, expected);

    // The subject: encoded words of at most 75 characters that decode to the whole text.
    ASSERT_EQ(subject.rfind("Subject: ", 0), 0u);
    std::string decoded;
    std::size_t words = 0;
    for (std::size_t at = subject.find("=?"); at != std::string::npos;
         at = subject.find("=?", at + 2)) {
        const auto end = subject.find("?=", at + 17);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end + 2 - at, 75u);
        ASSERT_EQ(subject.compare(at, 17, "=?windows-1252?B?"), 0);
        decoded += FromBase64(subject.substr(at + 17, end - at - 17));
        ++words;
        at = end;
    }
    EXPECT_GT(words, 1u);
    EXPECT_EQ(decoded, m.subject);
}
