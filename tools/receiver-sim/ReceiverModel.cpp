#include "ReceiverModel.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

namespace receiver_sim {

namespace {

const char* const kRouteNames[] = {"Left", "Right", "Stereo", "Reverse"};

std::string RouteName(const std::string& code) {
    if (code == "1") return kRouteNames[0];
    if (code == "2") return kRouteNames[1];
    if (code == "S") return kRouteNames[2];
    if (code == "R") return kRouteNames[3];
    return "?";
}

// Lines joined as the receiver sends them: a leading CR LF, each line ended, then the prompt.
std::string Report(const std::vector<std::string>& lines) {
    std::string out = "\r\n";
    for (const auto& line : lines) out += line + "\r\n";
    return out + ">";
}

std::string Pad(std::string label, std::size_t width) {
    label.resize(width < label.size() ? label.size() : width, ' ');
    return label;
}

// The value at the end of a 20-character field, where the station cuts it out.
std::string RightAligned(const std::string& value, std::size_t width) {
    return value.size() >= width ? value : std::string(width - value.size(), ' ') + value;
}

bool ParseNumber(const std::string& text, int low, int high, int* value) {
    if (text.empty() || text.size() > 3) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return false;
    *value = v;
    return true;
}

const std::string kOk = "\r\n>";
const std::string kError = "\r\nERROR\r\n>";

}  // namespace

double ReceiverModel::VaryingEbNo(double phase) {
    constexpr double kPi = 3.14159265358979323846;
    phase -= std::floor(phase);
    if (phase >= 0.80 && phase < 0.83) return 2.5;        // the step: a cable, the receiver
    double db = 11.0 + 0.3 * std::sin(phase * 14 * kPi);  // a little ripple
    if (phase > 0.30 && phase < 0.70)                     // the slow fade: rain, snow on the dish
        db -= 4.0 * 0.5 * (1 - std::cos((phase - 0.30) / 0.40 * 2 * kPi));
    return db;
}

std::string ReceiverModel::EbNoText(double db) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dB", db);
    return text;
}

std::string ReceiverModel::answer(const std::string& command) {
    if (command.rfind("SETAUDIO ", 0) == 0) return setAudio(command.substr(9));
    if (command.rfind("ER ", 0) == 0 || command.rfind("RE ", 0) == 0) return relay(command);
    if (command == "R C") return carrierReport(false);
    if (command == "RT C") return carrierReport(true);
    if (command == "R M") return mpegReport();
    if (command == "R R") return relayReport();
    if (command == "R ER") return expansionRelayReport();
    if (command == "R SP")
        return Report({"SERIAL PORT", Pad("Baud Rate", 18) + ": " + baud,
                       Pad("Data Bits", 18) + ": 8", Pad("Parity", 18) + ": None",
                       Pad("Stop Bits", 18) + ": 1", Pad("Handshake", 18) + ": None"});
    if (command == "R S")
        return Report({"RECEIVER SETTINGS", Pad("Unit", 18) + ": Unity 4K",
                       Pad("Software", 18) + ": 4.12", Pad("Network", 18) + ": Satellite Net 1",
                       Pad("Authorized", 18) + ": Yes", Pad("Audio Ports", 18) + ": 4"});
    if (command.empty()) return ">";
    return "\r\nUNKNOWN COMMAND\r\n>";
}

std::string ReceiverModel::setAudio(const std::string& arguments) {
    // "p r sss aa", the source possibly blank-padded: split on blanks, keeping the order.
    std::istringstream in(arguments);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    int port = 0, attenuation = 0;
    if (words.size() != 4 || !ParseNumber(words[0], 1, 4, &port) || RouteName(words[1]) == "?" ||
        words[2].size() > 3 || !ParseNumber(words[3], 0, 14, &attenuation))
        return kError;
    auto& p = ports_[static_cast<std::size_t>(port - 1)];
    p.route = words[1];
    p.source = words[2];
    p.attenuation = attenuation;
    return kOk;
}

std::string ReceiverModel::relay(const std::string& command) {
    // "ER D n", "ER E n", "RE O n", "RE C n"
    if (command.size() < 6 || command[4] != ' ' || command[2] != ' ') return kError;
    const std::string kind = command.substr(0, 2), action = command.substr(3, 1);
    int n = 0;
    if (kind == "ER" && (action == "D" || action == "E") &&
        ParseNumber(command.substr(5), 1, 14, &n)) {
        expansion_[static_cast<std::size_t>(n - 1)] = action == "E";
        return kOk;
    }
    if (kind == "RE" && (action == "O" || action == "C") &&
        ParseNumber(command.substr(5), 1, 2, &n)) {
        standard_[static_cast<std::size_t>(n - 1)] = action == "C";
        return kOk;
    }
    return kError;
}

std::string ReceiverModel::carrierReport(bool full) const {
    // Line 11 carries the Eb/No. The long form adds the tuner detail and passes 700 characters,
    // with a ">" inside the text well before its end; the short form has none before its prompt.
    std::vector<std::string> lines = {
        "CARRIER STATUS",                                  // 1
        Pad("Carrier", 24) + ": Locked",                   // 2
        Pad("Frequency", 24) + ": 1234.500 MHz",           // 3
        Pad("Symbol Rate", 24) + ": 6.1100 Msps",          // 4
        Pad("Modulation", 24) + ": QPSK",                  // 5
        Pad("FEC Rate", 24) + ": 3/4",                     // 6
        Pad("Signal Level", 24) + ": -48 dBm",             // 7
        Pad("Frequency Offset", 24) + ": +1.2 kHz",        // 8
        Pad("BER", 24) + ": < 1.0E-9",                     // 9
        Pad("Lock Threshold", 24) + ": 4.0 dB",            // 10
        Pad("Eb/No", 24) + ": " + RightAligned(ebno, 20),  // 11
        Pad("Uptime", 24) + ": 41d 06:12:09",              // 12
    };
    if (full) {
        for (const char* line : {"TUNER DETAIL", "Lock Alarm          : when Eb/No > 4.0 dB fails",
                                 "LNB Power           : On 18 V", "LNB Local Oscillator: 5150 MHz",
                                 "Polarization        : Horizontal", "Transponder         : 12",
                                 "Network ID          : 0x0031", "Service Count       : 8",
                                 "Acquisition Count   : 3", "Last Loss of Lock   : 2 days ago",
                                 "Carrier History     : Locked Locked Locked Locked Locked Locked",
                                 "Eb/No History (dB)  : 10.1 10.2 10.2 10.3 10.2 10.1 10.2 10.2",
                                 "Decoder             : Ready", "Conditional Access  : Enabled",
                                 "Alarm Relay         : Normal"})
            lines.emplace_back(line);
    }
    return Report(lines);
}

std::string ReceiverModel::mpegReport() const {
    std::vector<std::string> lines = {"MPEG STATUS", "Port  Route    Source  Atten"};
    for (int i = 1; i <= 4; ++i) {
        const auto& p = port(i);
        char buf[80];
        std::snprintf(buf, sizeof buf, "%-5d %-8s %-7s %2d", i, RouteName(p.route).c_str(),
                      p.source.c_str(), p.attenuation);
        lines.emplace_back(buf);
    }
    lines.emplace_back("Sample Rate : 48 kHz");
    return Report(lines);
}

std::string ReceiverModel::relayReport() const {
    std::vector<std::string> lines = {"RELAY STATUS"};
    for (int i = 1; i <= 2; ++i)
        lines.push_back("Relay " + std::to_string(i) + " : " +
                        (standardRelayClosed(i) ? "Closed" : "Open"));
    return Report(lines);
}

std::string ReceiverModel::expansionRelayReport() const {
    std::vector<std::string> lines = {"EXPANSION RELAY STATUS"};
    for (int i = 1; i <= 14; ++i)
        lines.push_back("Relay " + std::string(i < 10 ? " " : "") + std::to_string(i) + " : " +
                        (expansionRelayEnergised(i) ? "Energized" : "De-energized"));
    return Report(lines);
}

}  // namespace receiver_sim
