#include "FuzzStation.h"
#include "export/ExportEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmar::ParseExportEntry(quillmar::fuzz::Bytes(data, size));
    return 0;
}
