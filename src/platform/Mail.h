#pragma once
// Outgoing mail. The station signs on, composes a message and hands it over; delivery happens
// elsewhere, and its outcome comes back later on the event-loop thread.

#include <functional>
#include <string>
#include <vector>

namespace quillmar {

struct MailMessage {
    std::vector<std::string> recipients;
    std::string subject;
    std::string note;
};

class Mail {
  public:
    using Done = std::function<void(bool ok, const std::string& error)>;

    virtual ~Mail() = default;
    // Makes the mail system ready. False with the reason when there is none.
    virtual bool signOn(std::string* error) = 0;
    virtual bool isSignedOn() const = 0;
    // Sends without waiting; done runs once on the loop thread with the outcome (failure,
    // refusal or time-out). It never runs after the Mail object is gone.
    virtual void send(const MailMessage& message, Done done) = 0;
};

// The message as RFC 5322 text with CR LF lines: To and Subject headers, then the note. Line
// breaks never reach a header; text other than ASCII is sent as Windows-1252.
std::string FormatMailText(const MailMessage& message);
// A header value or address with every CR and LF turned into a blank and the ends trimmed.
std::string SingleLine(const std::string& text);

}  // namespace quillmar
