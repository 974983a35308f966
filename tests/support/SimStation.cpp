#include "support/SimStation.h"

#include <gtest/gtest.h>

#include "core/NextEvent.h"
#include "core/Startup.h"
#include "support/Builders.h"
#include "support/Logs.h"

namespace quillmar::testing {

SimStation::SimStation(DateTime start, PortIO* otherPorts) : clock(start) {
    station = std::make_unique<Station>(Platform{clock, loop, files, errors, serial, printer,
                                                 otherPorts ? *otherPorts : ports, mail, audio,
                                                 background});
}

void SimStation::start() {
    std::string error;
    ASSERT_TRUE(StartStation(*station, &error)) << error;
}

void SimStation::initialize() {
    std::string error;
    ASSERT_TRUE(InitializeStation(*station, &error)) << error;
}

std::string SimStation::read(const std::string& drivePath) const {
    std::string bytes, error;
    EXPECT_TRUE(files.readFile(drivePath, &bytes, &error)) << drivePath << ": " << error;
    return bytes;
}

void SimStation::write(const std::string& drivePath, const std::string& bytes) {
    std::string error;
    const auto cut = drivePath.find_last_of('\\');
    // Make the folders of the path on the way.
    for (std::size_t at = drivePath.find('\\', 3); at != std::string::npos && at <= cut;
         at = drivePath.find('\\', at + 1))
        files.createFolder(drivePath.substr(0, at), &error);
    ASSERT_TRUE(files.writeFile(drivePath, bytes, &error)) << drivePath << ": " << error;
}

void SimStation::folder(const std::string& drivePath) {
    std::string error;
    ASSERT_TRUE(files.createFolder(drivePath, &error)) << drivePath << ": " << error;
}

void SimStation::settings(const std::map<int, int>& records) {
    write("c:\\satfile\\MyComp.ini", SettingsFile(records));
}

namespace {
std::int64_t MsBetween(const DateTime& from, const DateTime& to) {
    return (to.date.serial() - from.date.serial()) * 86'400'000 + to.msOfDay - from.msOfDay;
}
std::string WithMs(const DateTime& t, int digits) {
    char ms[8];
    if (digits == 3)
        std::snprintf(ms, sizeof ms, ".%03d", static_cast<int>(t.msOfDay % 1000));
    else
        std::snprintf(ms, sizeof ms, ".%d", static_cast<int>(t.msOfDay % 1000 / 100));
    return TimeText(t) + ms;
}
}  // namespace

void SimStation::runTo(const DateTime& t) {
    loop.advance(MsBetween(now(), t));
}

void SimStation::stall(std::int64_t ms) {
    loop.stall(ms);
    loop.runPending();
}

void SimStation::put(int n, const ScheduleFields& f) {
    std::string error;
    ASSERT_TRUE(st().schedule.SatListFile.write(n, BuildScheduleRecord(f), &error)) << error;
}

void SimStation::putDeleted(int n) {
    ASSERT_TRUE(st().schedule.SatListFile.write(n, DeletedScheduleRecord()));
}

ScheduleFields SimStation::record(int n) {
    std::string rec;
    st().schedule.SatListFile.read(n, &rec);
    return ParseScheduleRecord(rec);
}

void SimStation::findNext() {
    FindNextRecord(st());
    FindNextSwitch(st());
    FindNextPlay(st());
}

std::vector<std::string> SimStation::log(const std::string& kind) const {
    return LogLines(files, kind, now().date);
}

void SimStation::inputAt(const DateTime& t, SimTone tone) {
    audio.setInputAt(loop.elapsed() + MsBetween(now(), t), tone);
}

void SimStation::wave(const std::string& drivePath, int channels, std::int64_t frames,
                      const std::function<std::int16_t(std::int64_t, int)>& sample) {
    write(drivePath, WaveBytes(channels, frames, sample));
}

void SimStation::makeWave(const std::string& drivePath, double seconds) {
    write(drivePath, LoudWave(seconds));
}

WaveData SimStation::readWave(const std::string& drivePath) const {
    std::string bytes;
    files.readFile(drivePath, &bytes, nullptr);
    return ReadWave(bytes);
}

void SimStation::noteActions() {
    st().actionObserver = [this](const std::string& name) {
        actions.push_back({name, now()});
        if (name == "WriteRemoteOutputs")
            eomWrites.push_back({WithMs(now(), 1), (st().remote.RemoteOutputBits & 1) != 0});
        if (onAction) onAction(name);
    };
}

std::vector<std::string> SimStation::times(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& a : actions)
        if (a.name == name) out.push_back(WithMs(a.at, 3));
    return out;
}

std::vector<std::string> SimStation::seconds(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& a : actions)
        if (a.name == name) out.push_back(TimeText(a.at));
    return out;
}

int SimStation::count(const std::string& name) const {
    return static_cast<int>(seconds(name).size());
}

std::vector<std::string> SimStation::enabledAt(Timer& timer, const DateTime& t) {
    std::vector<std::string> out;
    bool was = timer.isEnabled();
    while (now() < t) {
        loop.advance(50);
        if (timer.isEnabled() && !was) out.push_back(WithMs(now(), 3));
        was = timer.isEnabled();
    }
    return out;
}

}  // namespace quillmar::testing
