#include "platform/host/LpPrinter.h"

namespace quillmar {

LpPrinter::LpPrinter(std::string program, int timeoutMs)
    : program_(std::move(program)), runner_("lp", timeoutMs) {}

void LpPrinter::print(const std::string& text, Done done) {
    runner_.run(program_, {"-s"}, text, std::move(done));
}

}  // namespace quillmar
