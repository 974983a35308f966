#pragma once
// Mail to the address book: the alarm mails and the address book window's test message.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/ExportState.h"
#include "logs/LogState.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/ErrorDisplay.h"
#include "platform/Mail.h"

namespace quillmar {

struct AddressEntry;

// What mail-out works with. changed is called when a failure is reported after the handler
// that sent the mail has returned.
struct MailOut {
    Mail& mail;
    Logs& logs;
    Clock& clock;
    ErrorDisplay& errors;
    std::function<void()> changed;
};

// Whether an entry gets mail at a moment: in use, and "Always", or "Sometimes" with the day
// box of that weekday (1 = Sunday .. 7 = Saturday) set and the time strictly inside its
// window.
bool IsRecipient(const AddressEntry& entry, int weekday, std::int32_t secondsOfDay);
// The addresses, blanks trimmed, of the recipients at a moment, in file order.
std::vector<std::string> AddressBookRecipients(const ExportState& book, const DateTime& now);

// Mails subject and note to the recipients now; nothing is sent when there are none. A mail
// that cannot be sent is reported in the error window and the error log, and the station
// carries on.
void SendMailToAddressBook(const MailOut& out, const ExportState& book, const MailMessage& message);
// "Send Test": a test message from the account to record n alone, whatever its mode. False
// when the record is not in use (nothing is sent).
bool SendTestMessage(const MailOut& out, const ExportState& book, const MailAccount& account,
                     int recordNo);

}  // namespace quillmar
