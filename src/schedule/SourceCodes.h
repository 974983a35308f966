#pragma once

#include <string>
#include <vector>

namespace quillmar {

class FileSystem;

inline constexpr const char* kSourceCodesPath = "c:\\satfile\\Source.dat";
inline constexpr std::size_t kSourceCodeLength = 3;

// A typed code as stored: Windows-1252 letters in upper case, one character for one, so a
// letter without a single upper-case form ("\xDF") stays as it is; cut to the code's length.
std::string SourceCodeUpper(std::string code);

// The codes of Source.dat, one per line, in file order. False when the file does not exist
// or cannot be read.
bool ReadSourceCodes(FileSystem& files, std::vector<std::string>* codes);
// Writes the whole list, one code per CR LF line.
bool SaveSourceCodes(FileSystem& files, const std::vector<std::string>& codes, std::string* error);

}  // namespace quillmar
