#pragma once
// The simulated receiver's state and its answers: audio routing of four ports, two standard
// and fourteen expansion relays, and a report for every status command.

#include <array>
#include <string>

namespace receiver_sim {

struct PortRouting {
    std::string route = "S";
    std::string source = "ENG";
    int attenuation = 0;
};

class ReceiverModel {
  public:
    // Eb/No text shown on line 11 of the "R C" report.
    std::string ebno = "10.2 dB";
    std::string baud = "9600";

    // The Eb/No of a signal that fades slowly and drops once in each cycle, at `phase` (0..1)
    // of the cycle: about 11 dB, a dip to about 7 dB around the middle, and a step down to
    // 2.5 dB (below the lock threshold) from 0.80 to 0.83. The demo's week of logs has the same
    // shape.
    static double VaryingEbNo(double phase);
    // "10.2 dB" text of a figure.
    static std::string EbNoText(double db);

    // The reply to one command (without its CR): lines ended by CR LF, then the prompt ">".
    std::string answer(const std::string& command);

    const PortRouting& port(int n) const { return ports_[static_cast<std::size_t>(n - 1)]; }
    bool standardRelayClosed(int n) const { return standard_[static_cast<std::size_t>(n - 1)]; }
    bool expansionRelayEnergised(int n) const {
        return expansion_[static_cast<std::size_t>(n - 1)];
    }

  private:
    std::string setAudio(const std::string& arguments);
    std::string relay(const std::string& command);
    std::string carrierReport(bool full) const;
    std::string mpegReport() const;
    std::string relayReport() const;
    std::string expansionRelayReport() const;

    std::array<PortRouting, 4> ports_;
    std::array<bool, 2> standard_{};
    std::array<bool, 14> expansion_{};
};

}  // namespace receiver_sim
