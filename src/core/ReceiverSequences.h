#pragma once
// The station's exchanges with the receiver, as the clock tick, the windows and the recording
// run them on the station's own port.

#include <optional>
#include <string>

#include "receiver/ReceiverLink.h"

namespace quillmar {

class Station;

// The station's port, settings and error window as the receiver link uses them.
ReceiverLink ReceiverLinkOf(Station& st);

// Writes command + CR on the station's port; a failure is shown in the error window.
bool SendReceiverCommand(Station& st, const std::string& command);
// De-energises the expansion relays of a port, each send logged when log is set.
void ResetExpansionRelays(Station& st, const std::string& port, bool log);
// The Eb/No poll of the clock tick and of an alarm's end: logged in the EB log, and
// EbNoPolledFlag set even when it fails, so a failure is not repeated on every tick of the
// same second. Nothing when the poll failed.
std::optional<std::string> PollReceiverEbNo(Station& st);
// Runs the switch-only schedule that is due (NextSwitchRecordNo).
void RunSwitchOnly(Station& st);

}  // namespace quillmar
