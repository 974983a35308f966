#pragma once

#include <memory>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/Mail.h"

namespace quillmar {

// Mail into an outbox. It can be told to have no mail system, to refuse messages, or to hang
// (a message is never delivered nor refused until the test settles it).
class SimMail : public Mail {
  public:
    explicit SimMail(EventLoop& loop) : loop_(loop) {}

    bool signOn(std::string* error) override;
    bool isSignedOn() const override { return signedOn_; }
    void send(const MailMessage& message, Done done) override;

    // Messages delivered, in order.
    std::vector<MailMessage> outbox;
    int signOns = 0;
    std::string signOnFailure;  // when set, signOn fails with it
    std::string sendFailure;    // when set, each message is refused with it
    bool hang = false;          // when set, messages wait in pending
    // Messages sent while hanging and their outcomes, until settled.
    struct Pending {
        MailMessage message;
        Done done;
    };
    std::vector<Pending> pending;
    // Reports every waiting message as failed with a reason (a time-out, say).
    void failPending(const std::string& reason);

  private:
    EventLoop& loop_;
    bool signedOn_ = false;
    // Outcomes posted to the loop check this, so none runs after the mail object is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillmar
