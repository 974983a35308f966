#include "receiver/ReceiverAlarm.h"

#include "core/Station.h"
#include "export/MailOut.h"
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
        if (!st.ReceiverAlarm) {
            st.AlarmStartTime = static_cast<std::int32_t>(now.msOfDay / 1000);
            st.AlarmStartAt = at - now.msOfDay % 1000;
            WriteActivityLog(st, "Alarm");
            st.ReceiverAlarm = true;
            return;
        }
        // Measured on the date and time, so a loss that spans midnight is not taken for a
        // day long; a clock set back restarts the count rather than mailing at once.
        if (at < st.AlarmStartAt) st.AlarmStartAt = at;
        if (at - st.AlarmStartAt > kAlarmMailAfterMs && !st.AlarmMailSent) {
            SendMailToAddressBook(st, st.Account.Facility + " Quillmar Alarm",
                                  "Unity 4K Receiver Loss of Signal");
            st.AlarmMailSent = true;
        }
        return;
    }
    if (st.ReceiverAlarm) {
        // The end is logged too, so the signal history can show how long the loss lasted.
        WriteActivityLog(st, "Alarm End");
    }
    st.ReceiverAlarm = false;
    if (st.AlarmMailSent) {
        PollReceiverEbNo(st);
        SendMailToAddressBook(st, st.Account.Facility + " Quillmar Alarm End",
                              "EbNo: " + st.EbNoText);
        st.AlarmMailSent = false;
    }
}

}  // namespace quillmar
