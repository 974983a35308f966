#include "FuzzStation.h"
#include "schedule/ScheduleRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmar;
    const ScheduleFields f = ParseScheduleRecord(fuzz::Bytes(data, size));
    // Whatever was read must build back into a whole record.
    if (BuildScheduleRecord(f).size() != static_cast<std::size_t>(kScheduleRecordLength))
        __builtin_trap();
    return 0;
}
