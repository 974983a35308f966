#include "export/SendToFile.h"

#include <algorithm>
#include <cmath>

#include "audio/SoundFiles.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

namespace {

constexpr int kFileNotFound = 53;
constexpr int kDeviceUnavailable = 68;
constexpr int kPathNotFound = 76;
constexpr int kFileAccess = 75;

// A conversion format's channels: the copy keeps the recording's.
constexpr int kSourceChannels = 0;

std::string Root(char letter) {
    return std::string(1, letter) + ":\\";
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

SendToFile::SendToFile(const SendToFileServices& services, int recordNo, std::string soundFile,
                       std::string marksFile)
    : services_(services),
      recordNo_(recordNo),
      soundFile_(std::move(soundFile)),
      marksFile_(std::move(marksFile)) {}

SendToFile::~SendToFile() {
    if (conversion_) conversion_->cancel();
}

void SendToFile::Load() {
    Drive1List = services_.files.drives();
    Drive1 = 'c';
    ShowFolders(Root('c'));
    // Nothing is chosen until the operator clicks a folder or picks a drive.
    TargetFolder.clear();
    Dir1Index = -1;
}

void SendToFile::ShowFolders(const std::string& folder) {
    Dir1.clear();
    // The folder's ancestors from the root down, the folder itself, then its sub-folders.
    std::string path = folder.substr(0, 3);
    Dir1.push_back({path, path, 0});
    int depth = 1;
    std::size_t at = 3;
    while (at < folder.size()) {
        std::size_t end = folder.find('\\', at);
        if (end == std::string::npos) end = folder.size();
        const std::string name = folder.substr(at, end - at);
        if (!name.empty()) {
            path = Dir1.size() == 1 ? path + name : path + "\\" + name;
            Dir1.push_back({path, name, depth++});
        }
        at = end + 1;
    }
    Dir1Index = static_cast<int>(Dir1.size()) - 1;
    for (const auto& name : services_.files.list(path, true))
        Dir1.push_back({path.back() == '\\' ? path + name : path + "\\" + name, name, depth});
}

void SendToFile::Drive1_Change(char letter) {
    if (!services_.files.folderExists(Root(letter))) {
        services_.errors.showError(std::to_string(kDeviceUnavailable) + " Device unavailable");
        return;
    }
    Drive1 = letter;
    TargetFolder = std::string(1, letter) + ":";
    ShowFolders(Root(letter));
    Dir1Index = -1;
}

void SendToFile::Dir1_Click(int index) {
    if (index < 0 || index >= static_cast<int>(Dir1.size())) return;
    Dir1Index = index;
    TargetFolder = Dir1[static_cast<std::size_t>(index)].path;
}

void SendToFile::Dir1_Open(int index) {
    if (index < 0 || index >= static_cast<int>(Dir1.size())) return;
    TargetFolder = Dir1[static_cast<std::size_t>(index)].path;
    ShowFolders(TargetFolder);
}

std::string SendToFile::Target() const {
    if (!TargetFolder.empty() && TargetFolder.back() == '\\') return TargetFolder + txtFileName;
    return TargetFolder + "\\" + txtFileName;
}

void SendToFile::ConfirmName() {
    if (Copying || txtFileName.empty()) return;
    if (TargetFolder.empty()) return Fail(kPathNotFound, "Path not found");
    if (services_.files.fileExists(Target() + ".wav")) {
        Label1 = txtFileName + " already exists.  Overwrite?";
        Label1Visible = true;
        cmdNoVisible = true;
        cmdSendVisible = true;
        cmdCloseVisible = false;
        return;
    }
    StartCopy();
}

void SendToFile::cmdSend_Click() {
    // Send answers the overwrite question; without one it confirms the name first.
    if (Label1Visible)
        StartCopy();
    else
        ConfirmName();
}

void SendToFile::cmdNo_Click() {
    txtFileName.clear();
    FocusFileName = true;
    Label1Visible = false;
    cmdNoVisible = false;
    cmdSendVisible = false;
    cmdCloseVisible = true;
}

void SendToFile::Fail(int number, const std::string& description) {
    services_.errors.showError(std::to_string(number) + " " + description);
    Copying = false;
    cmdCloseVisible = true;
}

void SendToFile::StartCopy() {
    Gauge = 0;
    cmdNoVisible = false;
    cmdSendVisible = false;
    Label1Visible = false;

    std::string record;
    services_.schedule.SatListFile.read(recordNo_, &record);
    const ScheduleFields schedule = ParseScheduleRecord(record);
    const SoundMarks marks = ReadSoundMarks(services_.files, marksFile_);

    FileSystem& files = services_.files;
    const std::string target = Target() + ".wav";
    const std::string folder = target.substr(0, target.find_last_of('\\') + 1);
    if (DrivePathKey(target).empty() || !files.folderExists(folder))
        return Fail(kPathNotFound, "Path not found");
    if (!files.fileExists(soundFile_)) return Fail(kFileNotFound, "File not found");
    // Copying a recording onto itself would then delete its own marks file.
    if (DrivePathKey(target) == DrivePathKey(soundFile_))
        return Fail(kFileAccess, "Path/File access error");

    // The format is asked for every time: it is what the copy is written in.
    std::vector<WaveFormat> formats = services_.audio.codecs();
    WaveFormat format = formats.empty() ? WaveFormat{} : formats.front();
    if (format.name.empty()) format.name = "PCM 16 bit";
    if (!ChooseFormat || !ChooseFormat(formats, &format)) {
        cmdCloseVisible = true;  // the chooser was cancelled: nothing is copied
        return;
    }
    // Compressed, one side of the receiver's output is one channel; otherwise the copy keeps
    // the recording's channels. A format that is mono only stays mono.
    if (format.channels != 1)
        format.channels = !Check1 ? kSourceChannels : IsMonoRoute(schedule.Route) ? 1 : 2;
    format.sampleRate = kSampleRate;
    Label2 = "Format:  " + format.name;

    ConversionJob job;
    job.sourcePath = soundFile_;
    job.targetPath = target;
    job.endMs =
        static_cast<std::int64_t>(std::llround(static_cast<double>(marks.TrimMark) * 1000.0));
    job.format = format;

    if (!conversion_) {
        conversion_ = services_.audio.createConversion();
        conversion_->onProgress = [this](std::int64_t done, std::int64_t total) {
            doneMs_ = done;
            totalMs_ = total;
        };
        conversion_->onFinished = [this](bool ok, const std::string& error) {
            Finished(ok, error);
            if (onChanged) onChanged();
        };
    }
    doneMs_ = 0;
    totalMs_ = 0;
    copyTarget_ = Target();
    std::string error;
    GaugeVisible = true;
    Copying = true;
    cmdCloseVisible = false;
    if (!conversion_->start(job, &error)) return Fail(kFileAccess, error);
}

void SendToFile::Timer1_Timer() {
    if (!Copying || totalMs_ <= 0) return;
    Gauge = static_cast<int>(std::clamp<std::int64_t>(doneMs_ * 100 / totalMs_, 0, 100));
}

void SendToFile::Finished(bool ok, const std::string& error) {
    Timer1_Timer();
    Copying = false;
    cmdCloseVisible = true;
    if (!ok) return Fail(kFileAccess, error.empty() ? "Path/File access error" : error);
    DeleteOlderCopies();
}

void SendToFile::DeleteOlderCopies() {
    // The new copy replaced "<name>.wav" whole; the other files of the name, with any
    // extension or none, are older copies. A name holding a wildcard cannot be named in a
    // pattern without risking the new copy, so it stays.
    FileSystem& files = services_.files;
    const auto cut = copyTarget_.find_last_of('\\');
    const std::string folder = copyTarget_.substr(0, cut + 1);
    const std::string name = Lower(copyTarget_.substr(cut + 1));
    for (const auto& file : files.list(folder, false)) {
        const std::string lower = Lower(file);
        if (lower == name + ".wav" || file.find_first_of("*?") != std::string::npos) continue;
        if (lower == name || lower.rfind(name + ".", 0) == 0) files.deleteMatching(folder + file);
    }
}

}  // namespace quillmar
