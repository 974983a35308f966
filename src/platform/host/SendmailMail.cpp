#include "platform/host/SendmailMail.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace quillmar {

namespace {

std::string DurationText(int ms) {
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
    return std::to_string(ms) + " ms";
}

}  // namespace

SendmailMail::SendmailMail(std::string dataRoot, int timeoutMs)
    : dataRoot_(std::move(dataRoot)), timeoutMs_(timeoutMs), context_(new QObject) {}

SendmailMail::~SendmailMail() {
    for (auto& job : jobs_) {
        if (!job.process) continue;
        job.process->disconnect();
        if (job.process->state() != QProcess::NotRunning) {
            job.process->kill();
            job.process->waitForFinished(1000);
        }
        delete job.timer;
        delete job.process;
    }
}

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
    jobs_.push_back(Job{});
    Job* job = &jobs_.back();
    job->done = std::move(done);
    if (program_.empty()) {
        finish(job, false, "not signed on to a mail program");
        return;
    }
    QStringList arguments{"-i", "--"};
    for (const auto& address : message.recipients) {
        const std::string one = SingleLine(address);
        if (!one.empty()) arguments << QString::fromStdString(one);
    }
    job->process = new QProcess;
    job->timer = new QTimer;
    job->process->setProcessChannelMode(QProcess::MergedChannels);
    job->timer->setSingleShot(true);
    QObject::connect(job->timer, &QTimer::timeout, [this, job] {
        job->process->kill();
        finish(job, false, "the mail program did not finish within " + DurationText(timeoutMs_));
    });
    QObject::connect(job->process, &QProcess::errorOccurred, [this, job](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            finish(job, false, program_ + ": " + job->process->errorString().toStdString());
    });
    QObject::connect(
        job->process, &QProcess::finished, [this, job](int code, QProcess::ExitStatus status) {
            if (status == QProcess::NormalExit && code == 0) {
                finish(job, true, {});
                return;
            }
            std::string why = job->process->readAll().trimmed().left(300).toStdString();
            for (char& c : why)
                if (c == '\r' || c == '\n') c = ' ';
            std::string what = status == QProcess::NormalExit
                                   ? "the mail program failed with status " + std::to_string(code)
                                   : std::string("the mail program crashed");
            finish(job, false, why.empty() ? what : what + ": " + why);
        });
    const std::string text = FormatMailText(message);
    job->timer->start(timeoutMs_);
    job->process->start(QString::fromStdString(program_), arguments);
    job->process->write(text.data(), static_cast<qint64>(text.size()));
    job->process->closeWriteChannel();
}

void SendmailMail::finish(Job* job, bool ok, const std::string& error) {
    if (job->over) return;
    job->over = true;
    // The outcome is reported after the current handler, never from inside send(), and the
    // job is freed once its process has ended.
    QMetaObject::invokeMethod(
        context_.get(),
        [this, job, ok, error] {
            if (job->done) job->done(ok, error);
            if (job->timer) job->timer->stop();
            auto release = [this, job] {
                if (job->process) job->process->deleteLater();
                if (job->timer) job->timer->deleteLater();
                jobs_.remove_if([job](const Job& j) { return &j == job; });
            };
            if (!job->process || job->process->state() == QProcess::NotRunning) {
                release();
            } else {
                job->process->disconnect();
                QObject::connect(job->process, &QProcess::finished, context_.get(), release);
            }
        },
        Qt::QueuedConnection);
}

}  // namespace quillmar
