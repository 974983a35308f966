#include "core/NightlyPurge.h"

#include "core/Station.h"
#include "logs/Purge.h"

namespace quillmar {

void PurgeOldFiles(Station& st) {
    st.noteAction("PurgeOldFiles");
    PurgeOldFiles(st.logs);
    st.tick.PurgeDone = true;
}

}  // namespace quillmar
