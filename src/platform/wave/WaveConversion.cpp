#include "platform/wave/WaveConversion.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/wave/SoundFile.h"

namespace quillmar {

namespace {

constexpr std::int64_t kBlockFrames = 8192;

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

struct ResamplerDeleter {
    void operator()(SRC_STATE* s) const { src_delete(s); }
};

// Mixes interleaved frames from `from` channels to `to` channels (1 or 2 each).
void MixChannels(const std::vector<float>& in, int from, std::vector<float>& out, int to,
                 std::int64_t frames) {
    out.resize(static_cast<std::size_t>(frames * to));
    for (std::int64_t f = 0; f < frames; ++f) {
        const float* src = &in[static_cast<std::size_t>(f * from)];
        float* dst = &out[static_cast<std::size_t>(f * to)];
        if (from == to) {
            for (int c = 0; c < to; ++c) dst[c] = src[c];
        } else if (to == 1) {
            float sum = 0;
            for (int c = 0; c < from; ++c) sum += src[c];
            dst[0] = sum / static_cast<float>(from);
        } else {
            for (int c = 0; c < to; ++c) dst[c] = src[std::min(c, from - 1)];
        }
    }
}

// The value of full scale in the target's samples when written without normalisation; 1 for
// float targets, which keep libsndfile's normalised floats.
float TargetScale(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_FLOAT:
        case SF_FORMAT_DOUBLE:
            return 1.0f;
        case SF_FORMAT_PCM_24:
            return 8388608.0f;
        case SF_FORMAT_PCM_32:
            return 2147483648.0f;
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_PCM_S8:
            return 128.0f;
        default:
            return 32768.0f;
    }
}

// Peaks of interleaved samples at `scale` as 16-bit magnitudes; a mono block gives both.
void ReportPeaks(const ConversionLevels& levels, const std::vector<float>& samples, int channels,
                 std::int64_t frames, float scale) {
    if (!levels) return;
    float peak[2] = {0, 0};
    for (std::int64_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            peak[c] =
                std::max(peak[c], std::fabs(samples[static_cast<std::size_t>(f * channels + c)]));
    const auto magnitude = [scale](float v) {
        return static_cast<std::int16_t>(std::min(32767.0f, std::round(v / scale * 32768.0f)));
    };
    levels(magnitude(peak[0]), magnitude(channels == 1 ? peak[0] : peak[1]));
}

bool WriteAll(const SoundFile& file, const float* data, std::int64_t frames, std::string* error) {
    if (frames <= 0) return true;
    if (sf_writef_float(file.get(), data, frames) != frames)
        return Fail(error, "Writing the converted file failed: " + file.lastError());
    return true;
}

bool Convert(FileSystem& files, const ConversionJob& job, const std::string& temp,
             const std::function<void(std::int64_t, std::int64_t)>& progress,
             const std::atomic<bool>& cancelled, std::string* error,
             const ConversionLevels& levels) {
    SF_INFO in{};
    auto source = SoundFile::open(files, job.sourcePath, SFM_READ, &in, error);
    if (!source) return false;
    if (in.channels < 1 || in.samplerate < 1) return Fail(error, job.sourcePath + ": no audio");

    std::int64_t end = in.frames;
    if (job.endMs > 0) end = std::min<std::int64_t>(end, job.endMs * in.samplerate / 1000);
    const std::int64_t fadeStart = job.fadeStartMs * in.samplerate / 1000;
    const std::int64_t fadeLength = job.fadeLengthMs * in.samplerate / 1000;
    const std::int64_t totalMs = end * 1000 / in.samplerate;

    SF_INFO outInfo{};
    outInfo.format =
        job.format.sndfileFormat ? job.format.sndfileFormat : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    outInfo.channels = job.format.channels == 0   ? std::min(in.channels, 2)
                       : job.format.channels == 1 ? 1
                                                  : 2;
    outInfo.samplerate = job.format.sampleRate > 0 ? job.format.sampleRate : in.samplerate;
    if (!sf_format_check(&outInfo)) return Fail(error, "This wave format cannot be written");
    std::string reason;
    auto target = SoundFile::open(files, temp, SFM_WRITE, &outInfo, &reason);
    if (!target) return Fail(error, job.targetPath + reason.substr(temp.size()));
    // Samples travel at the target's own integer scale so that a 16-bit copy stays exact
    // (libsndfile's normalised floats read with 1/32768 but write with 32767); let the writer
    // clip instead of wrapping.
    const float scale = TargetScale(outInfo.format);
    if (scale != 1.0f) sf_command(target->get(), SFC_SET_NORM_FLOAT, nullptr, SF_FALSE);
    sf_command(target->get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    std::unique_ptr<SRC_STATE, ResamplerDeleter> resampler;
    const double ratio = static_cast<double>(outInfo.samplerate) / in.samplerate;
    if (outInfo.samplerate != in.samplerate) {
        int code = 0;
        resampler.reset(src_new(SRC_SINC_MEDIUM_QUALITY, outInfo.channels, &code));
        if (!resampler) return Fail(error, std::string("Rate conversion: ") + src_strerror(code));
    }

    std::vector<float> block, mixed, converted;
    std::int64_t done = 0;
    bool flushed = false;
    while (done < end) {
        if (cancelled.load(std::memory_order_relaxed)) return Fail(error, "Cancelled");
        const std::int64_t want = std::min(kBlockFrames, end - done);
        block.resize(static_cast<std::size_t>(want * in.channels));
        const std::int64_t got = sf_readf_float(source->get(), block.data(), want);
        if (got <= 0) break;  // a file shorter than its header says ends here
        for (std::int64_t f = 0; f < got; ++f) {
            const auto gain = static_cast<float>(FadeGain(done + f, fadeStart, fadeLength)) * scale;
            if (gain == 1.0f) continue;
            for (int c = 0; c < in.channels; ++c)
                block[static_cast<std::size_t>(f * in.channels + c)] *= gain;
        }
        MixChannels(block, in.channels, mixed, outInfo.channels, got);
        done += got;
        const bool last = done >= end;
        flushed = last;
        if (!resampler) {
            if (!WriteAll(*target, mixed.data(), got, error)) return false;
        } else {
            SRC_DATA data{};
            data.data_in = mixed.data();
            data.input_frames = static_cast<long>(got);
            data.src_ratio = ratio;
            data.end_of_input = last ? 1 : 0;
            converted.resize(static_cast<std::size_t>((got * ratio + 64) * outInfo.channels));
            // Loop until this block is consumed (and, for the last one, the tail drained).
            for (;;) {
                data.data_out = converted.data();
                data.output_frames = static_cast<long>(converted.size() / outInfo.channels);
                const int code = src_process(resampler.get(), &data);
                if (code) return Fail(error, std::string("Rate conversion: ") + src_strerror(code));
                if (!WriteAll(*target, converted.data(), data.output_frames_gen, error))
                    return false;
                data.data_in += data.input_frames_used * outInfo.channels;
                data.input_frames -= data.input_frames_used;
                if (data.input_frames == 0 && (!last || data.output_frames_gen == 0)) break;
            }
        }
        ReportPeaks(levels, mixed, outInfo.channels, got, scale);
        if (progress) progress(done * 1000 / in.samplerate, totalMs);
    }
    if (resampler && !flushed) {
        // The source ended early: drain what the resampler still holds.
        SRC_DATA data{};
        data.end_of_input = 1;
        converted.resize(static_cast<std::size_t>(4096 * outInfo.channels));
        do {
            data.data_out = converted.data();
            data.output_frames = 4096;
            if (src_process(resampler.get(), &data)) break;
            if (!WriteAll(*target, converted.data(), data.output_frames_gen, error)) return false;
        } while (data.output_frames_gen > 0);
    }
    if (done == 0 && progress) progress(0, totalMs);
    return true;
}

}  // namespace

bool ConvertWave(FileSystem& files, const ConversionJob& job,
                 const std::function<void(std::int64_t, std::int64_t)>& progress,
                 const std::atomic<bool>& cancelled, std::string* error,
                 const ConversionLevels& levels) {
    // Written beside the target and renamed only when whole, so no reader sees half a file.
    const std::string temp = job.targetPath + ".part";
    const bool ok = Convert(files, job, temp, progress, cancelled, error, levels);
    if (ok && files.renameFile(temp, job.targetPath, nullptr)) return true;
    if (ok) Fail(error, job.targetPath + ": the converted file could not be renamed");
    files.removeFile(temp);
    return false;
}

std::vector<WaveFormat> WritableWaveFormats() {
    static const struct {
        const char* name;
        int subtype;
    } kCandidates[] = {
        {"PCM 16 bit", SF_FORMAT_PCM_16},  {"PCM 24 bit", SF_FORMAT_PCM_24},
        {"PCM 32 bit", SF_FORMAT_PCM_32},  {"PCM 8 bit", SF_FORMAT_PCM_U8},
        {"32 bit float", SF_FORMAT_FLOAT}, {"u-Law", SF_FORMAT_ULAW},
        {"A-Law", SF_FORMAT_ALAW},         {"IMA ADPCM", SF_FORMAT_IMA_ADPCM},
        {"MS ADPCM", SF_FORMAT_MS_ADPCM},  {"GSM 6.10", SF_FORMAT_GSM610},
    };
    std::vector<WaveFormat> formats;
    for (const auto& c : kCandidates) {
        WaveFormat f;
        f.name = c.name;
        f.sndfileFormat = SF_FORMAT_WAV | c.subtype;
        f.channels = 2;
        f.sampleRate = kSampleRate;
        SF_INFO info{};
        info.format = f.sndfileFormat;
        info.channels = 2;
        info.samplerate = kSampleRate;
        if (!sf_format_check(&info)) {
            info.channels = 1;  // GSM is mono only
            if (!sf_format_check(&info)) continue;
            f.channels = 1;
        }
        formats.push_back(f);
    }
    return formats;
}

}  // namespace quillmar
