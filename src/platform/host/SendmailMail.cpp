#include "platform/host/SendmailMail.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>

namespace quillmar {

SendmailMail::SendmailMail(std::string dataRoot, int timeoutMs)
    : dataRoot_(std::move(dataRoot)), runner_("the mail program", timeoutMs) {}

std::string SendmailMail::findProgram() const {
    const std::string own = dataRoot_ + "/devices/sendmail";
    if (::access(own.c_str(), X_OK) == 0) return own;
    QString found = QStandardPaths::findExecutable("sendmail");
    if (found.isEmpty())
        found = QStandardPaths::findExecutable("sendmail", {"/usr/sbin", "/usr/lib"});
    return found.toStdString();
}

bool SendmailMail::signOn(std::string* error) {
    program_ = findProgram();
    if (!program_.empty()) return true;
    if (error)
        *error =
            "no mail program: neither " + dataRoot_ + "/devices/sendmail nor sendmail on the PATH";
    return false;
}

void SendmailMail::send(const MailMessage& message, Done done) {
    if (program_.empty()) return runner_.fail("not signed on to a mail program", std::move(done));
    std::vector<std::string> arguments{"-i", "--"};
    for (const auto& address : message.recipients) {
        const std::string one = SingleLine(address);
        if (!one.empty()) arguments.push_back(one);
    }
    runner_.run(program_, arguments, FormatMailText(message), std::move(done));
}

}  // namespace quillmar
