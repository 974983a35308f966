#pragma once
// Where the remote-control inputs start the station's work: Play starts the playlist, Record
// holds a relay recording, Time Set sets the clock, and the receiver's alarm is mailed.

#include "receiver/RemoteControl.h"

namespace quillmar {

class Station;

// The station's I/O ports and remote-control mode as the remote-control port uses them.
RemotePort RemotePortOf(Station& st);

// Runs on every tick: reads the inputs and acts on Play, Record, Alarm and Time Set. Does
// nothing when remote control is off.
void ReadRemoteInputs(Station& st);
// The alarm input's reading: the main window's "Alarm", and the loss and end mails.
void HandleReceiverAlarm(Station& st, bool active);
// Writes RemoteOutputBits (bit 0 is the EOM contact) to the port of the current mode.
void WriteRemoteOutputs(Station& st);
// Sets the card's ports up (the settings form, when Prairie Digital is chosen).
void WritePrairieControlWord(Station& st);
// Start-up: the card set up and every output reset.
void InitializeRemotePort(Station& st);

}  // namespace quillmar
