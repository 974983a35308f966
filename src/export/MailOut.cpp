#include "export/MailOut.h"

#include "core/Station.h"
#include "export/AddressBook.h"
#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

void ReportMailFailure(Station& st, const std::string& subject, const std::string& error) {
    const std::string message = "Mail \"" + SingleLine(subject) + "\" not sent: " + error;
    ShowError(st, message);
    WriteErrorLog(st.logs, TimeText(st.platform.clock.now()), message);
}

bool SignedOn(Station& st, const std::string& subject) {
    Mail& mail = st.platform.mail;
    if (mail.isSignedOn()) return true;
    std::string error;
    if (mail.signOn(&error)) return true;
    ReportMailFailure(st, subject, error);
    return false;
}

void Send(Station& st, MailMessage message) {
    message.subject = SingleLine(message.subject);
    const std::string subject = message.subject;
    st.platform.mail.send(message, [&st, subject](bool ok, const std::string& error) {
        if (!ok) {
            ReportMailFailure(st, subject, error);
            st.notifyChanged();
        }
    });
}

}  // namespace

bool IsRecipient(const AddressEntry& e, int weekday, std::int32_t t) {
    if (!e.inUse()) return false;
    if (e.SendMode == kSendAlways) return true;
    if (e.SendMode != kSendSometimes || weekday < 1 || weekday > 7) return false;
    const int d = weekday - 1;
    return e.DayOn[d] == '1' && e.StartSec[d] < t && t < e.StopSec[d];
}

std::vector<std::string> AddressBookRecipients(const Station& st) {
    const DateTime now = st.platform.clock.now();
    const int weekday = now.date.weekday();
    const auto t = static_cast<std::int32_t>(now.msOfDay / 1000);
    std::vector<std::string> out;
    const int count = AddressEntryCount(st);
    for (int n = 1; n <= count; ++n) {
        const AddressEntry e = ReadAddressEntry(st, n);
        if (!IsRecipient(e, weekday, t)) continue;
        const std::string address = SingleLine(e.Address);
        if (!address.empty()) out.push_back(address);
    }
    return out;
}

void SendMailToAddressBook(Station& st, const std::string& subject, const std::string& note) {
    st.noteAction("SendMailToAddressBook");
    if (!SignedOn(st, subject)) return;
    MailMessage message;
    message.recipients = AddressBookRecipients(st);
    if (message.recipients.empty()) return;
    message.subject = subject;
    message.note = note;
    Send(st, std::move(message));
}

bool SendTestMessage(Station& st, int recordNo) {
    if (recordNo < 1) return false;
    const AddressEntry e = ReadAddressEntry(st, recordNo);
    const std::string address = SingleLine(e.Address);
    if (!e.inUse() || address.empty()) return false;
    const std::string subject = st.Export.Account.Facility + " Test Message";
    if (!SignedOn(st, subject)) return false;
    const DateTime now = st.platform.clock.now();
    MailMessage message;
    message.recipients = {address};
    message.subject = subject;
    message.note = DateTextSlashed(now.date) + " " + TimeText(now) + " This is only a test.";
    Send(st, std::move(message));
    return true;
}

}  // namespace quillmar
