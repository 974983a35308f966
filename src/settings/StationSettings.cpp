#include "settings/StationSettings.h"

#include "platform/FileSystem.h"
#include "platform/LittleEndian.h"
#include "platform/RecordFile.h"

namespace quillmar {

std::int16_t* StationSettings::field(int record) {
    switch (record) {
        case 1:
            return &ProgramPlayCard;
        case 2:
            return &AuditionPlayCard;
        case 3:
            return &RecordThreshold;
        case 4:
            return &PlayVisible;
        case 5:
            return &StopVisible;
        case 6:
            return &DaysToSaveWave;
        case 7:
            return &ActivityLogPeriod;
        case 8:
            return &EbNoLogPeriod;
        case 9:
            return &EbNoLogRate;
        case 10:
            return &ActivityLog;
        case 11:
            return &RemoteControl;
        case 12:
            return &WaveDrive;
        case 13:
            return &SerialPort;
        case 14:
            return &BaudSelect;
        case 17:
            return &ResetExpansionRelays;
        case 18:
            return &RecordCard;
        case 19:
            return &RecordVisible;
        case 20:
            return &RecStopVisible;
        case 21:
            return &AdjustForTimeChange;
        default:
            return nullptr;
    }
}

namespace {

bool WriteRecords(const StationSettings& settings, FileSystem& files,
                  std::initializer_list<int> records, std::string* error) {
    std::string reason;
    RecordFile file = files.openRecords(kSettingsPath, 2, &reason);
    if (!file.isOpen()) {
        if (error) *error = std::string(kSettingsPath) + ": " + reason;
        return false;
    }
    bool ok = true;
    for (int n : records) {
        // Keep going after a failed record: the rest may still be saved.
        if (!file.write(n, Int16Bytes(*settings.field(n)), &reason)) {
            if (ok && error) *error = std::string(kSettingsPath) + ": " + reason;
            ok = false;
        }
    }
    return ok;
}

}  // namespace

void DeriveSettingValues(StationSettings& settings) {
    settings.WaveDriveLetter = std::string(1, static_cast<char>(64 + settings.WaveDrive));
    settings.BaudRates = {"", "9600", "19200"};
}

bool ReadStationSettings(StationSettings& settings, FileSystem& files) {
    std::string reason;
    RecordFile file = files.openRecords(kSettingsPath, 2, &reason);
    std::string rec;
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 17, 18, 19, 20, 21}) {
        file.read(n, &rec);  // beyond the end: zero bytes
        *settings.field(n) = Int16At(rec);
    }
    DeriveSettingValues(settings);
    return file.recordCount() >= 18;
}

bool SaveStationSettings(const StationSettings& settings, FileSystem& files, std::string* error) {
    return WriteRecords(settings, files,
                        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 18, 19, 20, 21}, error);
}

std::string StartHereLine(bool soundCardsChosen) {
    return soundCardsChosen
               ? std::string()
               : "To begin, choose the sound cards, the wave drive and the days to keep wave "
                 "files in SetUp, My Computer, then press Apply.";
}

bool SaveSerialSettings(const StationSettings& settings, FileSystem& files, std::string* error) {
    return WriteRecords(settings, files, {13, 14}, error);
}

}  // namespace quillmar
