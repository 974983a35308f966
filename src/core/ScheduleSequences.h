#pragma once
// The schedule's operations that reach beyond the schedule file: after an edit, a restore or
// a time change the next events are found again, and closing the editor rebuilds the
// playlist. Windows, timers and tests call these.

#include "schedule/ScheduleEditor.h"

namespace quillmar {

class Station;

// Opening the editor: LoadBoxes, LoadSchedules, Apply disabled.
void OpenScheduleEditor(Station& st, ScheduleEditor& ed);
// Checks and writes the schedule being edited, then runs the conflict checks and the
// next-event finders. False, with the reason in the error window, when nothing was written.
bool ApplySchedule(Station& st, ScheduleEditor& ed);
// The confirmed delete: marks the record deleted, reruns the finders and starts the editor
// afresh.
void DeleteSchedule(Station& st, ScheduleEditor& ed, int recordNo);
// Closing the editor: the playlist is rebuilt with only the plays still to come.
void CloseScheduleEditor(Station& st);

// The weekly views, rebuilt from the schedule file.
void ShowWeeklyPlaySchedule(Station& st);
void ShowWeeklyRecordSchedule(Station& st);
void ShowWeeklySwitchSchedule(Station& st);

// Record and switch times one hour earlier (spring) or later (autumn); each writes one line
// to the activity log and reruns the next-event finders.
void AdjustSchedulesForDST(Station& st);
void AdjustSchedulesForStandardTime(Station& st);
// tmrTimeChange: on a change date applies that change, then disables the timer.
void TimeChangeTimer(Station& st);

// The File menu's copies to and from drive a: (see schedule/FloppyBackup.h). Each starts the
// copy and returns true, or returns false while another copy runs; the copy ends on a later
// turn of the loop. A restored schedule reruns the finders; restored settings act at once
// (the record card too).
bool SaveFilesToFloppy(Station& st);
bool LoadScheduleFromFloppy(Station& st);
bool LoadAutoExportFromFloppy(Station& st);
bool LoadSourceCodesFromFloppy(Station& st);
bool LoadSetupFromFloppy(Station& st);

}  // namespace quillmar
