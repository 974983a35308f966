#include "logs/ActivityLog.h"

namespace quillmar {

namespace {
// The settings' ActivityLog value that keeps the activity and error logs.
constexpr std::int16_t kLogsKept = 1;
}  // namespace

std::string DailyLogPath(std::string_view kind, const Date& day) {
    return std::string(kLogsFolder) + "\\" + std::string(kind) + DayKey(day) + ".log";
}

bool AppendDailyLog(Logs& logs, std::string_view kind, std::string_view line) {
    auto& files = logs.files;
    const std::string path = DailyLogPath(kind, logs.clock.now().date);
    const std::string text = std::string(line) + "\r\n";
    std::string error;
    bool ok = files.appendToFile(path, text, &error);
    if (!ok && !files.folderExists(kLogsFolder)) {
        // Someone removed the folder while we run: make it again rather than lose the line.
        std::string ignored;
        files.createFolder("c:\\satfile", &ignored);
        if (files.createFolder(kLogsFolder, &ignored)) ok = files.appendToFile(path, text, &error);
    }
    if (ok) {
        logs.LogFailureShown = false;
    } else if (!logs.LogFailureShown) {
        logs.LogFailureShown = true;
        logs.errors.showError("Cannot write the log " + path + ": " + error);
    }
    return ok;
}

void WriteActivityLog(Logs& logs, std::string_view message) {
    if (logs.settings.ActivityLog != kLogsKept) return;
    AppendDailyLog(logs, "AL", TimeText(logs.clock.now()) + "  " + std::string(message));
}

void WriteErrorLog(Logs& logs, std::string_view timeText, std::string_view message) {
    if (logs.settings.ActivityLog != kLogsKept) return;
    AppendDailyLog(logs, "ER", std::string(timeText) + "  " + std::string(message));
}

}  // namespace quillmar
