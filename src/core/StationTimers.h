#pragma once

namespace quillmar {

class Station;

// Handlers of the main window's timers. One-shot timers are already disabled when theirs run.
void tmrClock_Timer(Station& st);
void TimerCue_Timer(Station& st);
void TimerGetNextSwitch_Timer(Station& st);
void TimerEOM_Timer(Station& st);
void tmrExport_Timer(Station& st);
void tmrTimeChange_Timer(Station& st);

}  // namespace quillmar
