#include "receiver/ReceiverAlarm.h"

#include "core/ExportSequences.h"
#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "receiver/EbNoPolling.h"

namespace quillmar {

namespace {

constexpr std::int64_t kAlarmMailAfterMs = 60'000;

std::int64_t MsSinceEpoch(const DateTime& t) {
    return t.date.serial() * 86'400'000 + t.msOfDay;
}

}  // namespace

void HandleReceiverAlarm(Station& st, bool active) {
    const DateTime now = st.platform.clock.now();
    const std::int64_t at = MsSinceEpoch(now);
    if (active) {
        st.main.lblPort = "Alarm";
        if (!st.remote.ReceiverAlarm) {
            st.remote.AlarmStartTime = static_cast<std::int32_t>(now.msOfDay / 1000);
            st.remote.AlarmStartAt = at - now.msOfDay % 1000;
            WriteActivityLog(st.logs, "Alarm");
            st.remote.ReceiverAlarm = true;
            return;
        }
        // Measured on the date and time, so a loss that spans midnight is not taken for a
        // day long; a clock set back restarts the count rather than mailing at once.
        if (at < st.remote.AlarmStartAt) st.remote.AlarmStartAt = at;
        if (at - st.remote.AlarmStartAt > kAlarmMailAfterMs && !st.remote.AlarmMailSent) {
            SendMailToAddressBook(st, st.Export.Account.Facility + " Quillmar Alarm",
                                  "Unity 4K Receiver Loss of Signal");
            st.remote.AlarmMailSent = true;
        }
        return;
    }
    if (st.remote.ReceiverAlarm) {
        // The end is logged too, so the signal history can show how long the loss lasted.
        WriteActivityLog(st.logs, "Alarm End");
    }
    st.remote.ReceiverAlarm = false;
    if (st.remote.AlarmMailSent) {
        PollReceiverEbNo(st);
        SendMailToAddressBook(st, st.Export.Account.Facility + " Quillmar Alarm End",
                              "EbNo: " + st.receiver.EbNoText);
        st.remote.AlarmMailSent = false;
    }
}

}  // namespace quillmar
