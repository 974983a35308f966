#pragma once
// The remote-control port: a parallel port or a Prairie Digital Model 30 card (an 8255-type
// I/O card), chosen by the RemoteControl setting (0 off, 1 parallel, 2 Prairie Digital).

#include <cstdint>

namespace quillmar {

class Station;

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

// RemoteInputBits of a byte read in a mode: the parallel status register counts as
// 127 - value (its lines are active low), port B of the card as read.
std::uint8_t RemoteInputBitsOf(int mode, std::uint8_t value);

// Runs on every tick: reads the inputs and acts on Play, Record, Alarm and Time Set. Does
// nothing when remote control is off.
void ReadRemoteInputs(Station& st);
// Writes RemoteOutputBits (bit 0 is the EOM contact) to the port of the current mode.
void WriteRemoteOutputs(Station& st);
// Sets the card's ports up; the settings form calls it when Prairie Digital is chosen.
void WritePrairieControlWord(Station& st);
// Start-up, once the settings are loaded: the card's ports are set up (a card comes out of
// power-up with every port an input) and every output is reset, so an EOM contact left
// closed by a previous run opens.
void InitializeRemotePort(Station& st);

}  // namespace quillmar
