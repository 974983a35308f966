#include "settings/RtfReader.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/Cp1252.h"

namespace quillmar {

namespace {

struct State {
    bool bold = false, italic = false, underline = false;
    int halfPoints = 24;
    bool skip = false;  // inside a group whose text is not shown
    int unicodeSkip = 1;
};

// Groups whose content is data, not text.
bool IsDestination(std::string_view word) {
    static const char* const kSkipped[] = {
        "fonttbl",   "colortbl",     "stylesheet",        "info",    "pict",      "header",
        "footer",    "headerl",      "headerr",           "footerl", "footerr",   "object",
        "generator", "listtable",    "listoverridetable", "rsidtbl", "xmlnsdecl", "themedata",
        "datastore", "latentstyles", "fldinst",           "filetbl", "revtbl",    "field"};
    for (const char* s : kSkipped)
        if (word == s) return true;
    return false;
}

class Reader {
  public:
    explicit Reader(std::string_view in) : in_(in) {}

    std::vector<RtfRun> run() {
        constexpr std::size_t kMaxDepth = 256;
        std::size_t overflow = 0;  // groups opened past the limit, not tracked
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{') {
                if (stack_.size() < kMaxDepth)
                    stack_.push_back(state_);
                else
                    ++overflow;
            } else if (c == '}') {
                if (overflow > 0) {
                    --overflow;
                } else if (!stack_.empty()) {
                    state_ = stack_.back();
                    stack_.pop_back();
                }
            } else if (c == '\\') {
                control();
            } else if (c != '\r' && c != '\n') {
                emit(std::string(1, c));
            }
        }
        flush();
        return runs_;
    }

  private:
    void control() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            symbol(c);
            return;
        }
        const std::size_t start = pos_;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_])) &&
               pos_ - start < 32)
            ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);
        bool hasParam = false;
        long param = 0;
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
            if (digits++ < 9) param = param * 10 + (in_[pos_] - '0');
            hasParam = true;
            ++pos_;
        }
        if (negative) param = -param;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        word_(word, hasParam, param);
    }

    void symbol(char c) {
        switch (c) {
            case '\'': {
                if (pos_ + 2 <= in_.size() &&
                    std::isxdigit(static_cast<unsigned char>(in_[pos_])) &&
                    std::isxdigit(static_cast<unsigned char>(in_[pos_ + 1]))) {
                    const char byte =
                        static_cast<char>(std::stoi(std::string(in_.substr(pos_, 2)), nullptr, 16));
                    pos_ += 2;
                    emit(Cp1252ToUtf8(std::string_view(&byte, 1)));
                }
                break;
            }
            case '\\':
            case '{':
            case '}':
                emit(std::string(1, c));
                break;
            case '~':
                emit("\xC2\xA0");
                break;
            case '_':
                emit("-");
                break;
            case '*':
                state_.skip = true;
                break;  // an optional destination we do not know
            case '\n':
            case '\r':
                emit("\n");
                break;
            default:
                break;  // \- and other symbols show nothing
        }
    }

    void word_(std::string_view w, bool hasParam, long param) {
        const bool on = !hasParam || param != 0;
        if (IsDestination(w))
            state_.skip = true;
        else if (w == "par" || w == "line" || w == "sect" || w == "page")
            emit("\n");
        else if (w == "tab")
            emit("\t");
        else if (w == "b")
            format([&] { state_.bold = on; });
        else if (w == "i")
            format([&] { state_.italic = on; });
        else if (w == "ul")
            format([&] { state_.underline = on; });
        else if (w == "ulnone")
            format([&] { state_.underline = false; });
        else if (w == "fs" && hasParam && param > 0 && param < 2000)
            format([&] { state_.halfPoints = static_cast<int>(param); });
        else if (w == "plain")
            format([&] {
                state_.bold = state_.italic = state_.underline = false;
                state_.halfPoints = 24;
            });
        else if (w == "uc" && hasParam && param >= 0 && param < 10)
            state_.unicodeSkip = static_cast<int>(param);
        else if (w == "u" && hasParam)
            unicode(param);
        else if (w == "emdash")
            emit("\xE2\x80\x94");
        else if (w == "endash")
            emit("\xE2\x80\x93");
        else if (w == "bullet")
            emit("\xE2\x80\xA2");
        else if (w == "lquote")
            emit("\xE2\x80\x98");
        else if (w == "rquote")
            emit("\xE2\x80\x99");
        else if (w == "ldblquote")
            emit("\xE2\x80\x9C");
        else if (w == "rdblquote")
            emit("\xE2\x80\x9D");
    }

    void unicode(long value) {
        if (value < 0) value += 65536;
        std::string out;
        const auto cp = static_cast<char32_t>(value);
        if (cp >= 0xD800 && cp <= 0xDFFF)
            out = "?";
        else if (cp < 0x80)
            out += static_cast<char>(cp);
        else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
        emit(out);
        // Skip the stand-in characters that follow for readers without Unicode.
        for (int n = 0; n < state_.unicodeSkip && pos_ < in_.size(); ++n) {
            if (in_[pos_] == '\\' && pos_ + 1 < in_.size() && in_[pos_ + 1] == '\'')
                pos_ += std::min<std::size_t>(4, in_.size() - pos_);
            else if (in_[pos_] == '{' || in_[pos_] == '}' || in_[pos_] == '\\')
                break;
            else
                ++pos_;
        }
    }

    template <typename F>
    void format(F change) {
        flush();
        change();
    }

    void emit(const std::string& text) {
        if (state_.skip) return;
        if (!pending_.text.empty() &&
            (pending_.bold != state_.bold || pending_.italic != state_.italic ||
             pending_.underline != state_.underline || pending_.halfPoints != state_.halfPoints))
            flush();
        if (pending_.text.empty()) {
            pending_.bold = state_.bold;
            pending_.italic = state_.italic;
            pending_.underline = state_.underline;
            pending_.halfPoints = state_.halfPoints;
        }
        pending_.text += text;
    }

    void flush() {
        if (pending_.text.empty()) return;
        if (!runs_.empty()) {
            RtfRun& last = runs_.back();
            if (last.bold == pending_.bold && last.italic == pending_.italic &&
                last.underline == pending_.underline && last.halfPoints == pending_.halfPoints) {
                last.text += pending_.text;
                pending_.text.clear();
                return;
            }
        }
        runs_.push_back(pending_);
        pending_.text.clear();
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    State state_;
    std::vector<State> stack_;
    RtfRun pending_;
    std::vector<RtfRun> runs_;
};

}  // namespace

std::vector<RtfRun> ReadRtf(std::string_view rtf) {
    return Reader(rtf).run();
}

std::string RtfPlainText(const std::vector<RtfRun>& runs) {
    std::string out;
    for (const auto& r : runs) out += r.text;
    return out;
}

}  // namespace quillmar
