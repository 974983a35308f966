#include "platform/host/PortAudioAudio.h"

#include "platform/host/PortAudioCapture.h"
#include "platform/host/PortAudioPlayer.h"
#include "platform/host/ThreadedConversion.h"
#include "platform/wave/WaveConversion.h"

namespace quillmar {

std::vector<std::string> PortAudioAudio::inputDevices() {
    auto names = session_.names(true);
    names.push_back(kTestToneDevice);
    return names;
}

std::vector<std::string> PortAudioAudio::outputDevices() {
    auto names = session_.names(false);
    names.push_back(kSilentOutputDevice);
    return names;
}

std::unique_ptr<AudioCapture> PortAudioAudio::createCapture() {
    return std::make_unique<PortAudioCapture>(loop_, session_, files_);
}

std::unique_ptr<AudioPlayer> PortAudioAudio::createPlayer() {
    return std::make_unique<PortAudioPlayer>(loop_, session_, files_);
}

std::unique_ptr<AudioConversion> PortAudioAudio::createConversion() {
    return std::make_unique<ThreadedConversion>(loop_, files_);
}

std::vector<WaveFormat> PortAudioAudio::codecs() {
    return WritableWaveFormats();
}

}  // namespace quillmar
