#include "FuzzStation.h"
#include "receiver/EbNoPolling.h"
#include "receiver/ReceiverLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmar;
    const auto reply = fuzz::Bytes(data, size);
    const std::string ebno = ExtractEbNo(reply);
    if (ebno.size() > 20) __builtin_trap();  // the Eb/No text is at most 20 characters
    HasPrompt(reply);
    HasPrompt(reply, 700);
    return 0;
}
