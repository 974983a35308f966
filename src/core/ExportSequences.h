#pragma once
// Where the station's events start export and mail work: a recording that stopped is
// exported, an alarm or the address book window sends mail. Each builds the export side's
// services from the station.

#include <string>

#include "export/ExportEngine.h"
#include "export/MailOut.h"

namespace quillmar {

class Station;

ExportServices ExportServicesOf(Station& st);
MailOut MailOutOf(Station& st);

// After a recording stops: exports it when its export entry (ExportRecordNo) is active and
// selects the recorded weekday (ExportWeekday). The recorder's RecordedSeconds becomes the
// length exported.
void CheckExport(Station& st);
// Mails subject and note to the address book's recipients now.
void SendMailToAddressBook(Station& st, const std::string& subject, const std::string& note);
// "Send Test" of the address book window, from the station's account.
bool SendTestMessage(Station& st, int recordNo);

}  // namespace quillmar
