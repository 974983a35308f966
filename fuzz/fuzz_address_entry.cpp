#include "FuzzStation.h"
#include "export/AddressBook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmar::ParseAddressEntry(quillmar::fuzz::Bytes(data, size));
    return 0;
}
