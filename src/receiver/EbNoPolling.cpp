#include "receiver/EbNoPolling.h"

#include "core/Station.h"

namespace quillmar {

// Placeholder until the receiver link is written: only the once-per-moment guard is kept.
void PollReceiverEbNo(Station& st) {
    st.noteAction("PollReceiverEbNo");
    st.EbNoPolledFlag = 1;
}

}  // namespace quillmar
