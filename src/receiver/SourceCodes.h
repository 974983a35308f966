#pragma once

#include <string>
#include <vector>

namespace quillmar {

class Station;

inline constexpr const char* kSourceCodesPath = "c:\\satfile\\Source.dat";

// The codes of Source.dat, one per line, in file order. False when the file does not exist
// or cannot be read.
bool ReadSourceCodes(Station& st, std::vector<std::string>* codes);
// Writes the whole list, one code per CR LF line.
bool SaveSourceCodes(Station& st, const std::vector<std::string>& codes, std::string* error);

}  // namespace quillmar
