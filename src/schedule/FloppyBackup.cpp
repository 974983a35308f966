#include "schedule/FloppyBackup.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/BackgroundWork.h"
#include "platform/ErrorDisplay.h"
#include "platform/EventLoop.h"
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

bool DriveReady(const FileSystem& files, Failure* failure) {
    if (files.folderExists(kFloppyRoot)) return true;
    return Fail(failure, 71, "Disk not ready: drive a: is not available");
}

bool ReadWhole(const FileSystem& files, const char* path, std::string* bytes, Failure* failure) {
    if (!files.fileExists(path)) return Fail(failure, 53, std::string("File not found: ") + path);
    std::string reason;
    if (!files.readFile(path, bytes, &reason))
        return Fail(failure, 57, std::string("Device I/O error: ") + path + ": " + reason);
    return true;
}

bool WriteWhole(FileSystem& files, const char* path, const std::string& bytes, Failure* failure) {
    std::string reason;
    if (!files.writeFile(path, bytes, &reason))
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

// Codes one per CR LF line, as Source.dat holds them.
std::string CodeLines(const std::vector<std::string>& codes) {
    std::string text;
    for (const auto& code : codes) text += code + "\r\n";
    return text;
}

// What the work on drive a: hands back to the loop: how far it got and, for a restore, the
// bytes read from the diskette.
struct DiskResult {
    bool ok = false;
    Failure failure;
    std::string bytes;
};

// The main window's ProgressBar1, set from the work off the loop through a post.
using Progress = std::function<void(ProgressBarModel)>;

Progress ProgressOf(const FloppyCopy& c) {
    return [&loop = c.loop, &schedule = c.schedule, changed = c.changed](ProgressBarModel bar) {
        loop.post([&schedule, changed, bar] {
            schedule.ProgressBar1 = bar;
            changed();
        });
    };
}

void StepDone(const FloppyCopy& c) {
    ++c.schedule.ProgressBar1.value;
    c.changed();
}

// Runs `work` (drive a: only) off the loop, then `finish` (the local files, on the loop) with
// its bytes. A failure goes to the error window; a success hides the bar; a failed step
// leaves the bar at its last position.
template <typename Work, typename Finish>
bool Start(const FloppyCopy& c, Work work, Finish finish, FloppyDone done) {
    if (c.schedule.FloppyCopyRunning) return false;
    c.schedule.FloppyCopyRunning = true;
    c.changed();
    RunInBackground(
        c.background, std::move(work),
        [c, finish = std::move(finish), done = std::move(done)](DiskResult r) mutable {
            FloppyOutcome outcome;
            outcome.ok = r.ok && finish(std::move(r.bytes), &r.failure, &outcome);
            c.schedule.FloppyCopyRunning = false;
            if (outcome.ok)
                c.schedule.ProgressBar1.visible = false;
            else
                c.errors.showError(std::to_string(r.failure.number) + " " + r.failure.description);
            c.changed();
            if (done) done(outcome);
        });
    return true;
}

// A one-step restore: the diskette's file is read off the loop, then put in place on it.
template <typename Finish>
bool StartRestore(const FloppyCopy& c, const char* source, Finish finish, FloppyDone done) {
    auto work = [&files = c.files, source, progress = ProgressOf(c)] {
        DiskResult r;
        if (!DriveReady(files, &r.failure)) return r;
        progress(ProgressBarModel{true, 1, 0});
        r.ok = ReadWhole(files, source, &r.bytes, &r.failure);
        return r;
    };
    return Start(
        c, std::move(work),
        [c, finish = std::move(finish)](std::string bytes, Failure* failure,
                                        FloppyOutcome* outcome) mutable {
            if (!finish(std::move(bytes), failure, outcome)) return false;
            StepDone(c);
            return true;
        },
        std::move(done));
}

// Replaces a data file that stays open for the run and opens it again, so the station
// reads the restored records (and nothing of the old file beyond them).
bool RestoreOpenFile(const FloppyCopy& c, RecordFile& file, const char* localPath,
                     std::string bytes, int recordLength, Failure* failure) {
    if (!WriteWhole(c.files, localPath, WholeRecords(std::move(bytes), recordLength), failure))
        return false;
    std::string reason;
    file = c.files.openRecords(localPath, recordLength, &reason);
    if (!file.isOpen())
        return Fail(failure, 75,
                    std::string("Path/File access error: ") + localPath + ": " + reason);
    return true;
}

// One file of the backup: the diskette's name and what goes in it, or why it cannot be read.
struct BackupFile {
    const char* target;
    std::string bytes;
    std::optional<Failure> unreadable;
};

}  // namespace

bool SaveFilesToFloppy(const FloppyCopy& c, FloppyDone done) {
    if (c.schedule.FloppyCopyRunning) return false;
    // The local files as they are now, read here so the work off the loop touches drive a:
    // only; a file that cannot be read fails at its own step, after those before it.
    std::array<BackupFile, 4> files{
        BackupFile{kFloppySchedule, ReadRecords(c.schedule.SatListFile), std::nullopt},
        BackupFile{kFloppyExport, ReadRecords(c.exportFile), std::nullopt},
        BackupFile{kFloppySettings, {}, std::nullopt},
        BackupFile{kFloppySourceCodes, {}, std::nullopt}};
    Failure failure;
    if (ReadWhole(c.files, kSettingsPath, &files[2].bytes, &failure))
        files[2].bytes = WholeRecords(std::move(files[2].bytes), 2);
    else
        files[2].unreadable = failure;
    std::vector<std::string> codes;
    if (ReadSourceCodes(c.files, &codes))
        files[3].bytes = CodeLines(codes);
    else
        files[3].unreadable = Failure{53, std::string("File not found: ") + kSourceCodesPath};

    auto work = [&disk = c.files, files = std::move(files), progress = ProgressOf(c)] {
        DiskResult r;
        if (!DriveReady(disk, &r.failure)) return r;
        ProgressBarModel bar{true, 5, 0};
        progress(bar);
        for (const BackupFile& file : files) {
            if (file.unreadable) {
                r.failure = *file.unreadable;
                return r;
            }
            if (!WriteWhole(disk, file.target, file.bytes, &r.failure)) return r;
            ++bar.value;
            progress(bar);
        }
        r.ok = true;
        return r;
    };
    return Start(
        c, std::move(work), [](std::string, Failure*, FloppyOutcome*) { return true; },
        std::move(done));
}

bool LoadScheduleFromFloppy(const FloppyCopy& c, FloppyDone done) {
    return StartRestore(
        c, kFloppySchedule,
        [c](std::string bytes, Failure* failure, FloppyOutcome*) {
            return RestoreOpenFile(c, c.schedule.SatListFile, kScheduleFilePath, std::move(bytes),
                                   kScheduleRecordLength, failure);
        },
        std::move(done));
}

bool LoadAutoExportFromFloppy(const FloppyCopy& c, FloppyDone done) {
    return StartRestore(
        c, kFloppyExport,
        [c](std::string bytes, Failure* failure, FloppyOutcome*) {
            return RestoreOpenFile(c, c.exportFile, c.exportPath, std::move(bytes),
                                   kExportRecordLength, failure);
        },
        std::move(done));
}

bool LoadSourceCodesFromFloppy(const FloppyCopy& c, FloppyDone done) {
    return StartRestore(
        c, kFloppySourceCodes,
        [c](std::string text, Failure* failure, FloppyOutcome*) {
            std::string reason;
            if (!SaveSourceCodes(c.files, SplitLines(text), &reason))
                return Fail(
                    failure, 75,
                    std::string("Path/File access error: ") + kSourceCodesPath + ": " + reason);
            return true;
        },
        std::move(done));
}

bool LoadSetupFromFloppy(const FloppyCopy& c, FloppyDone done) {
    static constexpr int kRestored[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 17, 18};
    return StartRestore(
        c, kFloppySettings,
        [c](std::string bytes, Failure* failure, FloppyOutcome* outcome) {
            for (int n : kRestored) {
                // A record beyond the end of the copy reads as 0, as from any record file.
                *c.settings.field(n) = Int16At(bytes, static_cast<std::size_t>(n - 1) * 2);
            }
            outcome->settingsRead = true;
            DeriveSettingValues(c.settings);
            std::string reason;
            RecordFile local = c.files.openRecords(kSettingsPath, 2, &reason);
            if (!local.isOpen())
                return Fail(
                    failure, 75,
                    std::string("Path/File access error: ") + kSettingsPath + ": " + reason);
            for (int n : kRestored) {
                if (!local.write(n, Int16Bytes(*c.settings.field(n)), &reason))
                    return Fail(failure, 57,
                                std::string("Device I/O error: ") + kSettingsPath + ": " + reason);
            }
            return true;
        },
        std::move(done));
}

}  // namespace quillmar
