#include "receiver/Routing.h"

#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

void RunSwitchOnly(Station& st) {
    st.noteAction("RunSwitchOnly");
    // A switch slot that no longer reads as a schedule has nothing to send.
    if (st.NextSwitchRecordNo < 1 || !ReadSchedule(st, st.NextSwitchRecordNo)) return;
    st.ReceiverCommand = SwitchOnlyCommand(st.Current);
    SendReceiverCommand(st);
    st.LogMessage = st.ReceiverCommand + " Switch Only";
    WriteActivityLog(st);
}

}  // namespace quillmar
