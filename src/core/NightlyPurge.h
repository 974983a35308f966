#pragma once
// The clock tick's nightly purge: the logs' purge, and the tick's once-only flag raised.

namespace quillmar {

class Station;

// Deletes what the settings no longer keep (PurgeOldFiles of logs/Purge.h) and sets PurgeDone.
void PurgeOldFiles(Station& st);

}  // namespace quillmar
