#include "receiver/EbNoPolling.h"

#include "logs/ActivityLog.h"

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

void PollReceiverEbNo(const ReceiverLink& link, Logs& logs, EbNoDone done) {
    const Clock& clock = link.clock;
    ReceiverLinkState& state = link.state;
    PollReceiver(
        link, "R C",
        [&clock, &state, &logs, done = std::move(done)](const std::optional<std::string>& reply) {
            std::optional<std::string> ebno;
            if (reply) {
                ebno = ExtractEbNo(*reply);
                AppendDailyLog(logs, "EB", TimeText(clock.now()) + "  " + *ebno);
                ++state.EbNoLogged;
            }
            if (done) done(ebno);
        });
}

}  // namespace quillmar
