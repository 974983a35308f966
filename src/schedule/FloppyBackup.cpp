#include "schedule/FloppyBackup.h"
#include "platform/TextLines.h"

#include <string>
#include <vector>

#include "core/NextEvent.h"
#include "core/Startup.h"
#include "core/Station.h"
#include "platform/LittleEndian.h"
#include "receiver/SourceCodes.h"
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

bool DriveReady(Station& st, Failure* failure) {
    if (st.platform.files.folderExists(kFloppyRoot)) return true;
    return Fail(failure, 71, "Disk not ready: drive a: is not available");
}

bool ReadWhole(Station& st, const char* path, std::string* bytes, Failure* failure) {
    if (!st.platform.files.fileExists(path))
        return Fail(failure, 53, std::string("File not found: ") + path);
    std::string reason;
    if (!st.platform.files.readFile(path, bytes, &reason))
        return Fail(failure, 57, std::string("Device I/O error: ") + path + ": " + reason);
    return true;
}

bool WriteWhole(Station& st, const char* path, const std::string& bytes, Failure* failure) {
    std::string reason;
    if (!st.platform.files.writeFile(path, bytes, &reason))
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
bool RestoreOpenFile(Station& st, RecordFile& file, const char* localPath, const char* source,
                     int recordLength, Failure* failure) {
    std::string bytes;
    if (!ReadWhole(st, source, &bytes, failure)) return false;
    if (!WriteWhole(st, localPath, WholeRecords(std::move(bytes), recordLength), failure))
        return false;
    std::string reason;
    file = st.platform.files.openRecords(localPath, recordLength, &reason);
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
bool Run(Station& st, const char* name, Operation operation) {
    st.noteAction(name);
    Failure failure;
    if (!DriveReady(st, &failure) || !operation(&failure)) {
        ShowError(st, std::to_string(failure.number) + " " + failure.description);
        return false;
    }
    return true;
}

// The main window's ProgressBar1 over an operation of `steps` steps, shown at once; a failed
// step leaves it at its last position.
void ShowProgress(Station& st, int steps) {
    st.schedule.ProgressBar1 = ProgressBarModel{true, steps, 0};
    st.notifyChanged();
}
void StepDone(Station& st) {
    ++st.schedule.ProgressBar1.value;
    st.notifyChanged();
}
// Runs a one-step restore under the progress bar.
template <typename Operation>
bool RunRestore(Station& st, const char* name, Operation operation) {
    const bool ok = Run(st, name, [&st, &operation](Failure* failure) {
        ShowProgress(st, 1);
        if (!operation(failure)) return false;
        StepDone(st);
        return true;
    });
    if (ok) st.schedule.ProgressBar1.visible = false;
    st.notifyChanged();
    return ok;
}

void RerunFinders(Station& st) {
    FindNextRecord(st);
    FindNextSwitch(st);
    FindNextPlay(st);
}

}  // namespace

bool SaveFilesToFloppy(Station& st) {
    const bool ok = Run(st, "SaveFilesToFloppy", [&st](Failure* failure) {
        ShowProgress(st, 5);
        if (!WriteWhole(st, kFloppySchedule, ReadRecords(st.schedule.SatListFile), failure)) return false;
        StepDone(st);
        if (!WriteWhole(st, kFloppyExport, ReadRecords(st.Export.ExportFile), failure)) return false;
        StepDone(st);
        std::string settings;
        if (!ReadWhole(st, kSettingsPath, &settings, failure) ||
            !WriteWhole(st, kFloppySettings, WholeRecords(settings, 2), failure))
            return false;
        StepDone(st);
        std::vector<std::string> codes;
        if (!ReadSourceCodes(st, &codes))
            return Fail(failure, 53, std::string("File not found: ") + kSourceCodesPath);
        if (!WriteWhole(st, kFloppySourceCodes, CodeLines(codes), failure)) return false;
        StepDone(st);
        return true;
    });
    if (ok) st.schedule.ProgressBar1.visible = false;
    st.notifyChanged();
    return ok;
}

bool LoadScheduleFromFloppy(Station& st) {
    const bool ok = RunRestore(st, "LoadScheduleFromFloppy", [&st](Failure* failure) {
        return RestoreOpenFile(st, st.schedule.SatListFile, kScheduleFilePath, kFloppySchedule,
                               kScheduleRecordLength, failure);
    });
    if (ok) RerunFinders(st);
    st.notifyChanged();
    return ok;
}

bool LoadAutoExportFromFloppy(Station& st) {
    return RunRestore(st, "LoadAutoExportFromFloppy", [&st](Failure* failure) {
        return RestoreOpenFile(st, st.Export.ExportFile, kExportFilePath, kFloppyExport,
                               kExportRecordLength, failure);
    });
}

bool LoadSourceCodesFromFloppy(Station& st) {
    return RunRestore(st, "LoadSourceCodesFromFloppy", [&st](Failure* failure) {
        std::string text;
        if (!ReadWhole(st, kFloppySourceCodes, &text, failure)) return false;
        std::string reason;
        if (!SaveSourceCodes(st, SplitLines(text), &reason))
            return Fail(failure, 75,
                        std::string("Path/File access error: ") + kSourceCodesPath + ": " + reason);
        return true;
    });
}

bool LoadSetupFromFloppy(Station& st) {
    static constexpr int kRestored[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 17, 18};
    return RunRestore(st, "LoadSetupFromFloppy", [&st](Failure* failure) {
        std::string bytes;
        if (!ReadWhole(st, kFloppySettings, &bytes, failure)) return false;
        for (int n : kRestored) {
            // A record beyond the end of the copy reads as 0, as from any record file.
            *st.Settings.field(n) = Int16At(bytes, static_cast<std::size_t>(n - 1) * 2);
        }
        // The cards act at once: the play card is read at each play, the record card here.
        st.recorder.RecordDevice = st.Settings.RecordCard;
        DeriveSettingValues(st);
        std::string reason;
        RecordFile local = st.platform.files.openRecords(kSettingsPath, 2, &reason);
        if (!local.isOpen())
            return Fail(failure, 75,
                        std::string("Path/File access error: ") + kSettingsPath + ": " + reason);
        for (int n : kRestored) {
            if (!local.write(n, Int16Bytes(*st.Settings.field(n)), &reason))
                return Fail(failure, 57,
                            std::string("Device I/O error: ") + kSettingsPath + ": " + reason);
        }
        return true;
    });
}

}  // namespace quillmar
