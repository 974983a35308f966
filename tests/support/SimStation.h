#pragma once
// A whole station on simulated time, its drives in memory.

#include <memory>
#include <string>
#include <vector>

#include "core/Station.h"
#include "platform/ErrorDisplay.h"
#include "platform/sim/MemoryFileSystem.h"
#include "platform/sim/SimAudio.h"
#include "platform/sim/SimBackgroundWork.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimMail.h"
#include "platform/sim/SimPortIO.h"
#include "platform/sim/SimPrinter.h"
#include "platform/sim/SimSerialPort.h"

namespace quillmar::testing {

class CapturedErrors : public ErrorDisplay {
  public:
    void showError(const std::string& message) override { messages.push_back(message); }
    void bringForward() override { ++forwards; }
    std::vector<std::string> messages;
    int forwards = 0;
};

class SimStation {
  public:
    // otherPorts, when given, replaces the simulated I/O ports (a host service under test).
    explicit SimStation(DateTime start = DateTime::from(2026, 12, 5, 12, 0, 0),
                        PortIO* otherPorts = nullptr);

    Station& st() { return *station; }
    // StartStation; fails the test when it does not start.
    void start();
    // Whole-file helpers on drive paths.
    std::string read(const std::string& drivePath) const;
    void write(const std::string& drivePath, const std::string& bytes);
    bool exists(const std::string& drivePath) const { return files.fileExists(drivePath); }

    SimClock clock;
    SimEventLoop loop{clock};
    MemoryFileSystem files;
    CapturedErrors errors;
    // The receiver line: replies become readable on the loop's simulated time.
    SimSerialPorts serial{clock, loop};
    SimPrinter printer;
    SimPortIO ports;
    SimMail mail{loop};
    SimAudio audio{loop, files};
    // Work off the loop: runs at the loop's next turn (or background.delayMs later).
    SimBackgroundWork background{loop};
    std::unique_ptr<Station> station;
};

}  // namespace quillmar::testing
