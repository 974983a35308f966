#include "FuzzStation.h"
#include "core/SettingsSequences.h"
#include "settings/StationSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmar;
    auto& s = fuzz::Station();
    std::string error;
    s.files.writeFile(kSettingsPath, fuzz::Bytes(data, size), &error);
    LoadStationSettings(s.st());
    return 0;
}
