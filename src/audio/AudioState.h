#pragma once
// State of the audio chains that the station keeps beside the recording and playout values:
// the component objects built on the platform's audio service, the recording that holds the
// writer, and what the main window shows of them.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Audio.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

// Button colours as the windows were laid out: 0x00BBGGRR values.
namespace colour {
inline constexpr int Yellow = 65535;
inline constexpr int Red = 255;
inline constexpr int Maroon = 128;
inline constexpr int Green = 32768;
inline constexpr int LightGreen = 8454016;
inline constexpr int PaleYellow = 12648447;
inline constexpr int Cyan = 16776960;
inline constexpr int Blue = 12582912;
}  // namespace colour

// What the main window shows of the audio chains.
struct AudioDisplay {
    // MMLevelX3, MMLevelX4, MMLevelScaleX2 and the heading Label3 ("Record").
    bool RecordMetersVisible = false;
    // MMLevelX1, MMLevelX2, MMLevelScaleX1 and the heading Label2 ("Play").
    bool PlayMetersVisible = false;
    // Peaks of the last captured buffer, for the record meters.
    std::int16_t RecordPeakLeft = 0;
    std::int16_t RecordPeakRight = 0;
    // The Play button's colour; 0 until a playout has set one.
    int cmdPlayColour = 0;
};

// The recording that holds the writer. It is fixed when the recording is armed, so that the
// cue of the next programme, which renames RecordingFile while this one still runs, cannot
// send this recording's marks or log lines to the next one's names.
struct ArmedRecording {
    std::string name;       // 25 characters
    std::string file;       // wave file, drive path
    std::string marksFile;  // marks file, drive path
    ScheduleStart startMode = ScheduleStart::Blank;
    int recordNo = 0;
    int weekday = 0;  // 1 = Sunday .. 7 = Saturday, of the record slot
    std::int32_t seconds = 0;
    int channels = 2;
    std::int64_t stopAt = 0;  // moment (MomentOf) a timed recording is due to stop
};

// The component objects of the main window's capture and playout chains.
struct AudioChains {
    std::unique_ptr<AudioCapture> WaveIn;
    std::unique_ptr<WaveWriter> WaveFile;
    // The armed programme's wave file, opened by its first written buffer: until then last
    // week's file of the same name stays whole, so a wait that ends without audio loses nothing.
    std::string WaveHostPath;
    bool WaveOpened = false;     // opened (so emptied) by this run
    bool WriterEnabled = false;  // while enabled every captured buffer is appended
    std::uint64_t OverrunsReported = 0;
    // The record slot whose arm failed: the tick asks again until the slot time has passed.
    std::string FailedArm;
    std::unique_ptr<AudioPlayer> WavePlayer;
};

// The recorder: the recording being cued or run and the one holding the writer, the silence
// alarm, and what the export of the last recording needs.
struct RecorderState {
    int RecordState = 0;  // 0 idle, 1 waiting for audio, 2 recording
    ScheduleStart RecordStartMode = ScheduleStart::Blank;
    double RecordStartTime = 0;
    double RecordStopTime = 0;
    double ArmDeadline = 0;
    std::string RecordingName;
    std::string RecordingFile;
    std::string MarksFile;
    std::int32_t RecordSeconds = 0;
    ScheduleRoute RecordRoute = ScheduleRoute::Blank;  // of the cued schedule
    float RecordedSeconds = 0;
    std::int32_t LastAudioTime = 0;
    bool AudioAlarm = false;
    std::string SilenceAlarmTime;  // "hh:mm:ss" the silence alarm was raised
    std::int32_t SilenceStart = 0;
    bool RelayRecordArmed = false;
    int RecordDevice = 0;  // the record card as start-up applied it
    ArmedRecording Armed;
    int ExportRecordNo = 0;  // remembered at the start of a recording for its export
    int ExportWeekday = 0;
    std::string ExportRecordingFile;
    AudioChains Chains;
};

// Playout on air: the playlist entry or timed play running, its marks and the EOM contact,
// and the audition flag shared with the playout guard.
struct PlayoutState {
    int PlayState = 0;  // 0 idle, 1 playlist, 2 timed
    double EomTime = 0;
    bool EomSent = false;
    std::string PlayingEntryText;
    std::int32_t PlayingEntryRecordNo = 0;
    bool AuditionPlaying = false;
    float EomMark = 0;
    float TrimMark = 0;
};

}  // namespace quillmar
