#pragma once

#include <QObject>
#include <list>
#include <memory>
#include <string>

#include "platform/Mail.h"

class QProcess;
class QTimer;

namespace quillmar {

// Mail through a sendmail-compatible program (msmtp, Postfix and Exim all provide one):
// <data root>/devices/sendmail when present, else sendmail on the PATH or in /usr/sbin. The
// program runs beside the event loop and is stopped when it takes longer than the time-out.
class SendmailMail : public Mail {
  public:
    explicit SendmailMail(std::string dataRoot, int timeoutMs = 60000);
    ~SendmailMail() override;
    SendmailMail(const SendmailMail&) = delete;
    SendmailMail& operator=(const SendmailMail&) = delete;

    bool signOn(std::string* error) override;
    bool isSignedOn() const override { return !program_.empty(); }
    void send(const MailMessage& message, Done done) override;

  private:
    struct Job {
        QProcess* process = nullptr;
        QTimer* timer = nullptr;
        Done done;
        bool over = false;
    };
    std::string findProgram() const;
    void finish(Job* job, bool ok, const std::string& error);

    std::string dataRoot_;
    int timeoutMs_;
    std::string program_;
    std::list<Job> jobs_;
    // Deferred outcomes are queued on this object, so none runs after it is gone.
    std::unique_ptr<QObject> context_;
};

}  // namespace quillmar
