#include "export/MailOut.h"

#include "export/AddressBook.h"
#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

void ReportMailFailure(const MailOut& out, const std::string& subject, const std::string& error) {
    const std::string message = "Mail \"" + SingleLine(subject) + "\" not sent: " + error;
    out.errors.showError(message);
    WriteErrorLog(out.logs, TimeText(out.clock.now()), message);
}

bool SignedOn(const MailOut& out, const std::string& subject) {
    if (out.mail.isSignedOn()) return true;
    std::string error;
    if (out.mail.signOn(&error)) return true;
    ReportMailFailure(out, subject, error);
    return false;
}

void Send(const MailOut& out, MailMessage message) {
    message.subject = SingleLine(message.subject);
    const std::string subject = message.subject;
    out.mail.send(message, [out, subject](bool ok, const std::string& error) {
        if (!ok) {
            ReportMailFailure(out, subject, error);
            if (out.changed) out.changed();
        }
    });
}

}  // namespace

bool IsRecipient(const AddressEntry& e, int weekday, std::int32_t t) {
    if (!e.inUse()) return false;
    if (e.SendMode == kSendAlways) return true;
    if (e.SendMode != kSendSometimes || weekday < 1 || weekday > 7) return false;
    const int d = weekday - 1;
    return e.DayOn[d] == kDayTicked && e.StartSec[d] < t && t < e.StopSec[d];
}

std::vector<std::string> AddressBookRecipients(const ExportState& book, const DateTime& now) {
    const int weekday = now.date.weekday();
    const auto t = static_cast<std::int32_t>(now.msOfDay / 1000);
    std::vector<std::string> out;
    const int count = AddressEntryCount(book);
    for (int n = 1; n <= count; ++n) {
        const AddressEntry e = ReadAddressEntry(book, n);
        if (!IsRecipient(e, weekday, t)) continue;
        const std::string address = SingleLine(e.Address);
        if (!address.empty()) out.push_back(address);
    }
    return out;
}

void SendMailToAddressBook(const MailOut& out, const ExportState& book,
                           const MailMessage& message) {
    if (!SignedOn(out, message.subject)) return;
    MailMessage mail = message;
    mail.recipients = AddressBookRecipients(book, out.clock.now());
    if (mail.recipients.empty()) return;
    Send(out, std::move(mail));
}

bool SendTestMessage(const MailOut& out, const ExportState& book, const MailAccount& account,
                     int recordNo) {
    if (recordNo < 1) return false;
    const AddressEntry e = ReadAddressEntry(book, recordNo);
    const std::string address = SingleLine(e.Address);
    if (!e.inUse() || address.empty()) return false;
    const std::string subject = account.Facility + " Test Message";
    if (!SignedOn(out, subject)) return false;
    const DateTime now = out.clock.now();
    MailMessage message;
    message.recipients = {address};
    message.subject = subject;
    message.note = DateTextSlashed(now.date) + " " + TimeText(now) + " This is only a test.";
    Send(out, std::move(message));
    return true;
}

}  // namespace quillmar
