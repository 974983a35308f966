#pragma once

#include <QObject>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

class QProcess;
class QTimer;

namespace quillmar {

// Runs helper programs (the mail program, lp) beside the event loop: each gets its input on
// stdin and is stopped when it takes longer than the time-out. The outcome comes back on the
// loop, never from inside run() and never after the runner is gone; a program still running
// then is killed.
class ProgramRunner {
  public:
    using Done = std::function<void(bool ok, const std::string& error)>;

    // what: how messages name the program ("the mail program").
    ProgramRunner(std::string what, int timeoutMs);
    ~ProgramRunner();
    ProgramRunner(const ProgramRunner&) = delete;
    ProgramRunner& operator=(const ProgramRunner&) = delete;

    void run(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& input, Done done);
    // An outcome without running anything, reported the same way.
    void fail(const std::string& error, Done done);

  private:
    struct Job {
        QProcess* process = nullptr;
        QTimer* timer = nullptr;
        Done done;
        bool over = false;
    };
    void finish(Job* job, bool ok, const std::string& error);

    std::string what_;
    int timeoutMs_;
    std::list<Job> jobs_;
    // Deferred outcomes are queued on this object, so none runs after it is gone.
    std::unique_ptr<QObject> context_;
};

}  // namespace quillmar
