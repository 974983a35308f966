#include "schedule/FloppyBackup.h"

#include <string>
#include <vector>

#include "platform/ErrorDisplay.h"
#include "platform/FileSystem.h"
#include "platform/LittleEndian.h"
#include "platform/RecordFile.h"
#include "platform/TextLines.h"
#include "schedule/ScheduleRecord.h"
#include "schedule/ScheduleState.h"
#include "schedule/SourceCodes.h"
#include "settings/StationSettings.h"

namespace quillmar {

namespace {

constexpr const char* kFloppyRoot = "a:\\";
constexpr const char* kFloppySchedule = "a:\\SatList.dat";
constexpr const char* kFloppyExport = "a:\\ExportInfo.dat";
constexpr const char* kFloppySettings = "a:\\MyComp.ini";
constexpr const char* kFloppySourceCodes = "a:\\Source.dat";
constexpr int kExportRecordLength = 235;

// A failed step: the error number and description the operator sees.
struct Failure {
    int number = 0;
    std::string description;
};

bool Fail(Failure* failure, int number, std::string description) {
    *failure = Failure{number, std::move(description)};
    return false;
}

bool DriveReady(FloppyCopy& c, Failure* failure) {
    if (c.files.folderExists(kFloppyRoot)) return true;
    return Fail(failure, 71, "Disk not ready: drive a: is not available");
}

bool ReadWhole(FloppyCopy& c, const char* path, std::string* bytes, Failure* failure) {
    if (!c.files.fileExists(path)) return Fail(failure, 53, std::string("File not found: ") + path);
    std::string reason;
    if (!c.files.readFile(path, bytes, &reason))
        return Fail(failure, 57, std::string("Device I/O error: ") + path + ": " + reason);
    return true;
}

bool WriteWhole(FloppyCopy& c, const char* path, const std::string& bytes, Failure* failure) {
    std::string reason;
    if (!c.files.writeFile(path, bytes, &reason))
        return Fail(failure, 75, std::string("Path/File access error: ") + path + ": " + reason);
    return true;
}

// Every whole record of an open file, in order.
std::string ReadRecords(const RecordFile& file) {
    std::string all, record;
    const auto count = file.recordCount();
    for (std::int64_t n = 1; n <= count; ++n) {
        file.read(n, &record);
        all += record;
    }
    return all;
}

// The whole records of a copied file; a torn last record is left behind.
std::string WholeRecords(std::string bytes, int recordLength) {
    bytes.resize(bytes.size() - bytes.size() % static_cast<std::size_t>(recordLength));
    return bytes;
}

// Replaces a data file that stays open for the run and opens it again, so the station
// reads the restored records (and nothing of the old file beyond them).
bool RestoreOpenFile(FloppyCopy& c, RecordFile& file, const char* localPath, const char* source,
                     int recordLength, Failure* failure) {
    std::string bytes;
    if (!ReadWhole(c, source, &bytes, failure)) return false;
    if (!WriteWhole(c, localPath, WholeRecords(std::move(bytes), recordLength), failure))
        return false;
    std::string reason;
    file = c.files.openRecords(localPath, recordLength, &reason);
    if (!file.isOpen())
        return Fail(failure, 75,
                    std::string("Path/File access error: ") + localPath + ": " + reason);
    return true;
}

// Codes one per CR LF line, as Source.dat holds them.
std::string CodeLines(const std::vector<std::string>& codes) {
    std::string text;
    for (const auto& code : codes) text += code + "\r\n";
    return text;
}

// Runs one operation; a failure goes to the error window.
template <typename Operation>
bool Run(FloppyCopy& c, Operation operation) {
    Failure failure;
    if (!DriveReady(c, &failure) || !operation(&failure)) {
        c.errors.showError(std::to_string(failure.number) + " " + failure.description);
        return false;
    }
    return true;
}

// The main window's ProgressBar1 over an operation of `steps` steps, shown at once; a failed
// step leaves it at its last position.
void ShowProgress(FloppyCopy& c, int steps) {
    c.schedule.ProgressBar1 = ProgressBarModel{true, steps, 0};
    c.changed();
}
void StepDone(FloppyCopy& c) {
    ++c.schedule.ProgressBar1.value;
    c.changed();
}
// Runs a one-step restore under the progress bar.
template <typename Operation>
bool RunRestore(FloppyCopy& c, Operation operation) {
    const bool ok = Run(c, [&c, &operation](Failure* failure) {
        ShowProgress(c, 1);
        if (!operation(failure)) return false;
        StepDone(c);
        return true;
    });
    if (ok) c.schedule.ProgressBar1.visible = false;
    c.changed();
    return ok;
}

}  // namespace

bool SaveFilesToFloppy(FloppyCopy& c) {
    const bool ok = Run(c, [&c](Failure* failure) {
        ShowProgress(c, 5);
        if (!WriteWhole(c, kFloppySchedule, ReadRecords(c.schedule.SatListFile), failure))
            return false;
        StepDone(c);
        if (!WriteWhole(c, kFloppyExport, ReadRecords(c.exportFile), failure)) return false;
        StepDone(c);
        std::string settings;
        if (!ReadWhole(c, kSettingsPath, &settings, failure) ||
            !WriteWhole(c, kFloppySettings, WholeRecords(settings, 2), failure))
            return false;
        StepDone(c);
        std::vector<std::string> codes;
        if (!ReadSourceCodes(c.files, &codes))
            return Fail(failure, 53, std::string("File not found: ") + kSourceCodesPath);
        if (!WriteWhole(c, kFloppySourceCodes, CodeLines(codes), failure)) return false;
        StepDone(c);
        return true;
    });
    if (ok) c.schedule.ProgressBar1.visible = false;
    c.changed();
    return ok;
}

bool LoadScheduleFromFloppy(FloppyCopy& c) {
    return RunRestore(c, [&c](Failure* failure) {
        return RestoreOpenFile(c, c.schedule.SatListFile, kScheduleFilePath, kFloppySchedule,
                               kScheduleRecordLength, failure);
    });
}

bool LoadAutoExportFromFloppy(FloppyCopy& c) {
    return RunRestore(c, [&c](Failure* failure) {
        return RestoreOpenFile(c, c.exportFile, c.exportPath, kFloppyExport, kExportRecordLength,
                               failure);
    });
}

bool LoadSourceCodesFromFloppy(FloppyCopy& c) {
    return RunRestore(c, [&c](Failure* failure) {
        std::string text;
        if (!ReadWhole(c, kFloppySourceCodes, &text, failure)) return false;
        std::string reason;
        if (!SaveSourceCodes(c.files, SplitLines(text), &reason))
            return Fail(failure, 75,
                        std::string("Path/File access error: ") + kSourceCodesPath + ": " + reason);
        return true;
    });
}

bool LoadSetupFromFloppy(FloppyCopy& c, bool* settingsRead) {
    *settingsRead = false;
    static constexpr int kRestored[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 17, 18};
    return RunRestore(c, [&c, settingsRead](Failure* failure) {
        std::string bytes;
        if (!ReadWhole(c, kFloppySettings, &bytes, failure)) return false;
        for (int n : kRestored) {
            // A record beyond the end of the copy reads as 0, as from any record file.
            *c.settings.field(n) = Int16At(bytes, static_cast<std::size_t>(n - 1) * 2);
        }
        *settingsRead = true;
        DeriveSettingValues(c.settings);
        std::string reason;
        RecordFile local = c.files.openRecords(kSettingsPath, 2, &reason);
        if (!local.isOpen())
            return Fail(failure, 75,
                        std::string("Path/File access error: ") + kSettingsPath + ": " + reason);
        for (int n : kRestored) {
            if (!local.write(n, Int16Bytes(*c.settings.field(n)), &reason))
                return Fail(failure, 57,
                            std::string("Device I/O error: ") + kSettingsPath + ": " + reason);
        }
        return true;
    });
}

}  // namespace quillmar
