#pragma once

#include <string>

#include "platform/Mail.h"
#include "platform/host/ProgramRunner.h"

namespace quillmar {

// Mail through a sendmail-compatible program (msmtp, Postfix and Exim all provide one):
// <data root>/devices/sendmail when present, else sendmail on the PATH or in /usr/sbin. The
// program runs beside the event loop and is stopped when it takes longer than the time-out.
class SendmailMail : public Mail {
  public:
    explicit SendmailMail(std::string dataRoot, int timeoutMs = 60000);

    bool signOn(std::string* error) override;
    bool isSignedOn() const override { return !program_.empty(); }
    void send(const MailMessage& message, Done done) override;

  private:
    std::string findProgram() const;

    std::string dataRoot_;
    std::string program_;
    ProgramRunner runner_;
};

}  // namespace quillmar
