#pragma once
// State of the audio chains that the station keeps beside the recording and playout values:
// the component objects built on the platform's audio service, the recording that holds the
// writer, and what the main window shows of them.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Audio.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

// Button colours as the windows were laid out: 0x00BBGGRR values. AsLaidOut leaves the
// button in the colour of its form.
enum class ButtonColour : std::int32_t {
    AsLaidOut = 0,
    Yellow = 65535,
    Red = 255,
    Maroon = 128,
    Green = 32768,
    LightGreen = 8454016,
    PaleYellow = 12648447,
    Cyan = 16776960,
    Blue = 12582912,
};

// What the main window shows of the audio chains.
struct AudioDisplay {
    // MMLevelX3, MMLevelX4, MMLevelScaleX2 and the heading Label3 ("Record").
    bool RecordMetersVisible = false;
    // MMLevelX1, MMLevelX2, MMLevelScaleX1 and the heading Label2 ("Play").
    bool PlayMetersVisible = false;
    // Peaks of the last captured buffer, for the record meters.
    std::int16_t RecordPeakLeft = 0;
    std::int16_t RecordPeakRight = 0;
    // The Play button's colour, as laid out until a playout has set one.
    ButtonColour cmdPlayColour = ButtonColour::AsLaidOut;
};

enum class RecordState { Idle, WaitingForAudio, Recording };

// How a programme starts recording: at its time ("T"), by the relay's Record input ("M"), or
// as the schedule file names anything else (it then waits for a press of Record).
// One programme to record, whole from the moment it is cued. The cue of the next programme
// replaces the cued one only: the armed one keeps its own names, so the next cue cannot send
// this recording's audio, marks or log lines to the next one's files.
struct RecordProgramme {
    std::string name;                            // 25 characters
    std::string file;                            // wave file, drive path
    std::string marksFile;                       // marks file, drive path
    ScheduleStart start = ScheduleStart::Blank;  // Timed or Manual (relay)
    int recordNo = 0;
    int weekday = 0;  // 1 = Sunday .. 7 = Saturday, of the record slot
    std::int32_t seconds = 0;
    int channels = 2;  // routes "1" and "2" record mono
};

// How a recording is ending while its capture closes the wave file.
enum class RecordEnding { None, Stop, Dump };

// The component objects of the main window's capture and playout chains.
struct AudioChains {
    // Captures into the armed programme's wave file, off the loop; the file is opened by its
    // first written buffer: until then last week's file of the same name stays whole, so a
    // wait that ends without audio loses nothing.
    std::unique_ptr<AudioCapture> WaveIn;
    bool WriterEnabled = false;  // the capture writes every buffer to the file
    // A stop or dump waits for the capture to close the file; what runs once it has ended.
    RecordEnding Ending = RecordEnding::None;
    std::function<void()> WhenEnded;
    std::uint64_t OverrunsReported = 0;
    // The record slot whose arm failed: the tick asks again until the slot time has passed.
    std::string FailedArm;
    std::unique_ptr<AudioPlayer> WavePlayer;
};

// The recorder: the programme cued, the one armed (waiting for audio or recording), the
// silence alarm, and the last recording started, which its export sends.
struct RecorderState {
    quillmar::RecordState RecordState = quillmar::RecordState::Idle;
    std::optional<RecordProgramme> Cued;   // from the cue until the arm takes it
    std::optional<RecordProgramme> Armed;  // from the arm until the recording ends
    std::optional<RecordProgramme> LastRecording;
    double RecordStartTime = 0;
    double RecordStopTime = 0;
    std::int64_t StopAt = 0;  // moment (MomentOf) a timed recording is due to stop
    double ArmDeadline = 0;
    float RecordedSeconds = 0;
    std::int32_t LastAudioTime = 0;
    bool AudioAlarm = false;
    std::string SilenceAlarmTime;  // "hh:mm:ss" the silence alarm was raised
    std::int32_t SilenceStart = 0;
    bool RelayRecordArmed = false;
    int RecordDevice = 0;  // the record card as start-up applied it
    AudioChains Chains;
};

enum class PlayState { Idle, Playlist, Timed };

// Playout on air: the playlist entry or timed play running, its marks and the EOM contact,
// and the audition flag shared with the playout guard.
struct PlayoutState {
    quillmar::PlayState PlayState = quillmar::PlayState::Idle;
    double EomTime = 0;
    bool EomSent = false;
    std::string PlayingEntryText;
    std::int32_t PlayingEntryRecordNo = 0;
    bool AuditionPlaying = false;
    float EomMark = 0;
    float TrimMark = 0;
};

}  // namespace quillmar
