#include "platform/sim/SimMail.h"

namespace quillmar {

bool SimMail::signOn(std::string* error) {
    ++signOns;
    if (!signOnFailure.empty()) {
        if (error) *error = signOnFailure;
        return false;
    }
    signedOn_ = true;
    return true;
}

void SimMail::send(const MailMessage& message, Done done) {
    if (hang) {
        pending.push_back({message, std::move(done)});
        return;
    }
    const bool ok = signedOn_ && sendFailure.empty();
    if (ok) outbox.push_back(message);
    const std::string error = !signedOn_ ? "not signed on" : sendFailure;
    std::weak_ptr<bool> alive = alive_;
    loop_.post([alive, done = std::move(done), ok, error] {
        if (!alive.expired() && done) done(ok, ok ? std::string() : error);
    });
}

void SimMail::failPending(const std::string& reason) {
    auto waiting = std::move(pending);
    pending.clear();
    for (auto& p : waiting)
        if (p.done) p.done(false, reason);
}

}  // namespace quillmar
