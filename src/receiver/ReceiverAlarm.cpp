#include "receiver/ReceiverAlarm.h"

#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

constexpr std::int64_t kAlarmMailAfterMs = 60'000;

std::int64_t MsSinceEpoch(const DateTime& t) {
    return t.date.serial() * 86'400'000 + t.msOfDay;
}

}  // namespace

AlarmMail UpdateReceiverAlarm(RemoteState& state, Logs& logs, const DateTime& now, bool active) {
    const std::int64_t at = MsSinceEpoch(now);
    if (active) {
        if (!state.ReceiverAlarm) {
            state.AlarmStartTime = static_cast<std::int32_t>(now.msOfDay / 1000);
            state.AlarmStartAt = at - now.msOfDay % 1000;
            WriteActivityLog(logs, "Alarm");
            state.ReceiverAlarm = true;
            return AlarmMail::None;
        }
        // Measured on the date and time, so a loss that spans midnight is not taken for a
        // day long; a clock set back restarts the count rather than mailing at once.
        if (at < state.AlarmStartAt) state.AlarmStartAt = at;
        if (at - state.AlarmStartAt > kAlarmMailAfterMs && !state.AlarmMailSent) {
            state.AlarmMailSent = true;
            return AlarmMail::Loss;
        }
        return AlarmMail::None;
    }
    // The end is logged too, so the signal history can show how long the loss lasted.
    if (state.ReceiverAlarm) WriteActivityLog(logs, "Alarm End");
    state.ReceiverAlarm = false;
    if (!state.AlarmMailSent) return AlarmMail::None;
    state.AlarmMailSent = false;
    return AlarmMail::End;
}

}  // namespace quillmar
