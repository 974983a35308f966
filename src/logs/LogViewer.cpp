#include "logs/LogViewer.h"

#include <algorithm>
#include <cctype>

#include "logs/ActivityLog.h"
#include "platform/BackgroundWork.h"
#include "platform/FileSystem.h"
#include "platform/SortedList.h"
#include "platform/TextLines.h"

namespace quillmar {

namespace {

bool IsDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The day a log file is for, "mm/dd/yy", from its name: kind, yymmdd, then the extension.
// Names of another form are not logs of the station.
bool DayOfFile(const std::string& name, const std::string& kind, std::string* day) {
    if (name.size() < 8 || Upper(name.substr(0, 2)) != kind || !IsDigits(name.substr(2, 6)))
        return false;
    *day = name.substr(4, 2) + "/" + name.substr(6, 2) + "/" + name.substr(2, 2);
    return true;
}

std::string Noun(const std::string& kind) {
    if (kind == "AL") return "Activity Log";
    if (kind == "EB") return "EbNo Log";
    // Without a title of its own the error log's window would carry only the program's name.
    if (kind == "ER") return "Error Log";
    return {};
}

void SetCaption(LogViewerModel& m, const char* before) {
    const std::string noun = Noun(m.kind);
    if (!noun.empty()) m.caption = before + noun;
}

}  // namespace

std::vector<std::string> LinesByEvent(const std::vector<std::string>& lines) {
    std::vector<std::string> sorted;
    sorted.reserve(lines.size());
    for (const auto& line : lines)
        sorted.push_back((line.size() > 9 ? line.substr(9) : std::string()) + " " +
                         line.substr(0, 8));
    std::stable_sort(sorted.begin(), sorted.end(), TextLessNoCase);
    return sorted;
}

void LoadLogViewer(const FileSystem& files, LogViewerModel& m, std::string_view kind) {
    m.kind = Upper(std::string(kind));
    m.lstDate.clear();
    m.lstActivityLog.clear();
    m.showingDay = false;
    m.byEvent = false;

    std::vector<std::string> names = files.list(kLogsFolder, false);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Upper(a) < Upper(b); });
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        std::string day;
        if (DayOfFile(*name, m.kind, &day)) m.lstDate.push_back(day);
    }
    if (m.lstDate.empty()) m.lstDate.push_back(kNoLogsFound);
    m.lstDateIndex = 0;
    SetCaption(m, "Load ");
}

void LogViewerOk(const FileSystem& files, BackgroundWork& work, const CompletionGuard& guard,
                 LogViewerModel& m, std::function<void()> shown) {
    if (m.reading || m.lstDate.empty() || m.lstDate.front() == kNoLogsFound) return;
    if (m.showingDay) {
        m.lstActivityLog.clear();
        m.showingDay = false;
        SetCaption(m, "Select ");
        return;
    }
    if (m.lstDateIndex < 0 || m.lstDateIndex >= static_cast<int>(m.lstDate.size())) return;
    const std::string date = m.lstDate[static_cast<std::size_t>(m.lstDateIndex)];
    m.showingDay = true;
    m.reading = true;
    m.lstActivityLog.clear();
    const std::string noun = Noun(m.kind);
    if (!noun.empty()) m.caption = noun + " for " + date;

    std::string path = std::string(kLogsFolder) + "\\" + m.kind + date.substr(6, 2) +
                       date.substr(0, 2) + date.substr(3, 2) + ".log";
    auto read = [&files, path = std::move(path), date, byEvent = m.byEvent] {
        std::string text, error;
        // A file removed since the list was made reads like an empty one.
        if (!files.readFile(path, &text, &error) || text.empty())
            return std::vector<std::string>{"Log for " + date + " does not exist."};
        auto lines = SplitLines(text);
        return byEvent ? LinesByEvent(lines) : lines;
    };
    RunInBackground(work, std::move(read),
                    guard.wrap([&m, shown = std::move(shown)](std::vector<std::string> lines) {
                        m.lstActivityLog = std::move(lines);
                        m.reading = false;
                        if (shown) shown();
                    }));
}

}  // namespace quillmar
