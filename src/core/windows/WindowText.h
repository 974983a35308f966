#pragma once
// The data files hold Windows-1252 bytes; the windows show QString. Every window converts at
// that boundary with these two.

#include <QString>
#include <string>
#include <string_view>

#include "platform/Cp1252.h"

namespace quillmar {

// Windows-1252 bytes as the text a window shows.
inline QString Text(std::string_view cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

// A window's text as Windows-1252 bytes; a character it cannot hold becomes "?".
inline std::string Bytes(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

}  // namespace quillmar
