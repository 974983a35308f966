#include "export/ExportEngine.h"

#include <algorithm>
#include <cmath>

#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

constexpr const char* kWinjockFolder = "H:\\programs\\";

// Ends one export with its message; the recording and the station carry on.
void ExportError(const ExportServices& ex, const std::string& description) {
    const std::string text = "Export Error: " + description;
    ex.errors.showError(text);
    WriteActivityLog(ex.logs, text);
}

std::string FolderOf(const std::string& drivePath) {
    const auto cut = drivePath.find_last_of('\\');
    if (cut == std::string::npos) return {};
    return drivePath.substr(0, cut + 1);
}

// Removes an earlier file of the same name; a missing one is no error.
bool RemoveOld(FileSystem& files, const std::string& drivePath, std::string* error) {
    if (!files.fileExists(drivePath)) return true;
    files.deleteMatching(drivePath);
    if (!files.fileExists(drivePath)) return true;
    *error = "Permission denied: " + drivePath;
    return false;
}

bool CheckTarget(FileSystem& files, const std::string& drivePath, std::string* error) {
    const std::string folder = FolderOf(drivePath);
    if (DrivePathKey(drivePath).empty() || folder.empty() || !files.folderExists(folder)) {
        *error = "Path not found: " + (folder.empty() ? drivePath : folder);
        return false;
    }
    return RemoveOld(files, drivePath, error);
}

AudioConversion& Conversion(const ExportServices& ex) {
    auto& conversion = ex.state.conversion;
    if (!conversion) {
        conversion = ex.audio.createConversion();
        ExportState& state = ex.state;
        conversion->onProgress = [&state](std::int64_t doneMs, std::int64_t) {
            state.doneMs = doneMs;
        };
        conversion->onLevels = [&state](std::int16_t left, std::int16_t right) {
            state.Display.MeterLeft = left;
            state.Display.MeterRight = right;
        };
        conversion->onFinished = [ex](bool ok, const std::string& error) {
            ExportFinished(ex, ok, error);
            if (ex.changed) ex.changed();
        };
    }
    return *conversion;
}

bool StartExport(const ExportServices& ex, const ExportJob& job, std::string* error) {
    FileSystem& files = ex.files;
    if (job.Naming == ExportNaming::Winjock && !CheckTarget(files, job.ExportDatPath, error))
        return false;
    if (!CheckTarget(files, job.ExportWavPath, error)) return false;
    if (!files.fileExists(job.RecordedFile)) {
        *error = "File not found: " + job.RecordedFile;
        return false;
    }

    ConversionJob work;
    work.sourcePath = job.RecordedFile;
    work.targetPath = job.ExportWavPath;
    work.endMs = job.ExportLengthMs;
    if (job.Fade == ExportFade::On) {
        work.fadeStartMs = job.ExportLengthMs - kExportFadeMs;
        work.fadeLengthMs = kExportFadeMs;
    }
    work.format.name = "PCM 16 bit";
    work.format.channels = job.channels;
    work.format.sampleRate = kSampleRate;

    ex.state.current = job;
    ex.state.doneMs = 0;
    if (!Conversion(ex).start(work, error)) {
        ex.state.current.reset();
        return false;
    }
    ex.state.Display = ExportDisplay{true, 0, true};
    ex.progressTimer.setEnabled(true);
    WriteActivityLog(ex.logs, "Export->" + job.ExportWavPath);
    return true;
}

// Starts the waiting exports in order until one runs.
void StartWaitingExports(const ExportServices& ex) {
    while (!ex.state.current && !ex.state.waiting.empty()) {
        const ExportJob job = ex.state.waiting.front();
        ex.state.waiting.pop_front();
        std::string error;
        if (!StartExport(ex, job, &error)) ExportError(ex, error);
    }
}

}  // namespace

bool ExportSelected(const ExportState& state, const FinishedRecording& recording) {
    const int day = recording.weekday - 1;
    if (day < 0 || day > 6) return false;
    const ExportEntry entry = ReadExportEntry(state, recording.recordNo);
    return entry.Naming != ExportNaming::Inactive &&
           entry.Days[static_cast<std::size_t>(day)] == kExportDayChosen;
}

std::optional<ExportJob> ExportRecording(const ExportServices& ex,
                                         const FinishedRecording& recording) {
    const int day = std::clamp(recording.weekday - 1, 0, 6);
    const ExportEntry entry = ReadExportEntry(ex.state, recording.recordNo);
    if (entry.Naming != ExportNaming::UserDefined && entry.Naming != ExportNaming::Winjock)
        return std::nullopt;
    ExportJob job = BuildExportJob(entry, day, recording.seconds, ex.clock.now().date);
    job.ExportRecordNumber = recording.recordNo;
    job.RecordedFile = recording.file;
    job.channels = recording.channels == 1 ? 1 : 2;
    ex.state.waiting.push_back(job);
    StartWaitingExports(ex);
    return job;
}

void ExportProgress(ExportState& state) {
    if (!state.current) return;
    const std::int64_t total = state.current->ExportLengthMs;
    const std::int64_t percent = total > 0 ? state.doneMs * 100 / total : 0;
    state.Display.GaugeValue = static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

void ExportFinished(const ExportServices& ex, bool ok, const std::string& error) {
    if (!ex.state.current) return;
    const ExportJob job = *ex.state.current;
    ex.state.current.reset();
    ex.state.Display = ExportDisplay{};
    if (!ok) {
        ExportError(ex, error.empty() ? "The conversion failed" : error);
    } else if (job.Naming == ExportNaming::Winjock) {
        std::string failure;
        if (!ex.files.writeFile(job.ExportDatPath, CompanionRecord(job), &failure))
            ExportError(ex, job.ExportDatPath + ": " + failure);
    }
    ex.progressTimer.setEnabled(false);
    StartWaitingExports(ex);
}

bool ExportBusy(const ExportState& state) {
    return state.current.has_value() || !state.waiting.empty();
}

Date WinjockAirDate(const Date& today, int day) {
    int offset = (day + 1) - today.weekday();
    if (offset < 0) offset += 7;
    return today.addDays(offset);
}

std::string WinjockKey(const Date& airDate, int winjockNumber) {
    std::string d = std::to_string(airDate.dayOfYear());
    if (d.size() < 3) d.insert(0, 3 - d.size(), '0');
    return d + std::to_string(winjockNumber);
}

ExportJob BuildExportJob(const ExportEntry& entry, int day, double recordedSeconds,
                         const Date& today) {
    ExportJob job;
    job.ExportDay = day;
    job.Naming = entry.Naming;
    job.Fade = entry.Fade;
    if (entry.Naming == ExportNaming::Winjock) {
        job.ExportAirDate = WinjockAirDate(today, day);
        const std::string key = WinjockKey(job.ExportAirDate, entry.WinjockNumber);
        job.ExportDatPath = std::string(kWinjockFolder) + "DF" + key + ".dat";
        job.ExportWavPath = std::string(kWinjockFolder) + "SF" + key + ".wav";
    } else {
        job.ExportWavPath = TrimmedExportText(entry.Paths[static_cast<std::size_t>(day)]) + ".wav";
    }
    // A blank or zero Length would give an export of nothing (and a gauge dividing by zero):
    // it exports the whole recording instead.
    const auto recordedMs =
        static_cast<std::int64_t>(std::llround(std::max(0.0, recordedSeconds) * 1000.0));
    std::int64_t limit = ExportLimitMs(entry.Length);
    if (limit <= 0 || recordedMs < limit) limit = recordedMs;
    job.ExportLengthMs = limit;
    return job;
}

std::string CompanionRecord(const ExportJob& job) {
    const auto total =
        static_cast<int>(std::llround(static_cast<double>(job.ExportLengthMs) / 1000.0));
    const int segue = job.Fade == ExportFade::On ? std::max(0, total - 2) : total;
    std::string record(20, '\0');
    const std::string s = std::to_string(segue).substr(0, 5);
    const std::string t = std::to_string(total).substr(0, 5);
    record.replace(0, s.size(), s);
    record.replace(5, t.size(), t);
    record.replace(10, 10, DateTextDashed(job.ExportAirDate));
    return record;
}

}  // namespace quillmar
