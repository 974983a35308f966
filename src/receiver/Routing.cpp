#include "receiver/Routing.h"

#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

void RunSwitchOnly(Station& st) {
    st.noteAction("RunSwitchOnly");
    // A slot deleted, or reused for a recording, since the finder ran has nothing to send.
    if (st.next.NextSwitchRecordNo < 1) return;
    const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, st.next.NextSwitchRecordNo);
    if (!f || f->InUse != ScheduleSlot::InUse || f->Action != ScheduleAction::SwitchOnly) return;
    const std::string command = SwitchOnlyCommand(*f);
    SendReceiverCommand(st, command);
    WriteActivityLog(st.logs, command + " Switch Only");
}

}  // namespace quillmar
