#pragma once

#include <string>
#include <string_view>

namespace quillmar {

class Station;

// Reads the receiver's Eb/No ("R C", short poll), sets EbNoText, appends "hh:mm:ss  " +
// EbNoText to the day's EB log and sets EbNoPolledFlag. A failed poll is shown in the error
// window, clears EbNoText and writes no line; the flag is set all the same, so the failure is
// not repeated on every tick of the same second.
void PollReceiverEbNo(Station& st);

// The Eb/No of a carrier report: the line after the 11th line feed, its last 20 characters
// without a final CR, blanks trimmed. Empty when the report has fewer lines.
std::string ExtractEbNo(std::string_view reply);

}  // namespace quillmar
