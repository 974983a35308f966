#pragma once
// The "Send To:" window's rules: a copy of one recorded programme, up to its trim mark, to a
// file of the operator's choosing, optionally in another wave format. The window renders
// these values and forwards the operator's actions.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/ErrorDisplay.h"
#include "platform/FileSystem.h"
#include "schedule/ScheduleState.h"

namespace quillmar {

// What a copy works with.
struct SendToFileServices {
    FileSystem& files;
    Audio& audio;
    ErrorDisplay& errors;
    const ScheduleStore& schedule;
};

class SendToFile {
  public:
    // The programme's schedule record, its sound file and its marks file (drive paths).
    SendToFile(const SendToFileServices& services, int recordNo, std::string soundFile,
               std::string marksFile);
    ~SendToFile();
    SendToFile(const SendToFile&) = delete;
    SendToFile& operator=(const SendToFile&) = delete;

    struct FolderLine {
        std::string path;  // drive path of the folder
        std::string name;  // "c:\" for the root, else the folder's own name
        int depth = 0;
    };

    void Load();
    // Drive1: a drive chosen. The target becomes "x:" and the folder list its root.
    void Drive1_Change(char letter);
    // Dir1: a folder clicked becomes the target; opened, the list shows its sub-folders.
    void Dir1_Click(int index);
    void Dir1_Open(int index);
    // Enter in txtFileName or the pop-up "Send": asks before replacing, else copies.
    void ConfirmName();
    void cmdSend_Click();
    void cmdNo_Click();
    void Timer1_Timer();

    // The codec chooser: offered the writable formats and the writer's, false when cancelled.
    std::function<bool(const std::vector<WaveFormat>& formats, WaveFormat* chosen)> ChooseFormat;
    // Called when the copy's progress or end changed the model outside an action.
    std::function<void()> onChanged;

    // The form as shown.
    std::vector<char> Drive1List;
    char Drive1 = 'c';
    std::vector<FolderLine> Dir1;
    int Dir1Index = -1;
    std::string TargetFolder;
    std::string txtFileName;
    bool FocusFileName = false;  // set when the name box should take the focus
    bool Check1 = false;         // "Compress File"
    std::string Label1;
    bool Label1Visible = false;
    bool cmdNoVisible = false;
    bool cmdSendVisible = false;
    bool cmdCloseVisible = true;
    std::string Label2;
    int Gauge = 0;
    bool GaugeVisible = false;
    bool Copying = false;

    // The target without extension: the folder, "\" and the name.
    std::string Target() const;

  private:
    void ShowFolders(const std::string& folder);
    void StartCopy();
    void Finished(bool ok, const std::string& error);
    void Fail(int number, const std::string& description);
    void DeleteOlderCopies();

    SendToFileServices services_;
    int recordNo_;
    std::string soundFile_;
    std::string marksFile_;
    std::unique_ptr<AudioConversion> conversion_;
    std::string copyTarget_;  // the running copy's Target()
    std::int64_t doneMs_ = 0;
    std::int64_t totalMs_ = 0;
};

}  // namespace quillmar
