#pragma once
// Started station: waves on C, threshold 1000, schedule 7 "NEWS HOUR" Mondays 10:00 for 05:30.

#include <gtest/gtest.h>

#include "audio/SoundFiles.h"
#include "core/PlayoutSequences.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar::testing {

inline const std::string kWave = "C:\\SATFILE\\SFMON007.WAV";
inline const std::string kMarks = "C:\\SATFILE\\SFMON007.DAT";
inline const std::string kName = "NEWS HOUR                ";

class AudioStation : public ::testing::Test {
  protected:
    explicit AudioStation(DateTime start = Monday(9, 59, 0)) : sim(start) {
        sim.settings({{Rec::Threshold, 1000},
                      {Rec::PlayVisible, 1},
                      {Rec::ActivityLog, 1},
                      {Rec::WaveDrive, 3}});
        sim.start();
        sim.noteActions();
        put(7, RecordedSchedule());
    }
    Station& st() { return sim.st(); }
    SimAudio& audio() { return sim.audio; }
    void put(int n, const ScheduleFields& f) {
        sim.put(n, f);
        sim.findNext();
    }
    SoundMarks marks() { return ReadSoundMarks(sim.files, kMarks); }
    void setMarks(float eom, float trim) {
        ASSERT_TRUE(WriteSoundMark(sim.files, kMarks, 1, eom, nullptr));
        ASSERT_TRUE(WriteSoundMark(sim.files, kMarks, 2, trim, nullptr));
    }
    void playScheduled() {
        st().next.play.emplace().recordNo = 7;
        PlayScheduled(st());
    }
    double seconds(const std::string& wave) const {
        return static_cast<double>(sim.readWave(wave).frames()) / kSampleRate;
    }
    SimStation sim;
};

}  // namespace quillmar::testing
