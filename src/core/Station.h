#pragma once
// The composition root: the platform services and one state object per subsystem. The
// subsystems' procedures take only their own state and what they use; core lends it to them
// and holds the sequences where one subsystem's event starts another's work.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioState.h"
#include "core/CoreState.h"
#include "core/MainWindowModel.h"
#include "export/ExportState.h"
#include "logs/LogState.h"
#include "platform/Audio.h"
#include "platform/BackgroundWork.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/ErrorDisplay.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/Mail.h"
#include "platform/PortIO.h"
#include "platform/Printer.h"
#include "platform/RecordFile.h"
#include "platform/SerialPort.h"
#include "platform/Watchdog.h"
#include "receiver/ReceiverState.h"
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
    BackgroundWork& background;
    // The service manager's watchdog, when one watches the station.
    Watchdog* watchdog = nullptr;
};

class Station {
  public:
    explicit Station(Platform platform);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    Platform platform;

    // Each subsystem's state, owned here and lent to its procedures.
    StationSettings Settings;
    ScheduleStore schedule;
    NextEvents next;
    TickState tick;
    StationTimers timers;
    ReceiverLinkState receiver;
    RemoteState remote;
    RecorderState recorder;
    PlayoutState playout;
    AudioDisplay Audio;
    ExportState Export;
    Logs logs{platform.files, platform.errors, platform.clock, Settings};
    MainWindowModel main;

    // Each automatic operation names itself here when it runs ("CueRecording",
    // "PlayScheduled", ...), so tests and traces can see what the station did and when.
    std::function<void(const std::string&)> actionObserver;
    void noteAction(const std::string& name) {
        if (actionObserver) actionObserver(name);
    }

    // Observers of the main-window model; called after each handler that may change it.
    // An observer returns false once what it updates is gone; it is dropped then, so windows
    // opened and closed over months leave nothing behind.
    void onChanged(std::function<bool()> observer) { observers_.push_back(std::move(observer)); }
    std::size_t observerCount() const { return observers_.size(); }
    void notifyChanged();

  private:
    std::vector<std::function<bool()>> observers_;
};

// Shows a message in the error window.
void ShowError(Station& st, const std::string& message);

}  // namespace quillmar
