#pragma once
// A started station with its activity log on, sound files on drive C.

#include <gtest/gtest.h>

#include "core/Station.h"
#include "platform/DateTime.h"
#include "support/Builders.h"
#include "support/SimStation.h"
#include "support/Wave.h"

namespace quillmar::testing {

// A started station with its activity log on, and helpers for the log and for wave files on
// drive paths.
class ExportStation {
  public:
    explicit ExportStation(DateTime start) : sim(start) {
        // Activity log on, sound files on drive C.
        sim.write("c:\\satfile\\MyComp.ini", SettingsFile({{10, 1}, {12, 3}}));
        sim.start();
    }
    Station& st() { return sim.st(); }

    // Lines of today's activity log, without CR LF.
    std::vector<std::string> log() {
        std::vector<std::string> lines;
        const std::string path = "c:\\satfile\\logs\\AL" + DayKey(sim.clock.now().date) + ".log";
        if (!sim.exists(path)) return lines;
        const std::string text = sim.read(path);
        for (std::size_t at = 0; at < text.size();) {
            auto end = text.find("\r\n", at);
            if (end == std::string::npos) end = text.size();
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    // Log lines without their "hh:mm:ss  " stamp.
    std::vector<std::string> logTexts() {
        std::vector<std::string> texts;
        for (const auto& line : log()) texts.push_back(line.size() > 10 ? line.substr(10) : "");
        return texts;
    }
    void folder(const std::string& drivePath) {
        std::string error;
        ASSERT_TRUE(sim.files.createFolder(drivePath, &error)) << drivePath << ": " << error;
    }
    void wave(const std::string& drivePath, int channels, std::int64_t frames,
              const std::function<std::int16_t(std::int64_t, int)>& sample) {
        std::string error;
        ASSERT_TRUE(sim.files.writeFile(drivePath, WaveBytes(channels, frames, sample), &error))
            << drivePath << ": " << error;
    }
    WaveData readWave(const std::string& drivePath) {
        std::string bytes;
        sim.files.readFile(drivePath, &bytes, nullptr);
        return ReadWave(bytes);
    }

    SimStation sim;
};

}  // namespace quillmar::testing
