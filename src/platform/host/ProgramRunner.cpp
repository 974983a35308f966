#include "platform/host/ProgramRunner.h"

#include <QProcess>
#include <QTimer>

namespace quillmar {

namespace {

std::string DurationText(int ms) {
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
    return std::to_string(ms) + " ms";
}

}  // namespace

ProgramRunner::ProgramRunner(std::string what, int timeoutMs)
    : what_(std::move(what)), timeoutMs_(timeoutMs), context_(new QObject) {}

ProgramRunner::~ProgramRunner() {
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

void ProgramRunner::fail(const std::string& error, Done done) {
    jobs_.push_back(Job{});
    jobs_.back().done = std::move(done);
    finish(&jobs_.back(), false, error);
}

void ProgramRunner::run(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& input, Done done) {
    jobs_.push_back(Job{});
    Job* job = &jobs_.back();
    job->done = std::move(done);
    QStringList args;
    for (const auto& a : arguments) args << QString::fromStdString(a);
    job->process = new QProcess;
    job->timer = new QTimer;
    job->process->setProcessChannelMode(QProcess::MergedChannels);
    job->timer->setSingleShot(true);
    QObject::connect(job->timer, &QTimer::timeout, [this, job] {
        job->process->kill();
        finish(job, false, what_ + " did not finish within " + DurationText(timeoutMs_));
    });
    QObject::connect(
        job->process, &QProcess::errorOccurred, [this, job, program](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                finish(job, false, program + ": " + job->process->errorString().toStdString());
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
            const std::string outcome = status == QProcess::NormalExit
                                            ? what_ + " failed with status " + std::to_string(code)
                                            : what_ + " crashed";
            finish(job, false, why.empty() ? outcome : outcome + ": " + why);
        });
    job->timer->start(timeoutMs_);
    job->process->start(QString::fromStdString(program), args);
    job->process->write(input.data(), static_cast<qint64>(input.size()));
    job->process->closeWriteChannel();
}

void ProgramRunner::finish(Job* job, bool ok, const std::string& error) {
    if (job->over) return;
    job->over = true;
    // The outcome is reported after the current handler, never from inside run(), and the
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
