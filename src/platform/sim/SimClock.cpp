#include "platform/sim/SimClock.h"

namespace quillmar {

void SimClock::setTimeOfDay(int hour, int minute, int second, SetDone done) {
    if (!setFailure_.empty()) {
        done(false, setFailure_);
        return;
    }
    now_.msOfDay = ((hour * 60LL + minute) * 60 + second) * 1000;
    settings_.push_back(now_);
    done(true, {});
}

}  // namespace quillmar
