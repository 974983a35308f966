#pragma once

namespace quillmar {

class Station;

// The remote-control port: inputs read and acted on every tick; outputs written.
void ReadRemoteInputs(Station& st);
void WriteRemoteOutputs(Station& st);

}  // namespace quillmar
