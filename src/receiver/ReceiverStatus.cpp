#include "receiver/ReceiverStatus.h"

#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"

namespace quillmar {

std::string PortUnavailableText(const SerialError& error) {
    return "The receiver port cannot be used: " + SerialErrorText(error);
}

namespace {

std::function<void(const ExchangeResult&)> Shown(StatusShown show) {
    return [show = std::move(show)](const ExchangeResult& r) {
        show(r.ok ? r.reply : PortUnavailableText(r.error));
    };
}

}  // namespace

void FetchReceiverStatus(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                         const std::string& command, bool refresh, StatusShown show) {
    const std::size_t prompt = refresh ? kLongReportPromptPosition : StatusPromptPosition(command);
    QueryReceiverStatus(link, std::move(port), command, prompt, Shown(std::move(show)));
}

void FetchRelayStatus(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                      const std::string& mode, StatusShown show) {
    FetchReceiverStatus(link, std::move(port), mode, false, std::move(show));
}

void PressRelayButton(const ReceiverLink& link, std::shared_ptr<SerialPort> port,
                      const std::string& mode, int button, StatusShown show) {
    RelayExchange(link, std::move(port), RelayButtonCommand(mode, button), mode,
                  Shown(std::move(show)));
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
