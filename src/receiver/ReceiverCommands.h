#pragma once
// The command texts sent to the receiver (each is followed by CR on the line), and the
// expansion relays that belong to each audio port.

#include <string>
#include <vector>

#include "schedule/ScheduleRecord.h"

namespace quillmar {

class Station;

// "SETAUDIO p r sss aa " of the record cue: fields at their stored widths, a blank at the end.
std::string RecordCueCommand(const ScheduleFields& fields);
// The same without the blank at the end, for switch-only schedules.
std::string SwitchOnlyCommand(const ScheduleFields& fields);
// Route code of a route list position: "1" left, "2" right, "S" stereo, "R" reverse.
std::string RouteCode(int routePosition);
// Set Receiver's "SETAUDIO": port position + 1, route, source code as listed, then the
// attenuation entry whose leading blank separates it from the source.
std::string SetReceiverCommand(int portPosition, int routePosition, const std::string& source,
                               const std::string& attenuationEntry);
// The expansion relays of port "1".."4", in the order they are reset; none for other text.
std::vector<int> ExpansionRelaysOfPort(const std::string& port);
// The relay panel's command for button i (0..27) in mode "R R" or "R ER"; empty when the
// button has no command in that mode.
std::string RelayButtonCommand(const std::string& mode, int button);

// De-energises the expansion relays of a port, one "ER D n" each; with log, each send is
// followed by the activity-log line "Turn off Relay n".
void ResetExpansionRelays(Station& st, const std::string& port, bool log);

}  // namespace quillmar
