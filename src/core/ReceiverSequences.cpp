#include "core/ReceiverSequences.h"

#include "core/Station.h"
#include "receiver/EbNoPolling.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/Routing.h"

namespace quillmar {

ReceiverLink ReceiverLinkOf(Station& st) {
    return {st.receiver, st.platform.serial, st.platform.clock, st.platform.errors, st.Settings};
}

bool SendReceiverCommand(Station& st, const std::string& command) {
    return SendReceiverCommand(ReceiverLinkOf(st), command);
}

void ResetExpansionRelays(Station& st, const std::string& port, bool log) {
    ResetExpansionRelays(ReceiverLinkOf(st), st.logs, port, log);
}

std::optional<std::string> PollReceiverEbNo(Station& st) {
    st.noteAction("PollReceiverEbNo");
    st.tick.EbNoPolledFlag = true;
    return PollReceiverEbNo(ReceiverLinkOf(st), st.logs);
}

void RunSwitchOnly(Station& st) {
    st.noteAction("RunSwitchOnly");
    // A slot deleted, or reused for a recording, since the finder ran has nothing to send.
    if (!st.next.toSwitch) return;
    const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, st.next.toSwitch->recordNo);
    if (f) RunSwitchOnly(ReceiverLinkOf(st), st.logs, *f);
}

}  // namespace quillmar
