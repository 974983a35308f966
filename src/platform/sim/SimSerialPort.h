#pragma once
// A receiver line on simulated time. Every command written (ended by CR) goes to a scripted
// peer; its reply becomes readable after the reply's delay, and a timer of the simulated loop
// then tells the open ports that wait for input.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/SerialPort.h"
#include "platform/sim/SimClock.h"

namespace quillmar {

class SimSerialPorts : public SerialPorts {
  public:
    struct Reply {
        std::string text;
        int delayMs = 0;
    };

    SimSerialPorts(SimClock& clock, EventLoop& loop);
    ~SimSerialPorts() override;
    std::unique_ptr<SerialPort> create() override;

    // The peer: the answer to one command (without its CR), or nothing for a silent peer.
    // The default answers what answer() set up and stays silent otherwise.
    std::function<std::optional<Reply>(const std::string& command)> peer;
    void answer(const std::string& command, std::string text, int delayMs = 0);
    // Bytes that arrive by themselves after delayMs, not in answer to anything.
    void arrive(std::string text, int delayMs = 0);
    // An endless sender: this many bytes of noise arrive per simulated millisecond.
    void flood(int bytesPerMs) { floodPerMs_ = bytesPerMs; }
    // Failures of the next opens or writes (number 0 ends the failure).
    void failOpen(int number, std::string description) { openFailure_ = {number, description}; }
    void failWrite(int number, std::string description) { writeFailure_ = {number, description}; }

    // What the station did.
    std::string wire;                                // every byte written, in order
    std::vector<std::string> commands;               // each command, without its CR
    std::vector<std::pair<int, std::string>> opens;  // port and line settings of each open
    int closes = 0;
    int discards = 0;
    int openNow = 0;  // port objects open at this moment

  private:
    class Port;
    friend class Port;
    std::int64_t nowMs() const;
    void received(std::string_view bytes);
    void queue(std::int64_t at, std::string text);
    bool inputReady() const;
    std::string take();
    void schedule();
    void notify();

    SimClock& clock_;
    std::set<Port*> ports_;
    std::unique_ptr<Timer> arrival_;  // one-shot: the next bytes become readable
    std::map<std::string, Reply> answers_;
    std::deque<std::pair<std::int64_t, std::string>> pending_;  // arrival time, bytes
    std::string partial_;
    int floodPerMs_ = 0;
    std::int64_t floodFrom_ = 0;
    SerialError openFailure_, writeFailure_;
};

}  // namespace quillmar
