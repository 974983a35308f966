#include "FuzzStation.h"
#include "logs/LogViewer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : quillmar::fuzz::Bytes(data, size)) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    quillmar::LinesByEvent(lines);
    return 0;
}
