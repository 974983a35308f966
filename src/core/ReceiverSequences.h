#pragma once
// The station's exchanges with the receiver, as the clock tick, the windows and the recording
// run them on the station's own port.

#include <functional>
#include <string>

#include "receiver/EbNoPolling.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

class Station;

// The station's port, settings and error window as the receiver link uses them.
ReceiverLink ReceiverLinkOf(Station& st);

// Writes command + CR on the station's port when the line is free; a failure is shown in the
// error window, then done runs.
void SendReceiverCommand(Station& st, const std::string& command,
                         std::function<void(bool ok)> done = {});
// De-energises the expansion relays of a port, each send logged when log is set.
void ResetExpansionRelays(Station& st, const std::string& port, bool log);
// The Eb/No poll of the clock tick and of an alarm's end: logged in the EB log when it ends,
// and EbNoPolledFlag set at once, even when it fails, so a poll is not repeated on every tick
// of the same second. done gets nothing when the poll failed.
void PollReceiverEbNo(Station& st, EbNoDone done = {});
// Runs the switch-only schedule that is due (NextSwitchRecordNo).
void RunSwitchOnly(Station& st);

}  // namespace quillmar
