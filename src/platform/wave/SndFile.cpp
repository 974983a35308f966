#include "platform/wave/SndFile.h"

#include "platform/wave/SoundFile.h"

namespace quillmar {

namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

SndFileWriter::SndFileWriter(FileSystem& files) : files_(files) {}

SndFileWriter::~SndFileWriter() {
    close();
}

bool SndFileWriter::open(const std::string& drivePath, int channels, std::string* error) {
    close();
    if (channels != 1 && channels != 2) return Fail(error, "A wave file has 1 or 2 channels");
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    auto file = SoundFile::open(files_, drivePath, SFM_WRITE, &info, error);
    if (!file) return false;
    // Rewrites the header after every write: a file cut short by a crash stays playable.
    sf_command(file->get(), SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    file_ = std::move(file);
    channels_ = channels;
    frames_ = 0;
    path_ = drivePath;
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
    const sf_count_t written = sf_writef_short(file_->get(), samples, frames);
    if (written > 0) frames_ += written;
    if (written != frames) return Fail(error, path_ + ": " + file_->lastError());
    return true;
}

std::int64_t SndFileWriter::lengthMs() const {
    return frames_ * 1000 / kSampleRate;
}

void SndFileWriter::close() {
    file_.reset();
}

bool ReadWaveInfo(FileSystem& files, const std::string& drivePath, WaveInfo* info,
                  std::string* error) {
    SF_INFO sf{};
    if (!SoundFile::open(files, drivePath, SFM_READ, &sf, error)) return false;
    info->frames = sf.frames;
    info->channels = sf.channels;
    info->sampleRate = sf.samplerate;
    info->format = sf.format;
    return true;
}

bool ReadWaveFrames(FileSystem& files, const std::string& drivePath, std::int64_t firstFrame,
                    std::int64_t count, std::vector<std::int16_t>* samples, int* channels,
                    std::string* error) {
    SF_INFO sf{};
    auto file = SoundFile::open(files, drivePath, SFM_READ, &sf, error);
    if (!file) return false;
    samples->clear();
    if (channels) *channels = sf.channels;
    if (firstFrame < 0) firstFrame = 0;
    if (firstFrame < sf.frames && count > 0 && sf.channels > 0) {
        if (count > sf.frames - firstFrame) count = sf.frames - firstFrame;
        if (sf.seekable && sf_seek(file->get(), firstFrame, SEEK_SET) < 0)
            return Fail(error, drivePath + ": cannot seek");
        samples->resize(static_cast<std::size_t>(count * sf.channels));
        const sf_count_t got = sf_readf_short(file->get(), samples->data(), count);
        samples->resize(static_cast<std::size_t>((got > 0 ? got : 0) * sf.channels));
    }
    return true;
}

}  // namespace quillmar
