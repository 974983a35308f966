// How late the real program's 50 ms clock tick runs when a device is slow. Each case starts
// the station on the busy schedule (a recording every 45 s with its cues and timed play, Eb/No
// polled every minute) for --seconds and records how late every tick ran: the program tells the
// service manager's watchdog from each tick, with how many milliseconds after its due moment
// it ran (X_TICK_LATE_MS), and with WATCHDOG_USEC this low it tells every tick, to the notify
// socket the bench holds.
//
//   bench_latency [--seconds N] [--case NAME]... [--binary-dir DIR]
//
// Cases: normal (the receiver simulator answering), silent-receiver (never answers),
// slow-receiver (answers 1.5 s late), stalled-disk (a wave file write waits 2 s every 8 s,
// through the stall_writes library loaded with LD_PRELOAD), hung-printer (the station's printer
// on the host event loop, in this process, with a 50 ms timer standing in for the tick: a
// 200 KiB report, more than a pipe holds, every 5 s to a program that never reads or exits).
// Prints one LATENCY line per case.

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SoakPlan.h"
#include "platform/host/LpPrinter.h"
#include "platform/host/QtEventLoop.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace quillmar::bench;
using quillmar::testing::WriteAll;
using Steady = std::chrono::steady_clock;

namespace {

constexpr double kTickMs = 50;

volatile sig_atomic_t gInterrupted = 0;
void OnInterrupt(int) {
    gInterrupted = 1;
}

struct Case {
    const char* name;
    std::vector<std::string> receiverArgs;
    bool stallWrites = false;
    bool printer = false;
};

const std::vector<Case> kCases = {{"normal", {}},
                                  {"silent-receiver", {"--silent"}},
                                  {"slow-receiver", {"--slow", "1500"}},
                                  {"stalled-disk", {}, true},
                                  {"hung-printer", {}, false, true}};

struct Options {
    fs::path binaryDir = QUILLMAR_BINARY_DIR;
    fs::path stallLibrary = QUILLMAR_STALL_LIBRARY;
    int seconds = 100;
    std::vector<std::string> cases;
};

[[noreturn]] void Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "bench_latency: %s\n", problem);
    std::fprintf(stderr,
                 "usage: bench_latency [--seconds N] [--case NAME]... [--binary-dir DIR]\n"
                 "cases: normal silent-receiver slow-receiver stalled-disk hung-printer\n");
    std::exit(2);
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage(("no value after " + a).c_str());
            return argv[++i];
        };
        if (a == "--seconds")
            o.seconds = std::atoi(value().c_str());
        else if (a == "--case")
            o.cases.push_back(value());
        else if (a == "--binary-dir")
            o.binaryDir = value();
        else if (a == "--help" || a == "-h")
            Usage(nullptr);
        else
            Usage(("unknown option " + a).c_str());
    }
    // Room for a recording with its cues and timed play, and a minute's poll.
    if (o.seconds < kLeadS + kEveryS + kTailS) Usage("--seconds must be at least 75");
    for (const auto& c : o.cases)
        if (std::none_of(kCases.begin(), kCases.end(), [&](const Case& k) { return c == k.name; }))
            Usage(("unknown case " + c).c_str());
    return o;
}

// The notify socket: each watchdog notice's arrival and the lateness it reports.
class TickListener {
  public:
    struct Tick {
        Steady::time_point at;
        double lateMs;
    };
    explicit TickListener(const fs::path& path) : path_(path) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (fd_ < 0 || path.string().size() >= sizeof addr.sun_path)
            throw std::runtime_error("no notify socket");
        std::strcpy(addr.sun_path, path.c_str());
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            throw std::runtime_error("cannot bind " + path.string());
        const timeval wait{0, 100000};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        reader_ = std::thread([this] { read(); });
    }
    ~TickListener() {
        stop_ = true;
        reader_.join();
        ::close(fd_);
    }
    std::vector<Tick> ticks() {
        std::lock_guard lock(mutex_);
        return ticks_;
    }

  private:
    void read() {
        char buffer[256];
        while (!stop_) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer - 1, 0);
            if (n <= 0) continue;
            const auto at = Steady::now();
            const std::string_view text(buffer, static_cast<std::size_t>(n));
            const auto late = text.find("X_TICK_LATE_MS=");
            if (text.find("WATCHDOG=1") == std::string_view::npos || late == std::string_view::npos)
                continue;
            buffer[n] = '\0';
            std::lock_guard lock(mutex_);
            ticks_.push_back({at, std::atof(buffer + late + 15)});
        }
    }

    fs::path path_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread reader_;
    std::mutex mutex_;
    std::vector<Tick> ticks_;
};

int CountLines(const std::string& text, const std::string& needle) {
    int n = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

// exchanges: receiver commands, or print jobs for the printer.
void PrintLatency(const char* name, std::vector<double> delays, double seconds, int recordings,
                  int planned, int exchanges, int stalls) {
    std::sort(delays.begin(), delays.end());
    const auto late = std::count_if(delays.begin(), delays.end(), [](double d) { return d > 100; });
    std::printf(
        "LATENCY case=%s seconds=%.0f ticks=%zu max_delay_ms=%.0f "
        "p99_delay_ms=%.0f ticks_over_100ms=%td recordings=%d/%d exchanges=%d "
        "write_stalls=%d\n",
        name, seconds, delays.size(), delays.back(), delays[delays.size() * 99 / 100], late,
        recordings, planned, exchanges, stalls);
    std::fflush(stdout);
}

bool RunPrinterCase(const Options& o, const Case& c) {
    RealStation s(o.binaryDir, std::string("latency-") + c.name);
    const fs::path hung = s.home / "hung-lp";
    WriteAll(hung, "#!/bin/sh\nexec sleep 3600\n");
    fs::permissions(hung, fs::perms::owner_all);
    int argc = 1;
    char name[] = "bench_latency";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    quillmar::QtEventLoop loop;
    int jobs = 0;
    std::vector<Steady::time_point> ticks;
    {
        quillmar::LpPrinter printer(hung.string());
        const std::string report(200 * 1024, 'x');
        auto tick = loop.createTimer(50, false, [&] { ticks.push_back(Steady::now()); });
        const auto job = [&] {
            ++jobs;
            printer.print(report, [](bool, const std::string&) {});
        };
        auto print = loop.createTimer(5000, false, job);
        auto end = loop.createTimer(o.seconds * 1000, true, [] { QCoreApplication::quit(); });
        for (auto* t : {tick.get(), print.get(), end.get()}) t->setEnabled(true);
        loop.post(job);
        const auto started = Steady::now();
        app.exec();
        // A plain timer's tick is due 50 ms after the one before.
        std::vector<double> delays;
        for (std::size_t i = 1; i < ticks.size(); ++i)
            delays.push_back(std::max(
                0.0, std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count() -
                         kTickMs));
        PrintLatency(c.name, delays, std::chrono::duration<double>(Steady::now() - started).count(),
                     0, 0, jobs, 0);
    }  // the runner kills what still runs
    return ticks.size() >= 2;
}

bool RunCase(const Options& o, const Case& c) {
    if (c.printer) return RunPrinterCase(o, c);
    RealStation s(o.binaryDir, std::string("latency-") + c.name);
    WriteAll(s.satfile / "MyComp.ini", Settings(s, true));
    s.startReceiver(c.receiverArgs);
    const std::time_t now = std::time(nullptr);
    const Plan plan = BusyPlan(now + kLeadS, now + o.seconds - kTailS);
    WriteAll(s.satfile / "SatList.dat", plan.satList);

    TickListener listener(s.home / "notify");
    // Below 4 µs the watchdog counts as off; at 4 it is told every tick.
    s.env.push_back("NOTIFY_SOCKET=" + (s.home / "notify").string());
    s.env.push_back("WATCHDOG_USEC=4");
    if (c.stallWrites) s.env.push_back("LD_PRELOAD=" + o.stallLibrary.string());
    const pid_t pid = s.startStation();
    if (!quillmar::testing::WaitFor([&] { return fs::exists(HelpFile(s)); }, 60s, 10ms)) {
        std::fprintf(stderr, "bench_latency: %s: the station did not start\n%s", c.name,
                     s.output().c_str());
        return false;
    }
    const auto started = Steady::now();
    bool died = false;
    while (Steady::now() - started < std::chrono::seconds(o.seconds) && !gInterrupted && !died) {
        std::this_thread::sleep_for(100ms);
        died = !s.running(pid);
    }
    const auto ended = Steady::now();
    const std::string activity = s.activityLog();
    const std::string output = s.output();
    if (!died) s.stop(pid, SIGTERM);

    std::vector<double> delays;
    for (const auto& t : listener.ticks())
        if (t.at >= started && t.at <= ended) delays.push_back(t.lateMs);
    if (died || delays.size() < 2) {
        std::fprintf(stderr, "bench_latency: %s: %s\n%s", c.name,
                     died ? "the station died" : "no ticks were told", output.c_str());
        return false;
    }
    PrintLatency(c.name, delays, std::chrono::duration<double>(ended - started).count(),
                 CountLines(activity, "  Stop   "), plan.recordings,
                 CountLines(quillmar::testing::ReadAll(s.receiverLog), "\n"),
                 CountLines(output, "bench: a wave file write stalled"));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    bool ok = true;
    try {
        for (const Case& c : kCases) {
            if (gInterrupted) break;
            if (!o.cases.empty() &&
                std::find(o.cases.begin(), o.cases.end(), c.name) == o.cases.end())
                continue;
            ok = RunCase(o, c) && ok;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_latency: %s\n", e.what());
        return 1;
    }
    return ok && !gInterrupted ? 0 : 1;
}
