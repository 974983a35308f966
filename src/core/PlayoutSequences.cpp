#include "core/PlayoutSequences.h"

#include <algorithm>

#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "core/RecordingSequences.h"
#include "core/RemoteSequences.h"
#include "core/Station.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

namespace {

int Today(const Station& st) {
    return st.platform.clock.now().date.weekday();
}

void HidePlaylist(Station& st, const char* notice) {
    st.main.Label1Visible = false;
    st.main.lblPlayDay = notice;
    st.main.cmdPlayVisible = false;
    st.main.cmdStopVisible = false;
}

bool Start(Station& st, const std::string& wave, const std::string& marks) {
    AudioServices sv = AudioServicesOf(st);
    if (StartPlayout(st.playout, st.recorder.Chains, st.Audio, sv, wave, marks,
                     [&st] { OnPlayerFinished(st); }))
        return true;
    st.main.lblPlayTime = "     ";
    return false;
}

}  // namespace

void PlayFromPlaylist(Station& st) {
    st.noteAction("PlayFromPlaylist");
    if (!PlayoutAllowed(st.playout, st.Settings, st.platform.errors)) return;
    st.playout.EomSent = false;
    auto& list = st.main.PlayList;
    if (list.empty()) return;

    const PlaylistEntry entry = list.front();
    const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, entry.recordNo);
    const std::string wave = SoundFileName(st.Settings, Today(st), entry.recordNo);
    const std::string marks = MarksFileName(wave);
    auto& files = st.platform.files;
    const std::int64_t length = files.fileLength(wave);
    if (length < 100) {
        // Nothing worth playing was recorded: the entry goes without a word.
        if (length >= 0) files.deleteMatching(wave);
        list.erase(list.begin());
        if (list.empty()) {
            HidePlaylist(st, "  No Schedules to Play");
            st.Audio.cmdPlayColour = ButtonColour::AsLaidOut;
            st.main.PlayListIndex = -1;
        } else {
            st.main.PlayListIndex = 0;
        }
        return;
    }
    if (!Start(st, wave, marks)) return;
    st.playout.PlayState = PlayState::Playlist;
    st.playout.PlayingEntryText = entry.text;
    st.playout.PlayingEntryRecordNo = entry.recordNo;
    LogAudioActivity(st.logs, "Play " + (f ? f->ProgramName : std::string()));
    st.main.PlayListIndex = 0;
}

void PlayScheduled(Station& st) {
    st.noteAction("PlayScheduled");
    if (!PlayoutAllowed(st.playout, st.Settings, st.platform.errors)) return;
    // A schedule deleted since the finder ran leaves its old recording off the air.
    if (!st.next.play) return;
    const NextPlay next = *st.next.play;
    const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, next.recordNo);
    if (!f || f->InUse != ScheduleSlot::InUse) return;
    st.playout.EomSent = false;
    // A play caught up after midnight is still the recording of the day it was due.
    const int day = next.date.isValid() ? next.date.weekday() : Today(st);
    const std::string wave = SoundFileName(st.Settings, day, next.recordNo);
    const std::string marks = MarksFileName(wave);
    if (!st.platform.files.fileExists(wave)) {
        ShowError(st, wave + " does not exist");
        return;
    }
    if (!Start(st, wave, marks)) return;
    st.playout.PlayState = PlayState::Timed;
    LogAudioActivity(st.logs, "Play " + f->ProgramName);
}

void StopPlayout(Station& st) {
    st.noteAction("StopPlayout");
    AudioChains& c = st.recorder.Chains;
    if (!c.WavePlayer) return;
    c.WavePlayer->stop();
    // The player says nothing when stopped by hand; the end of playout runs as if it had.
    if (st.playout.PlayState != PlayState::Idle) OnPlayerFinished(st);
}

void OnPlayerFinished(Station& st) {
    st.noteAction("PlayerFinished");
    if (!st.playout.EomSent) {
        st.remote.RemoteOutputBits |= 1;
        WriteRemoteOutputs(st);
        st.timers.TimerEOM->setEnabled(true);
        st.playout.EomSent = true;
    }
    if (st.playout.PlayState == PlayState::Playlist) {
        // The entry that played leaves the list, wherever a refresh or an edit has put it; an
        // entry that never played is never taken off in its place.
        auto& list = st.main.PlayList;
        const PlaylistEntry played{st.playout.PlayingEntryText, st.playout.PlayingEntryRecordNo};
        const auto at = std::find(list.begin(), list.end(), played);
        if (at != list.end()) list.erase(at);
        st.main.PlayListIndex = list.empty() ? -1 : 0;
        if (list.empty()) HidePlaylist(st, "No Schedules to Play");
    }
    EndPlayout(st.playout, st.Audio);
    st.main.lblPlayTime = "     ";
}

std::unique_ptr<Audition> OpenAudition(Station& st) {
    std::vector<Audition::Programme> programmes;
    const int count = ScheduleRecordCount(st.schedule);
    for (int n = 1; n <= count && n <= kMaxSchedules; ++n) {
        const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, n);
        if (!f || f->InUse != ScheduleSlot::InUse) continue;
        programmes.push_back({f->ProgramName, n});
    }
    return std::make_unique<Audition>(AudioServicesOf(st), st.playout, st.platform.loop,
                                      std::move(programmes));
}

}  // namespace quillmar
