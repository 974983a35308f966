// The real program as a service runs it.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>

#include "support/RealStation.h"

using namespace quillmar::testing;

namespace {

// Output and exit status of a shell command.
std::pair<std::string, int> Shell(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    const int status = pipe ? ::pclose(pipe) : -1;
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

}  // namespace

// With file capabilities, run by an ordinary user (secure-execution mode), it refuses and says
// what to do instead; without them, even with the unit's ambient capability, it runs.
TEST(Service, TheProgramRefusesToRunWithFileCapabilities) {
    if (::geteuid() != 0 || Shell("command -v setcap && command -v setpriv").second != 0)
        GTEST_SKIP() << "needs root, setcap (libcap2-bin) and setpriv";
    char pattern[] = QUILLMAR_BINARY_DIR "/privileged-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path dir = pattern, copy = dir / "quillmar";
    fs::permissions(dir, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::copy_file(fs::path(QUILLMAR_BINARY_DIR) / "quillmar", copy);
    const std::string asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    ASSERT_EQ(Shell("setcap cap_sys_rawio,cap_sys_time+ep " + copy.string()).second, 0);
    const auto [refused, refusedStatus] = Shell(asUser + "-- " + copy.string() + " --version");
    EXPECT_EQ(refusedStatus, 1) << refused;
    EXPECT_NE(refused.find("quillmar-station.service"), std::string::npos) << refused;
    ASSERT_EQ(Shell("setcap -r " + copy.string()).second, 0);
    const auto [ran, ranStatus] =
        Shell(asUser + "--inh-caps=+sys_rawio --ambient-caps=+sys_rawio -- " + copy.string() +
              " --version");
    EXPECT_EQ(ranStatus, 0) << ran;
    fs::remove_all(dir);
}

// As a Type=notify unit with WatchdogSec=: READY=1 once up, then WATCHDOG=1 again and again.
TEST(Service, TheStationSaysItIsReadyAndFeedsTheWatchdog) {
    RealStation s(QUILLMAR_BINARY_DIR, "service");
    const fs::path socketPath = s.home / "notify";
    const int sock = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const timeval wait{20, 0};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    s.env.push_back("NOTIFY_SOCKET=" + socketPath.string());
    s.env.push_back("WATCHDOG_USEC=400000");
    const pid_t station = s.startStation();
    std::vector<std::string> notices;
    char buffer[256];
    for (ssize_t got = 0; std::count(notices.begin(), notices.end(), "WATCHDOG=1") < 3 &&
                          (got = ::recv(sock, buffer, sizeof buffer, 0)) > 0;) {
        const std::string notice(buffer, static_cast<std::size_t>(got));
        notices.push_back(notice.substr(0, notice.find('\n')));  // then the tick's lateness
    }
    ::close(sock);
    EXPECT_EQ(std::count(notices.begin(), notices.end(), "WATCHDOG=1"), 3);
    EXPECT_EQ(std::count(notices.begin(), notices.end(), "READY=1"), 1) << s.output();
    EXPECT_EQ(s.stop(station, SIGTERM), 0);
}
