#include "platform/sim/SimClock.h"

namespace quillmar {

bool SimClock::setTimeOfDay(int hour, int minute, int second, std::string* error) {
    if (!setFailure_.empty()) {
        if (error) *error = setFailure_;
        return false;
    }
    now_.msOfDay = ((hour * 60LL + minute) * 60 + second) * 1000;
    settings_.push_back(now_);
    return true;
}

}  // namespace quillmar
