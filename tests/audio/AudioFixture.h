#pragma once
// Kept only while tests/faults still builds its station on it; tests/audio use AudioStation.h.
// A started station on simulated time with sound files on drive C, schedules written straight
// into SatList.dat, and a note of every operation and EOM output write.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/ClockTick.h"
#include "core/NextEvent.h"
#include "core/Station.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar::testing {

// Channels and sample frames of a wave file, from its fmt and data chunks.
struct WaveInfo {
    int channels = 0;
    std::int64_t frames = 0;
    std::vector<std::int16_t> first;  // the first interleaved samples of the data
    bool ok = false;
};

inline WaveInfo ReadWaveInfo(const FileSystem& files, const std::string& drivePath) {
    WaveInfo info;
    std::string bytes;
    files.readFile(drivePath, &bytes, nullptr);
    auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
        return v;
    };
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return info;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::uint32_t size = u32(at + 4);
        if (id == "fmt " && at + 12 <= bytes.size())
            info.channels = static_cast<std::uint8_t>(bytes[at + 10]);
        if (id == "data" && info.channels > 0) {
            info.frames = static_cast<std::int64_t>(size) / (2 * info.channels);
            for (std::size_t i = at + 8; i + 1 < bytes.size() && info.first.size() < 2048; i += 2)
                info.first.push_back(
                    static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                              static_cast<std::uint8_t>(bytes[i + 1]) << 8));
            info.ok = true;
            return info;
        }
        at += 8 + size + (size & 1);
    }
    return info;
}

class AudioTest : public ::testing::Test {
  protected:
    explicit AudioTest(DateTime start = Monday(9, 59, 0))
        : sim(std::make_unique<SimStation>(start)) {
        // Threshold 1000, Play visible, activity log on, wave files on drive C.
        sim->write("c:\\satfile\\MyComp.ini", SettingsFile({{3, 1000}, {4, 1}, {10, 1}, {12, 3}}));
        sim->start();
        st().actionObserver = [this](const std::string& name) {
            actions.push_back(name);
            if (name == "WriteRemoteOutputs")
                eomWrites.push_back({TimeText(sim->clock.now()) + "." +
                                         std::to_string(sim->clock.now().msOfDay % 1000 / 100),
                                     (st().remote.RemoteOutputBits & 1) != 0});
        };
    }

    Station& st() { return sim->st(); }
    SimAudio& audio() { return sim->audio; }
    DateTime now() const { return sim->clock.now(); }

    void put(int n, const ScheduleFields& f) {
        std::string error;
        ASSERT_TRUE(st().schedule.SatListFile.write(n, BuildScheduleRecord(f), &error)) << error;
        FindNextRecord(st());
        FindNextSwitch(st());
        FindNextPlay(st());
    }
    void runTo(const DateTime& t) {
        sim->loop.advance((t.date.serial() - now().date.serial()) * 86'400'000 + t.msOfDay -
                          now().msOfDay);
    }
    // The input from a moment of the station's clock on (today).
    void inputAt(const DateTime& t, SimTone tone) {
        audio().setInputAt(sim->loop.elapsed() +
                               (t.date.serial() - now().date.serial()) * 86'400'000 + t.msOfDay -
                               now().msOfDay,
                           tone);
    }
    // Lines of today's log of a kind, without CR LF.
    std::vector<std::string> log(const std::string& kind) {
        std::vector<std::string> lines;
        const std::string path = "c:\\satfile\\logs\\" + kind + DayKey(now().date) + ".log";
        if (!sim->exists(path)) return lines;
        const std::string text = sim->read(path);
        std::size_t at = 0;
        while (at < text.size()) {
            auto end = text.find("\r\n", at);
            if (end == std::string::npos) end = text.size();
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    int count(const std::string& action) const {
        int n = 0;
        for (const auto& a : actions) n += a == action;
        return n;
    }
    // Writes a 16-bit stereo wave file of `seconds` of a loud level.
    void makeWave(const std::string& drivePath, double seconds) {
        const auto frames = static_cast<std::uint32_t>(seconds * kSampleRate);
        std::string bytes;
        const auto u32 = [&](std::uint32_t v) {
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(v >> (8 * i)));
        };
        bytes += "RIFF";
        u32(36 + frames * 4);
        bytes += "WAVEfmt ";
        u32(16);
        u32(0x00020001);  // PCM, two channels
        u32(kSampleRate);
        u32(kSampleRate * 4);
        u32(0x00100004);  // four bytes a frame, 16 bits
        bytes += "data";
        u32(frames * 4);
        for (std::uint32_t f = 0; f < frames * 2; ++f) bytes += std::string("\x40\x1f", 2);  // 8000
        std::string error;
        ASSERT_TRUE(sim->files.writeFile(drivePath, bytes, &error)) << error;
    }

    std::unique_ptr<SimStation> sim;
    std::vector<std::string> actions;
    struct EomWrite {
        std::string at;  // "hh:mm:ss.t"
        bool on = false;
    };
    std::vector<EomWrite> eomWrites;
};

}  // namespace quillmar::testing
