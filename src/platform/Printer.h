#pragma once

#include <string>

namespace quillmar {

// The default printer. Text is Windows-1252 with CR LF lines; one call is one print job.
class Printer {
  public:
    virtual ~Printer() = default;
    // False with the reason when the job could not be handed to the printer.
    virtual bool print(const std::string& text, std::string* error) = 0;
};

}  // namespace quillmar
