#include "FuzzStation.h"
#include "audio/SoundFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmar;
    auto& s = fuzz::Station();
    std::string error;
    s.files.writeFile("c:\\satfile\\SFMON001.DAT", fuzz::Bytes(data, size), &error);
    ReadSoundMarks(s.st().platform.files, "c:\\satfile\\SFMON001.DAT");
    return 0;
}
