#include "core/Station.h"

#include "core/StationTimers.h"

namespace quillmar {

Station::Station(Platform p) : platform(p) {
    auto& loop = platform.loop;
    auto handle = [this](void (*handler)(Station&)) {
        return [this, handler] {
            handler(*this);
            notifyChanged();
        };
    };
    tmrClock = loop.createTimer(50, false, handle(&tmrClock_Timer));
    TimerCue = loop.createTimer(3000, true, handle(&TimerCue_Timer));
    TimerCueSwitch = loop.createTimer(1000, true, [] {});  // a lockout with no action
    TimerGetNextSwitch = loop.createTimer(1000, true, handle(&TimerGetNextSwitch_Timer));
    TimerEOM = loop.createTimer(1000, true, handle(&TimerEOM_Timer));
    tmrExport = loop.createTimer(100, false, handle(&tmrExport_Timer));
    tmrTimeChange = loop.createTimer(4000, false, handle(&tmrTimeChange_Timer));
}

Station::~Station() = default;

void Station::notifyChanged() {
    for (auto& observer : observers_) observer();
}

void ShowError(Station& st, const std::string& message) { st.platform.errors.showError(message); }

}  // namespace quillmar
