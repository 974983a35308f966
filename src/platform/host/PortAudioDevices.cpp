#include "platform/host/PortAudioDevices.h"

#include <portaudio.h>

namespace quillmar {

PortAudioSession::~PortAudioSession() {
    if (started_) Pa_Terminate();
}

bool PortAudioSession::ensure(std::string* error) {
    if (started_) return true;
    if (!failed_) {
        const PaError code = Pa_Initialize();
        if (code == paNoError) {
            started_ = true;
            return true;
        }
        failed_ = true;
        failure_ = "The sound system did not start: " + PortAudioErrorText(code);
    }
    if (error) *error = failure_;
    return false;
}

std::vector<int> PortAudioSession::devices(bool input) {
    std::vector<int> list;
    if (!ensure(nullptr)) return list;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && (input ? info->maxInputChannels : info->maxOutputChannels) > 0)
            list.push_back(i);
    }
    return list;
}

std::vector<std::string> PortAudioSession::names(bool input) {
    std::vector<std::string> list;
    for (int index : devices(input)) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        list.push_back(info && info->name ? info->name : "Device " + std::to_string(index));
    }
    return list;
}

std::string PortAudioErrorText(int code) {
    std::string text = Pa_GetErrorText(code);
    if (code == paUnanticipatedHostError) {
        const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
        if (host && host->errorText && *host->errorText)
            text += std::string(": ") + host->errorText;
    }
    return text;
}

}  // namespace quillmar
