// The simulated sound cards: buffers on virtual time, the input signal, failures, and the player.

#include <gtest/gtest.h>

#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimAudio.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/wave/SndFile.h"

using namespace quillmar;

namespace {

struct SimAudioTest : ::testing::Test {
    SimClock clock;
    SimEventLoop loop{clock};
    MemoryFileSystem files;
    SimAudio audio{loop, files};
    std::vector<CaptureSummary> buffers;
    std::vector<std::int64_t> arrivals;
    std::vector<std::string> writeFailures;
    std::vector<CaptureResult> results;

    static std::string path(const std::string& name) { return "c:\\" + name; }

    // A capture into c:\rec.wav; writing begins with the first buffer above `threshold`.
    std::unique_ptr<AudioCapture> startCapture(int channels, int threshold = 32767,
                                               int device = 0) {
        auto capture = audio.createCapture();
        capture->onBuffer = [this](const CaptureSummary& b) {
            buffers.push_back(b);
            arrivals.push_back(loop.elapsed());
        };
        capture->onWriteFailure = [this](const std::string& e) { writeFailures.push_back(e); };
        capture->onFinished = [this](const CaptureResult& r) { results.push_back(r); };
        std::string error;
        EXPECT_TRUE(capture->start({device, channels, path("rec.wav"), threshold}, &error))
            << error;
        return capture;
    }
    WaveInfo recorded() {
        WaveInfo info;
        std::string error;
        EXPECT_TRUE(ReadWaveInfo(files, path("rec.wav"), &info, &error)) << error;
        return info;
    }

    // A wave file of the given length whose every sample is `value`.
    std::string makeWave(const std::string& name, std::int64_t ms, std::int16_t value = 1000) {
        SndFileWriter writer(files);
        std::string error;
        EXPECT_TRUE(writer.open(path(name), 2, &error)) << error;
        std::vector<std::int16_t> samples(static_cast<std::size_t>(ms * kSampleRate / 1000 * 2),
                                          value);
        EXPECT_TRUE(writer.appendFrames(samples.data(), ms * kSampleRate / 1000, &error));
        writer.close();
        return path(name);
    }
};

TEST_F(SimAudioTest, StereoCaptureWritesA4096ByteBufferEvery1024Frames) {
    auto capture = startCapture(2);
    capture->writeNow();
    loop.advance(1000);
    // 44100 / 1024 = 43.07 buffers in a second; the 43rd completes at 998.8 ms.
    ASSERT_EQ(buffers.size(), 43u);
    EXPECT_EQ(arrivals.front(), 24);  // 23.2 ms, rounded up to the loop's millisecond
    EXPECT_EQ(arrivals.back(), 999);
    EXPECT_EQ(buffers.back().fileMs, 43 * 1024 * 1000 / kSampleRate);
    capture->finish(true);
    EXPECT_TRUE(results.empty());  // posted
    loop.runPending();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].opened);
    EXPECT_EQ(recorded().frames, 43 * 1024);
    EXPECT_EQ(recorded().channels, 2);
    EXPECT_FALSE(capture->isRunning());
}

TEST_F(SimAudioTest, MonoCaptureHears2048FramesPerBufferOnTheLeftTone) {
    audio.setInput({5000, 9000});
    auto capture = startCapture(1, 4999);
    loop.advance(1000);
    capture->finish(true);
    loop.runPending();
    ASSERT_EQ(buffers.size(), 21u);  // 44100 / 2048 = 21.5
    EXPECT_EQ(buffers[0].peakLeft, 5000);
    EXPECT_EQ(buffers[0].peakRight, 5000);
    EXPECT_EQ(recorded().channels, 1);
    EXPECT_EQ(recorded().frames, 21 * 2048);
}

TEST_F(SimAudioTest, WritingBeginsWithTheFirstBufferAboveTheThreshold) {
    // Given silence until 500 ms, then a tone on the right channel alone
    audio.setInputAt(500, {0, 12000});
    auto capture = startCapture(2, 11999);
    loop.advance(1000);
    // Then buffers before 500 ms are quiet and unwritten; the one spanning 500 ms is the first
    // loud one, and the file begins with it
    std::size_t firstLoud = buffers.size();
    for (std::size_t i = 0; i < buffers.size(); ++i) {
        EXPECT_EQ(buffers[i].peakLeft, 0);
        EXPECT_EQ(buffers[i].written, buffers[i].loud) << i;
        if (firstLoud == buffers.size() && buffers[i].loud) firstLoud = i;
    }
    EXPECT_EQ(firstLoud, 21u);  // frames 21504..22527 span 487.6 .. 510.8 ms
    EXPECT_EQ(buffers[firstLoud].peakRight, 12000);
    capture->finish(true);
    loop.runPending();
    EXPECT_EQ(recorded().frames, (43 - 21) * 1024);
    std::vector<std::int16_t> samples;
    ASSERT_TRUE(ReadWaveFrames(files, path("rec.wav"), 0, 1024, &samples, nullptr, nullptr));
    EXPECT_EQ(samples[1], 0);  // the onset lies inside the buffer: silence, then the tone
    EXPECT_EQ(std::abs(samples.back()), 12000);
}

TEST_F(SimAudioTest, StalledLoopGetsEveryBufferInOrderAfterwards) {
    audio.setInput({100, 100});
    auto capture = startCapture(2);
    loop.advance(100);
    const auto before = buffers.size();
    loop.stall(3000);  // a 3 s serial query
    EXPECT_EQ(buffers.size(), before);
    loop.runPending();
    EXPECT_EQ(buffers.size(), 133u);  // all of 3.1 s
    EXPECT_EQ(capture->overruns(), 0u);
}

TEST_F(SimAudioTest, StalledWriterKeepsTheRingsWorthAndCountsTheRest) {
    audio.setRingBuffers(10);
    auto capture = startCapture(2);
    capture->writeNow();
    audio.stallWriter(1000);
    loop.advance(999);
    EXPECT_TRUE(buffers.empty());
    EXPECT_FALSE(files.fileExists(path("rec.wav")));
    loop.advance(1);
    EXPECT_EQ(buffers.size(), 10u);
    EXPECT_EQ(capture->overruns(), 33u);
    loop.advance(100);  // capture goes on from the present
    EXPECT_EQ(buffers.size(), 14u);
    EXPECT_EQ(recorded().frames, 14 * 1024);
}

TEST_F(SimAudioTest, FinishWaitsForAStalledWriterAndKeepsOrDropsWhatWaits) {
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        results.clear();
        buffers.clear();
        auto capture = startCapture(2);
        capture->writeNow();
        loop.advance(500);
        audio.stallWriter();  // until released
        loop.advance(500);
        capture->finish(keep);
        loop.advance(10'000);
        EXPECT_TRUE(results.empty());
        EXPECT_TRUE(capture->isRunning());
        audio.releaseWriter();
        loop.runPending();
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(buffers.size(), keep ? 43u : 21u);
        EXPECT_EQ(results[0].fileMs, recorded().lengthMs());
        EXPECT_EQ(recorded().frames, static_cast<std::int64_t>(buffers.size()) * 1024);
    }
}

TEST_F(SimAudioTest, CaptureFailsToStartOnAMissingDeviceOrWhenTold) {
    auto capture = audio.createCapture();
    std::string error;
    EXPECT_FALSE(capture->start({2, 2, "", 0}, &error));
    EXPECT_EQ(error, "Input device 2 does not exist");
    audio.failCaptureStart("Device busy");
    EXPECT_FALSE(capture->start({0, 2, "", 0}, &error));
    EXPECT_EQ(error, "Device busy");
    EXPECT_FALSE(capture->isRunning());
    // A finish with nothing running still ends.
    int finished = 0;
    capture->onFinished = [&](const CaptureResult&) { ++finished; };
    capture->finish(true);
    loop.runPending();
    EXPECT_EQ(finished, 1);
}

TEST_F(SimAudioTest, VanishingDeviceHandsOverWhatItHadThenReportsOnTheLoop) {
    auto capture = startCapture(2);
    std::string failure;
    capture->onFailure = [&](const std::string& e) { failure = e; };
    loop.stall(200);
    audio.vanishInput("Unplugged");
    EXPECT_EQ(failure, "");
    loop.runPending();
    EXPECT_EQ(buffers.size(), 8u);
    EXPECT_EQ(failure, "Unplugged");
    EXPECT_EQ(audio.runningCaptures(), 0);
    loop.advance(1000);
    EXPECT_EQ(buffers.size(), 8u);
}

TEST_F(SimAudioTest, DeviceListsEndWithTheBuiltInDevicesUnlessTheTestSaysOtherwise) {
    EXPECT_EQ(audio.inputDevices().back(), "Test tone");
    EXPECT_EQ(audio.outputDevices().back(), "Silent output");
    audio.setInputDevices({"A", "B", "C"});
    EXPECT_EQ(audio.inputDevices().size(), 3u);
    EXPECT_TRUE(audio.createCapture()->start({2, 1, "", 0}, nullptr));
}

TEST_F(SimAudioTest, AFullDiskFailsTheWriteOnceAndTheFileKeepsWhatFitted) {
    audio.setInput({3000, 3000});
    audio.failWritesAfterMs(100);
    auto capture = startCapture(2, 0);
    loop.advance(200);
    EXPECT_EQ(buffers[3].fileMs, 92);  // four buffers
    EXPECT_FALSE(buffers[4].written);
    EXPECT_EQ(buffers.back().fileMs, 92);
    EXPECT_EQ(writeFailures, std::vector<std::string>{"No space left on device"});
    capture->finish(true);
    loop.runPending();
    EXPECT_EQ(recorded().frames, 4 * 1024);
}

TEST_F(SimAudioTest, PlayerRunsOnVirtualTimeToItsEndPointAndFinishesOnce) {
    const auto wave = makeWave("prog.wav", 2000);
    auto player = audio.createPlayer();
    int finished = 0;
    player->onFinished = [&] { ++finished; };
    std::string error;
    ASSERT_TRUE(player->open(wave, 1, &error)) << error;
    EXPECT_EQ(player->lengthMs(), 2000);
    player->setEndMs(1500);
    ASSERT_TRUE(player->play(&error));
    loop.advance(400);
    EXPECT_EQ(player->positionMs(), 400);
    EXPECT_EQ(player->peakLeft(), 1000);
    player->pause();
    loop.advance(1000);
    EXPECT_TRUE(player->isPaused());
    EXPECT_EQ(player->positionMs(), 400);
    player->resume();
    loop.advance(1099);
    EXPECT_EQ(finished, 0);
    loop.advance(1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->positionMs(), 1500);
    loop.advance(5000);
    EXPECT_EQ(finished, 1);
    ASSERT_EQ(audio.playStarts().size(), 1u);
    EXPECT_EQ(audio.playStarts()[0].device, 1);
}

TEST_F(SimAudioTest, SeekAndStopMoveThePlayerWithoutAFinishedEventOnStop) {
    const auto wave = makeWave("prog.wav", 1000);
    auto player = audio.createPlayer();
    int finished = 0;
    player->onFinished = [&] { ++finished; };
    ASSERT_TRUE(player->open(wave, 0, nullptr));
    ASSERT_TRUE(player->play(nullptr));
    player->seekMs(900);
    loop.advance(50);
    EXPECT_EQ(player->positionMs(), 950);
    player->stop();
    loop.advance(500);
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(player->positionMs(), 0);
    ASSERT_TRUE(player->play(nullptr));
    loop.advance(1000);
    EXPECT_EQ(finished, 1);
}

TEST_F(SimAudioTest, PlayerOpenFailsOnMissingOrGarbageFilesAndWhenTold) {
    auto player = audio.createPlayer();
    std::string error;
    EXPECT_FALSE(player->open(path("none.wav"), 0, &error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(files.writeFile(path("junk.wav"), "RIFFjunk", &error));
    EXPECT_FALSE(player->open(path("junk.wav"), 0, &error));
    const auto wave = makeWave("ok.wav", 100);
    audio.failPlayerOpen(wave, "Locked");
    EXPECT_FALSE(player->open(wave, 0, &error));
    EXPECT_EQ(error, "Locked");
    EXPECT_FALSE(player->play(&error));
    audio.clearPlayerFailures();
    EXPECT_TRUE(player->open(wave, 0, &error));
    EXPECT_FALSE(player->open(wave, 5, &error));
    EXPECT_EQ(error, "Output device 5 does not exist");
}

TEST_F(SimAudioTest, ConversionRunsOnAPostedTaskAndCanBeCancelled) {
    const auto source = makeWave("src.wav", 1000, 2000);
    auto conversion = audio.createConversion();
    bool ok = false;
    int finished = 0;
    conversion->onFinished = [&](bool good, const std::string&) {
        ok = good;
        ++finished;
    };
    ConversionJob job{source, path("out.wav"), 500, 0, 0, {}};
    ASSERT_TRUE(conversion->start(job, nullptr));
    EXPECT_TRUE(conversion->isRunning());
    EXPECT_EQ(finished, 0);
    loop.runPending();
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(ok);
    WaveInfo info;
    ASSERT_TRUE(ReadWaveInfo(files, path("out.wav"), &info, nullptr));
    EXPECT_EQ(info.frames, kSampleRate / 2);

    job.targetPath = path("cancelled.wav");
    ASSERT_TRUE(conversion->start(job, nullptr));
    conversion->cancel();
    loop.runPending();
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(files.fileExists(job.targetPath));
}

}  // namespace
