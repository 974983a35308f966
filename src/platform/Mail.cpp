#include "platform/Mail.h"

namespace quillmar {

namespace {

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

std::string Base64(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += kDigits[v >> 6 & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += i + 1 < bytes.size() ? kDigits[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

// Body lines end in CR LF whatever the note used.
std::string CrLfLines(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string SingleLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

namespace {

// A header of items joined by `separator`, folded before an item that would take its line
// past 78 octets; an item is never split, so only one longer than a line makes a longer line.
std::string FoldedHeader(const std::string& name, const std::vector<std::string>& items,
                         const char* separator) {
    constexpr std::size_t kLineLength = 78;
    std::string text = name + ":";
    std::size_t lineStart = 0;
    bool first = true;
    for (const auto& item : items) {
        const std::string piece = (first ? "" : std::string(separator)) + " " + item;
        if (!first && text.size() - lineStart + piece.size() > kLineLength) {
            text += std::string(separator) + "\r\n";
            lineStart = text.size();
            text += " " + item;
        } else {
            text += piece;
        }
        first = false;
    }
    return text + "\r\n";
}

// Text other than ASCII as encoded words of at most 75 characters (RFC 2047), each carrying
// whole characters of Windows-1252.
std::vector<std::string> EncodedWords(const std::string& text) {
    constexpr std::size_t kBytesPerWord = 42;  // 56 base64 digits + 19 of frame = 75
    std::vector<std::string> words;
    for (std::size_t at = 0; at < text.size(); at += kBytesPerWord)
        words.push_back("=?windows-1252?B?" + Base64(text.substr(at, kBytesPerWord)) + "?=");
    return words;
}

}  // namespace

std::string FormatMailText(const MailMessage& message) {
    std::vector<std::string> to;
    for (const auto& address : message.recipients) {
        std::string one = SingleLine(address);
        if (!one.empty()) to.push_back(std::move(one));
    }
    const std::string subject = SingleLine(message.subject);
    std::string text = FoldedHeader("To", to, ",");
    text += IsAscii(subject) ? "Subject: " + subject + "\r\n"
                             : FoldedHeader("Subject", EncodedWords(subject), "");
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=windows-1252\r\n";
    text += "Content-Transfer-Encoding: 8bit\r\n";
    text += "\r\n";
    text += CrLfLines(message.note);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) text += "\r\n";
    return text;
}

}  // namespace quillmar
