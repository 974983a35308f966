#pragma once
// The data files hold Windows-1252 text; the windows show Unicode. These convert at that
// boundary. A character with no Windows-1252 form becomes "?".

#include <string>
#include <string_view>

namespace quillmar {

std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);

}  // namespace quillmar
