#include "platform/FileSystem.h"

namespace quillmar {

namespace {
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

std::vector<std::string> DrivePathParts(std::string_view drivePath, char* drive) {
    *drive = 0;
    std::vector<std::string> kept;
    if (drivePath.size() < 2 || drivePath[1] != ':') return kept;
    const char letter = Lower(drivePath[0]);
    if (letter < 'a' || letter > 'z') return kept;
    *drive = letter;
    // ".." never climbs above the drive: the drive is the whole world of a drive path.
    std::string cur;
    const auto take = [&kept, &cur] {
        if (cur == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!cur.empty() && cur != ".") {
            kept.push_back(cur);
        }
        cur.clear();
    };
    for (char c : drivePath.substr(2)) {
        if (c == '\\' || c == '/')
            take();
        else
            cur += c;
    }
    take();
    return kept;
}

std::string DrivePathKey(std::string_view drivePath) {
    char drive = 0;
    const auto parts = DrivePathParts(drivePath, &drive);
    if (!drive) return {};
    std::string key{drive, ':'};
    for (const auto& part : parts) {
        key += '\\';
        for (char c : part) key += Lower(c);
    }
    return key;
}

bool WildcardMatch(std::string_view p, std::string_view s) {
    std::size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == '?' || Lower(p[pi]) == Lower(s[si]))) {
            ++pi;
            ++si;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = si;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace quillmar
