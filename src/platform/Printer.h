#pragma once

#include <functional>
#include <string>

namespace quillmar {

// The default printer. Text is Windows-1252 with CR LF lines; one call is one print job.
class Printer {
  public:
    using Done = std::function<void(bool ok, const std::string& error)>;

    virtual ~Printer() = default;
    // Hands the job over without waiting; done runs once on the loop thread with the outcome
    // (the reason when refused or timed out). It never runs after the Printer is gone.
    virtual void print(const std::string& text, Done done) = 0;
};

}  // namespace quillmar
