#pragma once
// The "Export SetUp" window's rules: the programme list in its two views, showing and
// choosing a programme's export entry, the path boxes, the typed-character filter and Apply.
// The window renders these values and forwards the operator's actions.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "export/ExportEntry.h"
#include "export/ExportState.h"
#include "platform/ErrorDisplay.h"
#include "schedule/ScheduleState.h"

namespace quillmar {

// The two orders of the programme list (menu "Names" and "Number").
enum class ProgramView { Names, Number };

// A typed Backspace.
inline constexpr char kBackspace = 8;

inline constexpr int kPathBoxWindowColour = 0;       // as laid out
inline constexpr int kPathBoxGreyColour = 0xC0C0C0;  // "Winjock": the name is fixed

struct AutoExportLine {
    std::string text;
    int recordNo = 0;
    friend bool operator==(const AutoExportLine&, const AutoExportLine&) = default;
};

// The recorded programmes in use: "Names" view name, length, number; "Number" view number,
// name, length; the number right-aligned in three characters.
std::vector<AutoExportLine> LoadPrograms(const ScheduleStore& schedule, ProgramView view);

class AutoExportSetup {
  public:
    AutoExportSetup(ExportState& state, const ScheduleStore& schedule, ErrorDisplay& errors);

    // Load: the day captions and the "Names" view.
    void Load();
    // Menu "Names" / "Number".
    void SetView(ProgramView view);
    // A line of lstName clicked (its index).
    void lstName_Click(int index);
    // Option1(index) chosen (the index is the naming's number): stored at once, before Apply.
    void Option1_Click(int index);
    // The mouse released on a day box (after its tick changed).
    void chkDay_MouseUp();
    // A character typed into a path box (or kBackspace): true when it may be entered;
    // otherwise the error window says why.
    bool txtPath_KeyPress(char c);
    // Text pasted or dropped into a path box: the characters typing would accept; each other
    // one is reported as if typed.
    std::string txtPath_Filter(const std::string& text);
    void cmdApply_Click();

    // The form as shown. Day boxes and path boxes are indexed by day 0 = Sunday .. 6.
    ProgramView ViewMode = ProgramView::Names;
    std::vector<AutoExportLine> lstName;
    int lstNameIndex = -1;
    int SelectedRecordNo = 0;
    std::optional<ExportNaming> Naming;  // Option1 selected; none yet when empty
    std::array<std::string, 7> chkDayCaption;
    std::array<bool, 7> chkDay{};
    std::array<std::string, 7> txtPath;
    std::array<bool, 7> txtPathEnabled{true, true, true, true, true, true, true};
    std::array<int, 7> txtPathColour{};
    std::string txtLength;
    bool chkFade = false;
    std::string txtNumber;
    bool txtNumberVisible = true;  // with its label Label4

  private:
    void RefreshPaths();
    ExportState& state_;
    const ScheduleStore& schedule_;
    ErrorDisplay& errors_;
};

// "H:\programs\SF" + (record number + 8000, at least three digits) + "NNN.wav".
std::string WinjockExampleName(int recordNo);

}  // namespace quillmar
