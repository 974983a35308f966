#pragma once
// The remote-control port: a parallel port or a Prairie Digital Model 30 card (an 8255-type
// I/O card), chosen by the RemoteControl setting (0 off, 1 parallel, 2 Prairie Digital).

#include <cstdint>
#include <optional>

#include "logs/LogState.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/ErrorDisplay.h"
#include "platform/PortIO.h"
#include "receiver/ReceiverState.h"

namespace quillmar {

enum class RemoteControlMode { Off, Parallel, Prairie };

// The mode of a stored RemoteControl setting; a value no mode carries is off.
RemoteControlMode RemoteControlModeOf(std::int32_t setting);

// Input bits of RemoteInputBits, active when 1.
inline constexpr std::uint8_t kPlayInput = 0x40;
inline constexpr std::uint8_t kRecordInput = 0x20;
inline constexpr std::uint8_t kAlarmInput = 0x10;
inline constexpr std::uint8_t kTimeSetInput = 0x08;

// Port addresses.
inline constexpr std::uint16_t kParallelData = 0x378;
inline constexpr std::uint16_t kParallelStatus = 0x379;
inline constexpr std::uint16_t kPrairiePortA = 0x284;
inline constexpr std::uint16_t kPrairiePortB = 0x285;
inline constexpr std::uint16_t kPrairiePortC = 0x286;
inline constexpr std::uint16_t kPrairieControl = 0x287;
// Ports A and C outputs, port B input.
inline constexpr std::uint8_t kPrairieControlWord = 0x8A;

// What the remote-control procedures use: their state, the I/O ports, and where a failing port
// is reported (the error window and the error log, stamped with the clock's time).
struct RemotePort {
    RemoteState& state;
    PortIO& ports;
    const Clock& clock;
    ErrorDisplay& errors;
    Logs& logs;
    RemoteControlMode mode;
};

// The inputs of one read.
struct RemoteInputs {
    bool play = false;
    bool record = false;
    bool alarm = false;
    bool timeSet = false;
};

// RemoteInputBits of a byte read in a mode: the parallel status register counts as
// 127 - value (its lines are active low), port B of the card as read.
std::uint8_t RemoteInputBitsOf(RemoteControlMode mode, std::uint8_t value);

// Reads the inputs into the state; nothing when remote control is off. A failed read keeps the
// inputs last read.
std::optional<RemoteInputs> ReadRemoteInputs(const RemotePort& port);
// The Time Set input as read at `now`: true once per pulse at minute 54 of the hour, when the
// clock is due to be set to hh:54:30; a released input readies the next pulse.
bool TakeTimeSetPulse(RemoteState& state, bool input, const DateTime& now);
// Writes RemoteOutputBits (bit 0 is the EOM contact) to the port of the current mode.
void WriteRemoteOutputs(const RemotePort& port);
// Sets the card's ports up; the settings form calls it when Prairie Digital is chosen.
void WritePrairieControlWord(const RemotePort& port);
// Start-up, once the settings are loaded: the card's ports are set up (a card comes out of
// power-up with every port an input) and every output is reset, so an EOM contact left
// closed by a previous run opens.
void InitializeRemotePort(const RemotePort& port);

}  // namespace quillmar
