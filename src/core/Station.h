#pragma once
// The station's shared run-time state. One Station owns everything the main window owned:
// the open data files, the timers, the next-event values and the main-window model. The
// procedures of each subsystem are free functions taking the Station, declared in that
// subsystem's headers.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioState.h"
#include "export/ExportState.h"
#include "core/ErrorDisplay.h"
#include "core/MainWindowModel.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/Mail.h"
#include "platform/PortIO.h"
#include "platform/Printer.h"
#include "platform/RecordFile.h"
#include "platform/SerialPort.h"
#include "platform/Watchdog.h"
#include "schedule/ScheduleRecord.h"
#include "schedule/ScheduleState.h"
#include "settings/StationSettings.h"

namespace quillmar {

// The services a station is built on. Later services join as members here.
struct Platform {
    Clock& clock;
    EventLoop& loop;
    FileSystem& files;
    ErrorDisplay& errors;
    SerialPorts& serial;
    Printer& printer;
    PortIO& ports;
    Mail& mail;
    Audio& audio;
    // The service manager's watchdog, when one watches the station.
    Watchdog* watchdog = nullptr;
};

struct MailAccount {
    std::string Facility;
    std::string UserName;
    std::string Password;
};

class Station {
public:
    explicit Station(Platform platform);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    Platform platform;

    // Open for the whole run.
    RecordFile SatListFile;
    RecordFile ExportFile;
    RecordFile AddressBookFile;

    StationSettings Settings;
    std::string WaveDriveLetter;
    std::array<std::string, 3> BaudRates;  // entries 1 and 2
    MailAccount Account;
    std::array<std::string, 8> DayNames;
    Date DstStartDate;
    Date DstEndDate;

    // The schedule the editor has chosen (its record number).
    int CurrentRecordNo = 0;

    // Next-event values.
    std::array<std::int32_t, 1000> ScheduleActive{};
    std::int32_t ScheduleCount = 0;
    int NextRecordNo = 0;
    int NextRecordSlot = 0;
    std::int32_t NextRecordSeconds = 0;
    std::string NextRecordDate;
    int NextPlayRecordNo = 0;
    std::int32_t NextPlaySeconds = 0;
    std::string NextPlayDateText;
    Date NextPlayDate;
    std::string NextPlayTime;
    std::string NextPlayMode;
    int NextSwitchRecordNo = 0;
    std::string NextSwitchName;
    std::string NextSwitchTime;
    int NextSwitchDay = 0;

    // Recording and playout in progress.
    int RecordState = 0;  // 0 idle, 1 waiting for audio, 2 recording
    std::string RecordStartMode;
    double RecordStartTime = 0;
    double RecordStopTime = 0;
    double ArmDeadline = 0;
    int PlayState = 0;  // 0 idle, 1 playlist, 2 timed
    double EomTime = 0;
    bool EomSent = false;
    std::uint8_t RemoteOutputBits = 0;

    // Remote control and the receiver alarm: the inputs of the last read, the Time Set pulse
    // that already set the clock, the loss-of-signal alarm (AlarmStartTime in seconds of the
    // day), and a failing I/O port, shown once until it works again.
    std::uint8_t RemoteInputBits = 0;
    bool PlayInput = false;
    bool RecordInput = false;
    bool TimeSetDone = false;
    bool ReceiverAlarm = false;
    std::int32_t AlarmStartTime = 0;
    std::int64_t AlarmStartAt = 0;  // ms since 1970-01-01 local, so midnight does not count
    bool AlarmMailSent = false;
    bool RemotePortFailureShown = false;

    // Once-only guards of the clock tick.
    std::int32_t EbNoPolledFlag = 0;
    std::int32_t PurgeDone = 0;
    std::int32_t PlaylistRefreshed = 0;
    std::int32_t PlaylistUpcomingOnly = 0;

    // Clock tick bookkeeping: where the previous tick stood and the moment (ms since
    // 1970-01-01 local) each exact-second action last ran for. A late tick runs an action
    // whose moment it skipped, once; a clock set back does not run it again.
    bool TickStarted = false;
    std::int64_t LastTickAt = 0;
    std::int64_t TimedPlayDoneFor = 0;
    std::int64_t SwitchDoneFor = 0;
    std::int64_t SwitchRefindFor = 0;
    std::int64_t EbNoDoneFor = 0;
    std::int64_t RefreshDoneFor = 0;
    std::int64_t PurgeDoneFor = 0;

    std::string PlayingEntryText;
    std::int32_t PlayingEntryRecordNo = 0;
    std::int32_t ExitAnswer = 0;

    // Audio engine: the recording being cued or run and the one holding the writer, the
    // silence alarm, the export memory of the last recording, the audition flag shared with
    // the playout guard, the marks of the playout on air, and the chains built on the
    // platform's audio service with what the main window shows of them.
    std::string RecordingName;
    std::string RecordingFile;
    std::string MarksFile;
    std::int32_t RecordSeconds = 0;
    std::string RecordRoute;  // Route of the cued schedule: "1" and "2" record mono
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
    bool AuditionPlaying = false;
    float EomMark = 0;
    float TrimMark = 0;
    AudioChains Chains;
    AudioDisplay Audio;

    // Export engine: the export under way (its conversion, target paths, air date and
    // length), the exports waiting for it, and the main window's gauge and export meter.
    ExportState Export;

    MainWindowModel main;

    // Receiver link: the Eb/No text of the last poll, and the main window's port object for
    // send-only exchanges and the poll.
    std::string EbNoText;
    std::unique_ptr<SerialPort> ReceiverPort;

    // Schedule store: the weekly schedule window's lists (also refilled by FindNextSwitch),
    // the conflict lines of the last Apply (lstConflicts) and the main window's progress bar
    // of the floppy copies.
    WeeklyScheduleModel Weekly;
    std::vector<std::string> ScheduleConflicts;
    ProgressBarModel ProgressBar1;

    // Timers of the main window; every one starts disabled.
    std::unique_ptr<Timer> tmrClock;
    std::unique_ptr<Timer> TimerCue;
    std::unique_ptr<Timer> TimerCueSwitch;
    std::unique_ptr<Timer> TimerGetNextSwitch;
    std::unique_ptr<Timer> TimerEOM;
    std::unique_ptr<Timer> tmrExport;
    std::unique_ptr<Timer> tmrTimeChange;

    // A log line that could not be written is shown once until one is written again.
    bool LogFailureShown = false;

    // Each automatic operation names itself here when it runs ("CueRecording",
    // "PlayScheduled", ...), so tests and traces can see what the station did and when.
    std::function<void(const std::string&)> actionObserver;
    void noteAction(const std::string& name) {
        if (actionObserver) actionObserver(name);
    }

    // Observers of the main-window model; called after each handler that may change it.
    void onChanged(std::function<void()> observer) { observers_.push_back(std::move(observer)); }
    void notifyChanged();

private:
    std::vector<std::function<void()>> observers_;
};

// Shows a message in the error window.
void ShowError(Station& st, const std::string& message);

}  // namespace quillmar
