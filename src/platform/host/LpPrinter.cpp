#include "platform/host/LpPrinter.h"

#include <QProcess>

namespace quillmar {

namespace {

// A missing lp is the usual case on a fresh machine: say what to install, not "execvp".
std::string LpStartError(bool notFound, const std::string& reason) {
    if (!notFound) return "lp: " + reason;
    return "no printer program is installed (lp was not found).  Install the cups-client "
           "package, which provides lp, and set up a printer.";
}

}  // namespace

bool LpPrinter::print(const std::string& text, std::string* error) {
    QProcess lp;
    lp.start("lp", {"-s"});
    if (!lp.waitForStarted(5000)) {
        if (error)
            *error =
                LpStartError(lp.error() == QProcess::FailedToStart, lp.errorString().toStdString());
        return false;
    }
    lp.write(text.data(), static_cast<qint64>(text.size()));
    lp.closeWriteChannel();
    if (!lp.waitForFinished(30000)) {
        lp.kill();
        lp.waitForFinished(1000);
        if (error) *error = "lp did not finish";
        return false;
    }
    if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        const QByteArray why = lp.readAllStandardError().trimmed();
        if (error)
            *error = why.isEmpty() ? "lp failed with status " + std::to_string(lp.exitCode())
                                   : why.toStdString();
        return false;
    }
    return true;
}

}  // namespace quillmar
