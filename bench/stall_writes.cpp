// Loaded into the real program with LD_PRELOAD by bench_latency: a write (write or pwrite) to
// a wave file waits QUILLMAR_BENCH_STALL_MS (default 2000) first, at most once every
// QUILLMAR_BENCH_STALL_EVERY_MS (default 8000), as a stalling disk or network share would.
// Each stall is told on standard error, so the bench can see that it happened.

#include <dlfcn.h>
#include <strings.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using WriteFn = ssize_t (*)(int, const void*, size_t);
using PwriteFn = ssize_t (*)(int, const void*, size_t, off_t);

long long NowMs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

long EnvMs(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atol(v) : fallback;
}

bool IsWave(int fd) {
    char link[64], target[512];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 4 && ::strncasecmp(target + n - 4, ".wav", 4) == 0;
}

std::atomic<long long> gNextStallMs{0};

void Tell(const char* text, size_t length) {
    static const auto real = reinterpret_cast<WriteFn>(::dlsym(RTLD_NEXT, "write"));
    real(2, text, length);
}

void MaybeStall() {
    const long stall = EnvMs("QUILLMAR_BENCH_STALL_MS", 2000);
    const long every = EnvMs("QUILLMAR_BENCH_STALL_EVERY_MS", 8000);
    const long long now = NowMs();
    long long due = gNextStallMs.load();
    if (now < due || !gNextStallMs.compare_exchange_strong(due, now + stall + every)) return;
    static const char kTold[] = "bench: a wave file write stalled\n";
    Tell(kTold, sizeof kTold - 1);
    const timespec wait{stall / 1000, (stall % 1000) * 1000000L};
    ::nanosleep(&wait, nullptr);
}

}  // namespace

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
    static const auto real = reinterpret_cast<WriteFn>(::dlsym(RTLD_NEXT, "write"));
    if (fd > 2 && IsWave(fd)) MaybeStall();
    return real(fd, buffer, count);
}

// The file system writes wave files at an offset.
extern "C" ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    static const auto real = reinterpret_cast<PwriteFn>(::dlsym(RTLD_NEXT, "pwrite"));
    if (fd > 2 && IsWave(fd)) MaybeStall();
    return real(fd, buffer, count, offset);
}

extern "C" ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset) {
    static const auto real = reinterpret_cast<PwriteFn>(::dlsym(RTLD_NEXT, "pwrite64"));
    if (fd > 2 && IsWave(fd)) MaybeStall();
    return real(fd, buffer, count, offset);
}
