#include "export/ExportEngine.h"

#include <algorithm>
#include <cmath>

#include "core/Station.h"
#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

constexpr const char* kWinjockFolder = "H:\\programs\\";

void LogExport(Station& st, const std::string& text) {
    WriteActivityLog(st.logs, text);
}

// Ends one export with its message; the recording and the station carry on.
void ExportError(Station& st, const std::string& description) {
    const std::string text = "Export Error: " + description;
    ShowError(st, text);
    LogExport(st, text);
}

std::string FolderOf(const std::string& drivePath) {
    const auto cut = drivePath.find_last_of('\\');
    if (cut == std::string::npos) return {};
    return drivePath.substr(0, cut + 1);
}

// Removes an earlier file of the same name; a missing one is no error.
bool RemoveOld(Station& st, const std::string& drivePath, std::string* error) {
    FileSystem& files = st.platform.files;
    if (!files.fileExists(drivePath)) return true;
    files.deleteMatching(drivePath);
    if (!files.fileExists(drivePath)) return true;
    *error = "Permission denied: " + drivePath;
    return false;
}

bool CheckTarget(Station& st, const std::string& drivePath, std::string* error) {
    FileSystem& files = st.platform.files;
    const std::string folder = FolderOf(drivePath);
    if (files.hostPath(drivePath).empty() || folder.empty() || !files.folderExists(folder)) {
        *error = "Path not found: " + (folder.empty() ? drivePath : folder);
        return false;
    }
    return RemoveOld(st, drivePath, error);
}

AudioConversion& Conversion(Station& st) {
    auto& conversion = st.Export.conversion;
    if (!conversion) {
        conversion = st.platform.audio.createConversion();
        conversion->onProgress = [&st](std::int64_t doneMs, std::int64_t) {
            st.Export.doneMs = doneMs;
        };
        conversion->onLevels = [&st](std::int16_t left, std::int16_t right) {
            st.Export.Display.MeterLeft = left;
            st.Export.Display.MeterRight = right;
        };
        conversion->onFinished = [&st](bool ok, const std::string& error) {
            ExportFinished(st, ok, error);
            st.notifyChanged();
        };
    }
    return *conversion;
}

bool StartExport(Station& st, const ExportJob& job, std::string* error) {
    FileSystem& files = st.platform.files;
    if (job.Naming == kNamingWinjock && !CheckTarget(st, job.ExportDatPath, error)) return false;
    if (!CheckTarget(st, job.ExportWavPath, error)) return false;
    if (!files.fileExists(job.RecordedFile)) {
        *error = "File not found: " + job.RecordedFile;
        return false;
    }

    ConversionJob work;
    work.sourcePath = files.hostPath(job.RecordedFile);
    work.targetPath = files.hostPath(job.ExportWavPath);
    work.endMs = job.ExportLengthMs;
    if (job.Fade == 1) {
        work.fadeStartMs = job.ExportLengthMs - kExportFadeMs;
        work.fadeLengthMs = kExportFadeMs;
    }
    work.format.name = "PCM 16 bit";
    work.format.channels = job.channels;
    work.format.sampleRate = kSampleRate;

    st.Export.current = job;
    st.Export.doneMs = 0;
    if (!Conversion(st).start(work, error)) {
        st.Export.current.reset();
        return false;
    }
    st.Export.Display = ExportDisplay{true, 0, true};
    st.timers.tmrExport->setEnabled(true);
    LogExport(st, "Export->" + job.ExportWavPath);
    return true;
}

// Starts the waiting exports in order until one runs.
void StartWaitingExports(Station& st) {
    while (!st.Export.current && !st.Export.waiting.empty()) {
        const ExportJob job = st.Export.waiting.front();
        st.Export.waiting.pop_front();
        std::string error;
        if (!StartExport(st, job, &error)) ExportError(st, error);
    }
}

}  // namespace

void CheckExport(Station& st) {
    st.noteAction("CheckExport");
    const std::optional<RecordProgramme>& recorded = st.recorder.LastRecording;
    const int day = recorded ? recorded->weekday - 1 : -1;
    if (day < 0 || day > 6) return;
    const ExportEntry entry = ReadExportEntry(st, recorded->recordNo);
    if (entry.Naming != kNamingInactive && entry.Days[static_cast<std::size_t>(day)] == 1)
        ExportRecording(st);
}

void ExportRecording(Station& st) {
    st.noteAction("ExportRecording");
    const RecordProgramme recorded = st.recorder.LastRecording.value_or(RecordProgramme{});
    const int day = std::clamp(recorded.weekday - 1, 0, 6);
    const ExportEntry entry = ReadExportEntry(st, recorded.recordNo);
    if (entry.Naming != kNamingUserDefined && entry.Naming != kNamingWinjock) return;
    ExportJob job = BuildExportJob(entry, day, st.recorder.RecordedSeconds, st.platform.clock.now().date);
    job.ExportRecordNumber = recorded.recordNo;
    job.RecordedFile = recorded.file;
    job.channels = recorded.channels == 1 ? 1 : 2;
    st.recorder.RecordedSeconds = static_cast<float>(job.ExportLengthMs) / 1000.0f;
    st.Export.waiting.push_back(std::move(job));
    StartWaitingExports(st);
}

void ExportProgress(Station& st) {
    if (!st.Export.current) return;
    const std::int64_t total = st.Export.current->ExportLengthMs;
    const std::int64_t percent = total > 0 ? st.Export.doneMs * 100 / total : 0;
    st.Export.Display.GaugeValue = static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

void ExportFinished(Station& st, bool ok, const std::string& error) {
    if (!st.Export.current) return;
    const ExportJob job = *st.Export.current;
    st.Export.current.reset();
    st.Export.Display = ExportDisplay{};
    if (!ok) {
        ExportError(st, error.empty() ? "The conversion failed" : error);
    } else if (job.Naming == kNamingWinjock) {
        std::string failure;
        if (!st.platform.files.writeFile(job.ExportDatPath, CompanionRecord(job), &failure))
            ExportError(st, job.ExportDatPath + ": " + failure);
    }
    st.timers.tmrExport->setEnabled(false);
    StartWaitingExports(st);
}

bool ExportBusy(const Station& st) {
    return st.Export.current.has_value() || !st.Export.waiting.empty();
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
    if (entry.Naming == kNamingWinjock) {
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
    const int segue = job.Fade == 1 ? std::max(0, total - 2) : total;
    std::string record(20, '\0');
    const std::string s = std::to_string(segue).substr(0, 5);
    const std::string t = std::to_string(total).substr(0, 5);
    record.replace(0, s.size(), s);
    record.replace(5, t.size(), t);
    record.replace(10, 10, DateTextDashed(job.ExportAirDate));
    return record;
}

}  // namespace quillmar
