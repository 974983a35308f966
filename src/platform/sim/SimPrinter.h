#pragma once

#include <string>
#include <vector>

#include "platform/Printer.h"

namespace quillmar {

// Keeps each print job's text; can be told to refuse jobs.
class SimPrinter : public Printer {
  public:
    bool print(const std::string& text, std::string* error) override {
        if (!failure.empty()) {
            if (error) *error = failure;
            return false;
        }
        jobs.push_back(text);
        return true;
    }
    std::vector<std::string> jobs;
    std::string failure;
};

}  // namespace quillmar
