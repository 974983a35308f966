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
    return FloppyCopy{st.platform.files,
                      st.platform.errors,
                      st.schedule,
                      st.Export.ExportFile,
                      kExportFilePath,
                      st.Settings,
                      [&st] { st.notifyChanged(); }};
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
    st.noteAction("SaveFilesToFloppy");
    FloppyCopy copy = FloppyOf(st);
    return SaveFilesToFloppy(copy);
}

bool LoadScheduleFromFloppy(Station& st) {
    st.noteAction("LoadScheduleFromFloppy");
    FloppyCopy copy = FloppyOf(st);
    const bool ok = LoadScheduleFromFloppy(copy);
    if (ok) RerunFinders(st);
    st.notifyChanged();
    return ok;
}

bool LoadAutoExportFromFloppy(Station& st) {
    st.noteAction("LoadAutoExportFromFloppy");
    FloppyCopy copy = FloppyOf(st);
    return LoadAutoExportFromFloppy(copy);
}

bool LoadSourceCodesFromFloppy(Station& st) {
    st.noteAction("LoadSourceCodesFromFloppy");
    FloppyCopy copy = FloppyOf(st);
    return LoadSourceCodesFromFloppy(copy);
}

bool LoadSetupFromFloppy(Station& st) {
    st.noteAction("LoadSetupFromFloppy");
    FloppyCopy copy = FloppyOf(st);
    bool settingsRead = false;
    const bool ok = LoadSetupFromFloppy(copy, &settingsRead);
    // The cards act at once: the play card is read at each play, the record card here.
    if (settingsRead) st.recorder.RecordDevice = st.Settings.RecordCard;
    return ok;
}

}  // namespace quillmar
