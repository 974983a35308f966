#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

// The lines of a text file, without their CR LF (or bare LF); no empty line after the last
// line ending.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace quillmar
