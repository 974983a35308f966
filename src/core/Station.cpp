#include "core/Station.h"

#include "core/ClockTick.h"
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
    timers.tmrClock = loop.createTimer(50, true, handle(&tmrClock_Timer));
    timers.TimerCue = loop.createTimer(3000, true, handle(&TimerCue_Timer));
    timers.TimerCueSwitch = loop.createTimer(1000, true, [] {});  // a lockout with no action
    timers.TimerGetNextSwitch = loop.createTimer(1000, true, handle(&TimerGetNextSwitch_Timer));
    timers.TimerEOM = loop.createTimer(1000, true, handle(&TimerEOM_Timer));
    timers.tmrExport = loop.createTimer(100, false, handle(&tmrExport_Timer));
    timers.tmrTimeChange = loop.createTimer(4000, false, handle(&tmrTimeChange_Timer));
}

Station::~Station() = default;

void Station::notifyChanged() {
    if (timers.tmrClock) KeepTickPace(*this);
    // By index: an observer may open a window that adds one.
    for (std::size_t i = 0; i < observers_.size();) {
        if (observers_[i]())
            ++i;
        else
            observers_.erase(observers_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void ShowError(Station& st, const std::string& message) {
    st.platform.errors.showError(message);
}

}  // namespace quillmar
