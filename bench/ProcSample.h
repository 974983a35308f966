#pragma once
// What /proc says about one process: CPU seconds used so far, resident memory, open
// descriptors and threads.

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quillmar::bench {

struct ProcSample {
    bool ok = false;
    double cpuSeconds = 0;  // user + system
    double rssMiB = 0;
    int fds = 0;
    int threads = 0;
};

inline ProcSample SampleProcess(pid_t pid) {
    ProcSample s;
    const std::filesystem::path dir = "/proc/" + std::to_string(pid);
    std::ifstream statFile(dir / "stat");
    std::string stat;
    if (!std::getline(statFile, stat)) return s;
    // The command name may hold blanks and parentheses: fields count from the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return s;
    std::istringstream fields(stat.substr(close + 2));
    std::vector<std::string> f;
    for (std::string v; fields >> v;) f.push_back(v);
    if (f.size() < 13) return s;
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    s.cpuSeconds = (std::stod(f[11]) + std::stod(f[12])) / tick;  // fields 14 and 15

    std::ifstream status(dir / "status");
    for (std::string line; std::getline(status, line);) {
        std::istringstream words(line);
        std::string key;
        double value = 0;
        words >> key >> value;
        if (key == "VmRSS:") s.rssMiB = value / 1024.0;
        if (key == "Threads:") s.threads = static_cast<int>(value);
    }
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir / "fd", ec), end; !ec && it != end;
         it.increment(ec))
        ++s.fds;
    s.ok = !ec;
    return s;
}

}  // namespace quillmar::bench
