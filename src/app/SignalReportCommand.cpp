// quillmar --signal-report DAYS --output FILE.png|FILE.svg|-: the Eb/No chart of the last
// DAYS days drawn without a screen, or its polls as CSV on standard output.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "logs/SignalHistory.h"
#include "logs/windows/SignalReport.h"
#include "platform/host/PosixFileSystem.h"
#include "platform/host/SystemClock.h"

namespace quillmar {

int RunSignalReport(int argc, char** argv) {
    int days = 0;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--signal-report" && value) {
            char* end = nullptr;
            const long n = std::strtol(value, &end, 10);
            days = *value && *end == '\0' && n >= 1 && n <= 366 ? static_cast<int>(n) : -1;
            ++i;
        } else if (arg == "--output" && value) {
            output = value;
            ++i;
        } else {
            days = -1;
            break;
        }
    }
    if (days <= 0 || output.empty()) {
        std::fprintf(
            stderr,
            "Usage: quillmar --signal-report DAYS --output FILE.png|FILE.svg|-\n"
            "  DAYS from 1 (today) to 366; - writes CSV (time, Eb/No) to standard output\n");
        return 2;
    }
    PosixFileSystem files(DefaultDataRoot());
    SystemClock clock;
    const Date today = clock.now().date;
    const SignalHistory history = ReadSignalHistory(files, today.addDays(1 - days), today);
    if (history.skippedLines > 0)
        std::fprintf(stderr, "quillmar: %d unreadable log lines skipped\n", history.skippedLines);
    if (output == "-") {
        const std::string csv = SignalCsv(history);
        return std::fwrite(csv.data(), 1, csv.size(), stdout) == csv.size() &&
                       std::fflush(stdout) == 0
                   ? 0
                   : 1;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::string error;
    if (!WriteSignalPicture(history, output, &error)) {
        std::fprintf(stderr, "quillmar: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace quillmar
