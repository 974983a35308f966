#pragma once

#include <string>
#include <vector>

#include "platform/Printer.h"

namespace quillmar {

// Keeps each print job's text; can be told to refuse jobs.
class SimPrinter : public Printer {
  public:
    // Reports the outcome at once.
    void print(const std::string& text, Done done) override {
        if (!failure.empty()) return done(false, failure);
        jobs.push_back(text);
        done(true, {});
    }
    std::vector<std::string> jobs;
    std::string failure;
};

}  // namespace quillmar
