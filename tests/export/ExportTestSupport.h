#pragma once
// A started station with its activity log on and sound files on drive C.

#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar::testing {

struct ExportStation {
    explicit ExportStation(DateTime start) : sim(start) {
        sim.settings({{Rec::ActivityLog, 1}, {Rec::WaveDrive, 3}});
        sim.start();
    }
    Station& st() { return sim.st(); }
    template <class Sample>
    void wave(const std::string& drivePath, int channels, std::int64_t frames, Sample sample) {
        sim.wave(drivePath, channels, frames, sample);
    }
    WaveData readWave(const std::string& drivePath) { return sim.readWave(drivePath); }

    SimStation sim;
};

}  // namespace quillmar::testing
