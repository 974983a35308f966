#pragma once
// What the receiver status view and the relay panel show, and the report's printing and saving.

#include <functional>
#include <memory>
#include <string>

#include "platform/ErrorDisplay.h"
#include "platform/FileSystem.h"
#include "platform/Printer.h"
#include "platform/SerialPort.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

inline constexpr const char* kReceiverReportPath = "c:\\satfile\\RecData.txt";

// The view's text after a port failure: the view has no error window of its own.
std::string PortUnavailableText(const SerialError& error);
// Gets the text a view shows when its exchange ends: the reply, or why the port failed.
using StatusShown = std::function<void(const std::string& text)>;
// The status query of the view's port. On opening the "RT C" rule applies; a refresh stops
// only on a ">" at position 700 or later, for every command.
void FetchReceiverStatus(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                         const std::string& command, bool refresh, StatusShown show);
// The relay panel: its status on opening, and the status after button i.
void FetchRelayStatus(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                      const std::string& mode, StatusShown show);
void PressRelayButton(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                      const std::string& mode, int button, StatusShown show);
// RecData.txt anew: the text followed by CR LF.
bool SaveReceiverReport(FileSystem& files, const std::string& text, std::string* error);
// One print job of the text, without waiting for the printer; a refusal or a time-out is
// shown in the error window when it comes.
void PrintReceiverReport(Printer& printer, ErrorDisplay& errors, const std::string& text);

}  // namespace quillmar
