#include <gtest/gtest.h>

#include <regex>

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
    std::string to = "To: ";
    for (int i = 0; i < 40; ++i) {
        m.recipients.push_back("operator" + std::to_string(i) + "@" + std::string(40, 'x') +
                               ".org");
        to += (i ? ", " : "") + m.recipients.back();
    }
    for (int i = 0; i < 30; ++i) m.subject += "Caf\xE9 ";
    m.subject += "end";
    const std::string text = FormatMailText(m);
    const std::string header = text.substr(0, text.find("\r\n\r\n") + 2);
    for (const auto& line : quillmar::testing::SplitLines(header)) EXPECT_LE(line.size(), 998u);
    // Unfolded, the To: header names every recipient in order.
    const std::string unfolded = std::regex_replace(header, std::regex("\r\n "), " ");
    EXPECT_NE(unfolded.find(to + "\r\n"), std::string::npos) << unfolded;
    // The subject: encoded words of at most 75 characters that decode to the whole text.
    const std::string subject = unfolded.substr(unfolded.find("Subject: "));
    const std::regex word("=\\?windows-1252\\?B\\?([A-Za-z0-9+/=]*)\\?=");
    std::string decoded;
    std::size_t words = 0;
    for (std::sregex_iterator w(subject.begin(), subject.end(), word), end; w != end;
         ++w, ++words) {
        EXPECT_LE(w->length(), 75);
        decoded += FromBase64((*w)[1]);
    }
    EXPECT_GT(words, 1u);
    EXPECT_EQ(decoded, m.subject);
}
