#include "logs/SignalHistory.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

#include "logs/ActivityLog.h"
#include "platform/FileSystem.h"

namespace quillmar {

namespace {

int Digits2(std::string_view s, std::size_t at) {
    const char a = s[at], b = s[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// Calls take(moment, text) for each well-formed line of a log; returns the malformed count.
// A line is "hh:mm:ss", two blanks and the text; the text may be missing altogether (an empty
// Eb/No). Blank lines (the error log's separators) are neither taken nor counted.
template <typename Take>
int ForEachLine(std::string_view text, const Date& day, Take take) {
    int skipped = 0;
    std::int64_t latest = -1;
    bool behind = false;
    while (!text.empty()) {
        const char* nl = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
        const std::size_t length = nl ? static_cast<std::size_t>(nl - text.data()) : text.size();
        std::string_view line = text.substr(0, length);
        text.remove_prefix(nl ? length + 1 : length);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trim(line).empty()) continue;
        const int seconds = ParseLogTime(line);
        bool wellFormed = seconds >= 0;
        std::string_view rest;
        if (wellFormed && line.size() > 8) {
            const std::string_view tail = line.substr(8);
            if (StartsWith(tail, "  "))
                rest = tail.substr(2);
            else
                wellFormed = tail == " ";  // cut off inside the separator: a poll without text
        }
        if (!wellFormed) {
            ++skipped;
            continue;
        }
        const std::int64_t ms = std::int64_t{seconds} * 1000;
        // Behind the latest line, or level with it right after a line that was: the last
        // line of a repeated hour has the same time as the last line of the first pass.
        LogMoment when{DateTime{day, ms}, ms < latest || (behind && ms == latest)};
        behind = when.afterSetBack;
        latest = std::max(latest, ms);
        take(when, rest);
    }
    return skipped;
}

bool Before(const LogMoment& a, const LogMoment& b) {
    return a.at < b.at;
}

}  // namespace

int ParseLogTime(std::string_view text) {
    if (text.size() < 8 || text[2] != ':' || text[5] != ':') return -1;
    const int h = Digits2(text, 0), m = Digits2(text, 3), s = Digits2(text, 6);
    if (h < 0 || m < 0 || s < 0 || h > 23 || m > 59 || s > 59) return -1;
    return h * 3600 + m * 60 + s;
}

double ParseEbNoText(std::string_view text) {
    // The text is the last twenty characters of the receiver's Eb/No line, so a label may come
    // before the figure ("Eb/No: 9.8 dB", ":   10.2 dB"); only a unit may follow it.
    text = Trim(text);
    for (std::string_view unit : {"dB", "db", "DB"})
        if (text.size() >= unit.size() && text.substr(text.size() - unit.size()) == unit) {
            text = Trim(text.substr(0, text.size() - unit.size()));
            break;
        }
    std::size_t at = text.size();
    while (at > 0 &&
           (std::isdigit(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '.'))
        --at;
    const bool plus = at > 0 && text[at - 1] == '+';
    if (at > 0 && (text[at - 1] == '-' || plus)) --at;
    std::string_view figure = text.substr(at + (plus ? 1 : 0));
    double value = NAN;
    const auto [end, ec] = std::from_chars(figure.data(), figure.data() + figure.size(), value);
    if (ec != std::errc() || end != figure.data() + figure.size() || !std::isfinite(value))
        return NAN;
    return value;
}

void SignalHistoryBuilder::addDay(const SignalDayText& day) {
    if (!day.hasEb) h_.daysWithoutEbLog.push_back(day.day);
    h_.skippedLines +=
        ForEachLine(day.eb, day.day, [&](const LogMoment& when, std::string_view text) {
            h_.samples.push_back({when, ParseEbNoText(text)});
        });
    h_.skippedLines +=
        ForEachLine(day.al, day.day, [&](const LogMoment& when, std::string_view text) {
            if (text == "Alarm") {
                // A second start without an end between: the first one's end was never logged.
                if (openAlarm_ >= 0) unknownEnds_.push_back(openAlarm_);
                openAlarm_ = static_cast<int>(h_.spans.size());
                h_.spans.push_back({SpanKind::ReceiverAlarm, when, when, false, {}});
            } else if (text == "Alarm End") {
                if (openAlarm_ < 0) return;
                auto& span = h_.spans[static_cast<std::size_t>(openAlarm_)];
                span.end = when;
                span.endLogged = true;
                openAlarm_ = -1;
            } else if (StartsWith(text, "Record ")) {
                openRecordings_.push_back(static_cast<int>(h_.recordings.size()));
                h_.recordings.push_back({when, when, false, std::string(text.substr(7))});
            } else if (StartsWith(text, "Stop   ")) {
                // "Stop   " + name + " " + recorded length
                std::string_view name = text.substr(7);
                name = name.substr(0, std::min(name.size(), name.rfind(' ')));
                for (auto it = openRecordings_.rbegin(); it != openRecordings_.rend(); ++it) {
                    auto& rec = h_.recordings[static_cast<std::size_t>(*it)];
                    if (rec.name != name) continue;
                    rec.stop = when;
                    rec.stopped = true;
                    openRecordings_.erase(std::next(it).base());
                    break;
                }
            }
        });
    h_.skippedLines +=
        ForEachLine(day.er, day.day, [&](const LogMoment& when, std::string_view text) {
            // name + " Audio Alarm " + offset; name + " End Alarm   " + elapsed
            if (const auto at = text.rfind(" Audio Alarm "); at != std::string_view::npos) {
                openSilence_.push_back(static_cast<int>(silence_.size()));
                silence_.push_back(
                    {SpanKind::SilenceAlarm, when, when, false, std::string(text.substr(0, at))});
            } else if (const auto end = text.rfind(" End Alarm   ");
                       end != std::string_view::npos) {
                const std::string_view name = text.substr(0, end);
                for (auto it = openSilence_.rbegin(); it != openSilence_.rend(); ++it) {
                    auto& span = silence_[static_cast<std::size_t>(*it)];
                    if (span.label != name) continue;
                    span.end = when;
                    span.endLogged = true;
                    openSilence_.erase(std::next(it).base());
                    break;
                }
            }
        });
}

SignalHistory SignalHistoryBuilder::finish(const Date& first, const Date& last) {
    if (openAlarm_ >= 0) unknownEnds_.push_back(openAlarm_);
    openAlarm_ = -1;
    // An alarm whose end went unlogged (an older station, or one stopped during the alarm)
    // lasts until the next poll: the earliest moment the log shows the station running on.
    for (const int i : unknownEnds_) {
        auto& span = h_.spans[static_cast<std::size_t>(i)];
        const auto next = std::partition_point(
            h_.samples.begin(), h_.samples.end(),
            [&](const SignalSample& s) { return !Before(span.start, s.when); });
        if (next != h_.samples.end()) span.end = next->when;
    }
    unknownEnds_.clear();
    for (auto& span : silence_) h_.spans.push_back(std::move(span));
    silence_.clear();
    openSilence_.clear();
    openRecordings_.clear();
    h_.first = first;
    h_.last = last;
    return std::exchange(h_, SignalHistory{});
}

std::string SignalCsv(const SignalHistory& h) {
    std::string out = "time,Eb/No (dB)\n";
    out.reserve(out.size() + h.samples.size() * 26);
    char line[64];
    for (const auto& s : h.samples) {
        const Date& d = s.when.at.date;
        int n = std::snprintf(line, sizeof line, "%04d-%02d-%02d %s,", d.year, d.month, d.day,
                              TimeText(s.when.at).c_str());
        if (s.hasValue()) {
            // The shortest text that reads back as the same figure: "10.2", not "10.199999".
            const auto r = std::to_chars(line + n, line + sizeof line - 1, s.ebNoDb);
            n = static_cast<int>(r.ptr - line);
        }
        line[n++] = '\n';
        out.append(line, static_cast<std::size_t>(n));
    }
    return out;
}

SignalHistory ReadSignalHistory(const FileSystem& files, const Date& first, const Date& last) {
    SignalHistoryBuilder builder;
    std::string eb, al, er, error;
    for (Date day = first; day <= last; day = day.addDays(1)) {
        const auto read = [&](const char* kind, std::string* text) {
            text->clear();
            const std::string path = DailyLogPath(kind, day);
            return files.readFile(path, text, &error);
        };
        SignalDayText text{day, {}, {}, {}, read("EB", &eb)};
        read("AL", &al);
        read("ER", &er);
        text.eb = eb;
        text.al = al;
        text.er = er;
        builder.addDay(text);
    }
    return builder.finish(first, last);
}

}  // namespace quillmar
