// Reading the signal history back from the EB, AL and ER logs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "logs/ActivityLog.h"
#include "logs/SignalHistory.h"
#include "platform/sim/MemoryFileSystem.h"

using namespace quillmar;

namespace {

struct LogFolder {
    LogFolder() {
        std::string error;
        files.createFolder("c:\\satfile", &error);
        files.createFolder(kLogsFolder, &error);
    }
    void add(const char* kind, const Date& day, const std::string& text) {
        std::string error;
        EXPECT_TRUE(files.appendToFile(DailyLogPath(kind, day), text, &error)) << error;
    }
    // Polls at second 12 of every `everyMinutes` minutes from..to (hours, to exclusive).
    void polls(const Date& day, int everyMinutes, int fromHour = 0, int toHour = 24,
               double db = 10.0) {
        std::string text;
        char line[40];
        for (int m = fromHour * 60; m < toHour * 60; m += everyMinutes) {
            std::snprintf(line, sizeof line, "%02d:%02d:12  %.1f dB\r\n", m / 60, m % 60, db);
            text += line;
        }
        add("EB", day, text);
    }
    SignalHistory read(const Date& first, const Date& last) const {
        return ReadSignalHistory(files, first, last);
    }
    MemoryFileSystem files;
};

LogMoment At(const Date& d, int h, int m, int s, bool afterSetBack = false) {
    return {DateTime{d, (h * 3600 + m * 60 + s) * 1000LL}, afterSetBack};
}

const Date kJan1{2026, 1, 1};

}  // namespace

TEST(SignalHistory, DaysWithGapsAndADayWithoutAnEbLog) {
    LogFolder logs;
    logs.polls({2026, 1, 3}, 1, 6, 24);  // off from midnight to 06:00
    logs.polls(kJan1, 1);
    const auto h = logs.read(kJan1, kJan1.addDays(2));
    EXPECT_EQ(h.samples.size(), 1440u + 1080);
    EXPECT_EQ(h.daysWithoutEbLog, (std::vector<Date>{{2026, 1, 2}}));
    EXPECT_TRUE(std::is_sorted(h.samples.begin(), h.samples.end(),
                               [](const auto& a, const auto& b) { return a.when.at < b.when.at; }));
    EXPECT_EQ(h.samples[1440].when, At({2026, 1, 3}, 6, 0, 12));
    EXPECT_EQ(h.samples.back().when, At({2026, 1, 3}, 23, 59, 12));
    EXPECT_DOUBLE_EQ(h.samples.back().ebNoDb, 10.0);
}

TEST(SignalHistory, MalformedAndTruncatedLinesAreSkippedAndCounted) {
    struct Case {
        std::string line;
        bool sample;
        double db;  // NaN: a poll without a figure
    };
    // A label inside the last twenty characters is passed over; a poll the receiver answered
    // with too few lines, or cut off after the time, has no figure; zeros are left by a power
    // cut; blank lines are neither samples nor faults; the last line lacks its CR LF.
    // clang-format off
    const Case cases[] = {
        {"10:00:12  10.2 dB", true, 10.2}, {"10:01:12  -1.5dB", true, -1.5}, {"10:02:12  +7", true, 7},
        {"10:02:30  Eb/No: 9.8 dB", true, 9.8}, {"10:02:40  :   10.2 dB", true, 10.2},
        {"10:03:12  ", true, NAN}, {"10:04:12", true, NAN}, {"10:06:12  Unlocked", true, NAN},
        {"10:07:12  12.3 dB extra", true, NAN}, {"10:07:30  1.2.3 dB", true, NAN},
        {"10:08:1", false, 0}, {"10:09:12 9.0 dB", false, 0}, {"garbage", false, 0},
        {std::string(11, '\0'), false, 0}, {"\xff\xfe\r", false, 0}, {"", false, 0},
        {"10:11:12  9.8", true, 9.8},
    };
    // clang-format on
    std::string text;
    int expectSkipped = 0;
    std::vector<std::string> expected, got;  // each sample's figure to 0.01 dB, or "-"
    const auto figure = [](bool has, double db) {
        char text[16] = "-";
        if (has) std::snprintf(text, sizeof text, "%.2f", db);
        return std::string(text);
    };
    for (const auto& c : cases) {
        text += c.line + (&c == std::end(cases) - 1 ? "" : "\r\n");
        if (c.sample) expected.push_back(figure(!std::isnan(c.db), c.db));
        expectSkipped += !c.sample && !c.line.empty();
    }
    LogFolder logs;
    logs.add("EB", kJan1, text);
    // The same faults in the other two logs are counted there too, and alter nothing.
    logs.add("AL", kJan1, "10:0\r\n\x01\x02\r\n09:00:00  Alarm\r\n09:10:00  Alarm End");
    logs.add("ER", kJan1, "  \r\nxx:00:00  News Audio Alarm 00:05\r\n");
    const auto h = logs.read(kJan1, kJan1);
    for (const auto& sample : h.samples) got.push_back(figure(sample.hasValue(), sample.ebNoDb));
    EXPECT_EQ(got, expected);
    EXPECT_EQ(h.skippedLines, expectSkipped + 3);
    ASSERT_EQ(h.spans.size(), 1u);
    EXPECT_EQ(h.spans[0].end, At(kJan1, 9, 10, 0));
}

TEST(SignalHistory, AlarmsSilencesAndRecordingsBecomeSpansAndMarks) {
    LogFolder logs;
    const Date jan2 = kJan1.addDays(1), jan3 = kJan1.addDays(2);
    logs.polls(kJan1, 15);
    logs.polls(jan2, 15, 0, 22);
    logs.add("AL", kJan1,
             "08:00:00  Alarm End\r\n"  // an end without a start: nothing
             "09:59:00  Record News\r\n"
             "10:30:00  Stop   News 31:00\r\n"
             "12:00:00  Alarm\r\n"  // its end never logged
             "14:00:00  Alarm\r\n"
             "14:05:00  Alarm End\r\n"
             "23:00:00  Record Late Show\r\n"
             "23:59:30  Alarm\r\n");  // continues past midnight
    logs.add("AL", jan2,
             "00:01:10  Alarm End\r\n00:30:00  Stop   Late Show 1:30:00\r\n"
             "22:00:00  Alarm\r\n");  // still on at the end of the range
    logs.add("ER", kJan1,
             "10:00:05  News Audio Alarm 00:05\r\n10:00:35  News End Alarm   00:35\r\n  \r\n");
    logs.add("AL", jan3, "00:00:00  Alarm End\r\n");  // outside the range read
    const auto h = logs.read(kJan1, jan2);

    using Span = std::tuple<SpanKind, LogMoment, LogMoment, bool>;
    const auto R = SpanKind::ReceiverAlarm;
    const std::vector<Span> spans = {
        {R, At(kJan1, 12, 0, 0), At(kJan1, 12, 0, 12), false},
        {R, At(kJan1, 14, 0, 0), At(kJan1, 14, 5, 0), true},
        {R, At(kJan1, 23, 59, 30), At(jan2, 0, 1, 10), true},
        {R, At(jan2, 22, 0, 0), At(jan2, 22, 0, 0), false},
        {SpanKind::SilenceAlarm, At(kJan1, 10, 0, 5), At(kJan1, 10, 0, 35), true},
    };
    std::vector<Span> got;
    for (const auto& sp : h.spans) got.emplace_back(sp.kind, sp.start, sp.end, sp.endLogged);
    ASSERT_EQ(got, spans);
    EXPECT_EQ(h.spans[4].label, "News");
    ASSERT_EQ(h.recordings.size(), 2u);
    EXPECT_EQ(h.recordings[0].name, "News");
    EXPECT_EQ(h.recordings[0].stop, At(kJan1, 10, 30, 0));
    EXPECT_EQ(h.recordings[1].name, "Late Show");
    EXPECT_TRUE(h.recordings[1].stopped);
    EXPECT_EQ(h.recordings[1].stop, At(jan2, 0, 30, 0));
    EXPECT_EQ(h.skippedLines, 0);
}

TEST(SignalHistory, DaylightSavingDaysKeepTheirOrderAndMarkTheRepeatedHour) {
    // Four polls an hour on the day clocks go forward (no 02:xx) and back (01:xx twice).
    for (const bool back : {false, true}) {
        const Date day = back ? Date{2026, 11, 1} : Date{2026, 3, 8};
        std::string text;
        for (int h = 0; h < 24; ++h)
            for (int pass = 0; pass < (h == 2 && !back ? 0 : h == 1 && back ? 2 : 1); ++pass)
                for (int m = 0; m < 60; m += 15)
                    text += TimeText(h * 3600 + m * 60 + 12) + "  9.5 dB\r\n";
        LogFolder logs;
        logs.add("EB", day, text);
        const auto hist = logs.read(day, day);
        ASSERT_EQ(hist.samples.size(), back ? 100u : 92u);
        std::vector<std::size_t> flagged;  // the second 01:00..01:45, right after the first
        for (std::size_t i = 0; i < hist.samples.size(); ++i)
            if (hist.samples[i].when.afterSetBack) flagged.push_back(i);
        using Indices = std::vector<std::size_t>;
        EXPECT_EQ(flagged, (back ? Indices{8, 9, 10, 11} : Indices{}));
        EXPECT_EQ(hist.skippedLines, 0);
    }
}

TEST(SignalHistory, CsvHasARowPerPollAndAnEmptyValueForAPollWithoutAFigure) {
    SignalHistoryBuilder b;
    const std::string eb = "00:00:12  10.2 dB\r\n00:01:12  \r\n00:02:12  Eb/No: 9.75 dB\r\nbad\r\n";
    b.addDay({{2026, 3, 9}, eb, "00:00:30  Alarm\r\n00:01:30  Alarm End\r\n", {}});
    const SignalHistory h = b.finish({2026, 3, 9}, {2026, 3, 9});
    EXPECT_EQ(SignalCsv(h),
              "time,Eb/No (dB)\n2026-03-09 00:00:12,10.2\n2026-03-09 00:01:12,\n"
              "2026-03-09 00:02:12,9.75\n");
    EXPECT_EQ(SignalCsv(SignalHistoryBuilder().finish(kJan1, kJan1)), "time,Eb/No (dB)\n");
}

TEST(SignalHistory, LogTimesAreSecondsOfTheDayOrMinusOne) {
    const std::pair<const char*, int> rows[] = {
        {"00:00:00", 0},  {"23:59:59", 86399}, {"10:02:30  x", 36150}, {"24:00:00", -1},
        {"12:60:00", -1}, {"12:00:60", -1},    {"1:00:00", -1},        {"12-00-00", -1},
        {"12:0a:00", -1}, {"12:00:0", -1}};
    for (const auto& [text, seconds] : rows) EXPECT_EQ(ParseLogTime(text), seconds) << text;
}
