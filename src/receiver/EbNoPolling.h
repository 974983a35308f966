#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "logs/LogState.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

// Gets the Eb/No value when the poll ends: empty when the report is short, nothing when the
// poll failed.
using EbNoDone = std::function<void(const std::optional<std::string>& ebno)>;
// Reads the receiver's Eb/No ("R C", short poll) and, when the reply is in, appends
// "hh:mm:ss  " + the value to the day's EB log. A failed poll is shown in the error window and
// writes no line; nothing then, so an old value never passes for a new one.
void PollReceiverEbNo(const ReceiverLink& link, Logs& logs, EbNoDone done = {});

// The Eb/No of a carrier report: the line after the 11th line feed, its last 20 characters
// without a final CR, blanks trimmed. Empty when the report has fewer lines.
std::string ExtractEbNo(std::string_view reply);

}  // namespace quillmar
