#pragma once
// The command texts sent to the receiver (each is followed by CR on the line), and the
// expansion relays that belong to each audio port.

#include <string>
#include <vector>

#include "logs/LogState.h"
#include "receiver/ReceiverLink.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

// The receiver's audio routes, in the order Set Receiver lists them.
enum class AudioRoute { Left, Right, Stereo, Reverse };

// "SETAUDIO p r sss aa " of the record cue: fields at their stored widths, a blank at the end.
std::string RecordCueCommand(const ScheduleFields& fields);
// The same without the blank at the end, for switch-only schedules.
std::string SwitchOnlyCommand(const ScheduleFields& fields);
// Route code: "1" left, "2" right, "S" stereo, "R" reverse.
std::string RouteCode(AudioRoute route);
// The same for a route list position; empty for a position no route has.
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
void ResetExpansionRelays(const ReceiverLink& link, Logs& logs, const std::string& port, bool log);

}  // namespace quillmar
