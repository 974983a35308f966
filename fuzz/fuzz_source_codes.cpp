#include "FuzzStation.h"
#include "schedule/SourceCodes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmar;
    auto& s = fuzz::Station();
    std::string error;
    s.files.writeFile(kSourceCodesPath, fuzz::Bytes(data, size), &error);
    std::vector<std::string> codes;
    ReadSourceCodes(s.st().platform.files, &codes);
    return 0;
}
