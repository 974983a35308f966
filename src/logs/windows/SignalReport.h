#pragma once

#include <string>

#include "logs/SignalHistory.h"

namespace quillmar {

// Size in pixels of a report drawn to a picture.
inline constexpr int kSignalReportWidth = 1200;
inline constexpr int kSignalReportHeight = 600;

// Draws the chart of a history to FILE.png or FILE.svg. False with the reason when the name
// has another ending or the file cannot be written. Needs a QApplication (offscreen will do).
bool WriteSignalPicture(const SignalHistory& history, const std::string& path, std::string* error);

}  // namespace quillmar
