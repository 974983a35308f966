#pragma once

namespace quillmar {

class Station;

// Reads the receiver's Eb/No, logs it and sets EbNoPolledFlag.
void PollReceiverEbNo(Station& st);

}  // namespace quillmar
