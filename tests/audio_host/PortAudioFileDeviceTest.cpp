// The real PortAudio code against ALSA devices backed by files, under an ALSA configuration of
// the test's own: capture must match the source sample for sample, playout must write the audio
// from its seek point up to its end point and nothing after, and conversions run on a worker
// thread. These devices run faster than real time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

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

void WriteCaptureSource(const std::vector<std::int16_t>& source) {
    std::ofstream(capturePath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(source.data()),
               static_cast<std::streamsize>(source.size() * 2));
}

// The data root's files, whose writes wait while the test holds them, as a stalled disk does.
class HeldFileSystem : public TempFileSystem {
  public:
    std::unique_ptr<FileHandle> openFile(std::string_view drivePath, OpenMode mode,
                                         std::string* error) override {
        auto file = TempFileSystem::openFile(drivePath, mode, error);
        return file ? std::make_unique<Handle>(*this, std::move(file)) : nullptr;
    }
    void hold() { held_ = true; }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = false;
        released_.notify_all();
    }
    std::atomic<int> waiting{0};

  private:
    struct Handle : FileHandle {
        Handle(HeldFileSystem& fs, std::unique_ptr<FileHandle> file)
            : fs(fs), file(std::move(file)) {}
        std::int64_t size() const override { return file->size(); }
        std::int64_t readAt(std::int64_t at, char* data, std::int64_t count) const override {
            return file->readAt(at, data, count);
        }
        bool writeAt(std::int64_t at, std::string_view bytes, std::string* error) override {
            std::unique_lock<std::mutex> lock(fs.mutex_);
            ++fs.waiting;
            fs.released_.wait(lock, [this] { return !fs.held_; });
            --fs.waiting;
            return file->writeAt(at, bytes, error);
        }
        bool truncate(std::int64_t length, std::string* error) override {
            return file->truncate(length, error);
        }
        HeldFileSystem& fs;
        std::unique_ptr<FileHandle> file;
    };
    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
};

struct PortAudioFileDevices : ::testing::Test {
    TestLoop loop;
    HeldFileSystem files;
    std::unique_ptr<PortAudioAudio> audio = std::make_unique<PortAudioAudio>(loop, files);
    std::vector<CaptureSummary> buffers;
    std::vector<CaptureResult> results;

    // A capture of the file device into c:\capture.wav, written from its first buffer.
    std::unique_ptr<AudioCapture> startCapture(int channels, int device = -1) {
        auto capture = audio->createCapture();
        capture->onBuffer = [this](const CaptureSummary& b) { buffers.push_back(b); };
        capture->onFinished = [this](const CaptureResult& r) { results.push_back(r); };
        if (device < 0) device = PositionOf(audio->inputDevices(), "capfile");
        std::string error;
        EXPECT_TRUE(capture->start({device, channels, "c:\\capture.wav", -1}, &error)) << error;
        return capture;
    }
    // Finishes the capture and reads back what it wrote.
    std::vector<std::int16_t> finish(AudioCapture& capture, std::size_t summaries) {
        EXPECT_TRUE(loop.runUntil([&] { return buffers.size() >= summaries; }));
        capture.finish(true);
        EXPECT_TRUE(loop.runUntil([&] { return !results.empty(); }));
        std::vector<std::int16_t> samples;
        std::string error;
        EXPECT_TRUE(
            ReadWaveFrames(files, "c:\\capture.wav", 0, INT32_MAX, &samples, nullptr, &error))
            << error;
        return samples;
    }
};

TEST_F(PortAudioFileDevices, ListsTheFileDevicesAndTheBuiltInOnesRunWithoutASoundCard) {
    const auto inputs = audio->inputDevices();
    const auto outputs = audio->outputDevices();
    EXPECT_GE(PositionOf(inputs, "capfile"), 0);
    EXPECT_GE(PositionOf(outputs, "playfile"), 0);
    EXPECT_EQ(PositionOf(inputs, "unavailable"), -1);
    ASSERT_EQ(inputs.back(), "Test tone");
    ASSERT_EQ(outputs.back(), "Silent output");

    // The test tone arrives in real time as a half-scale tone.
    auto capture = startCapture(2, static_cast<int>(inputs.size()) - 1);
    finish(*capture, 3);
    EXPECT_NEAR(buffers[1].peakLeft, 16384, 2);
    EXPECT_EQ(buffers[1].peakLeft, buffers[1].peakRight);

    // The silent output plays a short file to its end.
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
    ASSERT_TRUE(player->open(wave, static_cast<int>(outputs.size()) - 1, nullptr));
    ASSERT_TRUE(player->play(nullptr));
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    EXPECT_EQ(player->positionMs(), 100);
    EXPECT_FALSE(player->isPlaying());
}

// Stereo and mono captures of 130 buffers of 1024 frames from the file device.
class FileCapture : public PortAudioFileDevices, public ::testing::WithParamInterface<int> {};

TEST_P(FileCapture, TheFileHoldsTheSourceAsTheWriterAloneWritesIt) {
    const int channels = GetParam();
    const auto source = Pattern(1024 * 130);
    WriteCaptureSource(source);
    auto capture = startCapture(channels);
    const auto samples = finish(*capture, 130);

    // The file begins with the source, sample for sample, and each buffer's summary holds its
    // peaks.
    ASSERT_GE(samples.size(), source.size());
    ASSERT_TRUE(std::equal(source.begin(), source.end(), samples.begin()));
    const std::size_t bufferSamples = 2048;
    for (std::size_t n = 0; n < 130; ++n) {
        AudioBuffer expected;
        expected.channels = channels;
        expected.samples.assign(source.begin() + n * bufferSamples,
                                source.begin() + (n + 1) * bufferSamples);
        MeasurePeaks(expected);
        ASSERT_EQ(buffers[n].peakLeft, expected.peakLeft) << n;
        ASSERT_EQ(buffers[n].peakRight, expected.peakRight) << n;
        ASSERT_TRUE(buffers[n].written);
    }
    // Its bytes are those of the same audio appended buffer by buffer on one thread.
    SndFileWriter reference(files);
    ASSERT_TRUE(reference.open("c:\\reference.wav", channels, nullptr));
    const auto frames = static_cast<std::int64_t>(samples.size()) / channels;
    for (std::int64_t f = 0; f < frames; f += 2048 / channels)
        ASSERT_TRUE(reference.appendFrames(samples.data() + f * channels,
                                           std::min<std::int64_t>(2048 / channels, frames - f),
                                           nullptr));
    reference.close();
    std::string captured, expected;
    ASSERT_TRUE(files.readFile("c:\\capture.wav", &captured, nullptr));
    ASSERT_TRUE(files.readFile("c:\\reference.wav", &expected, nullptr));
    EXPECT_TRUE(captured == expected);
    EXPECT_EQ(results[0].fileMs, frames * 1000 / kSampleRate);
}

INSTANTIATE_TEST_SUITE_P(Channels, FileCapture, ::testing::Values(2, 1));

TEST_F(PortAudioFileDevices, AHeldDiskHoldsNeitherTheLoopNorTheOldestAudio) {
    // Given a device far ahead of real time and a disk whose writes wait
    const auto source = Pattern(1024 * 64);
    WriteCaptureSource(source);
    files.hold();
    int ticks = 0;
    auto timer = loop.createTimer(5, false, [&] { ++ticks; });
    timer->setEnabled(true);
    auto capture = startCapture(2);

    // Then the loop runs on while the writer waits, until the ring overflows and counts it
    ASSERT_TRUE(loop.runUntil([&] { return files.waiting > 0 && capture->overruns() > 0; }));
    EXPECT_GT(ticks, 0);
    EXPECT_TRUE(buffers.empty());

    // When the disk comes back, the file begins with the source from its start, in order
    files.release();
    const auto samples = finish(*capture, 64);
    ASSERT_GE(samples.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), samples.begin()));
}

TEST_F(PortAudioFileDevices, PlayoutWritesTheAudioFromItsSeekToItsEndPointAndNothingAfter) {
    // A 2 s wave file.
    constexpr std::int64_t kFrames = 88200;
    const auto source = Pattern(kFrames);
    const std::string wave = "c:\\programme.wav";
    {
        SndFileWriter writer(files);
        ASSERT_TRUE(writer.open(wave, 2, nullptr));
        ASSERT_TRUE(writer.appendFrames(source.data(), kFrames, nullptr));
    }
    // Each row's audio fits the player's ring: the file device runs faster than real time, and
    // the reader would not keep up past it.
    const struct {
        std::int64_t seekMs, endMs;  // endMs 0: the file's end
    } kRows[] = {{0, 1234}, {1000, 0}};
    for (const auto& r : kRows) {
        SCOPED_TRACE(r.seekMs);
        // A fresh device file: the file device keeps the one it opened first.
        audio.reset();
        fs::remove(playbackPath());
        audio = std::make_unique<PortAudioAudio>(loop, files);
        auto player = audio->createPlayer();
        int finished = 0;
        player->onFinished = [&] { ++finished; };
        std::string error;
        ASSERT_TRUE(player->open(wave, PositionOf(audio->outputDevices(), "playfile"), &error))
            << error;
        EXPECT_EQ(player->lengthMs(), 2000);
        if (r.endMs) player->setEndMs(r.endMs);
        if (r.seekMs) player->seekMs(r.seekMs);
        EXPECT_EQ(player->positionMs(), r.seekMs);
        ASSERT_TRUE(player->play(&error)) << error;
        ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
        if (!r.endMs) {
            EXPECT_EQ(player->positionMs(), 2000);
        }
        loop.runFor(100);
        player.reset();

        // The device got PortAudio's 2048 frames of silence, the audio from the seek to the
        // end exactly, and silence after it; the finished event came once.
        EXPECT_EQ(finished, 1);
        const auto written = ReadRaw(playbackPath());
        constexpr std::size_t kPrefill = 2048 * 2;
        const auto from = static_cast<std::size_t>(r.seekMs * 44100 / 1000 * 2);
        const auto to =
            r.endMs ? static_cast<std::size_t>(r.endMs * 44100 / 1000 * 2) : source.size();
        ASSERT_GE(written.size(), kPrefill + to - from);
        EXPECT_TRUE(std::all_of(written.begin(), written.begin() + kPrefill,
                                [](std::int16_t s) { return s == 0; }));
        EXPECT_TRUE(
            std::equal(source.begin() + from, source.begin() + to, written.begin() + kPrefill));
        EXPECT_TRUE(std::all_of(written.begin() + kPrefill + (to - from), written.end(),
                                [](std::int16_t s) { return s == 0; }));
    }
}

TEST_F(PortAudioFileDevices, MissingDeviceNumbersAndFilesAreRefused) {
    std::string error;
    auto capture = audio->createCapture();
    const int missing = static_cast<int>(audio->inputDevices().size());
    EXPECT_FALSE(capture->start({missing, 2, "", 0}, &error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    auto player = audio->createPlayer();
    EXPECT_FALSE(player->open("c:\\none.wav", 0, &error));
    EXPECT_FALSE(player->play(&error));
}

// A conversion on its worker thread reports progress, levels and its end on the loop; a
// cancelled one sends no end and leaves no file.
TEST_F(PortAudioFileDevices, ConversionRunsOnItsWorkerAndACancelledOneLeavesNothing) {
    // Frame f holds f % 30000 + 1 on both channels.
    std::vector<std::int16_t> counting(static_cast<std::size_t>(44100 * 20 * 2));
    for (std::size_t i = 0; i < counting.size(); ++i)
        counting[i] = static_cast<std::int16_t>(i / 2 % 30000 + 1);
    {
        SndFileWriter writer(files);
        ASSERT_TRUE(writer.open("c:\\src.wav", 2, nullptr));
        ASSERT_TRUE(writer.appendFrames(counting.data(), 44100 * 20, nullptr));
    }
    auto conversion = audio->createConversion();
    std::vector<std::int64_t> progress;
    std::vector<std::pair<int, int>> levels;
    int finished = 0;
    bool ok = false;
    conversion->onProgress = [&](std::int64_t done, std::int64_t total) {
        progress.push_back(done);
        EXPECT_EQ(total, 2000);
    };
    conversion->onLevels = [&](std::int16_t l, std::int16_t r) { levels.emplace_back(l, r); };
    conversion->onFinished = [&](bool good, const std::string&) {
        ok = good;
        ++finished;
    };
    ConversionJob job{"c:\\src.wav", "c:\\out.wav", 2000, 1500, 500, {}};
    std::string error;
    ASSERT_TRUE(conversion->start(job, &error)) << error;
    EXPECT_FALSE(conversion->start(job, &error));  // one at a time
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    EXPECT_TRUE(ok);
    EXPECT_FALSE(conversion->isRunning());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 2000);
    // One pair of peaks per block: the first block counts up to 8192 in both channels.
    ASSERT_EQ(levels.size(), progress.size());
    EXPECT_EQ(levels.front(), std::make_pair(8192, 8192));
    WaveInfo info;
    ASSERT_TRUE(ReadWaveInfo(files, job.targetPath, &info, &error)) << error;
    EXPECT_EQ(info.frames, 88200);

    ConversionJob whole{"c:\\src.wav", "c:\\never.wav", 0, 0, 0, {}};
    ASSERT_TRUE(conversion->start(whole, nullptr));
    conversion->cancel();
    EXPECT_FALSE(conversion->isRunning());
    conversion.reset();  // waits for the worker
    loop.runFor(50);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(files.fileExists(whole.targetPath));
    EXPECT_FALSE(files.fileExists(whole.targetPath + ".part"));
}

}  // namespace
