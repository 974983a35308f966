#include "audio/Playout.h"

#include <algorithm>
#include <cmath>

#include "audio/SoundFiles.h"
#include "core/ClockTick.h"
#include "core/Station.h"
#include "receiver/RemoteControl.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

namespace {

// Nothing starts while a playout runs, nor over an audition on the same sound card.
bool PlayoutAllowed(Station& st) {
    if (st.playout.PlayState != 0) return false;
    if (st.Settings.ProgramPlayCard == st.Settings.AuditionPlayCard && st.playout.AuditionPlaying) {
        ShowError(st, kAlreadyPlaying);
        return false;
    }
    return true;
}

int Today(const Station& st) {
    return st.platform.clock.now().date.weekday();
}

void HidePlaylist(Station& st, const char* notice) {
    st.main.Label1Visible = false;
    st.main.lblPlayDay = notice;
    st.main.cmdPlayVisible = false;
    st.main.cmdStopVisible = false;
}

void HidePlayMeters(Station& st) {
    st.Audio.PlayMetersVisible = false;
    st.main.lblPlayTime = "     ";
}

// Opens the wave file on the programme card with its marks and starts it. On failure the
// player is left closed and the reason reported; nothing is on air.
bool StartPlayout(Station& st, const std::string& waveFile, const std::string& marksFile) {
    AudioChains& c = st.recorder.Chains;
    if (!c.WavePlayer) {
        c.WavePlayer = st.platform.audio.createPlayer();
        c.WavePlayer->onFinished = [&st] { OnPlayerFinished(st); };
    }
    st.Audio.PlayMetersVisible = true;
    std::string error;
    const std::string host = st.platform.files.hostPath(waveFile);
    if (!c.WavePlayer->open(host, st.Settings.ProgramPlayCard, &error)) {
        HidePlayMeters(st);
        ReportAudioError(st, "Cannot play " + waveFile + ": " + error);
        return false;
    }
    const SoundMarks marks = ReadSoundMarks(st, marksFile);
    st.playout.EomMark = marks.EomMark;
    st.playout.TrimMark = marks.TrimMark;
    if (st.playout.TrimMark != 0)
        c.WavePlayer->setEndMs(static_cast<std::int64_t>(std::nearbyint(st.playout.TrimMark * 1000.0)));
    else
        c.WavePlayer->setEndMs(0);
    const double eomAfter = st.playout.EomMark != 0
                                ? static_cast<double>(st.playout.EomMark)
                                : static_cast<double>(c.WavePlayer->lengthMs()) / 1000.0;
    st.playout.EomTime = eomAfter + st.platform.clock.now().secondsOfDay();
    if (!c.WavePlayer->play(&error)) {
        c.WavePlayer->stop();
        HidePlayMeters(st);
        ReportAudioError(st, "Cannot play " + waveFile + ": " + error);
        return false;
    }
    if (st.Settings.PlayVisible == 1) st.Audio.cmdPlayColour = colour::LightGreen;
    return true;
}

}  // namespace

void PlayFromPlaylist(Station& st) {
    st.noteAction("PlayFromPlaylist");
    if (!PlayoutAllowed(st)) return;
    st.playout.EomSent = false;
    auto& list = st.main.PlayList;
    if (list.empty()) return;

    const PlaylistEntry entry = list.front();
    const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, entry.recordNo);
    const std::string wave = SoundFileName(st, Today(st), entry.recordNo);
    const std::string marks = MarksFileName(wave);
    auto& files = st.platform.files;
    const std::int64_t length = files.fileLength(wave);
    if (length < 100) {
        // Nothing worth playing was recorded: the entry goes without a word.
        if (length >= 0) files.deleteMatching(wave);
        list.erase(list.begin());
        if (list.empty()) {
            HidePlaylist(st, "  No Schedules to Play");
            st.Audio.cmdPlayColour = 0;
            st.main.PlayListIndex = -1;
        } else {
            st.main.PlayListIndex = 0;
        }
        return;
    }
    if (!StartPlayout(st, wave, marks)) return;
    st.playout.PlayState = 1;
    st.playout.PlayingEntryText = entry.text;
    st.playout.PlayingEntryRecordNo = entry.recordNo;
    LogAudioActivity(st, "Play " + (f ? f->ProgramName : std::string()));
    st.main.PlayListIndex = 0;
}

void PlayScheduled(Station& st) {
    st.noteAction("PlayScheduled");
    if (!PlayoutAllowed(st)) return;
    // A schedule deleted since the finder ran leaves its old recording off the air.
    const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, st.next.NextPlayRecordNo);
    if (!f || f->InUse != ScheduleSlot::InUse) return;
    st.playout.EomSent = false;
    // A play caught up after midnight is still the recording of the day it was due.
    const int day = st.next.NextPlayDate.isValid() ? st.next.NextPlayDate.weekday() : Today(st);
    const std::string wave = SoundFileName(st, day, st.next.NextPlayRecordNo);
    const std::string marks = MarksFileName(wave);
    if (!st.platform.files.fileExists(wave)) {
        ShowError(st, wave + " does not exist");
        return;
    }
    if (!StartPlayout(st, wave, marks)) return;
    st.playout.PlayState = 2;
    LogAudioActivity(st, "Play " + f->ProgramName);
}

void StopPlayout(Station& st) {
    st.noteAction("StopPlayout");
    AudioChains& c = st.recorder.Chains;
    if (!c.WavePlayer) return;
    c.WavePlayer->stop();
    // The player says nothing when stopped by hand; the end of playout runs as if it had.
    if (st.playout.PlayState != 0) OnPlayerFinished(st);
}

void OnPlayerFinished(Station& st) {
    st.noteAction("PlayerFinished");
    if (!st.playout.EomSent) {
        st.remote.RemoteOutputBits |= 1;
        WriteRemoteOutputs(st);
        st.timers.TimerEOM->setEnabled(true);
        st.playout.EomSent = true;
    }
    // Green means "on air"; once the player stops the button looks as it did before.
    st.Audio.cmdPlayColour = 0;
    HidePlayMeters(st);
    if (st.playout.PlayState == 1) {
        // The entry that played leaves the list, wherever a refresh or an edit has put it; an
        // entry that never played is never taken off in its place.
        auto& list = st.main.PlayList;
        const PlaylistEntry played{st.playout.PlayingEntryText, st.playout.PlayingEntryRecordNo};
        const auto at = std::find(list.begin(), list.end(), played);
        if (at != list.end()) list.erase(at);
        st.main.PlayListIndex = list.empty() ? -1 : 0;
        if (list.empty()) HidePlaylist(st, "No Schedules to Play");
    }
    st.playout.PlayState = 0;
    st.playout.PlayingEntryText.clear();
    st.playout.PlayingEntryRecordNo = 0;
}

PlayLevels ProgrammeLevels(const Station& st) {
    const auto& player = st.recorder.Chains.WavePlayer;
    if (!player || !player->isPlaying()) return {};
    return {player->peakLeft(), player->peakRight()};
}

bool ProgrammePlaying(const Station& st) {
    return st.playout.PlayState != 0;
}

}  // namespace quillmar
