#include "receiver/ReceiverCommands.h"

#include <functional>

#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

// A field at its width in the record: blank-padded or cut.
std::string Width(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::string SetAudio(const ScheduleFields& f) {
    return "SETAUDIO " + Width(f.UnityPort, 1) + " " + StoredText(f.Route) + " " +
           Width(f.SourceCode, 3) + " " + Width(f.Attenuation, 2);
}

}  // namespace

std::string RecordCueCommand(const ScheduleFields& fields) {
    return SetAudio(fields) + " ";
}

std::string SwitchOnlyCommand(const ScheduleFields& fields) {
    return SetAudio(fields);
}

std::string RouteCode(AudioRoute route) {
    switch (route) {
        case AudioRoute::Left:
            return "1";
        case AudioRoute::Right:
            return "2";
        case AudioRoute::Stereo:
            return "S";
        case AudioRoute::Reverse:
            return "R";
    }
    return "";
}

std::string RouteCode(int routePosition) {
    if (routePosition < static_cast<int>(AudioRoute::Left) ||
        routePosition > static_cast<int>(AudioRoute::Reverse))
        return "";
    return RouteCode(static_cast<AudioRoute>(routePosition));
}

std::string SetReceiverCommand(int portPosition, int routePosition, const std::string& source,
                               const std::string& attenuationEntry) {
    return "SETAUDIO " + std::to_string(portPosition + 1) + " " + RouteCode(routePosition) + " " +
           source + attenuationEntry;
}

std::vector<int> ExpansionRelaysOfPort(const std::string& port) {
    if (port == "1") return {11, 14};
    if (port == "2") return {4, 7};
    if (port == "3") return {1};
    if (port == "4") return {8};
    return {};
}

std::string RelayButtonCommand(const std::string& mode, int button) {
    if (button < 0 || button > 27) return "";
    if (mode == "R R") {
        static const char* const kStandard[] = {"RE O 1", "RE C 1", "RE O 2", "RE C 2"};
        return button < 4 ? kStandard[button] : "";
    }
    if (mode == "R ER")
        return std::string(button % 2 == 0 ? "ER D " : "ER E ") + std::to_string(button / 2 + 1);
    return "";
}

void ResetExpansionRelays(const ReceiverLink& link, Logs& logs, const std::string& port, bool log) {
    for (int relay : ExpansionRelaysOfPort(port)) {
        std::function<void(bool)> logged;
        if (log)
            logged = [&logs, relay](bool) {
                WriteActivityLog(logs, "Turn off Relay " + std::to_string(relay));
            };
        SendReceiverCommand(link, "ER D " + std::to_string(relay), std::move(logged));
    }
}

}  // namespace quillmar
