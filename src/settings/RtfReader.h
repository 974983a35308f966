#pragma once
// A small reader of rich text (RTF) for the help window: paragraphs, bold, italic, underline,
// font sizes, tabs and escaped characters; other groups are skipped. Malformed input gives
// whatever text could be read.

#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

struct RtfRun {
    std::string text;  // UTF-8; paragraphs end with "\n"
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;  // font size in half points (\fs)

    friend bool operator==(const RtfRun&, const RtfRun&) = default;
};

std::vector<RtfRun> ReadRtf(std::string_view rtf);
// The text of the runs, without formatting.
std::string RtfPlainText(const std::vector<RtfRun>& runs);

}  // namespace quillmar
