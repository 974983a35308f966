#include "FuzzStation.h"
#include "logs/SignalHistory.h"

// The bytes as the EB, AL and ER logs of two days (each day gets half), as the Signal window
// reads them: nothing may crash, and every sample stays within its day.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view all = quillmar::fuzz::Bytes(data, size),
                           first = all.substr(0, all.size() / 2),
                           second = all.substr(all.size() / 2);
    quillmar::SignalHistoryBuilder builder;
    const quillmar::Date day{2026, 11, 1};
    builder.addDay({day, first, first, first, true});
    builder.addDay({day.addDays(1), second, second, second, !second.empty()});
    const auto history = builder.finish(day, day.addDays(1));
    for (const auto& s : history.samples)
        if (s.when.at.date < day || s.when.at.date > day.addDays(1) ||
            s.when.at.msOfDay >= 86'400'000)
            __builtin_trap();
    quillmar::SignalCsv(history);
    return 0;
}
