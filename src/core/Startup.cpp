#include "core/Startup.h"

#include "core/ClockTick.h"
#include "core/NextEvent.h"
#include "core/Playlist.h"
#include "core/RemoteSequences.h"
#include "core/SettingsSequences.h"
#include "core/Station.h"
#include "export/AddressBook.h"
#include "logs/ActivityLog.h"
#include "platform/TextLines.h"

namespace quillmar {

namespace {

bool OpenDataFile(Station& st, RecordFile& file, const char* drivePath, int recordLength,
                  std::string* error) {
    std::string reason;
    file = st.platform.files.openRecords(drivePath, recordLength, &reason);
    if (file.isOpen()) return true;
    if (error) *error = "Cannot open " + std::string(drivePath) + ": " + reason;
    return false;
}

void ReadMailAccount(Station& st) {
    auto& files = st.platform.files;
    std::string text, error;
    if (!files.fileExists(kUserFilePath)) return;
    if (!files.readFile(kUserFilePath, &text, &error)) {
        ShowError(st, std::string("Cannot read ") + kUserFilePath + ": " + error);
        return;
    }
    auto lines = SplitLines(text);
    lines.resize(3);  // a short file leaves the rest of the account empty
    st.Export.Account.Facility = lines[0];
    st.Export.Account.UserName = lines[1];
    st.Export.Account.Password = lines[2];
}

}  // namespace

bool InitializeStation(Station& st, std::string* error) {
    auto& files = st.platform.files;
    ComputeDstDates(st);
    std::string ignored;
    if (!files.folderExists(kDataFolder)) files.createFolder(kDataFolder, &ignored);
    if (!files.folderExists(kLogsFolder)) files.createFolder(kLogsFolder, &ignored);
    if (!OpenDataFile(st, st.schedule.SatListFile, kScheduleFilePath, kScheduleRecordLength, error))
        return false;
    LoadStationSettings(st);
    InitializeRemotePort(st);
    if (!OpenDataFile(st, st.Export.ExportFile, kExportFilePath, 235, error)) return false;
    if (!OpenDataFile(st, st.Export.AddressBookFile, kAddressBookPath, 120, error)) return false;
    ReadMailAccount(st);
    return true;
}

bool StartStation(Station& st, std::string* error) {
    if (!InitializeStation(st, error)) return false;
    FindNextRecord(st);
    FindNextSwitch(st);
    FindNextPlay(st);
    st.tick.PlaylistUpcomingOnly = true;
    LoadManualPlaylist(st);
    ClockTick(st);
    ArmClockTick(st);
    st.notifyChanged();
    return true;
}

void MainWindowActivated(Station& st) {
    // Other values leave the buttons as they are.
    if (st.Settings.PlayVisible == kFlagOff) st.main.cmdPlayVisible = false;
    if (st.Settings.PlayVisible == kFlagOn) st.main.cmdPlayVisible = true;
    if (st.Settings.StopVisible == kFlagOff) st.main.cmdStopVisible = false;
    if (st.Settings.StopVisible == kFlagOn) st.main.cmdStopVisible = true;
    st.platform.errors.bringForward();
    st.notifyChanged();
}

bool AnswerExitQuestion(Station&, bool yes) {
    return yes;
}

}  // namespace quillmar
