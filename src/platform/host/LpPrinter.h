#pragma once

#include "platform/Printer.h"

namespace quillmar {

// Prints through `lp` on the default destination.
class LpPrinter : public Printer {
  public:
    bool print(const std::string& text, std::string* error) override;
};

}  // namespace quillmar
