#pragma once
// What the receiver status view and the relay panel show, and the report's printing and saving.

#include <string>

#include "platform/Clock.h"
#include "platform/ErrorDisplay.h"
#include "platform/FileSystem.h"
#include "platform/Printer.h"
#include "platform/SerialPort.h"
#include "settings/StationSettings.h"

namespace quillmar {

inline constexpr const char* kReceiverReportPath = "c:\\satfile\\RecData.txt";

// The view's text after a port failure: the view has no error window of its own.
std::string PortUnavailableText(const SerialError& error);
// The status query of the view's port. On opening the "RT C" rule applies; a refresh stops
// only on a ">" at position 700 or later, for every command.
std::string FetchReceiverStatus(const Clock& clock, const StationSettings& settings,
                                SerialPort& port, const std::string& command, bool refresh);
// The relay panel: its status on opening, and the status after button i.
std::string FetchRelayStatus(const Clock& clock, const StationSettings& settings, SerialPort& port,
                             const std::string& mode);
std::string PressRelayButton(const Clock& clock, const StationSettings& settings, SerialPort& port,
                             const std::string& mode, int button);
// RecData.txt anew: the text followed by CR LF.
bool SaveReceiverReport(FileSystem& files, const std::string& text, std::string* error);
// One print job of the text, without waiting for the printer; a refusal or a time-out is
// shown in the error window when it comes.
void PrintReceiverReport(Printer& printer, ErrorDisplay& errors, const std::string& text);

}  // namespace quillmar
