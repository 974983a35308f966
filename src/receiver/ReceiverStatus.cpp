#include "receiver/ReceiverStatus.h"

#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

std::string PortUnavailableText(const SerialError& error) {
    return "The receiver port cannot be used: " + SerialErrorText(error);
}

std::string FetchReceiverStatus(const Clock& clock, const StationSettings& settings,
                                SerialPort& port, const std::string& command, bool refresh) {
    const std::size_t prompt = refresh ? kLongReportPromptPosition : StatusPromptPosition(command);
    std::string reply;
    SerialError error;
    if (!QueryReceiverStatus(clock, settings, port, command, prompt, &reply, &error))
        return PortUnavailableText(error);
    return reply;
}

std::string FetchRelayStatus(const Clock& clock, const StationSettings& settings, SerialPort& port,
                             const std::string& mode) {
    return FetchReceiverStatus(clock, settings, port, mode, false);
}

std::string PressRelayButton(const Clock& clock, const StationSettings& settings, SerialPort& port,
                             const std::string& mode, int button) {
    std::string reply;
    SerialError error;
    if (!RelayExchange(clock, settings, port, RelayButtonCommand(mode, button), mode, &reply,
                       &error))
        return PortUnavailableText(error);
    return reply;
}

bool SaveReceiverReport(FileSystem& files, const std::string& text, std::string* error) {
    return files.writeFile(kReceiverReportPath, text + "\r\n", error);
}

void PrintReceiverReport(Printer& printer, ErrorDisplay& errors, const std::string& text) {
    printer.print(text, [&errors](bool ok, const std::string& error) {
        if (!ok) errors.showError("The report could not be printed: " + error);
    });
}

}  // namespace quillmar
