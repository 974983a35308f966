#pragma once
// The one reader of the station's logs: CR LF lines of c:\satfile\logs\<kind><day>.log.

#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/FileSystem.h"

namespace quillmar::testing {

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        auto end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// The lines of a day's log of a kind ("AL", "ER", "EB"); none when there is no such log.
inline std::vector<std::string> LogLines(const FileSystem& files, const std::string& kind,
                                         const Date& day) {
    std::string text;
    if (!files.readFile("c:\\satfile\\logs\\" + kind + DayKey(day) + ".log", &text, nullptr))
        return {};
    return SplitLines(text);
}

// Log lines without their "hh:mm:ss  " stamp.
inline std::vector<std::string> Unstamped(const std::vector<std::string>& lines) {
    std::vector<std::string> texts;
    for (const auto& line : lines) texts.push_back(line.size() > 10 ? line.substr(10) : "");
    return texts;
}

}  // namespace quillmar::testing
