// The station program: the host platform, one Station and its main window.

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

#include "audio/Recording.h"
#include "core/Startup.h"
#include "core/Station.h"
#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "platform/host/FilePortIO.h"
#include "platform/host/LpPrinter.h"
#include "platform/host/PortAudioAudio.h"
#include "platform/host/PosixFileSystem.h"
#include "platform/host/QtEventLoop.h"
#include "platform/host/QtSerialPort.h"
#include "platform/host/SendmailMail.h"
#include "platform/host/SystemClock.h"
#include "settings/windows/frmError.h"
#include "settings/windows/frmHelp.h"

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

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillmar: %s\n", message.c_str());
    if (!HeadlessPlatform()) QMessageBox::critical(nullptr, "Quillmar", QString::fromStdString(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "quillmar: no display; running without windows (offscreen)\n");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // SIGTERM and SIGINT end the run through the event loop, so files close in order.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) == 0) {
        struct sigaction sa {};
        sa.sa_handler = OnTerminate;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGINT, &sa, nullptr);
    }
    QSocketNotifier terminate(gSignalPipe[0], QSocketNotifier::Read);
    bool terminated = false;
    QObject::connect(&terminate, &QSocketNotifier::activated, [&terminated] {
        terminated = true;
        QCoreApplication::quit();
    });

    quillmar::PosixFileSystem files(quillmar::DefaultDataRoot());
    std::string error;
    if (!files.prepare(&error)) return Fail("Cannot create the data folder " + error);
    quillmar::SystemClock clock;
    quillmar::QtEventLoop loop;
    quillmar::ErrorWindowPresenter errors;
    quillmar::QtSerialPorts serial(files.dataRoot());
    quillmar::LpPrinter printer;
    quillmar::FilePortIO ports(files.dataRoot());
    quillmar::SendmailMail mail(files.dataRoot());
    quillmar::PortAudioAudio audio(loop);
    quillmar::Station station(
        quillmar::Platform{clock, loop, files, errors, serial, printer, ports, mail, audio});
    quillmar::mnuMenu window(station);
    quillmar::RegisterWindows(window, station);
    if (!quillmar::StartStation(station, &error)) return Fail(error);
    quillmar::InstallHelpFile(station);
    window.show();
    const int status = app.exec();
    // A shutdown of the PC ends a running recording as Rec Stop does: file closed, marks written.
    if (terminated) quillmar::ShutdownRecording(station);
    delete errors.window();
    return status;
}
