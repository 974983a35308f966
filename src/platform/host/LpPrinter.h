#pragma once

#include <string>

#include "platform/Printer.h"
#include "platform/host/ProgramRunner.h"

namespace quillmar {

// Prints through `lp` on the default destination, beside the event loop: a print server that
// hangs costs a time-out, never a stalled station.
class LpPrinter : public Printer {
  public:
    explicit LpPrinter(std::string program = "lp", int timeoutMs = 60000);
    void print(const std::string& text, Done done) override;

  private:
    std::string program_;
    ProgramRunner runner_;
};

}  // namespace quillmar
