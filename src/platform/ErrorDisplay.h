#pragma once

#include <string>

namespace quillmar {

// Where the station shows a message to the operator without waiting for an answer (the error
// window). A new message replaces the one on screen. Texts are Windows-1252, like the files.
class ErrorDisplay {
  public:
    virtual ~ErrorDisplay() = default;
    virtual void showError(const std::string& message) = 0;
    // Brings a message that is on screen back into view.
    virtual void bringForward() = 0;
};

}  // namespace quillmar
