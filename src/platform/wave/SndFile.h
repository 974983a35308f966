#pragma once
// Wave files through libsndfile on the station's file system: the writer whose header stays
// current, and small readers. Every function here may be called from any thread the file
// system allows; one object is used by one thread at a time.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/FileSystem.h"

namespace quillmar {

class SoundFile;

// A 16-bit PCM wave file at 44100 Hz. The header is rewritten after every append, so a file
// cut off by SIGKILL or a power cut plays up to the last completed append.
class SndFileWriter {
  public:
    explicit SndFileWriter(FileSystem& files);
    ~SndFileWriter();
    SndFileWriter(const SndFileWriter&) = delete;
    SndFileWriter& operator=(const SndFileWriter&) = delete;

    bool open(const std::string& drivePath, int channels, std::string* error);
    bool append(const AudioBuffer& buffer, std::string* error);
    std::int64_t lengthMs() const;
    bool isOpen() const { return file_ != nullptr; }
    void close();

    // Appends interleaved frames without a buffer around them.
    bool appendFrames(const std::int16_t* samples, std::int64_t frames, std::string* error);
    std::int64_t frames() const { return frames_; }

  private:
    FileSystem& files_;
    std::unique_ptr<SoundFile> file_;
    int channels_ = 2;
    std::int64_t frames_ = 0;
    std::string path_;
};

struct WaveInfo {
    std::int64_t frames = 0;
    int channels = 0;
    int sampleRate = 0;
    int format = 0;
    std::int64_t lengthMs() const { return sampleRate > 0 ? frames * 1000 / sampleRate : 0; }
};

// What a sound file holds. False with the library's reason when it cannot be read.
bool ReadWaveInfo(FileSystem& files, const std::string& drivePath, WaveInfo* info,
                  std::string* error);

// Up to count frames from firstFrame on, as interleaved 16-bit samples of the file's channels.
bool ReadWaveFrames(FileSystem& files, const std::string& drivePath, std::int64_t firstFrame,
                    std::int64_t count, std::vector<std::int16_t>* samples, int* channels,
                    std::string* error);

}  // namespace quillmar
