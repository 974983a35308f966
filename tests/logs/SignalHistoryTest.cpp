#include <gtest/gtest.h>

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
    // Polls at second 12 of every quarter hour up to `toHour`.
    void polls(const Date& day, int toHour = 24) {
        std::string text;
        for (int m = 0; m < toHour * 60; m += 15) text += TimeText(m * 60 + 12) + "  10.0 dB\r\n";
        add("EB", day, text);
    }
    MemoryFileSystem files;
};

LogMoment At(const Date& d, int h, int m, int s, bool afterSetBack = false) {
    return {DateTime{d, (h * 3600 + m * 60 + s) * 1000LL}, afterSetBack};
}

const Date kJan1{2026, 1, 1};

}  // namespace

// A label inside the last twenty characters is passed over; a poll cut off after the time has
// no figure (""); malformed lines are skipped (nullptr), blank ones are not counted.
TEST(SignalHistory, PollsBecomeCsvRowsAndMalformedLinesAreSkippedAndCounted) {
    // clang-format off
    const std::pair<std::string, const char*> cases[] = {
        {"10:00:12  10.2 dB", "10.2"}, {"10:01:12  -1.5dB", "-1.5"}, {"10:02:12  +7", "7"},
        {"10:02:30  Eb/No: 9.75 dB", "9.75"}, {"10:03:12  ", ""}, {"10:04:12", ""},
        {"10:07:12  12.3 dB extra", ""}, {"10:07:30  1.2.3 dB", ""}, {"10:08:1", nullptr},
        {"10:09:12 9.0 dB", nullptr}, {std::string(11, '\0'), nullptr}, {"", nullptr},
        {"00:00:00  1", "1"}, {"23:59:59  1", "1"}, {"24:00:00  1", nullptr}, {"12:60:00  1", nullptr},
        {"12:00:60  1", nullptr}, {"12:0a:00  1", nullptr}, {"10:11:12  9.8", "9.8"},
    };
    // clang-format on
    std::string text, expected = "time,Eb/No (dB)\n";
    int expectSkipped = 0;
    for (const auto& [line, figure] : cases) {
        text += line + "\r\n";
        if (figure) expected += "2026-01-01 " + line.substr(0, 8) + "," + figure + "\n";
        expectSkipped += !figure && !line.empty();
    }
    text.resize(text.size() - 2);  // the last line lacks its CR LF
    LogFolder logs;
    logs.add("EB", kJan1, text);
    // The same faults in the other two logs are counted there too, and alter nothing.
    logs.add("AL", kJan1, "10:0\r\n\x01\x02\r\n09:00:00  Alarm\r\n09:10:00  Alarm End");
    logs.add("ER", kJan1, "  \r\nxx:00:00  News Audio Alarm 00:05\r\n");
    const auto h = ReadSignalHistory(logs.files, kJan1, kJan1);
    EXPECT_EQ(SignalCsv(h), expected);
    EXPECT_EQ(h.skippedLines, expectSkipped + 3);
    ASSERT_EQ(h.spans.size(), 1u);
    EXPECT_EQ(h.spans[0].end, At(kJan1, 9, 10, 0));
}

TEST(SignalHistory, AlarmsSilencesAndRecordingsBecomeSpansAndMarks) {
    LogFolder logs;
    const Date jan2 = kJan1.addDays(1), jan3 = kJan1.addDays(2);
    logs.polls(kJan1);
    logs.polls(jan2, 22);
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
    const auto h = ReadSignalHistory(logs.files, kJan1, jan3);
    EXPECT_EQ(h.samples.size(), 96u + 88);
    EXPECT_EQ(h.daysWithoutEbLog, std::vector<Date>{jan3});

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
    std::vector<std::tuple<std::string, LogMoment, bool>> recordings;
    for (const auto& r : h.recordings) recordings.emplace_back(r.name, r.stop, r.stopped);
    EXPECT_EQ(recordings, (decltype(recordings){{"News", At(kJan1, 10, 30, 0), true},
                                                {"Late Show", At(jan2, 0, 30, 0), true}}));
}

// The day clocks go back: lines behind the latest, or level with it right after one that was.
TEST(SignalHistory, LinesOfTheRepeatedHourAreMarkedAfterTheSetBack) {
    std::string text;
    for (int t : {12, 12, 3612, 5412, 3612, 5412, 7212}) text += TimeText(t) + "  9.5 dB\r\n";
    LogFolder logs;
    logs.add("EB", kJan1, text);
    std::vector<bool> flagged;
    for (const auto& sample : ReadSignalHistory(logs.files, kJan1, kJan1).samples)
        flagged.push_back(sample.when.afterSetBack);
    EXPECT_EQ(flagged, (std::vector<bool>{false, false, false, false, true, true, false}));
}
