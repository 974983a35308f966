#include "logs/ActivityLog.h"

#include "core/Station.h"

namespace quillmar {

std::string DailyLogPath(std::string_view kind, const Date& day) {
    return std::string(kLogsFolder) + "\\" + std::string(kind) + DayKey(day) + ".log";
}

bool AppendDailyLog(Station& st, std::string_view kind, std::string_view line) {
    auto& files = st.platform.files;
    const std::string path = DailyLogPath(kind, st.platform.clock.now().date);
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
        st.LogFailureShown = false;
    } else if (!st.LogFailureShown) {
        st.LogFailureShown = true;
        ShowError(st, "Cannot write the log " + path + ": " + error);
    }
    return ok;
}

void WriteActivityLog(Station& st, std::string_view message) {
    if (st.Settings.ActivityLog != 1) return;
    AppendDailyLog(st, "AL", TimeText(st.platform.clock.now()) + "  " + std::string(message));
}

void WriteErrorLog(Station& st, std::string_view timeText, std::string_view message) {
    if (st.Settings.ActivityLog != 1) return;
    AppendDailyLog(st, "ER", std::string(timeText) + "  " + std::string(message));
}

}  // namespace quillmar
