#pragma once
// Where the station's events start export and mail work: a recording that stopped is
// exported, an alarm or the address book window sends mail. Each builds the export side's
// services from the station.

#include <optional>
#include <string>

#include "export/ExportEngine.h"
#include "export/MailOut.h"

namespace quillmar {

class Station;

ExportServices ExportServicesOf(Station& st);
MailOut MailOutOf(Station& st);

// After a recording stops: exports it when its export entry is active and selects the
// recorded weekday. The job queued, if any (its ExportLengthMs is the length exported).
std::optional<ExportJob> CheckExport(Station& st, const FinishedRecording& recording);
// The same for the recording the recorder last stopped (LastRecording, RecordedSeconds);
// RecordedSeconds becomes the length exported.
void CheckExport(Station& st);
// Mails subject and note to the address book's recipients now.
void SendMailToAddressBook(Station& st, const std::string& subject, const std::string& note);
// "Send Test" of the address book window, from the station's account.
bool SendTestMessage(Station& st, int recordNo);

}  // namespace quillmar
