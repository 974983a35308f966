#pragma once
// The machine's sound cards through PortAudio, wave files through libsndfile, rate conversion
// through libsamplerate. PortAudio starts at the first use, not before, so a program (or a
// test) can set up its environment first. Every object it makes must go before it does.

#include "platform/Audio.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/host/PortAudioDevices.h"

namespace quillmar {

class PortAudioAudio : public Audio {
  public:
    // Wave files are drive paths of `files`.
    PortAudioAudio(EventLoop& loop, FileSystem& files) : loop_(loop), files_(files) {}

    std::vector<std::string> inputDevices() override;
    std::vector<std::string> outputDevices() override;
    std::unique_ptr<AudioCapture> createCapture() override;
    std::unique_ptr<AudioPlayer> createPlayer() override;
    std::unique_ptr<AudioConversion> createConversion() override;
    std::vector<WaveFormat> codecs() override;

  private:
    EventLoop& loop_;
    FileSystem& files_;
    PortAudioSession session_;
};

}  // namespace quillmar
