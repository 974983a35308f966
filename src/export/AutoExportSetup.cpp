#include "export/AutoExportSetup.h"

#include <cmath>
#include <cstdlib>

#include "export/ExportEntry.h"
#include "platform/DateTime.h"
#include "schedule/ScheduleRecord.h"
#include "schedule/ScheduleScan.h"
#include "schedule/TimeEntry.h"

namespace quillmar {

namespace {

std::string Fit(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string RightAligned(int n, std::size_t width) {
    std::string s = std::to_string(n);
    if (s.size() < width) s.insert(0, width - s.size(), ' ');
    return s;
}

// The numeric value of a text, as the runtime's Val reads it: leading blanks, a sign,
// digits and one decimal point.
double NumericValue(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return 0;
    std::string number;
    if (text[i] == '-' || text[i] == '+') number += text[i++];
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            number += c;
        } else if (c == '.' && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

// A naming the window offers; any other stored number shows as inactive.
ExportNaming Offered(ExportNaming naming) {
    switch (naming) {
        case ExportNaming::Inactive:
        case ExportNaming::UserDefined:
        case ExportNaming::Winjock:
            return naming;
    }
    return ExportNaming::Inactive;
}

}  // namespace

std::vector<AutoExportLine> LoadPrograms(const ScheduleStore& schedule, ProgramView view) {
    std::vector<AutoExportLine> lines;
    const std::int64_t count = schedule.SatListFile.recordCount();
    std::string record;
    for (std::int64_t n = 1; n <= count; ++n) {
        schedule.SatListFile.read(n, &record);
        const ScheduleFields f = ParseScheduleRecord(record);
        if (f.InUse != ScheduleSlot::InUse || f.Action != ScheduleAction::Record) continue;
        const std::string number = RightAligned(static_cast<int>(n), 3);
        const std::string name = Fit(f.ProgramName, 25);
        const std::string length = Fit(f.ProgramLength, 5);
        AutoExportLine line;
        line.recordNo = static_cast<int>(n);
        line.text = view == ProgramView::Number ? number + " " + name + " " + length
                                                : name + " " + length + " " + number;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string WinjockExampleName(int recordNo) {
    std::string r = std::to_string(recordNo + 8000);
    if (r.size() < 3) r.insert(0, 3 - r.size(), '0');
    return "H:\\programs\\SF" + r + "NNN.wav";
}

AutoExportSetup::AutoExportSetup(ExportState& state, const ScheduleStore& schedule,
                                 ErrorDisplay& errors)
    : state_(state), schedule_(schedule), errors_(errors) {}

void AutoExportSetup::Load() {
    for (std::size_t d = 0; d < 7; ++d) chkDayCaption[d] = DayName(static_cast<int>(d) + 1);
    SetView(ProgramView::Names);
}

void AutoExportSetup::SetView(ProgramView view) {
    ViewMode = view;
    lstName = LoadPrograms(schedule_, ViewMode);
    lstNameIndex = -1;
    for (std::size_t i = 0; i < lstName.size(); ++i)
        if (lstName[i].recordNo == SelectedRecordNo) lstNameIndex = static_cast<int>(i);
}

void AutoExportSetup::lstName_Click(int index) {
    if (index < 0 || index >= static_cast<int>(lstName.size())) return;
    lstNameIndex = index;
    SelectedRecordNo = lstName[static_cast<std::size_t>(index)].recordNo;
    const ExportEntry e = ReadExportEntry(state_, SelectedRecordNo);
    Naming = Offered(e.Naming);
    chkFade = e.Fade == ExportFade::On;
    txtLength = TrimmedExportText(e.Length);
    txtNumber = std::to_string(e.WinjockNumber);
    txtNumberVisible = Naming == ExportNaming::Winjock;
    for (std::size_t d = 0; d < 7; ++d) {
        chkDay[d] = e.Days[d] == kExportDayChosen;
        txtPath[d] = TrimmedExportText(e.Paths[d]);
    }
    RefreshPaths();
}

void AutoExportSetup::Option1_Click(int index) {
    const auto naming = static_cast<ExportNaming>(index);
    if (Offered(naming) != naming) return;
    Naming = naming;
    if (SelectedRecordNo > 0) {
        ExportEntry e = ReadExportEntry(state_, SelectedRecordNo);
        e.Naming = naming;
        std::string error;
        WriteExportEntry(state_, SelectedRecordNo, e, &error);  // a failure ends quietly
        chkFade = e.Fade == ExportFade::On;
    }
    RefreshPaths();
    txtNumberVisible = Naming == ExportNaming::Winjock;
}

void AutoExportSetup::chkDay_MouseUp() {
    RefreshPaths();
}

void AutoExportSetup::RefreshPaths() {
    if (!Naming) return;
    for (std::size_t d = 0; d < 7; ++d) {
        switch (*Naming) {
            case ExportNaming::Inactive:
                txtPathEnabled[d] = false;
                txtPathColour[d] = kPathBoxWindowColour;
                chkDay[d] = false;
                txtPath[d].clear();
                break;
            case ExportNaming::UserDefined:
                txtPathEnabled[d] = true;
                txtPathColour[d] = kPathBoxWindowColour;
                if (!chkDay[d]) txtPath[d].clear();
                break;
            case ExportNaming::Winjock:
                txtPathEnabled[d] = false;
                txtPathColour[d] = kPathBoxGreyColour;
                txtPath[d] = chkDay[d] ? WinjockExampleName(SelectedRecordNo) : std::string();
                break;
            default:
                break;
        }
    }
}

bool AutoExportSetup::txtPath_KeyPress(char c) {
    const bool ok = c == kBackspace || c == '\\' || c == '_' || c == ':' ||
                    (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!ok) errors_.showError(std::string(" ") + c + " " + " is not a valid character");
    return ok;
}

std::string AutoExportSetup::txtPath_Filter(const std::string& text) {
    std::string kept;
    for (char c : text)
        if (c != kBackspace && txtPath_KeyPress(c)) kept += c;
    return kept;
}

void AutoExportSetup::cmdApply_Click() {
    if (SelectedRecordNo <= 0) {
        errors_.showError("Select a Program");
        return;
    }
    // A blank length exports the whole recording; anything else must read as minutes:seconds.
    if (!IsBlank(txtLength) && !IsLengthText(txtLength)) {
        errors_.showError("Time Error in length must be corrected before saving.  Format is MM:SS");
        return;
    }
    ExportEntry e;
    e.Naming = Naming.value_or(ExportNaming::Inactive);
    for (std::size_t d = 0; d < 7; ++d) {
        e.Days[d] = chkDay[d] ? kExportDayChosen : 0;
        e.Paths[d] = Fit(txtPath[d].substr(0, kExportPathWidth), kExportPathWidth);
    }
    e.Fade = chkFade ? ExportFade::On : ExportFade::Off;
    e.Length = Fit(txtLength.substr(0, kExportLengthWidth), kExportLengthWidth);
    // A number beyond the field's range is held at its nearest end rather than wrapped.
    const double number = std::round(NumericValue(txtNumber));
    e.WinjockNumber = static_cast<std::int16_t>(number < -32768  ? -32768
                                                : number > 32767 ? 32767
                                                                 : number);
    std::string error;
    WriteExportEntry(state_, SelectedRecordNo, e, &error);  // a failure ends quietly
}

}  // namespace quillmar
