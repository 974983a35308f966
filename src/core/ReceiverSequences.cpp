#include "core/ReceiverSequences.h"

#include "core/Station.h"
#include "receiver/EbNoPolling.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/Routing.h"

namespace quillmar {

ReceiverLink ReceiverLinkOf(Station& st) {
    return {st.receiver,      st.platform.serial, st.platform.clock,
            st.platform.loop, st.platform.errors, st.Settings};
}

void SendReceiverCommand(Station& st, const std::string& command, std::function<void(bool)> done) {
    SendReceiverCommand(ReceiverLinkOf(st), command, std::move(done));
}

void ResetExpansionRelays(Station& st, const std::string& port, bool log) {
    ResetExpansionRelays(ReceiverLinkOf(st), st.logs, port, log);
}

void PollReceiverEbNo(Station& st, EbNoDone done) {
    st.noteAction("PollReceiverEbNo");
    st.tick.EbNoPolledFlag = true;
    PollReceiverEbNo(ReceiverLinkOf(st), st.logs, std::move(done));
}

void RunSwitchOnly(Station& st) {
    st.noteAction("RunSwitchOnly");
    // A slot deleted, or reused for a recording, since the finder ran has nothing to send.
    if (!st.next.toSwitch) return;
    const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, st.next.toSwitch->recordNo);
    if (f) RunSwitchOnly(ReceiverLinkOf(st), st.logs, *f);
}

}  // namespace quillmar
