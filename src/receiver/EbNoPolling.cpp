#include "receiver/EbNoPolling.h"

#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

std::string ExtractEbNo(std::string_view reply) {
    std::size_t feeds = 0, at = 0;
    while (feeds < 11 && at < reply.size())
        if (reply[at++] == '\n') ++feeds;
    if (feeds < 11) return "";
    std::string_view line = reply.substr(at);
    line = line.substr(0, line.find('\n'));
    if (line.size() > 20) line = line.substr(line.size() - 20);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    return std::string(line.substr(first, line.find_last_not_of(' ') - first + 1));
}

void PollReceiverEbNo(Station& st) {
    st.noteAction("PollReceiverEbNo");
    std::string reply;
    st.tick.EbNoPolledFlag = 1;
    if (!PollReceiver(st, "R C", &reply)) {
        st.receiver.EbNoText.clear();
        return;
    }
    st.receiver.EbNoText = ExtractEbNo(reply);
    AppendDailyLog(st.logs, "EB", TimeText(st.platform.clock.now()) + "  " + st.receiver.EbNoText);
}

}  // namespace quillmar
