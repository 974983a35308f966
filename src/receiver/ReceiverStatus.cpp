#include "receiver/ReceiverStatus.h"

#include "core/Station.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

std::string PortUnavailableText(const SerialError& error) {
    return "The receiver port cannot be used: " + SerialErrorText(error);
}

std::string FetchReceiverStatus(Station& st, SerialPort& port, const std::string& command,
                                bool refresh) {
    const std::size_t prompt = refresh ? kLongReportPromptPosition : StatusPromptPosition(command);
    std::string reply;
    SerialError error;
    if (!QueryReceiverStatus(st, port, command, prompt, &reply, &error))
        return PortUnavailableText(error);
    return reply;
}

std::string FetchRelayStatus(Station& st, SerialPort& port, const std::string& mode) {
    return FetchReceiverStatus(st, port, mode, false);
}

std::string PressRelayButton(Station& st, SerialPort& port, const std::string& mode, int button) {
    std::string reply;
    SerialError error;
    if (!RelayExchange(st, port, RelayButtonCommand(mode, button), mode, &reply, &error))
        return PortUnavailableText(error);
    return reply;
}

bool SaveReceiverReport(Station& st, const std::string& text, std::string* error) {
    return st.platform.files.writeFile(kReceiverReportPath, text + "\r\n", error);
}

void PrintReceiverReport(Station& st, const std::string& text) {
    st.platform.printer.print(text, [&st](bool ok, const std::string& error) {
        if (!ok) ShowError(st, "The report could not be printed: " + error);
    });
}

}  // namespace quillmar
