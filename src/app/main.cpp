// The station program: the host platform, one Station and its main window.

#include <malloc.h>
#include <sys/auxv.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/RecordingSequences.h"
#include "core/Startup.h"
#include "core/Station.h"
#include "core/Version.h"
#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "platform/host/HostPortIO.h"
#include "platform/host/LpPrinter.h"
#include "platform/host/PortAudioAudio.h"
#include "platform/host/PosixFileSystem.h"
#include "platform/host/QtEventLoop.h"
#include "platform/host/QtSerialPort.h"
#include "platform/host/SendmailMail.h"
#include "platform/host/SystemClock.h"
#include "platform/host/SystemdWatchdog.h"
#include "platform/host/ThreadBackgroundWork.h"
#include "settings/windows/frmError.h"
#include "settings/windows/frmHelp.h"

namespace quillmar {
int RunSignalReport(int argc, char** argv);  // app/SignalReportCommand.cpp
}

namespace {

int gSignalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char byte = 1;
    ssize_t rc = ::write(gSignalPipe[1], &byte, 1);
    (void)rc;
}

bool HeadlessPlatform() {
    const QString name = QGuiApplication::platformName();
    return name == "offscreen" || name == "minimal" || name == "vnc";
}

// Lists the sound devices by the numbers the settings use for them, for setting up a machine
// without a screen.
int ListAudioDevices(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    quillmar::QtEventLoop loop;
    quillmar::PosixFileSystem files(quillmar::DefaultDataRoot());
    quillmar::PortAudioAudio audio(loop, files);
    const auto print = [](const char* title, const std::vector<std::string>& names) {
        std::printf("%s\n", title);
        for (std::size_t i = 0; i < names.size(); ++i)
            std::printf("%4zu  %s\n", i, names[i].c_str());
    };
    print("Record devices:", audio.inputDevices());
    print("Play devices:", audio.outputDevices());
    return 0;
}

const char kUsage[] =
    "Usage: quillmar [--audio-devices | --signal-report DAYS --output FILE | --version | --help]\n"
    "Runs the station from the data root $XDG_DATA_HOME/quillmar (~/.local/share/quillmar).\n"
    "  --audio-devices  list the record and play devices with the numbers the settings use\n"
    "  --signal-report DAYS --output FILE.png|FILE.svg|-\n"
    "                   the Eb/No chart of the last DAYS days as a picture, or as CSV (-)\n"
    "  --version        print the version\n"
    "Without a display set QT_QPA_PLATFORM=offscreen (or vnc). SIGTERM stops the station "
    "cleanly.\n";

// File capabilities or set-user-ID would make every file a link under the data root leads to,
// and the system clock, reachable by whoever runs the program. It needs none of them.
const char kPrivileged[] =
    "quillmar: refusing to start with raised privileges (file capabilities or set-user-ID on "
    "the program).\n"
    "The station needs none. Run it as an ordinary user who is a member of the groups of the\n"
    "devices it uses: dialout (serial ports), lp (the parallel port), audio (sound cards) and\n"
    "quillmar (setting the clock from the Time Set pulse). Only the Prairie Digital Model 30\n"
    "card needs raw port I/O: for it enable the system service instead,\n"
    "  sudo systemctl enable --now quillmar-station.service\n"
    "Remove the privileges from the program with: sudo setcap -r <program>; sudo chmod u-s,g-s "
    "<program>\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillmar: %s\n", message.c_str());
    if (!HeadlessPlatform())
        QMessageBox::critical(nullptr, "Quillmar", QString::fromStdString(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (::getauxval(AT_SECURE) != 0) {
        std::fputs(kPrivileged, stderr);
        return 1;
    }
    if (argc > 1) {
        const std::string option = argv[1];
        if (option == "--audio-devices") return ListAudioDevices(argc, argv);
        if (option == "--signal-report") return quillmar::RunSignalReport(argc, argv);
        if (option == "--version") return std::printf("quillmar %s\n", quillmar::kVersion) < 0;
        if (option == "--help" || option == "-h") return std::printf("%s", kUsage) < 0;
        std::fprintf(stderr, "quillmar: unknown option %s\n%s", option.c_str(), kUsage);
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "quillmar: no display; running without windows (offscreen)\n");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Each recording and play starts and ends audio threads. Two allocator arenas instead of
    // one per thread, and freed pages handed back every minute, keep the resident size of a
    // station that runs for months from creeping up with them.
    ::mallopt(M_ARENA_MAX, 2);
    // Qt's own event dispatcher wakes for the 50 ms tick at a seventh less cost than GLib's;
    // the station uses no GTK dialog that would need GLib's loop.
    ::setenv("QT_NO_GLIB", "1", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer trim;
    trim.setTimerType(Qt::VeryCoarseTimer);
    QObject::connect(&trim, &QTimer::timeout, [] { ::malloc_trim(0); });
    trim.start(60000);

    // SIGTERM and SIGINT end the run through the event loop, so files close in order.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) == 0) {
        struct sigaction sa {};
        sa.sa_handler = OnTerminate;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
    }
    // A file-size limit must fail the write that reaches it, not end the station mid-recording.
    std::signal(SIGXFSZ, SIG_IGN);

    quillmar::PosixFileSystem files(quillmar::DefaultDataRoot());
    std::string error;
    if (!files.prepare(&error)) return Fail("Cannot create the data folder " + error);
    quillmar::SystemClock clock;
    quillmar::QtEventLoop loop;
    quillmar::ErrorWindowPresenter errors;
    quillmar::QtSerialPorts serial(files.dataRoot());
    quillmar::LpPrinter printer;
    quillmar::HostPortIO ports(files.dataRoot());
    quillmar::SendmailMail mail(files.dataRoot());
    quillmar::PortAudioAudio audio(loop, files);
    quillmar::ThreadBackgroundWork background(loop);
    quillmar::SystemdWatchdog watchdog;
    quillmar::Station station(quillmar::Platform{clock, loop, files, errors, serial, printer, ports,
                                                 mail, audio, background, &watchdog});
    quillmar::mnuMenu window(station);
    quillmar::RegisterWindows(window, station);
    if (!quillmar::StartStation(station, &error)) return Fail(error);
    quillmar::InstallHelpFile(station);
    // A shutdown of the PC ends a running recording as Rec Stop does: file closed, marks
    // written; the loop runs on until the writer has closed the file.
    QSocketNotifier terminate(gSignalPipe[0], QSocketNotifier::Read);
    bool terminated = false;
    QObject::connect(&terminate, &QSocketNotifier::activated, [&] {
        terminate.setEnabled(false);  // the byte stays unread
        if (terminated) return;
        terminated = true;
        // Nobody is there to answer the exit question: quitting closes the window unasked.
        window.askExit = [] { return true; };
        quillmar::ShutdownRecording(station, [] { QCoreApplication::quit(); });
    });
    window.show();
    watchdog.ready();
    const int status = app.exec();
    delete errors.window();
    return status;
}
