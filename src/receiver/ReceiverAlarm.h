#pragma once
// The receiver's loss-of-signal alarm on the remote-control port's Alarm input.

#include "logs/LogState.h"
#include "platform/DateTime.h"
#include "receiver/ReceiverState.h"

namespace quillmar {

// The mail an alarm reading calls for.
enum class AlarmMail { None, Loss, End };

// Runs on every read of the inputs with the Alarm input's state: logs the start and the end of
// a loss. A loss lasting more than a minute calls for its mail once; the end of a mailed loss
// calls for the end mail.
AlarmMail UpdateReceiverAlarm(RemoteState& state, Logs& logs, const DateTime& now, bool active);

}  // namespace quillmar
