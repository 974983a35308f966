#include "platform/host/SndFile.h"

#include <sndfile.h>

namespace quillmar {

namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

SndFileWriter::~SndFileWriter() {
    close();
}

bool SndFileWriter::open(const std::string& hostPath, int channels, std::string* error) {
    close();
    if (channels != 1 && channels != 2) return Fail(error, "A wave file has 1 or 2 channels");
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(hostPath.c_str(), SFM_WRITE, &info);
    if (!file) return Fail(error, hostPath + ": " + sf_strerror(nullptr));
    // Rewrites the header after every write: a file cut short by a crash stays playable.
    sf_command(file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    file_ = file;
    channels_ = channels;
    frames_ = 0;
    path_ = hostPath;
    return true;
}

bool SndFileWriter::append(const AudioBuffer& buffer, std::string* error) {
    if (buffer.channels != channels_)
        return Fail(error, path_ + ": the buffer has " + std::to_string(buffer.channels) +
                               " channels, the file " + std::to_string(channels_));
    return appendFrames(buffer.samples.data(), buffer.frames(), error);
}

bool SndFileWriter::appendFrames(const std::int16_t* samples, std::int64_t frames,
                                 std::string* error) {
    if (!file_) return Fail(error, "No wave file is open");
    if (frames <= 0) return true;
    const sf_count_t written = sf_writef_short(file_, samples, frames);
    if (written > 0) frames_ += written;
    if (written != frames) return Fail(error, path_ + ": " + sf_strerror(file_));
    return true;
}

std::int64_t SndFileWriter::lengthMs() const {
    return frames_ * 1000 / kSampleRate;
}

void SndFileWriter::close() {
    if (!file_) return;
    sf_close(file_);
    file_ = nullptr;
}

bool ReadWaveInfo(const std::string& hostPath, WaveInfo* info, std::string* error) {
    SF_INFO sf{};
    SNDFILE* file = sf_open(hostPath.c_str(), SFM_READ, &sf);
    if (!file) return Fail(error, hostPath + ": " + sf_strerror(nullptr));
    info->frames = sf.frames;
    info->channels = sf.channels;
    info->sampleRate = sf.samplerate;
    info->format = sf.format;
    sf_close(file);
    return true;
}

bool ReadWaveFrames(const std::string& hostPath, std::int64_t firstFrame, std::int64_t count,
                    std::vector<std::int16_t>* samples, int* channels, std::string* error) {
    SF_INFO sf{};
    SNDFILE* file = sf_open(hostPath.c_str(), SFM_READ, &sf);
    if (!file) return Fail(error, hostPath + ": " + sf_strerror(nullptr));
    samples->clear();
    if (channels) *channels = sf.channels;
    if (firstFrame < 0) firstFrame = 0;
    if (firstFrame < sf.frames && count > 0 && sf.channels > 0) {
        if (count > sf.frames - firstFrame) count = sf.frames - firstFrame;
        if (sf.seekable && sf_seek(file, firstFrame, SEEK_SET) < 0) {
            sf_close(file);
            return Fail(error, hostPath + ": cannot seek");
        }
        samples->resize(static_cast<std::size_t>(count * sf.channels));
        const sf_count_t got = sf_readf_short(file, samples->data(), count);
        samples->resize(static_cast<std::size_t>((got > 0 ? got : 0) * sf.channels));
    }
    sf_close(file);
    return true;
}

}  // namespace quillmar
