#include "FuzzStation.h"
#include "core/Startup.h"
#include "export/AddressBook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmar;
    auto& s = fuzz::Station();
    std::string error;
    s.files.writeFile(kUserFilePath, fuzz::Bytes(data, size), &error);
    InitializeStation(s.st(), &error);
    return 0;
}
