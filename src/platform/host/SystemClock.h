#pragma once

#include "platform/Clock.h"

namespace quillmar {

// The machine's local time. Setting the time needs CAP_SYS_TIME.
class SystemClock : public Clock {
public:
    DateTime now() const override;
    bool setTimeOfDay(int hour, int minute, int second, std::string* error) override;
};

}  // namespace quillmar
