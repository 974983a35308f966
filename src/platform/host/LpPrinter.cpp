#include "platform/host/LpPrinter.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace quillmar {

LpPrinter::LpPrinter(std::string program, int timeoutMs)
    : program_(std::move(program)), runner_("lp", timeoutMs) {}

void LpPrinter::print(const std::string& text, Done done) {
    // A missing lp is the usual case on a fresh machine: say what to install, not "execvp".
    const QString program = QString::fromStdString(program_);
    const bool found = program.contains('/') ? QFileInfo(program).isExecutable()
                                             : !QStandardPaths::findExecutable(program).isEmpty();
    if (!found) {
        runner_.fail("no printer program is installed (" + program_ +
                         " was not found).  Install the cups-client package, which provides lp, "
                         "and set up a printer.",
                     std::move(done));
        return;
    }
    runner_.run(program_, {"-s"}, text, std::move(done));
}

}  // namespace quillmar
