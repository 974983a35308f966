#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quillmar {

class FileSystem;

// MyComp.ini: signed 16-bit little-endian records numbered from 1. Records 15 and 16 are
// reserved and never read or written.
struct StationSettings {
    std::int16_t ProgramPlayCard = 0;       // 1
    std::int16_t AuditionPlayCard = 0;      // 2
    std::int16_t RecordThreshold = 0;       // 3
    std::int16_t PlayVisible = 0;           // 4
    std::int16_t StopVisible = 0;           // 5
    std::int16_t DaysToSaveWave = 0;        // 6
    std::int16_t ActivityLogPeriod = 0;     // 7
    std::int16_t EbNoLogPeriod = 0;         // 8
    std::int16_t EbNoLogRate = 0;           // 9
    std::int16_t ActivityLog = 0;           // 10
    std::int16_t RemoteControl = 0;         // 11
    std::int16_t WaveDrive = 0;             // 12
    std::int16_t SerialPort = 0;            // 13
    std::int16_t BaudSelect = 0;            // 14
    std::int16_t ResetExpansionRelays = 0;  // 17
    std::int16_t RecordCard = 0;            // 18
    std::int16_t RecordVisible = 0;         // 19
    std::int16_t RecStopVisible = 0;        // 20
    std::int16_t AdjustForTimeChange = 0;   // 21

    // Derived from the records above when they are read or applied.
    std::string WaveDriveLetter;
    std::array<std::string, 3> BaudRates;  // entries 1 and 2

    friend bool operator==(const StationSettings&, const StationSettings&) = default;

    // The field of a record number; nullptr for 15, 16 and numbers outside 1..21.
    std::int16_t* field(int record);
    const std::int16_t* field(int record) const {
        return const_cast<StationSettings*>(this)->field(record);
    }
};

// A yes/no record holds 1 for yes; anything else reads as no.
inline constexpr std::int16_t kFlagOn = 1;
inline constexpr std::int16_t kFlagOff = 0;
inline bool IsOn(std::int16_t flag) {
    return flag == kFlagOn;
}
inline std::int16_t Flag(bool on) {
    return on ? kFlagOn : kFlagOff;
}

// Record 11: where the remote-control inputs and outputs are.
enum class RemoteMode : std::int16_t { Off = 0, Parallel = 1, PrairieDigital = 2 };

inline constexpr const char* kSettingsPath = "c:\\satfile\\MyComp.ini";

// Reads MyComp.ini into the settings, with the derived values. A missing file is created
// empty; missing records read as 0. True when the file holds the sound cards (records 1, 2
// and 18, written by the settings form's Apply).
bool ReadStationSettings(StationSettings& settings, FileSystem& files);
// Writes records 1-12 and 17-21. Every record is attempted; false with the reason when any
// failed.
bool SaveStationSettings(const StationSettings& settings, FileSystem& files,
                         std::string* error = nullptr);
// Writes records 13 and 14 only.
bool SaveSerialSettings(const StationSettings& settings, FileSystem& files,
                        std::string* error = nullptr);
// The main window's first-start line: shown until the sound cards are chosen.
std::string StartHereLine(bool soundCardsChosen);
// WaveDriveLetter and BaudRates from the settings.
void DeriveSettingValues(StationSettings& settings);

}  // namespace quillmar
