#pragma once
// The "My Computer" settings window's rules: the lists it offers, what each choice does to
// the in-memory settings at once, and Apply. The window renders this model and forwards the
// operator's choices.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/ErrorDisplay.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"

namespace quillmar {

// The main window's buttons the form shows or hides at once.
enum class MainButton { Play, Stop, Record, RecStop };

// What the form works on, and what its choices do beyond the settings.
struct SettingsFormLinks {
    StationSettings& settings;
    FileSystem& files;
    Audio& audio;  // the device lists
    Clock& clock;
    ErrorDisplay& errors;
    std::function<void(MainButton, bool shown)> showButton;
    // Remote control on the Prairie card: the card's ports are set up at once.
    std::function<void()> prairieChosen;
    // Apply saved the settings file.
    std::function<void()> saved;
    // The year's daylight-saving change dates.
    std::function<Date(int year)> dstStart;
    std::function<Date(int year)> dstEnd;
};

struct SettingsLine {
    std::string text;
    int value = 0;  // the number the line carries
};

class SettingsForm {
  public:
    // Fills the lists and sets every control from the settings file, with the same effects as
    // the operator's choices (so opening the window reloads those settings into memory).
    explicit SettingsForm(SettingsFormLinks links);

    std::vector<SettingsLine> lstDrv, lstRec, lstMM1, lstMM2, list1, List2, List3, List4;
    int lstDrvIndex = -1, lstRecIndex = -1, lstMM1Index = -1, lstMM2Index = -1;
    int list1Index = -1, List2Index = -1, List3Index = -1, List4Index = -1;
    std::string txtThreshold;
    bool Check1 = false;  // Play Visible
    bool Check2 = false;  // Activity Log
    bool Check3 = false;  // Stop Visible
    bool Check4 = false;  // ReSet Expansion Relays
    bool chkRecord = false;
    bool chkRecStop = false;
    bool chkTimeChange = false;
    int Option2 = 0;  // 0 Off, 1 Parallel, 2 Prairie Digital
    std::string Label10;

    // The operator's choices; each acts at once.
    void list1_Click(int index);
    void List2_Click(int index);
    void List3_Click(int index);
    void List4_Click(int index);
    void lstDrv_Click(int index);
    void lstRec_Click(int index) { Select(lstRec, lstRecIndex, index); }
    void lstMM1_Click(int index) { Select(lstMM1, lstMM1Index, index); }
    void lstMM2_Click(int index) { Select(lstMM2, lstMM2Index, index); }
    void txtThreshold_Change(std::string text) { txtThreshold = std::move(text); }
    void Check1_Click(bool on);
    void Check2_Click(bool on);
    void Check3_Click(bool on);
    void Check4_Click(bool on);
    void chkRecord_Click(bool on);
    void chkRecStop_Click(bool on);
    void chkTimeChange_Click(bool on);
    void Option2_Click(int index);
    // Validates and writes the settings file; the window stays open.
    void cmdApply_Click();

    // The threshold a text gives, rounded to a whole number; false when the text is not a
    // number from 0 to 32767 (the peak meter's range), which Apply refuses.
    static bool ThresholdValue(const std::string& text, int* value);

  private:
    static bool Select(const std::vector<SettingsLine>& list, int& index, int wanted);

    SettingsFormLinks links_;
    std::int16_t thresholdOnFile_ = 0;
};

}  // namespace quillmar
