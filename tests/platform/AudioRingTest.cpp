#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "audio/AudioState.h"
#include "audio/Recording.h"
#include "platform/Audio.h"
#include "platform/host/SpscRing.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/wave/CaptureFile.h"

using namespace quillmar;

TEST(SpscRing, TwoThreadsPassASequenceWithNothingLostOrReordered) {
    // A small ring (rounded up to 256) that the writer often finds full, read in odd pieces.
    SpscRing<std::uint32_t> ring(200);
    constexpr std::uint32_t kCount = 2'000'000;
    std::thread writer([&] {
        std::uint32_t next = 0;
        std::uint32_t chunk[37];
        while (next < kCount) {
            const std::uint32_t n = std::min<std::uint32_t>(37, kCount - next);
            for (std::uint32_t i = 0; i < n; ++i) chunk[i] = next + i;
            if (ring.writer().write(chunk, n)) next += n;
        }
    });
    std::uint32_t expected = 0;
    bool inOrder = true;
    std::uint32_t got[53];
    while (expected < kCount) {
        const std::size_t n = ring.reader().read(got, 53);
        for (std::size_t i = 0; i < n; ++i) inOrder = inOrder && got[i] == expected++;
    }
    writer.join();
    EXPECT_EQ(ring.capacity(), 256u);
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(expected, kCount);
}

// A buffer's peaks are absolute and per channel (mono copies left to right, -32768 clamps),
// and it is loud only when a channel is above the threshold; the record meters take the peaks.
TEST(MeasurePeaks, PeaksAndLoudness) {
    const struct {
        int channels;
        std::vector<std::int16_t> samples;
        int threshold;
        std::int16_t left, right;
        bool loud;
    } kRows[] = {
        {2, {100, -200, -3000, 50, 2999, 0}, 1000, 3000, 200, true},
        {2, {1000, -1000, 0, 0}, 1000, 1000, 1000, false},
        {2, {0, 1001}, 1000, 0, 1001, true},
        {1, {5, -32768, 7}, 32766, 32767, 32767, true},
        {1, {-500, 499}, 500, 500, 500, false},
        {2, {}, 0, 0, 0, false},
    };
    for (const auto& r : kRows) {
        SCOPED_TRACE(::testing::PrintToString(r.samples));
        AudioBuffer b;
        b.channels = r.channels;
        b.samples = r.samples;
        MemoryFileSystem files;
        CaptureFileWriter writer(files, {0, r.channels, "", r.threshold});
        const CaptureSummary s = writer.measure(b, false);
        EXPECT_EQ(s.loud, r.loud);
        AudioDisplay display;
        TakeRecordPeaks(display, s);
        EXPECT_EQ(std::make_pair(display.RecordPeakLeft, display.RecordPeakRight),
                  std::make_pair(r.left, r.right));
    }
}
