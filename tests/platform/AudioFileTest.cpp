
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <functional>

#include "platform/wave/SndFile.h"
#include "platform/wave/WaveConversion.h"
#include "support/TempFileSystem.h"
#include "support/Wave.h"

using namespace quillmar;
using quillmar::testing::WaveBytes;

namespace {

// Runs `child` in a forked process: its exit status, or minus the signal that killed it.
int InChild(const std::function<int()>& child) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(child());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

// On the host's disk, so that a killed writer leaves its file behind.
struct AudioFileTest : ::testing::Test {
    TempFileSystem files;
    std::atomic<bool> notCancelled{false};
    std::string path(const std::string& name) const { return "c:\\" + name; }

    static AudioBuffer ramp(int first) {
        AudioBuffer b;
        b.samples.resize(kCaptureBufferBytes / 2);
        for (std::size_t i = 0; i < b.samples.size(); ++i)
            b.samples[i] = static_cast<std::int16_t>((first + static_cast<int>(i)) % 30000);
        MeasurePeaks(b);
        return b;
    }

    std::vector<std::int16_t> samplesOf(const std::string& file) {
        std::vector<std::int16_t> samples;
        std::string error;
        EXPECT_TRUE(ReadWaveFrames(files, file, 0, 1 << 30, &samples, nullptr, &error)) << error;
        return samples;
    }

    std::string makeSource(const std::string& name, std::int64_t frames, std::int16_t value) {
        EXPECT_TRUE(files.writeFile(
            path(name), WaveBytes(2, frames, [=](std::int64_t, int) { return value; }), nullptr));
        return path(name);
    }
};

TEST_F(AudioFileTest, HeaderCountsEveryAppendWhileTheFileIsStillOpen) {
    SndFileWriter writer(files);
    std::string error;
    ASSERT_TRUE(writer.open(path("rec.wav"), 2, &error)) << error;
    for (int n = 1; n <= 3; ++n) {
        ASSERT_TRUE(writer.append(ramp(n * 4096), &error)) << error;
        WaveInfo info;  // read while the file is being written
        ASSERT_TRUE(ReadWaveInfo(files, path("rec.wav"), &info, &error)) << error;
        EXPECT_EQ(std::make_tuple(info.frames, info.channels, info.sampleRate),
                  std::make_tuple(std::int64_t{n * 1024}, 2, 44100));
    }
    EXPECT_EQ(writer.lengthMs(), 3 * 1024 * 1000 / 44100);
}

TEST_F(AudioFileTest, WriterRefusesMismatchedBuffersMissingFoldersAndGarbage) {
    SndFileWriter writer(files);
    std::string error;
    EXPECT_FALSE(writer.open(path("no/such/folder.wav"), 2, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(writer.append(ramp(0), &error));
    EXPECT_EQ(error, "No wave file is open");
    ASSERT_TRUE(writer.open(path("mono.wav"), 1, &error));
    EXPECT_FALSE(writer.append(ramp(0), &error));
    EXPECT_NE(error.find("channels"), std::string::npos);
    EXPECT_EQ(writer.lengthMs(), 0);
    ASSERT_TRUE(files.writeFile(path("junk.wav"), "RIFF\x10", nullptr));
    WaveInfo info;
    EXPECT_FALSE(ReadWaveInfo(files, path("junk.wav"), &info, &error));
    std::vector<std::int16_t> samples;
    EXPECT_FALSE(ReadWaveFrames(files, path("none.wav"), 0, 10, &samples, nullptr, &error));
}

// A 1.5 s end point with a fade over its last half second: an exact copy up to the fade.
TEST_F(AudioFileTest, ConversionCopiesExactlyThenFadesLinearlyToSilenceAtTheEndPoint) {
    SndFileWriter w(files);
    ASSERT_TRUE(w.open(path("src.wav"), 2, nullptr));
    for (int n = 0; n < 70; ++n) w.append(ramp(n * 77), nullptr);
    w.close();
    ConversionJob job{path("src.wav"), path("out.wav"), 1500, 1000, 500, {}};
    std::string error;
    ASSERT_TRUE(ConvertWave(files, job, nullptr, notCancelled, &error)) << error;
    const auto in = samplesOf(path("src.wav"));
    const auto out = samplesOf(path("out.wav"));
    ASSERT_EQ(out.size(), 66150u * 2);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 2 * 44101, in.begin()));
    const std::size_t half = 2 * (44100 + 11025);
    EXPECT_NEAR(out[half], in[half] / 2, 2);
    EXPECT_LE(std::abs(out[out.size() - 1]), 1);
}

TEST_F(AudioFileTest, ConversionMixesToMonoAndHalvesTheRate) {
    const auto source = makeSource("st.wav", 44100, 8000);
    WaveFormat mono22{"PCM 16 bit", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 22050};
    ConversionJob job{source, path("m22.wav"), 0, 0, 0, mono22};
    std::string error;
    ASSERT_TRUE(ConvertWave(files, job, nullptr, notCancelled, &error)) << error;
    WaveInfo info;
    ASSERT_TRUE(ReadWaveInfo(files, path("m22.wav"), &info, &error));
    EXPECT_EQ(std::make_pair(info.channels, info.sampleRate), std::make_pair(1, 22050));
    EXPECT_NEAR(static_cast<double>(info.frames), 22050.0, 64.0);
    EXPECT_NEAR(samplesOf(path("m22.wav"))[11025], 8000, 40);  // a settled sample mid-file
}

TEST_F(AudioFileTest, ConversionFromNothingOrToAnUnwritableFormatLeavesNoTarget) {
    const WaveFormat flac{"FLAC float", SF_FORMAT_FLAC | SF_FORMAT_FLOAT, 2, 44100};
    ConversionJob job{path("none.wav"), path("t.wav"), 0, 0, 0, flac};
    std::string error;
    EXPECT_FALSE(ConvertWave(files, job, nullptr, notCancelled, &error));
    EXPECT_NE(error, "");
    job.sourcePath = makeSource("s.wav", 44100, 100);
    EXPECT_FALSE(ConvertWave(files, job, nullptr, notCancelled, &error));
    EXPECT_EQ(error, "This wave format cannot be written");
    EXPECT_FALSE(files.fileExists(path("t.wav")) || files.fileExists(path("t.wav.part")));
}

TEST_F(AudioFileTest, ConversionThatCannotWriteItsFileFailsWithTheReason) {
    const auto source = makeSource("big.wav", 44100 * 4, 100);
    EXPECT_EQ(InChild([&] {
                  ::signal(SIGXFSZ, SIG_IGN);  // a file-size limit stands in for a full disk
                  const rlimit limit{200'000, 200'000};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  std::string error;
                  ConversionJob job{source, path("full.wav"), 0, 0, 0, {}};
                  return ConvertWave(files, job, nullptr, notCancelled, &error) ||
                         error.rfind("Writing the converted file failed: ", 0) != 0 ||
                         files.fileExists(path("full.wav"));
              }),
              0);
}

TEST(WaveFormats, EveryListedFormatIsWritable) {
    for (const auto& f : WritableWaveFormats()) {
        SF_INFO info{};
        info.format = f.sndfileFormat;
        info.channels = f.channels;
        info.samplerate = f.sampleRate;
        EXPECT_TRUE(sf_format_check(&info)) << f.name;
    }
}

}  // namespace
