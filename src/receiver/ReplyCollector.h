#pragma once
// The rules that end a receiver reply, kept free of ports and waiting: the exchange feeds the
// collector what arrived and the time, and the collector says whether the reply is whole.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace quillmar {

// A receiver that sends without end fills no more than this.
inline constexpr std::size_t kMaxReplyBytes = 64 * 1024;
// The carrier report is long: only a prompt at or after this position (from 1) ends it.
inline constexpr std::size_t kLongReportPromptPosition = 700;

// Milliseconds on one scale across midnight (days since 1970 and the time of day), so a
// collection that crosses midnight still lasts its seconds instead of ending at once.
std::int64_t LineTimeMs(const DateTime& t);

// True when reply holds a ">" at position minPosition (from 1) or later.
bool HasPrompt(std::string_view reply, std::size_t minPosition = 1);

enum class Collection {
    // About 1 s from the start second (0.5 to 1.5 s), stops at any ">".
    Short,
    // Until 2 s past the second after the start (2.5 to 3.5 s), stops at a ">" at or after
    // the prompt position.
    Long,
    // The relay panel: about a second of gathering first, then the previous command's prompt
    // is dropped when it stands in the first four characters, then it stops at the next ">"
    // or about 2 s from the start second.
    Relay,
};

class ReplyCollector {
  public:
    ReplyCollector(Collection rule, std::int64_t startMs, std::size_t minPromptPosition = 1);

    // Takes what arrived by nowMs; true once the reply is whole (later feeds change nothing).
    bool feed(std::string_view bytes, std::int64_t nowMs);
    // When to feed again, with nothing, should nothing arrive before then.
    std::int64_t checkAt() const;
    bool done() const { return done_; }
    const std::string& reply() const { return reply_; }

  private:
    bool append(std::string_view bytes);  // false once the reply is full
    void dropPreviousPrompt();
    void dropRelayPrompt();

    Collection rule_;
    std::int64_t anchor_;  // the start second, or the long rule's deadline second
    std::size_t minPrompt_;
    std::string reply_;
    bool done_ = false;
    bool dropped_ = false;
    bool secondPart_ = false;  // the relay rule is past its first second
};

}  // namespace quillmar
