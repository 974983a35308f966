#pragma once

namespace quillmar {

class Station;

// After a recording stops: exports it when its export entry selects the recorded weekday
// (ExportRecordNo, ExportWeekday, ExportRecordingFile).
void CheckExport(Station& st);

}  // namespace quillmar
