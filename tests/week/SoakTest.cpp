// A month of the week's schedules on simulated time: memory and open files stay level.
#include <dirent.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <fstream>

#include "week/WeekPlan.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define WEEK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WEEK_ASAN 1
#endif
#endif
#ifdef WEEK_ASAN
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// Resident bytes once the allocator has handed back what it holds free, as the program does.
std::int64_t ResidentBytes() {
    malloc_trim(0);
    std::ifstream in("/proc/self/statm");
    std::int64_t size = 0, resident = 0;
    in >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// The descriptors open now, each with what it refers to.
std::vector<std::string> OpenDescriptors() {
    std::vector<std::string> out;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return out;
    const int own = dirfd(dir);
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.' || std::atoi(e->d_name) == own) continue;
        char target[512] = {};
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const auto n = readlink(link.c_str(), target, sizeof target - 1);
        out.push_back(std::string(e->d_name) + " -> " + (n > 0 ? target : "?"));
    }
    closedir(dir);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(Soak, AMonthKeepsMemoryAndDescriptorsLevel) {
    WeekStation w(DateTime::from(2026, 10, 1, 12, 0, 0));  // the month holds the autumn change
    w.loop.advance(7 * kDay);                              // settling
    const std::int64_t rssBefore = ResidentBytes();
    const std::int64_t filesBefore = w.files.bytesHeld();
    const auto fdsBefore = OpenDescriptors();
    w.loop.advance(23 * kDay);
    EXPECT_GE(std::count_if(w.seen.begin(), w.seen.end(),
                            [](const Happening& h) { return h.name == "StopRecording"; }),
              4 * 23);
    EXPECT_EQ(OpenDescriptors(), fdsBefore);
    // Besides what the in-heap drives now hold, about 1 MiB of their churn stays behind; the
    // address sanitizer's quarantine keeps freed memory on purpose.
    const std::int64_t growth = ResidentBytes() - rssBefore - (w.files.bytesHeld() - filesBefore);
    RecordProperty("rss_growth_bytes", std::to_string(growth));
    if (!kAddressSanitizer) {
        EXPECT_LE(growth, 2 << 20) << "grew by " << growth << " bytes";
    }
}
