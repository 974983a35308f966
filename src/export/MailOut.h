#pragma once
// Mail to the address book: the alarm mails and the address book window's test message.

#include <cstdint>
#include <string>
#include <vector>

namespace quillmar {

class Station;
struct AddressEntry;

// Whether an entry gets mail at a moment: in use, and "Always", or "Sometimes" with the day
// box of that weekday (1 = Sunday .. 7 = Saturday) set and the time strictly inside its
// window.
bool IsRecipient(const AddressEntry& entry, int weekday, std::int32_t secondsOfDay);
// The addresses, blanks trimmed, of the recipients now, in file order.
std::vector<std::string> AddressBookRecipients(const Station& st);

// Mails subject and note to the recipients now; nothing is sent when there are none. A mail
// that cannot be sent is reported in the error window and the error log, and the station
// carries on.
void SendMailToAddressBook(Station& st, const std::string& subject, const std::string& note);
// "Send Test": a test message to record n alone, whatever its mode. False when the record is
// not in use (nothing is sent).
bool SendTestMessage(Station& st, int recordNo);

}  // namespace quillmar
