#pragma once
// A whole station on simulated time, its drives in memory.

#include <cstdint>
#include <functional>
#include <map>
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
#include "schedule/ScheduleRecord.h"
#include "support/Wave.h"

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
    // InitializeStation only: the data files open, no timers running.
    void initialize();
    // Whole-file helpers on drive paths.
    std::string read(const std::string& drivePath) const;
    void write(const std::string& drivePath, const std::string& bytes);
    bool exists(const std::string& drivePath) const { return files.fileExists(drivePath); }
    void folder(const std::string& drivePath);
    // MyComp.ini with the given records (support/Builders.h names them).
    void settings(const std::map<int, int>& records);

    DateTime now() const { return clock.now(); }
    // Runs the loop until the clock reads t.
    void runTo(const DateTime& t);
    // The loop is busy for ms; the overdue tick runs once afterwards.
    void stall(std::int64_t ms);

    // Schedule record n of SatList.dat, written or read straight; findNext() runs the finders.
    void put(int n, const ScheduleFields& f);
    void putDeleted(int n);
    ScheduleFields record(int n);
    void findNext();

    // Lines of today's log of a kind ("AL", "ER", "EB"), without CR LF.
    std::vector<std::string> log(const std::string& kind) const;

    // The sound card's input from a moment of the station's clock on.
    void inputAt(const DateTime& t, SimTone tone);
    void wave(const std::string& drivePath, int channels, std::int64_t frames,
              const std::function<std::int16_t(std::int64_t, int)>& sample);
    // `seconds` of loud stereo.
    void makeWave(const std::string& drivePath, double seconds);
    WaveData readWave(const std::string& drivePath) const;

    // Notes every station operation (and each EOM output write) from now on.
    void noteActions();
    struct NotedAction {
        std::string name;
        DateTime at;
    };
    struct EomWrite {
        std::string at;  // "hh:mm:ss.t"
        bool on = false;
    };
    std::vector<NotedAction> actions;
    std::vector<EomWrite> eomWrites;
    std::function<void(const std::string&)> onAction;
    // "hh:mm:ss.mmm" of each time the operation ran; seconds() without the milliseconds.
    std::vector<std::string> times(const std::string& name) const;
    std::vector<std::string> seconds(const std::string& name) const;
    int count(const std::string& name) const;
    // The times at which a timer was enabled, stepping the loop tick by tick up to t.
    std::vector<std::string> enabledAt(Timer& timer, const DateTime& t);

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
