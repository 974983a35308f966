#include "schedule/ScheduleEditor.h"

#include "platform/ErrorDisplay.h"
#include "schedule/ScheduleConflicts.h"
#include "schedule/ScheduleScan.h"
#include "schedule/SourceCodes.h"
#include "schedule/TimeEntry.h"

namespace quillmar {

namespace {

constexpr const char* kNoSourceFile =
    "The file source.dat was not installed.  It must be installed on the C hard drive in the "
    "satfile folder or you may create the file by clicking Setup and Program Source Codes";

std::string TrimLeft(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string ItemText(const char* const* items, int count, int index) {
    return index >= 0 && index < count ? items[index] : "";
}

int IndexOr(long long value, int count, int fallback) {
    return value >= 0 && value < count ? static_cast<int>(value) : fallback;
}

// A time box is accepted when blank or a readable time of day ("HH:MM" plays at HH:MM:00).
bool TimeBoxOk(const std::string& text) {
    return IsBlank(text) || IsTimeOfDayText(text);
}

// The states the route and start boxes list, in their order.
constexpr ScheduleRoute kRouteStates[] = {ScheduleRoute::Left, ScheduleRoute::Right,
                                          ScheduleRoute::Stereo, ScheduleRoute::Reverse};
constexpr ScheduleStart kStartStates[] = {ScheduleStart::Manual, ScheduleStart::Timed};

template <typename State, std::size_t N>
int IndexOf(const State (&states)[N], State state) {
    for (std::size_t i = 0; i < N; ++i)
        if (states[i] == state) return static_cast<int>(i);
    return -1;
}

// The state of box entry `index`; Blank when nothing is chosen.
template <typename State, std::size_t N>
State StateAt(const State (&states)[N], int index) {
    return index >= 0 && index < static_cast<int>(N) ? states[index] : State::Blank;
}

void ClearSchedule(ScheduleEditor& ed) {
    ed.txtPlay.fill("");
    ed.cboRec.fill(0);
    ed.txtRec.fill("");
}

}  // namespace

void OpenScheduleEditor(const ScheduleStore& store, FileSystem& files, ErrorDisplay& errors,
                        ScheduleEditor& ed) {
    const ScheduleEditor::Order order = ed.order;
    ed = ScheduleEditor{};
    ed.order = order;
    LoadBoxes(files, errors, ed);
    LoadSchedules(store, ed);
    ed.cmdApplyEnabled = false;
}

void LoadBoxes(FileSystem& files, ErrorDisplay& errors, ScheduleEditor& ed) {
    ed.cboSatLangItems.clear();
    std::vector<std::string> codes;
    if (!ReadSourceCodes(files, &codes)) {
        errors.showError(kNoSourceFile);
        return;
    }
    for (auto& code : codes) {
        code.resize(3, ' ');
        ed.cboSatLangItems.push_back(code);
    }
}

void LoadSchedules(const ScheduleStore& store, ScheduleEditor& ed) {
    ed.lstDisplaySchedule.clear();
    ed.selectedIndex = -1;
    ed.topIndex = 0;
    const int end = ScheduleScanEnd(store);
    for (int n = 1; n <= end; ++n) {
        const ScheduleFields f = ReadScheduleBlanked(store, n);
        if (f.InUse != ScheduleSlot::InUse) continue;
        std::string text = f.ProgramName;
        if (ed.order == ScheduleEditor::Order::ByNumber)
            text = std::to_string(n) + (n < 10 ? " " : "") + "  " + text;
        ed.lstDisplaySchedule.add(text, n);
    }
}

void ChooseSchedule(const ScheduleStore& store, ScheduleEditor& ed, int index) {
    const auto& entries = ed.lstDisplaySchedule.entries();
    if (index < 0 || index >= static_cast<int>(entries.size())) return;
    ed.selectedIndex = index;
    ed.cmdApplyEnabled = true;
    ed.recordNo = static_cast<int>(entries[static_cast<std::size_t>(index)].itemData);
    const ScheduleFields f = ReadScheduleBlanked(store, ed.recordNo);

    ed.lblScheduleNo = std::to_string(ed.recordNo);
    ed.txtSatName = TrimLeft(f.ProgramName);
    ed.txtSatLen = TrimLeft(f.ProgramLength);
    ed.cboSatLang = f.SourceCode;
    ed.switchLayout = f.Action == ScheduleAction::SwitchOnly;
    ed.optAction = ed.switchLayout ? ScheduleAction::SwitchOnly : ScheduleAction::Record;
    ed.Label2 = ed.switchLayout ? "Switch Time HH:MM:SS" : "Record Time HH:MM:SS";

    ed.cboSatPort = IsBlank(f.UnityPort) ? -1 : IndexOr(NumericValue(f.UnityPort) - 1, 4, -1);
    if (const int i = IndexOf(kRouteStates, f.Route); i >= 0) ed.cboSatRoute = i;
    ed.cboSatAtt = IndexOr(NumericValue(f.Attenuation), 15, -1);
    if (const int i = IndexOf(kStartStates, f.PlayStart); i >= 0) ed.cboSatPlayStart = i;
    if (const int i = IndexOf(kStartStates, f.RecordStart); i >= 0) ed.cboSatRecordStart = i;

    for (std::size_t k = 0; k < 28; ++k) ed.txtPlay[k] = f.PlayTimes[k];
    for (std::size_t r = 0; r < 7; ++r) {
        ed.cboRec[r] = IndexOr(f.RecordDays[r], 8, 0);
        ed.txtRec[r] = f.RecordTimes[r];
    }
}

bool NewSchedule(const ScheduleStore& store, ErrorDisplay& errors, ScheduleEditor& ed) {
    LoadSchedules(store, ed);
    const int n = FirstFreeScheduleSlot(store);
    if (n > kMaxSchedules) {
        errors.showError("999 Schedules is maximum.  No new schedules are allowed.");
        return false;
    }
    ed.recordNo = n;

    ed.lblScheduleNo = std::to_string(n);
    ed.txtSatName.clear();
    ed.txtSatLen.clear();
    ed.cboSatLang.clear();
    ed.cboSatPort = 0;
    if (!ed.cboSatLangItems.empty()) ed.cboSatLang = ed.cboSatLangItems.front();
    ed.cboSatRoute = 0;
    ed.cboSatAtt = 0;
    ClearSchedule(ed);
    ed.cmdApplyEnabled = true;
    return true;
}

std::optional<int> SaveEditedSchedule(ScheduleStore& store, ErrorDisplay& errors,
                                      const ScheduleEditor& ed) {
    const std::string port = ItemText(kPortItems, 4, ed.cboSatPort);
    const auto refuse = [&errors](const char* message) {
        errors.showError(message);
        return std::nullopt;
    };
    if (ed.optAction == ScheduleAction::Record && ed.txtSatLen.empty())
        return refuse("You must enter a Length");
    if (TrimBlanks(ed.cboSatLang).empty()) return refuse("You must select a Source");
    if (TrimBlanks(port).empty()) return refuse("You must select a Port");
    if (TrimBlanks(ItemText(kRouteItems, 4, ed.cboSatRoute)).empty())
        return refuse("You must select a Route");
    if (!IsBlank(ed.txtSatLen) && !IsLengthText(ed.txtSatLen))
        return refuse("Time Error in length must be corrected before saving.  Format is HH:MM");

    ScheduleFields f;
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = ed.txtSatName;
    f.ProgramLength = ed.txtSatLen;
    f.SourceCode = ed.cboSatLang;
    f.UnityPort = port.substr(0, 1);
    f.Route = StateAt(kRouteStates, ed.cboSatRoute);
    f.Attenuation = ed.cboSatAtt >= 0 && ed.cboSatAtt <= 14 ? std::to_string(ed.cboSatAtt) : "";
    f.PlayStart = StateAt(kStartStates, ed.cboSatPlayStart);
    f.RecordStart = ScheduleStart::Timed;
    f.Action = ed.optAction;
    for (std::size_t k = 0; k < 28; ++k) {
        f.PlayTimes[k] = ed.txtPlay[k];
        if (!TimeBoxOk(ed.txtPlay[k]))
            return refuse(
                "Time Error in play schedule must be corrected before saving.  Format is "
                "HH:MM:SS");
    }
    for (std::size_t r = 0; r < 7; ++r) {
        f.RecordDays[r] = IndexOr(ed.cboRec[r], 8, 0);
        if (!TimeBoxOk(ed.txtRec[r]))
            return refuse(
                "Time Error in record schedule must be corrected before saving. Format is "
                "HH:MM:SS");
        f.RecordTimes[r] = ed.txtRec[r];
    }

    const int recordNo = ed.recordNo;
    if (recordNo < 1 || recordNo > kMaxSchedules) return refuse("Select a schedule");
    std::string error;
    if (!WriteSchedule(store, recordNo, BuildScheduleRecord(f), &error)) {
        errors.showError("The schedule was not saved: " + std::string(kScheduleFilePath) + ": " +
                         error);
        return std::nullopt;
    }
    store.ScheduleConflicts = CheckPlayConflicts(store, recordNo);
    for (auto& line : CheckRecordConflicts(store, recordNo))
        store.ScheduleConflicts.push_back(std::move(line));
    return recordNo;
}

void ReloadSchedules(const ScheduleStore& store, ScheduleEditor& ed) {
    const int top = ed.topIndex, selected = ed.selectedIndex;
    LoadSchedules(store, ed);
    ed.topIndex = top;
    ed.selectedIndex = selected < static_cast<int>(ed.lstDisplaySchedule.size()) ? selected : -1;
}

int ScheduleToDelete(const ScheduleStore& store, ErrorDisplay& errors, ScheduleEditor& ed,
                     bool needSelection) {
    const auto& entries = ed.lstDisplaySchedule.entries();
    const bool selected =
        ed.selectedIndex >= 0 && ed.selectedIndex < static_cast<int>(entries.size());
    // The highlighted entry is the one the operator means, whatever was edited last.
    if (selected)
        ed.recordNo =
            static_cast<int>(entries[static_cast<std::size_t>(ed.selectedIndex)].itemData);
    const int n = ed.recordNo;
    if ((needSelection && !selected) || n < 1 || n > kMaxSchedules ||
        ReadScheduleBlanked(store, n).InUse != ScheduleSlot::InUse) {
        errors.showError("Select a schedule");
        return 0;
    }
    return n;
}

std::string DeleteCaption(const ScheduleStore& store, int recordNo) {
    return "Delete " + TrimBlanks(ReadScheduleBlanked(store, recordNo).ProgramName) + " Schedule?";
}

bool MarkScheduleDeleted(ScheduleStore& store, ErrorDisplay& errors, int recordNo) {
    if (recordNo < 1 || recordNo > kMaxSchedules) return false;
    std::string error;
    if (!WriteSchedule(store, recordNo, DeletedScheduleRecord(), &error)) {
        errors.showError("The schedule was not deleted: " + error);
        return false;
    }
    return true;
}

}  // namespace quillmar
