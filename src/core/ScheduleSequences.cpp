#include "core/ScheduleSequences.h"

#include "core/NextEvent.h"
#include "core/Playlist.h"
#include "core/Startup.h"
#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "schedule/FloppyBackup.h"
#include "schedule/TimeChange.h"
#include "schedule/WeeklyViews.h"

namespace quillmar {

namespace {

void RerunFinders(Station& st) {
    FindNextRecord(st);
    FindNextSwitch(st);
    FindNextPlay(st);
}

FloppyCopy FloppyOf(Station& st) {
    return FloppyCopy{st.platform.files,      st.platform.errors, st.schedule,
                      st.Export.ExportFile,   kExportFilePath,    st.Settings,
                      st.platform.background, st.platform.loop,   [&st] { st.notifyChanged(); }};
}

void ShiftAll(Station& st, const char* name, int step, const char* logLine) {
    st.noteAction(name);
    ShiftScheduleTimes(st.schedule, st.platform.errors, step);
    WriteActivityLog(st.logs, logLine);
    // The next recording and switch must follow the times now in the file.
    RerunFinders(st);
}

}  // namespace

void OpenScheduleEditor(Station& st, ScheduleEditor& ed) {
    OpenScheduleEditor(st.schedule, st.platform.files, st.platform.errors, ed);
}

bool ApplySchedule(Station& st, ScheduleEditor& ed) {
    const std::optional<int> recordNo = SaveEditedSchedule(st.schedule, st.platform.errors, ed);
    if (!recordNo) return false;
    st.noteAction("ApplySchedule");
    RerunFinders(st);
    ReloadSchedules(st.schedule, ed);
    st.notifyChanged();
    return true;
}

void DeleteSchedule(Station& st, ScheduleEditor& ed, int recordNo) {
    if (!MarkScheduleDeleted(st.schedule, st.platform.errors, recordNo)) return;
    st.noteAction("DeleteSchedule");
    RerunFinders(st);
    CloseScheduleEditor(st);
    OpenScheduleEditor(st, ed);
}

void CloseScheduleEditor(Station& st) {
    st.main.PlayList.clear();
    st.main.PlayListIndex = -1;
    st.tick.PlaylistUpcomingOnly = true;
    LoadManualPlaylist(st);
    st.notifyChanged();
}

void ShowWeeklyPlaySchedule(Station& st) {
    ShowWeeklyPlaySchedule(st.schedule);
    st.noteAction("ShowWeeklySchedule");
}
void ShowWeeklyRecordSchedule(Station& st) {
    ShowWeeklyRecordSchedule(st.schedule);
    st.noteAction("ShowWeeklySchedule");
}
void ShowWeeklySwitchSchedule(Station& st) {
    ShowWeeklySwitchSchedule(st.schedule);
    st.noteAction("ShowWeeklySchedule");
}

void AdjustSchedulesForDST(Station& st) {
    ShiftAll(st, "AdjustSchedulesForDST", -1, "Updated Schedules for DST");
}

void AdjustSchedulesForStandardTime(Station& st) {
    ShiftAll(st, "AdjustSchedulesForStandardTime", +1, "Updated Schedules for Standard Time");
}

void TimeChangeTimer(Station& st) {
    const Date today = st.platform.clock.now().date;
    if (today == st.schedule.DstStartDate) AdjustSchedulesForDST(st);
    if (today == st.schedule.DstEndDate) AdjustSchedulesForStandardTime(st);
    st.timers.tmrTimeChange->setEnabled(false);
}

bool SaveFilesToFloppy(Station& st) {
    if (st.schedule.FloppyCopyRunning) return false;
    st.noteAction("SaveFilesToFloppy");
    return SaveFilesToFloppy(FloppyOf(st), nullptr);
}

bool LoadScheduleFromFloppy(Station& st) {
    if (st.schedule.FloppyCopyRunning) return false;
    st.noteAction("LoadScheduleFromFloppy");
    return LoadScheduleFromFloppy(FloppyOf(st), [&st](const FloppyOutcome& outcome) {
        if (outcome.ok) RerunFinders(st);
        st.notifyChanged();
    });
}

bool LoadAutoExportFromFloppy(Station& st) {
    if (st.schedule.FloppyCopyRunning) return false;
    st.noteAction("LoadAutoExportFromFloppy");
    return LoadAutoExportFromFloppy(FloppyOf(st), nullptr);
}

bool LoadSourceCodesFromFloppy(Station& st) {
    if (st.schedule.FloppyCopyRunning) return false;
    st.noteAction("LoadSourceCodesFromFloppy");
    return LoadSourceCodesFromFloppy(FloppyOf(st), nullptr);
}

bool LoadSetupFromFloppy(Station& st) {
    if (st.schedule.FloppyCopyRunning) return false;
    st.noteAction("LoadSetupFromFloppy");
    return LoadSetupFromFloppy(FloppyOf(st), [&st](const FloppyOutcome& outcome) {
        // The cards act at once: the play card is read at each play, the record card here.
        if (outcome.settingsRead) st.recorder.RecordDevice = st.Settings.RecordCard;
    });
}

}  // namespace quillmar
