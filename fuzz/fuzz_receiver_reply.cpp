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
    // The reply fed in pieces, 100 ms apart, to each collection rule.
    for (const Collection rule : {Collection::Short, Collection::Long, Collection::Relay}) {
        ReplyCollector c(rule, 0, 700);
        std::int64_t t = 0;
        for (std::size_t at = 0; at < reply.size(); at += 7, t += 100)
            if (c.feed(std::string_view(reply).substr(at, 7), t)) break;
        if (c.reply().size() > kMaxReplyBytes) __builtin_trap();
    }
    return 0;
}
