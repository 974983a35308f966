#include "schedule/TimeEntry.h"

namespace quillmar {

namespace {

std::string_view TrimTrailing(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The two digits at `at`, at most `max`.
bool TwoDigits(std::string_view text, std::size_t at, int max) {
    const char hi = text[at], lo = text[at + 1];
    if (hi < '0' || hi > '9' || lo < '0' || lo > '9') return false;
    return (hi - '0') * 10 + (lo - '0') <= max;
}

}  // namespace

bool IsTimeOfDayText(std::string_view text) {
    text = TrimTrailing(text);
    if (text.size() != 5 && text.size() != 8) return false;
    if (text[2] != ':' || !TwoDigits(text, 0, 23) || !TwoDigits(text, 3, 59)) return false;
    return text.size() == 5 || (text[5] == ':' && TwoDigits(text, 6, 59));
}

bool IsLengthText(std::string_view text) {
    text = TrimTrailing(text);
    return text.size() == 5 && text[2] == ':' && TwoDigits(text, 0, 99) && TwoDigits(text, 3, 59);
}

}  // namespace quillmar
