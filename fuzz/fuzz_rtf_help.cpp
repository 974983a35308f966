#include "FuzzStation.h"
#include "platform/Cp1252.h"
#include "settings/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmar;
    const auto bytes = fuzz::Bytes(data, size);
    ReadRtf(bytes);
    Utf8ToCp1252(bytes);
    Cp1252ToUtf8(bytes);
    return 0;
}
