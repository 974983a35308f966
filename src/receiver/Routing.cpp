#include "receiver/Routing.h"

#include "logs/ActivityLog.h"
#include "receiver/ReceiverCommands.h"

namespace quillmar {

void RunSwitchOnly(const ReceiverLink& link, Logs& logs, const ScheduleFields& fields) {
    if (fields.InUse != ScheduleSlot::InUse || fields.Action != ScheduleAction::SwitchOnly) return;
    const std::string command = SwitchOnlyCommand(fields);
    SendReceiverCommand(link, command, [&logs, command](bool) {
        WriteActivityLog(logs, command + " Switch Only");
    });
}

}  // namespace quillmar
