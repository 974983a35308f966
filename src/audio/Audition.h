#pragma once
// The audition window's rules: play a recorded programme on the audition card, move through
// it, and set its EOM and trim marks, which go straight into its marks file. The window only
// renders this model and forwards the operator's actions.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioServices.h"
#include "audio/AudioState.h"
#include "platform/Audio.h"
#include "platform/EventLoop.h"

namespace quillmar {

class Audition {
  public:
    struct Programme {
        std::string name;  // ProgramName
        int recordNo = 0;
    };

    // `programmes`: those in use, in record order. The programme player's state is shared: an
    // audition on its card waits for it, and it for the audition.
    Audition(AudioServices services, PlayoutState& playout, EventLoop& loop,
             std::vector<Programme> programmes);
    // Closing the window: Timer1 stops, the player with it, and AuditionPlaying clears.
    ~Audition();
    Audition(const Audition&) = delete;
    Audition& operator=(const Audition&) = delete;

    // lstSchedule: the programmes in use, in record order. lstDay: "Sunday".."Saturday".
    std::vector<Programme> lstSchedule;
    static const std::vector<std::string>& lstDay();

    void lstDay_Click(int index);
    void lstSchedule_Click(int index);
    void cmdPlay_Click();
    void cmdPause_Click();
    void cmdStopPlay_Click() { StopAudPlay(); }
    void cmdEOM_Click();
    void cmdEOM_RightRelease();
    void cmdTrim_Click();
    void TrackBar_Pressed() { SliderHeld = true; }
    void TrackBar_Released(std::int64_t positionMs);
    // Files → Export: the file to hand to the send-to-file window, or empty after the same
    // messages as Play.
    std::string ExportFile();
    void StopAudPlay();

    // Peaks of what plays now, for Level1 and Level2.
    std::int16_t levelLeft() const;
    std::int16_t levelRight() const;

    // The model the window renders.
    int dayIndex = -1;
    int programmeIndex = -1;
    int AuditionRecordNo = 0;
    std::string AuditionFile;
    std::string AuditionMarksFile;
    float AuditionEom = 0;
    float AuditionTrim = 0;
    bool AuditionPaused = false;
    bool SliderHeld = false;
    std::int64_t fileLengthMs = 0;
    std::int64_t TrackBarMax = 0;
    std::int64_t TrackBarValue = 0;
    std::string lblTime, lblDown, lblNumber, lblWave;
    ButtonColour cmdPlayColour = ButtonColour::AsLaidOut;
    ButtonColour cmdPauseColour = ButtonColour::AsLaidOut;
    ButtonColour cmdEOMColour = ButtonColour::AsLaidOut;
    enum class Focus { None, Play, Stop };
    Focus focus = Focus::None;  // where the last action moved the focus

    // Runs after every change the window did not ask for (timer, end of playback).
    std::function<void()> onChanged;

  private:
    bool playing() const;
    void Timer1_Timer();
    void PlayerFinished();
    bool CheckSelection();
    bool ReadFileLength();
    void WriteMark(int record, float seconds);

    AudioServices sv_;
    PlayoutState& playout_;
    std::unique_ptr<AudioPlayer> player_;
    std::unique_ptr<Timer> Timer1;
};

}  // namespace quillmar
