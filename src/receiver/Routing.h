#pragma once

#include "logs/LogState.h"
#include "receiver/ReceiverLink.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

// Sends a switch-only schedule's command and logs it. A record that is no longer a
// switch-only schedule in use (deleted, or reused for a recording since it was found) sends
// nothing.
void RunSwitchOnly(const ReceiverLink& link, Logs& logs, const ScheduleFields& fields);

}  // namespace quillmar
