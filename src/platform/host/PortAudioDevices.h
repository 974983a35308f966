#pragma once
// PortAudio's device lists as the station numbers them. Loop thread only.

#include <string>
#include <vector>

namespace quillmar {

// Starts PortAudio for this holder at the first call and ends it when the holder goes.
class PortAudioSession {
  public:
    PortAudioSession() = default;
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    bool ensure(std::string* error);
    // PortAudio's device indexes of the input (or output) devices, in its order; empty when
    // PortAudio cannot start.
    std::vector<int> devices(bool input);
    std::vector<std::string> names(bool input);

  private:
    bool started_ = false;
    bool failed_ = false;
    std::string failure_;
};

// PortAudio's text for an error code, with the host's own text when there is one.
std::string PortAudioErrorText(int code);

}  // namespace quillmar
