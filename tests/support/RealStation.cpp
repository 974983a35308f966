#include "support/RealStation.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace quillmar::testing {

using namespace std::chrono_literals;

std::string ReadAll(const fs::path& p) {
    std::stringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

void WriteAll(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit,
             std::chrono::milliseconds step) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(step);
    }
    return done();
}

WaveFacts ReadWave(const fs::path& p) {
    const std::string bytes = ReadAll(p);
    WaveFacts w;
    w.riff = bytes.size() >= 44 && bytes.starts_with("RIFF") && bytes.compare(8, 4, "WAVE") == 0;
    // Walk the chunks to "data"; its size field is what a player believes.
    for (std::size_t at = 12; w.riff && at + 8 <= bytes.size();) {
        std::uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (bytes.compare(at, 4, "data") == 0) {
            w.headerSeconds = size / 4.0 / 44100.0;
            w.bytesSeconds = static_cast<double>(bytes.size() - at - 8) / 4.0 / 44100.0;
            break;
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

float MarkAt(const std::string& marks, std::size_t record) {
    float value = -1;
    if (record >= 1 && marks.size() >= record * 4)
        std::memcpy(&value, marks.data() + (record - 1) * 4, 4);
    return value;
}

std::string LocalTime::hms() const {
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", hour, minute, second);
    return b;
}

LocalTime LocalIn(int seconds) {
    const std::time_t at = std::time(nullptr) + seconds;
    std::tm t{};
    localtime_r(&at, &t);
    return {t.tm_wday, t.tm_hour, t.tm_min, t.tm_sec};
}

RealStation::RealStation(const fs::path& binaryDir, const std::string& tag)
    : binaryDir_(binaryDir) {
    std::string pattern = (fs::temp_directory_path() / ("quillmar-" + tag + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    home = pattern;
    root = home / "quillmar";
    satfile = root / "drives/c/satfile";
    logs = satfile / "logs";
    receiverLog = home / "receiver.log";
    for (const fs::path& p : {satfile, root / "devices", home / "runtime"})
        fs::create_directories(p);
    fs::permissions(home / "runtime", fs::perms::owner_all);
    env = {"XDG_DATA_HOME=" + home.string(), "XDG_RUNTIME_DIR=" + (home / "runtime").string(),
           "QT_QPA_PLATFORM=offscreen", "JACK_NO_START_SERVER=1"};
}

RealStation::~RealStation() {
    while (!children_.empty()) stop(children_.back(), SIGTERM, 5s);  // stop() forgets each
    std::error_code ignored;
    fs::remove_all(home, ignored);
}

fs::path RealStation::binary(const std::string& name) const {
    for (const fs::path& p : {binaryDir_ / name, binaryDir_ / "tools/receiver-sim" / name})
        if (fs::exists(p)) return p;
    throw std::runtime_error("no " + name + " under " + binaryDir_.string());
}

pid_t RealStation::spawn(const std::vector<std::string>& args, const fs::path& output,
                         long fileSizeLimit) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (fileSizeLimit > 0) {
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit),
                               static_cast<rlim_t>(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        for (const auto& e : env) ::putenv(const_cast<char*>(e.c_str()));
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid > 0) children_.push_back(pid);
    return pid;
}

pid_t RealStation::startReceiver(const std::vector<std::string>& extraArgs) {
    std::vector<std::string> args = {binary("quillmar-receiver-sim").string(), "--link",
                                     (root / "devices/com1").string(), "--log",
                                     receiverLog.string()};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    const pid_t pid = spawn(args, home / "receiver.out");
    WaitFor([&] { return fs::is_symlink(root / "devices/com1"); }, 10s, 50ms);
    return pid;
}

pid_t RealStation::startStation(const std::vector<std::string>& args, long fileSizeLimit) {
    std::vector<std::string> all = {binary("quillmar").string()};
    all.insert(all.end(), args.begin(), args.end());
    return spawn(all, home / "quillmar.out", fileSizeLimit);
}

bool RealStation::running(pid_t pid) {
    const auto it = std::find(children_.begin(), children_.end(), pid);
    if (it == children_.end() || ::waitpid(pid, nullptr, WNOHANG) != pid)
        return it != children_.end();
    children_.erase(it);
    return false;
}

int RealStation::stop(pid_t pid, int signal, std::chrono::seconds limit) {
    if (pid <= 0) return -1;
    ::kill(pid, signal);
    int status = -1;
    if (!WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit, 50ms)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        status = -1;
    }
    children_.erase(std::remove(children_.begin(), children_.end(), pid), children_.end());
    return status;
}

fs::path RealStation::makePortFile() {
    const fs::path device = root / "devices/ioport";
    WriteAll(device, std::string(0x400, '\0'));
    return device;
}

void RealStation::SetPortByte(const fs::path& device, long address, unsigned char value) {
    const int fd = ::open(device.c_str(), O_WRONLY);
    if (fd < 0) throw std::runtime_error("cannot open " + device.string());
    const ssize_t n = ::pwrite(fd, &value, 1, address);
    ::close(fd);
    if (n != 1) throw std::runtime_error("cannot write " + device.string());
}

int RealStation::audioDevice(bool record, const std::string& name) {
    const fs::path listing = home / "audio-devices.txt";
    fs::remove(listing);
    stop(spawn({binary("quillmar").string(), "--audio-devices"}, listing), 0, 60s);
    std::istringstream lines(ReadAll(listing));
    const std::regex entry(R"(^\s*(\d+)  (.*)$)");
    bool inList = false;
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (line.ends_with("devices:"))
            inList = line == (record ? "Record devices:" : "Play devices:");
        else if (inList && std::regex_match(line, m, entry) && m[2] == name)
            return std::stoi(m[1]);
    }
    throw std::runtime_error("no device " + name + " in\n" + ReadAll(listing));
}

std::string LogsNamed(const fs::path& logs, const std::string& prefix) {
    std::vector<fs::path> files;
    if (fs::exists(logs))
        for (const auto& e : fs::directory_iterator(logs))
            if (e.path().filename().string().rfind(prefix, 0) == 0) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::string all;
    for (const auto& f : files) all += ReadAll(f);
    return all;
}

std::string RealStation::output() const {
    return ReadAll(home / "quillmar.out");
}

}  // namespace quillmar::testing
