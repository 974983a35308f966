#pragma once
// The receiver's loss-of-signal alarm on the remote-control port's Alarm input.

namespace quillmar {

class Station;

// Runs on every read of the inputs with the Alarm input's state. A loss lasting more than a
// minute is mailed to the address book once; its end is mailed with the Eb/No polled then.
void HandleReceiverAlarm(Station& st, bool active);

}  // namespace quillmar
