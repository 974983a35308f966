// quillmar-receiver-sim: a satellite receiver on a pseudo-terminal, for tests and demonstrations.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <fstream>
#include <string>

#include "ReceiverModel.h"

namespace {

const char kHelp[] =
    "Usage: quillmar-receiver-sim --link PATH [options]\n"
    "\n"
    "Plays a Unity 4K satellite receiver on a pseudo-terminal. The terminal's slave side is\n"
    "linked at PATH (for example <data root>/devices/com1), so a station opens it as its\n"
    "serial port. Commands end with CR; every reply is lines ended by CR LF and the prompt \">\".\n"
    "\n"
    "Commands answered:\n"
    "  SETAUDIO p r src att   route port p (1-4) as r (1 left, 2 right, S stereo, R reverse)\n"
    "                         from source src with attenuation att (0-14); the state is kept\n"
    "  ER D n / ER E n        de-energise / energise expansion relay n (1-14)\n"
    "  RE O n / RE C n        open / close standard relay n (1-2)\n"
    "  R C                    carrier report; line 11 holds the Eb/No\n"
    "  RT C                   long carrier report (over 700 characters, with an early \">\")\n"
    "  R M                    MPEG report: the routing of the four ports\n"
    "  R R / R ER             standard / expansion relay states\n"
    "  R SP / R S             serial port / receiver settings\n"
    "\n"
    "Options:\n"
    "  --link PATH      where to link the terminal (required; an existing link is replaced)\n"
    "  --log FILE       append each command received to FILE, one line each:\n"
    "                   YYYY-MM-DD HH:MM:SS.mmm, a tab, the command as received without its CR\n"
    "                   (bytes outside printable ASCII written as \\xNN, a backslash as \\\\)\n"
    "  --ebno TEXT      the Eb/No the carrier report shows (default \"10.2 dB\")\n"
    "  --ebno-cycle S   instead a varying Eb/No, repeating every S seconds from the start:\n"
    "                   about 11 dB, a slow fade to about 7 dB over the middle of the cycle,\n"
    "                   and one step drop to 2.5 dB from 80 % to 83 % of it\n"
    "  --silent         read commands (and log them) but never answer\n"
    "  --slow MS        answer each command MS milliseconds late\n"
    "  --garbage        answer random bytes without a prompt\n"
    "  --control FILE   re-read FILE before each answer; each line changes the behaviour:\n"
    "                   \"silent\", \"garbage\", \"normal\", \"slow MS\", \"ebno TEXT\"\n"
    "  --help           this text\n"
    "\n"
    "On start the program prints \"ready <terminal>\" and runs until SIGTERM or SIGINT, when it\n"
    "removes the link.\n";

volatile sig_atomic_t gStop = 0;
void OnSignal(int) {
    gStop = 1;
}

struct Behaviour {
    bool silent = false;
    bool garbage = false;
    int slowMs = 0;
};

using Clock = std::chrono::steady_clock;

std::string Stamp() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    char buf[64];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    char out[80];
    std::snprintf(out, sizeof out, "%s.%03ld", buf, ts.tv_nsec / 1'000'000);
    return out;
}

std::string Escape(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

void ReadControl(const std::string& path, Behaviour& b, receiver_sim::ReceiverModel& model) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "silent")
            b.silent = true;
        else if (line == "garbage")
            b.garbage = true;
        else if (line == "normal")
            b = Behaviour{};
        else if (line.rfind("slow ", 0) == 0)
            b.slowMs = std::atoi(line.c_str() + 5);
        else if (line.rfind("ebno ", 0) == 0)
            model.ebno = line.substr(5);
    }
}

std::string Garbage() {
    static unsigned state = 12345;
    std::string out;
    state = state * 1103515245u + 12345u;
    const unsigned length = 20 + (state >> 16) % 200;
    for (unsigned i = 0; i < length; ++i) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>((state >> 16) & 0xFF);
        out += c == '>' ? '<' : c;
    }
    return out;
}

int Usage(const char* message) {
    std::fprintf(stderr, "quillmar-receiver-sim: %s\n\n%s", message, kHelp);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string link, logPath, controlPath;
    double cycleSeconds = 0;
    Behaviour behaviour;
    receiver_sim::ReceiverModel model;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "--silent") {
            behaviour.silent = true;
        } else if (arg == "--garbage") {
            behaviour.garbage = true;
        } else if (arg == "--link" || arg == "--log" || arg == "--ebno" || arg == "--slow" ||
                   arg == "--control" || arg == "--ebno-cycle") {
            const char* v = value();
            if (!v) return Usage(("missing value after " + arg).c_str());
            if (arg == "--link")
                link = v;
            else if (arg == "--log")
                logPath = v;
            else if (arg == "--ebno")
                model.ebno = v;
            else if (arg == "--slow")
                behaviour.slowMs = std::atoi(v);
            else if (arg == "--ebno-cycle")
                cycleSeconds = std::atof(v);
            else
                controlPath = v;
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }
    if (link.empty()) return Usage("--link PATH is required");

    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("quillmar-receiver-sim: openpty");
        return 1;
    }
    // Raw at once: a station opening the port must not see echo or line editing.
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    // The slave stays open here, so the terminal lives on between the station's exchanges.
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    // Only a link is ever replaced; a file of the same name is left alone.
    struct stat existing {};
    if (::lstat(link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            std::fprintf(stderr, "quillmar-receiver-sim: %s exists and is not a link\n",
                         link.c_str());
            return 1;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(name, link.c_str()) != 0) {
        std::fprintf(stderr, "quillmar-receiver-sim: cannot link %s: %s\n", link.c_str(),
                     std::strerror(errno));
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    std::printf("ready %s\n", name);
    std::fflush(stdout);

    const auto started = Clock::now();
    std::FILE* log = logPath.empty() ? nullptr : std::fopen(logPath.c_str(), "a");
    std::string partial;
    std::deque<std::pair<Clock::time_point, std::string>> replies;
    std::string outgoing;  // due bytes the terminal has not taken yet
    constexpr std::size_t kMaxOutgoing = 64 * 1024;

    while (!gStop) {
        int timeout = 200;
        const auto now = Clock::now();
        if (!outgoing.empty()) timeout = 20;
        if (!replies.empty()) {
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(replies.front().first - now)
                    .count();
            timeout = static_cast<int>(std::max<long long>(0, std::min<long long>(timeout, wait)));
        }
        pollfd pfd{master, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeout);
        if (ready > 0 && (pfd.revents & POLLIN)) {
            char buf[4096];
            const ssize_t n = ::read(master, buf, sizeof buf);
            for (ssize_t i = 0; i < n; ++i) {
                const char c = buf[i];
                if (c == '\n' || c == '\0') continue;
                if (c != '\r') {
                    if (partial.size() < 4096) partial += c;
                    continue;
                }
                if (log) {
                    std::fprintf(log, "%s\t%s\n", Stamp().c_str(), Escape(partial).c_str());
                    std::fflush(log);
                }
                if (cycleSeconds > 0) {
                    const double elapsed =
                        std::chrono::duration<double>(Clock::now() - started).count();
                    model.ebno = receiver_sim::ReceiverModel::EbNoText(
                        receiver_sim::ReceiverModel::VaryingEbNo(elapsed / cycleSeconds));
                }
                if (!controlPath.empty()) ReadControl(controlPath, behaviour, model);
                if (!behaviour.silent) {
                    std::string reply = behaviour.garbage ? Garbage() : model.answer(partial);
                    replies.emplace_back(Clock::now() + std::chrono::milliseconds(behaviour.slowMs),
                                         std::move(reply));
                }
                partial.clear();
            }
        }
        while (!replies.empty() && replies.front().first <= Clock::now()) {
            outgoing += replies.front().second;
            replies.pop_front();
        }
        // Nobody may be reading: keep the newest bytes only, never block.
        if (outgoing.size() > kMaxOutgoing) outgoing.erase(0, outgoing.size() - kMaxOutgoing);
        if (!outgoing.empty()) {
            const ssize_t n = ::write(master, outgoing.data(), outgoing.size());
            if (n > 0) outgoing.erase(0, static_cast<std::size_t>(n));
        }
    }
    ::unlink(link.c_str());
    if (log) std::fclose(log);
    ::close(slave);
    ::close(master);
    return 0;
}
