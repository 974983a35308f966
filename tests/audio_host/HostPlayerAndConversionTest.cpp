// The host player's seek, and conversions on their worker thread, against the file devices.

#include <gtest/gtest.h>

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

struct HostAudio : ::testing::Test {
    TestLoop loop;
    TempFileSystem files;
    std::unique_ptr<PortAudioAudio> audio = std::make_unique<PortAudioAudio>(loop, files);

    // A stereo file whose frame f holds the value f % 30000 + 1 on both channels.
    std::string counting(const std::string& name, std::int64_t frames) {
        std::vector<std::int16_t> s(static_cast<std::size_t>(frames * 2));
        for (std::int64_t f = 0; f < frames; ++f)
            s[2 * f] = s[2 * f + 1] = static_cast<std::int16_t>(f % 30000 + 1);
        SndFileWriter w(files);
        EXPECT_TRUE(w.open("c:\\" + name, 2, nullptr));
        EXPECT_TRUE(w.appendFrames(s.data(), frames, nullptr));
        return "c:\\" + name;
    }
};

TEST_F(HostAudio, PlayAfterASeekStartsThereAndEndsAtTheFileEnd) {
    const std::string wave = counting("seek.wav", 44100);
    const auto outputs = audio->outputDevices();
    int device = -1;
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (outputs[i].find("playfile") != std::string::npos) device = static_cast<int>(i);
    ASSERT_GE(device, 0);
    const char* playback = std::getenv("ALSA_CONFIG_PATH");
    ASSERT_NE(playback, nullptr);
    const fs::path raw = fs::path(playback).parent_path() / "playback.raw";
    fs::remove(raw);

    auto player = audio->createPlayer();
    int finished = 0;
    player->onFinished = [&] { ++finished; };
    ASSERT_TRUE(player->open(wave, device, nullptr));
    player->seekMs(500);
    EXPECT_EQ(player->positionMs(), 500);
    ASSERT_TRUE(player->play(nullptr));
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    EXPECT_EQ(player->positionMs(), 1000);
    player.reset();

    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), (2048u + 22050u) * 4);
    std::int16_t first = 0, last = 0;
    std::memcpy(&first, &bytes[2048 * 4], 2);
    std::memcpy(&last, &bytes[(2048 + 22049) * 4], 2);
    EXPECT_EQ(first, 22050 + 1);  // frame 22050 is the one at 500 ms
    EXPECT_EQ(last, 44099 % 30000 + 1);
}

TEST_F(HostAudio, ConversionReportsProgressAndTheEndOnTheLoop) {
    const std::string source = counting("src.wav", 44100 * 3);
    auto conversion = audio->createConversion();
    std::vector<std::int64_t> progress;
    int finished = 0;
    bool ok = false;
    conversion->onProgress = [&](std::int64_t done, std::int64_t total) {
        progress.push_back(done);
        EXPECT_EQ(total, 2000);
    };
    std::vector<std::pair<int, int>> levels;
    conversion->onLevels = [&](std::int16_t left, std::int16_t right) {
        levels.emplace_back(left, right);
    };
    conversion->onFinished = [&](bool good, const std::string&) {
        ok = good;
        ++finished;
    };
    ConversionJob job{source, "c:\\out.wav", 2000, 1500, 500, {}};
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
}

TEST_F(HostAudio, CancelledConversionSendsNoEndAndLeavesNoFile) {
    const std::string source = counting("big.wav", 44100 * 20);
    auto conversion = audio->createConversion();
    int finished = 0;
    conversion->onFinished = [&](bool, const std::string&) { ++finished; };
    ConversionJob job{source, "c:\\never.wav", 0, 0, 0, {}};
    ASSERT_TRUE(conversion->start(job, nullptr));
    conversion->cancel();
    EXPECT_FALSE(conversion->isRunning());
    conversion.reset();  // waits for the worker
    loop.runFor(50);
    EXPECT_EQ(finished, 0);
    EXPECT_FALSE(files.fileExists(job.targetPath));
    EXPECT_FALSE(files.fileExists(job.targetPath + ".part"));
}

}  // namespace
