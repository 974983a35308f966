#include "receiver/ReplyCollector.h"

#include <cstdlib>

namespace quillmar {

namespace {

// To the nearest whole second, halves to even.
std::int64_t RoundToSecond(std::int64_t ms) {
    std::int64_t q = ms / 1000, r = ms % 1000;
    if (r < 0) r += 1000, --q;
    if (r > 500 || (r == 500 && q % 2 != 0)) ++q;
    return q * 1000;
}

}  // namespace

std::int64_t LineTimeMs(const DateTime& t) {
    return t.date.serial() * 86'400'000 + t.msOfDay;
}

bool HasPrompt(std::string_view reply, std::size_t minPosition) {
    const std::size_t from = minPosition > 0 ? minPosition - 1 : 0;
    return from < reply.size() && reply.find('>', from) != std::string_view::npos;
}

ReplyCollector::ReplyCollector(Collection rule, std::int64_t startMs, std::size_t minPromptPosition)
    : rule_(rule),
      anchor_(RoundToSecond(rule == Collection::Long ? startMs + 1000 : startMs)),
      minPrompt_(minPromptPosition) {}

bool ReplyCollector::append(std::string_view bytes) {
    if (reply_.size() + bytes.size() >= kMaxReplyBytes) {
        reply_.append(bytes, 0, kMaxReplyBytes - reply_.size());
        return false;
    }
    reply_ += bytes;
    return true;
}

// The acknowledgement of the previous command (its line end and prompt, "\r\n>") may land
// after this exchange has discarded its input; at the very start of the reply it is that
// prompt, never the end of this reply. A reply that is only a prompt (">", "OK>") is whole.
void ReplyCollector::dropPreviousPrompt() {
    if (dropped_) return;
    const auto at = reply_.find_first_not_of("\r\n");
    if (at == std::string::npos) return;  // nothing but line ends yet: wait for more
    dropped_ = true;
    if (at > 0 && reply_[at] == '>') reply_.erase(0, at + 1);
}

// The relay panel writes two commands at once: a ">" in the first four characters is the
// relay command's own prompt, never the end of the status that follows.
void ReplyCollector::dropRelayPrompt() {
    if (dropped_) return;
    const auto at = reply_.find('>');
    if (at != std::string::npos && at < 4) {
        reply_.erase(0, at + 1);
        dropped_ = true;
    }
}

bool ReplyCollector::feed(std::string_view bytes, std::int64_t nowMs) {
    if (done_) return true;
    const std::int64_t sinceStart = std::llabs(nowMs - anchor_);
    switch (rule_) {
        case Collection::Short:
        case Collection::Long: {
            const bool room = append(bytes);
            if (room) dropPreviousPrompt();
            done_ = !room || HasPrompt(reply_, minPrompt_) ||
                    sinceStart > (rule_ == Collection::Short ? 1000 : 2000);
            break;
        }
        case Collection::Relay:
            // What arrives during the first second is kept: it is the start of the reply.
            if (sinceStart <= 1000) {
                done_ = !append(bytes);
                break;
            }
            secondPart_ = true;
            done_ = !append(bytes);
            dropRelayPrompt();
            done_ = done_ || HasPrompt(reply_) || sinceStart > 2000;
            break;
    }
    return done_;
}

std::int64_t ReplyCollector::checkAt() const {
    switch (rule_) {
        case Collection::Short:
            return anchor_ + 1001;
        case Collection::Long:
            return anchor_ + 2001;
        case Collection::Relay:
            break;
    }
    // The first check after the opening second, then the end of the exchange.
    return secondPart_ ? anchor_ + 2001 : anchor_ + 1001;
}

}  // namespace quillmar
