// The real PortAudio code against ALSA devices backed by files, under an ALSA configuration of
// the test's own: capture must match the source sample for sample, and playout must write the
// audio up to its end point and nothing after. These devices run faster than real time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestLoop.h"
#include "platform/host/PortAudioAudio.h"
#include "platform/wave/SndFile.h"
#include "support/TempFileSystem.h"

using namespace quillmar;
using quillmar::testing::TestLoop;

namespace {

namespace fs = std::filesystem;

fs::path gDir;

fs::path capturePath() {
    return gDir / "capture.raw";
}
fs::path playbackPath() {
    return gDir / "playback.raw";
}

// Set up before PortAudio starts: the devices, and a quiet JACK and PulseAudio.
class FileDevices : public ::testing::Environment {
  public:
    void SetUp() override {
        gDir = fs::temp_directory_path() / ("quillmar-audiohost-" + std::to_string(::getpid()));
        fs::create_directories(gDir / "home");
        fs::create_directories(gDir / "runtime");
        std::ofstream(capturePath(), std::ios::binary).put(0);
        std::ofstream conf(gDir / "asound.conf");
        conf << "pcm.capfile {\n  type file\n  slave { pcm { type null } }\n"
             << "  file \"/dev/null\"\n  infile \"" << capturePath().string() << "\"\n"
             << "  format \"raw\"\n}\n"
             << "pcm.playfile {\n  type file\n  slave { pcm { type null } }\n"
             << "  file \"" << playbackPath().string()
             << "\"\n  format \"raw\"\n}\n"
             // A device that cannot open: PortAudio 19.6 needs one, or it asserts.
             << "pcm.unavailable { type hw card 99 }\n";
        conf.close();
        ::setenv("ALSA_CONFIG_PATH", (gDir / "asound.conf").c_str(), 1);
        ::setenv("HOME", (gDir / "home").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (gDir / "runtime").c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
    }
    void TearDown() override { fs::remove_all(gDir); }
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new FileDevices);

int PositionOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].find(name) != std::string::npos) return static_cast<int>(i);
    return -1;
}

// A signal with no zero samples and different peaks on each channel, buffer by buffer.
std::vector<std::int16_t> Pattern(std::int64_t frames) {
    std::vector<std::int16_t> s(static_cast<std::size_t>(frames * 2));
    std::uint32_t x = 12345;
    for (std::int64_t f = 0; f < frames; ++f) {
        x = x * 1103515245u + 12345u;
        const int amplitude = 1000 + static_cast<int>((f / 1024) % 20) * 1000;
        s[2 * f] = static_cast<std::int16_t>(1 + (x >> 8) % amplitude);
        s[2 * f + 1] =
            static_cast<std::int16_t>(-1 - static_cast<int>((x >> 12) % (amplitude / 2)));
    }
    return s;
}

std::vector<std::int16_t> ReadRaw(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

struct PortAudioFileDevices : ::testing::Test {
    TestLoop loop;
    TempFileSystem files;
    std::unique_ptr<PortAudioAudio> audio = std::make_unique<PortAudioAudio>(loop, files);
};

TEST_F(PortAudioFileDevices, ListsTheFileDevicesThenTheBuiltInOnes) {
    const auto inputs = audio->inputDevices();
    const auto outputs = audio->outputDevices();
    EXPECT_GE(PositionOf(inputs, "capfile"), 0);
    EXPECT_GE(PositionOf(outputs, "playfile"), 0);
    EXPECT_EQ(PositionOf(inputs, "unavailable"), -1);
    EXPECT_EQ(inputs.back(), "Test tone");
    EXPECT_EQ(outputs.back(), "Silent output");
}

TEST_F(PortAudioFileDevices, CapturedBuffersMatchTheSourceSampleForSample) {
    // Given a capture device that reads 3 s of a known stereo signal
    constexpr std::int64_t kFrames = 1024 * 130;
    const auto source = Pattern(kFrames);
    std::ofstream(capturePath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(source.data()),
               static_cast<std::streamsize>(source.size() * 2));
    auto capture = audio->createCapture();
    std::vector<AudioBuffer> buffers;
    capture->onBuffer = [&](const AudioBuffer& b) {
        if (buffers.size() < 130) buffers.push_back(b);
    };
    std::string error;
    const int device = PositionOf(audio->inputDevices(), "capfile");
    ASSERT_TRUE(capture->start(device, 2, &error)) << error;

    // When the loop drains the ring
    ASSERT_TRUE(loop.runUntil([&] { return buffers.size() >= 130; }));
    capture->stop();

    // Then every buffer holds the next 1024 frames of the source, with their peaks
    for (std::size_t n = 0; n < buffers.size(); ++n) {
        const AudioBuffer& b = buffers[n];
        ASSERT_EQ(b.samples.size(), 2048u);
        ASSERT_TRUE(std::equal(b.samples.begin(), b.samples.end(), source.begin() + n * 2048))
            << "buffer " << n;
        AudioBuffer expected;
        expected.samples.assign(source.begin() + n * 2048, source.begin() + (n + 1) * 2048);
        MeasurePeaks(expected);
        EXPECT_EQ(b.peakLeft, expected.peakLeft) << n;
        EXPECT_EQ(b.peakRight, expected.peakRight) << n;
    }
}

TEST_F(PortAudioFileDevices, LoopThatFallsBehindTheRingKeepsTheOldestAudioAndCountsTheRest) {
    // Given a device that runs far ahead of real time and a loop that does not drain for a while
    constexpr std::int64_t kFrames = 1024 * 64;
    const auto source = Pattern(kFrames);
    std::ofstream(capturePath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(source.data()),
               static_cast<std::streamsize>(source.size() * 2));
    auto capture = audio->createCapture();
    std::vector<AudioBuffer> buffers;
    capture->onBuffer = [&](const AudioBuffer& b) {
        if (buffers.size() < 64) buffers.push_back(b);
    };
    ASSERT_TRUE(capture->start(PositionOf(audio->inputDevices(), "capfile"), 2, nullptr));
    const auto overflowed = [&] { return capture->overruns() > 0; };
    for (int i = 0; i < 200 && !overflowed(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(overflowed());

    // When the loop comes back
    ASSERT_TRUE(loop.runUntil([&] { return buffers.size() >= 64; }));
    capture->stop();

    // Then the audio it gets first is the source from its start, in order
    for (std::size_t n = 0; n < buffers.size(); ++n)
        ASSERT_TRUE(std::equal(buffers[n].samples.begin(), buffers[n].samples.end(),
                               source.begin() + n * 2048))
            << "buffer " << n;
}

TEST_F(PortAudioFileDevices, MonoCaptureGives2048FramesPerBuffer) {
    std::vector<std::int16_t> source(2048 * 4);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::int16_t>(i + 1);
    std::ofstream(capturePath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(source.data()),
               static_cast<std::streamsize>(source.size() * 2));
    auto capture = audio->createCapture();
    std::vector<AudioBuffer> buffers;
    capture->onBuffer = [&](const AudioBuffer& b) { buffers.push_back(b); };
    ASSERT_TRUE(capture->start(PositionOf(audio->inputDevices(), "capfile"), 1, nullptr));
    ASSERT_TRUE(loop.runUntil([&] { return buffers.size() >= 4; }));
    capture->stop();
    EXPECT_EQ(buffers[0].frames(), 2048);
    EXPECT_EQ(buffers[3].samples.back(), 8192);
    EXPECT_EQ(buffers[3].peakRight, 8192);
}

TEST_F(PortAudioFileDevices, PlayoutWritesTheAudioUpToItsEndPointAndNothingAfter) {
    // Given a 2 s wave file and an end point at 1234 ms
    constexpr std::int64_t kFrames = 88200;
    const auto source = Pattern(kFrames);
    const std::string wave = "c:\\programme.wav";
    {
        SndFileWriter writer(files);
        ASSERT_TRUE(writer.open(wave, 2, nullptr));
        ASSERT_TRUE(writer.appendFrames(source.data(), kFrames, nullptr));
    }
    fs::remove(playbackPath());
    auto player = audio->createPlayer();
    int finished = 0;
    player->onFinished = [&] { ++finished; };
    std::string error;
    ASSERT_TRUE(player->open(wave, PositionOf(audio->outputDevices(), "playfile"), &error))
        << error;
    EXPECT_EQ(player->lengthMs(), 2000);
    player->setEndMs(1234);

    // When it plays to the end
    ASSERT_TRUE(player->play(&error)) << error;
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    loop.runFor(100);
    player.reset();

    // Then the device got PortAudio's 2048 frames of silence, the audio to 1234 ms exactly,
    // and silence after it; the finished event came once
    EXPECT_EQ(finished, 1);
    const auto written = ReadRaw(playbackPath());
    constexpr std::size_t kPrefill = 2048 * 2;
    constexpr std::size_t kEnd = 1234 * 44100 / 1000 * 2;
    ASSERT_GE(written.size(), kPrefill + kEnd);
    EXPECT_TRUE(std::all_of(written.begin(), written.begin() + kPrefill,
                            [](std::int16_t s) { return s == 0; }));
    EXPECT_TRUE(std::equal(source.begin(), source.begin() + kEnd, written.begin() + kPrefill));
    EXPECT_TRUE(std::all_of(written.begin() + kPrefill + kEnd, written.end(),
                            [](std::int16_t s) { return s == 0; }));
}

TEST_F(PortAudioFileDevices, MissingDeviceNumbersAndFilesAreRefused) {
    std::string error;
    auto capture = audio->createCapture();
    EXPECT_FALSE(capture->start(static_cast<int>(audio->inputDevices().size()), 2, &error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    auto player = audio->createPlayer();
    EXPECT_FALSE(player->open("c:\\none.wav", 0, &error));
    EXPECT_FALSE(player->play(&error));
}

TEST_F(PortAudioFileDevices, BuiltInDevicesRunWithoutASoundCard) {
    // The test tone arrives in real time as a half-scale tone
    auto capture = audio->createCapture();
    std::vector<AudioBuffer> buffers;
    capture->onBuffer = [&](const AudioBuffer& b) { buffers.push_back(b); };
    const int tone = static_cast<int>(audio->inputDevices().size()) - 1;
    ASSERT_TRUE(capture->start(tone, 2, nullptr));
    ASSERT_TRUE(loop.runUntil([&] { return buffers.size() >= 3; }));
    capture->stop();
    EXPECT_NEAR(buffers[1].peakLeft, 16384, 2);
    EXPECT_EQ(buffers[1].peakLeft, buffers[1].peakRight);

    // The silent output plays a short file to its end
    const std::string wave = "c:\\short.wav";
    {
        SndFileWriter writer(files);
        ASSERT_TRUE(writer.open(wave, 1, nullptr));
        std::vector<std::int16_t> s(4410, 300);
        ASSERT_TRUE(writer.appendFrames(s.data(), 4410, nullptr));
    }
    auto player = audio->createPlayer();
    int finished = 0;
    player->onFinished = [&] { ++finished; };
    const int silent = static_cast<int>(audio->outputDevices().size()) - 1;
    ASSERT_TRUE(player->open(wave, silent, nullptr));
    ASSERT_TRUE(player->play(nullptr));
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    EXPECT_EQ(player->positionMs(), 100);
    EXPECT_FALSE(player->isPlaying());
}

}  // namespace
