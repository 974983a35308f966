// The real station program in wall-clock time, with the receiver simulator on a
// pseudo-terminal and the built-in "Test tone" and "Silent output" sound devices.
//
//   bench_soak [--minutes N]     a busy schedule (10 min): a 20 s recording every 45 s, each
//                                played 23 s after it starts, Eb/No polled every minute, the
//                                activity log on; the rest of the 999 schedules on other days
//   bench_soak --idle            no schedules and no polls (1 min): the idle program's cost
//   bench_soak --startup N       N start-ups each with 999 full schedules and with none: exec
//                                until the help file appears (written right after start-up)
//   --binary-dir DIR             the build folder holding quillmar (default: this build's)
//   --logs-to DIR                keep copies of the station's logs and output there
//
// The soak samples /proc every 10 s and prints CPU (% of one core over the interval), RSS,
// open descriptors and threads, then one SUMMARY line (with the RSS growth per hour after the
// first 10 minutes, or after the first half of a shorter run); --startup prints STARTUP lines.

#include <signal.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "FullSchedule.h"
#include "ProcSample.h"
#include "SoakPlan.h"
#include "platform/DateTime.h"
#include "schedule/ScheduleRecord.h"
#include "support/RealStation.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using quillmar::testing::ReadAll;
using quillmar::testing::RealStation;
using quillmar::testing::WriteAll;
using Steady = std::chrono::steady_clock;
using namespace quillmar::bench;

namespace {

volatile sig_atomic_t gInterrupted = 0;
void OnInterrupt(int) {
    gInterrupted = 1;
}

struct Options {
    fs::path binaryDir = QUILLMAR_BINARY_DIR;
    double minutes = -1;  // by mode when not given
    bool idle = false;
    int startupRuns = 0;
    int intervalS = 10;
    fs::path logsTo;  // where to copy the logs and the programs' output after a run
};

[[noreturn]] void Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "bench_soak: %s\n", problem);
    std::fprintf(stderr,
                 "usage: bench_soak [--minutes N | --idle [--minutes N] | --startup RUNS]"
                 " [--binary-dir DIR] [--interval S] [--logs-to DIR]\n");
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
        if (a == "--minutes")
            o.minutes = std::atof(value().c_str());
        else if (a == "--binary-dir")
            o.binaryDir = value();
        else if (a == "--idle")
            o.idle = true;
        else if (a == "--startup")
            o.startupRuns = std::atoi(value().c_str());
        else if (a == "--interval")
            o.intervalS = std::max(1, std::atoi(value().c_str()));
        else if (a == "--logs-to")
            o.logsTo = value();
        else if (a == "--help" || a == "-h")
            Usage(nullptr);
        else
            Usage(("unknown option " + a).c_str());
    }
    if (o.minutes < 0) o.minutes = o.idle ? 1 : 10;
    if (o.minutes <= 0 && o.startupRuns <= 0) Usage("--minutes must be above 0");
    return o;
}

int CountLines(const std::string& text, const std::string& needle) {
    int n = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

std::string LogsNamed(const RealStation& s, const std::string& prefix) {
    std::string all;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(s.logs, ec))
        if (e.path().filename().string().rfind(prefix, 0) == 0) all += ReadAll(e.path());
    return all;
}

// The throwaway home goes with the run; what tells how it went is kept.
void KeepLogs(const RealStation& s, const fs::path& to) {
    if (to.empty()) return;
    std::error_code ec;
    fs::create_directories(to, ec);
    fs::copy(s.logs, to / "logs",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    for (const fs::path& f : {s.home / "quillmar.out", s.receiverLog})
        fs::copy_file(f, to / f.filename(), fs::copy_options::overwrite_existing, ec);
}

double Ms(Steady::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// RSS growth in MiB per hour: the least-squares slope over the samples taken after settleS,
// so start-up and the first recordings' buffers do not count as growth.
double GrowthPerHour(const std::vector<double>& at, const std::vector<double>& rss,
                     double settleS) {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < at.size(); ++i) {
        if (at[i] < settleS) continue;
        n += 1;
        sx += at[i];
        sy += rss[i];
        sxx += at[i] * at[i];
        sxy += at[i] * rss[i];
    }
    const double d = n * sxx - sx * sx;
    return n < 3 || d <= 0 ? 0 : 3600 * (n * sxy - sx * sy) / d;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// One start of the program on the given SatList.dat: milliseconds from exec until the data
// files are open (Exportinfo.dat made) and until start-up is over (help file written); -1
// when it never got there.
std::pair<double, double> StartOnce(RealStation& s, const std::string& satList) {
    for (const char* name : {"sathelp.hlp", "Exportinfo.dat", "AddressBook.dat"})
        fs::remove(s.satfile / name);
    fs::remove_all(s.logs);
    WriteAll(s.satfile / "SatList.dat", satList);
    const fs::path exportFile = s.satfile / "Exportinfo.dat";
    const auto t0 = Steady::now();
    const pid_t pid = s.startStation();
    double opened = -1, started = -1;
    while (Steady::now() - t0 < 30s && !gInterrupted) {
        if (opened < 0 && fs::exists(exportFile)) opened = Ms(Steady::now() - t0);
        if (fs::exists(HelpFile(s))) {
            started = Ms(Steady::now() - t0);
            break;
        }
        if (!s.running(pid)) break;
        std::this_thread::sleep_for(1ms);
    }
    s.stop(pid, SIGTERM);
    return {opened, started};
}

int RunStartups(const Options& o) {
    RealStation s(o.binaryDir, "startup-bench");
    WriteAll(s.satfile / "MyComp.ini", Settings(s, true));
    s.startReceiver();
    // The same file the in-process start-up benchmark reads.
    const std::string full = quillmar::bench::FullScheduleBytes(11 * 3600, 14 * 3600);
    for (const int schedules : {quillmar::kMaxSchedules, 0}) {
        const std::string satList =
            full.substr(0, static_cast<std::size_t>(schedules) * quillmar::kScheduleRecordLength);
        std::vector<double> opened, started;
        for (int i = 0; i < o.startupRuns && !gInterrupted; ++i) {
            const auto [open, done] = StartOnce(s, satList);
            if (done < 0) {
                std::fprintf(stderr, "bench_soak: start-up %d never finished\n%s", i + 1,
                             s.output().c_str());
                return 1;
            }
            opened.push_back(open);
            started.push_back(done);
        }
        if (started.empty()) return 1;
        std::printf(
            "STARTUP schedules=%d runs=%zu median_ms=%.1f min_ms=%.1f max_ms=%.1f "
            "files_open_median_ms=%.1f\n",
            schedules, started.size(), Median(started),
            *std::min_element(started.begin(), started.end()),
            *std::max_element(started.begin(), started.end()), Median(opened));
        std::fflush(stdout);
    }
    return 0;
}

int RunSoak(const Options& o) {
    RealStation s(o.binaryDir, o.idle ? "idle-bench" : "soak-bench");
    WriteAll(s.satfile / "MyComp.ini", Settings(s, !o.idle));
    s.startReceiver();
    if (!fs::is_symlink(s.root / "devices/com1")) {
        std::fprintf(stderr, "bench_soak: the receiver simulator did not link devices/com1\n");
        return 1;
    }
    const auto runS = static_cast<long>(o.minutes * 60);
    const std::time_t now = std::time(nullptr);
    const Plan plan = o.idle ? Plan{} : BusyPlan(now + kLeadS, now + runS - kTailS);
    WriteAll(s.satfile / "SatList.dat", plan.satList);
    if (LocalAt(now).yearDay != LocalAt(now + runS).yearDay)
        std::printf(
            "note: the run crosses midnight; a play due after it looks for that day's file\n");

    const pid_t pid = s.startStation();
    if (!quillmar::testing::WaitFor([&] { return fs::exists(HelpFile(s)); }, 30s, 10ms)) {
        std::fprintf(stderr, "bench_soak: the station did not start\n%s", s.output().c_str());
        return 1;
    }
    std::printf("%s: %.1f min, %d recordings of %d s with timed plays, %zu schedules\n",
                o.idle ? "idle" : "soak", o.minutes, plan.recordings, kLengthS,
                plan.satList.size() / quillmar::kScheduleRecordLength);
    std::printf("%10s %8s %9s %5s %8s\n", "elapsed_s", "cpu_%", "rss_MiB", "fds", "threads");

    const auto t0 = Steady::now();
    std::vector<quillmar::bench::ProcSample> samples;
    std::vector<double> times;
    bool died = false;
    for (int k = 0;; ++k) {
        const auto due = t0 + std::chrono::seconds(static_cast<long>(k) * o.intervalS);
        if (due - t0 > std::chrono::seconds(runS)) break;
        while (Steady::now() < due && !gInterrupted && !died) {
            std::this_thread::sleep_for(100ms);
            died = !s.running(pid);
        }
        if (gInterrupted || died) break;
        const auto sample = quillmar::bench::SampleProcess(pid);
        const double at = std::chrono::duration<double>(Steady::now() - t0).count();
        if (!sample.ok) break;
        char cpu[16] = "-";
        if (!samples.empty())
            std::snprintf(
                cpu, sizeof cpu, "%.2f",
                100 * (sample.cpuSeconds - samples.back().cpuSeconds) / (at - times.back()));
        std::printf("%10.0f %8s %9.1f %5d %8d\n", at, cpu, sample.rssMiB, sample.fds,
                    sample.threads);
        std::fflush(stdout);
        samples.push_back(sample);
        times.push_back(at);
    }

    const std::string activity = s.activityLog();
    const std::string errors = s.errorLog();
    const int status = died ? -2 : s.stop(pid, SIGTERM);
    KeepLogs(s, o.logsTo);
    if (samples.size() < 2) {
        std::fprintf(stderr, "bench_soak: %s\n%s", died ? "the station died" : "too few samples",
                     s.output().c_str());
        return 1;
    }
    double rssMax = 0;
    std::vector<double> rss;
    for (const auto& x : samples) {
        rssMax = std::max(rssMax, x.rssMiB);
        rss.push_back(x.rssMiB);
    }
    // The first 10 minutes settle; a shorter run uses its second half.
    const double settleS = std::min(600.0, times.back() / 2);
    // The CPU share after the settling too: the start's own work (fonts, first paint) is not
    // what a station costs while it runs.
    std::size_t from = 0;
    while (from + 2 < times.size() && times[from] < settleS) ++from;
    const double cpuMean =
        100 * (samples.back().cpuSeconds - samples[from].cpuSeconds) / (times.back() - times[from]);
    std::printf(
        "SUMMARY mode=%s minutes=%.1f cpu_mean_pct=%.2f rss_start_mib=%.1f "
        "rss_end_mib=%.1f rss_max_mib=%.1f rss_growth_mib_per_hour=%.2f settle_s=%.0f "
        "fd_start=%d fd_end=%d recordings=%d/%d plays=%d/%d dumps=%d ebno_polls=%d "
        "error_lines=%d exit=%s\n",
        o.idle ? "idle" : "soak", (times.back() - times.front()) / 60, cpuMean,
        samples.front().rssMiB, samples.back().rssMiB, rssMax, GrowthPerHour(times, rss, settleS),
        settleS, samples.front().fds, samples.back().fds, CountLines(activity, "  Stop   "),
        plan.recordings, CountLines(activity, "  Play "), plan.recordings,
        CountLines(activity, "  Dump "), CountLines(LogsNamed(s, "EB"), "\r\n"),
        CountLines(errors, "\r\n"),
        status == 0 ? "clean"
        : died      ? "died"
                    : "unclean");
    if (!errors.empty()) std::printf("error log:\n%s", errors.substr(0, 2000).c_str());
    return died || gInterrupted ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    try {
        return o.startupRuns > 0 ? RunStartups(o) : RunSoak(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_soak: %s\n", e.what());
        return 1;
    }
}
