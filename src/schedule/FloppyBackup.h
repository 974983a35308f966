#pragma once

namespace quillmar {

class Station;

// The File menu's copies between the data folder and drive a:. Each shows
// "<error number> <description>" in the error window on failure and returns false; a missing
// drive a: fails before anything is touched. The schedule and export table are copied as
// whole records and the target ends up exactly the source's length.
bool SaveFilesToFloppy(Station& st);
bool LoadScheduleFromFloppy(Station& st);
bool LoadAutoExportFromFloppy(Station& st);
bool LoadSourceCodesFromFloppy(Station& st);
bool LoadSetupFromFloppy(Station& st);

}  // namespace quillmar
