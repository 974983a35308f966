#pragma once
// What the schedule editor (frmSchedule) shows and the rules of its buttons. The window
// renders a ScheduleEditor and writes the operator's typing back into it before each action.
// Texts are Windows-1252 bytes, as in the file.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "schedule/ScheduleRecord.h"
#include "schedule/ScheduleState.h"

namespace quillmar {

class ErrorDisplay;
class FileSystem;

struct ScheduleEditor {
    enum class Order { ByName, ByNumber };
    Order order = Order::ByName;

    int recordNo = 0;               // the record being edited; 0 none
    SortedList lstDisplaySchedule;  // item data: record number
    int selectedIndex = -1;         // -1: nothing selected
    int topIndex = 0;
    bool cmdApplyEnabled = false;
    std::string lblScheduleNo;

    ScheduleAction optAction = ScheduleAction::Record;  // "Record", "Switch only"
    bool switchLayout = false;                          // play boxes, length and play start hidden
    std::string Label2 = "Record Time HH:MM:SS";

    std::string txtSatName;
    std::string txtSatLen;
    std::vector<std::string> cboSatLangItems;  // source codes, 3 characters each
    std::string cboSatLang;                    // the source box text
    int cboSatPort = -1;                       // "1".."4"; -1 none
    int cboSatRoute = -1;                      // Left, Right, Stereo, Reverse
    int cboSatAtt = -1;                        // "0".."14"
    int cboSatPlayStart = 0;                   // "M", "T"
    int cboSatRecordStart = -1;                // "M", "T"
    std::array<std::string, 28> txtPlay;
    std::array<int, 7> cboRec{};  // 0 "Off", 1 "Sun" .. 7 "Sat"
    std::array<std::string, 7> txtRec;
};

inline constexpr const char* kPortItems[] = {"1", "2", "3", "4"};
inline constexpr const char* kRouteItems[] = {"Left", "Right", "Stereo", "Reverse"};
inline constexpr const char* kPlayStartItems[] = {"M", "T"};
inline constexpr const char* kRecordDayItems[] = {"Off", "Sun",  "Mon", "Tue",
                                                  "Wed", "Thur", "Fri", "Sat"};

// Opening the editor: LoadBoxes, LoadSchedules, Apply disabled.
void OpenScheduleEditor(const ScheduleStore& store, FileSystem& files, ErrorDisplay& errors,
                        ScheduleEditor& ed);
// Source codes from Source.dat (the error window says so when it is missing).
void LoadBoxes(FileSystem& files, ErrorDisplay& errors, ScheduleEditor& ed);
// The schedules in use, by name or by number as ed.order says.
void LoadSchedules(const ScheduleStore& store, ScheduleEditor& ed);
// Shows list entry `index` for editing.
void ChooseSchedule(const ScheduleStore& store, ScheduleEditor& ed, int index);
// Starts a new schedule in the first free record. False when 999 are in use.
bool NewSchedule(const ScheduleStore& store, ErrorDisplay& errors, ScheduleEditor& ed);
// Checks and writes the schedule being edited and fills the store's conflict lines for it.
// The record written; nothing, with the reason in the error window, when nothing was written.
std::optional<int> SaveEditedSchedule(ScheduleStore& store, ErrorDisplay& errors,
                                      const ScheduleEditor& ed);
// Reloads the list after a save, keeping the operator's place in it.
void ReloadSchedules(const ScheduleStore& store, ScheduleEditor& ed);
// The schedule a Delete would remove (the selected entry, else the one being edited), made
// the one being edited; 0 with "Select a schedule" in the error window when there is none.
// `needSelection` is false for the Delete key, which asks without the selection check.
int ScheduleToDelete(const ScheduleStore& store, ErrorDisplay& errors, ScheduleEditor& ed,
                     bool needSelection);
// "Delete <name> Schedule?" for record `recordNo`.
std::string DeleteCaption(const ScheduleStore& store, int recordNo);
// Marks a record deleted. False, with the reason in the error window, when it was not.
bool MarkScheduleDeleted(ScheduleStore& store, ErrorDisplay& errors, int recordNo);

}  // namespace quillmar
