#include "settings/SettingsForm.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/ClockTick.h"
#include "core/Station.h"
#include "platform/LittleEndian.h"
#include "core/RemoteSequences.h"
#include "settings/StationSettings.h"

namespace quillmar {

namespace {

std::vector<SettingsLine> Numbered(const std::vector<std::string>& texts, int first) {
    std::vector<SettingsLine> lines;
    for (const auto& text : texts) lines.push_back({text, first++});
    return lines;
}

}  // namespace

bool SettingsForm::Select(const std::vector<SettingsLine>& list, int& index, int wanted) {
    if (wanted < 0 || wanted >= static_cast<int>(list.size())) return false;
    index = wanted;
    return true;
}

SettingsForm::SettingsForm(Station& st) : st_(st) {
    for (char drive : st.platform.files.drives()) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
        if (letter == 'A' || letter == 'B' || letter < 'A' || letter > 'Z') continue;
        lstDrv.push_back({std::string(1, letter), letter - 64});
    }
    lstRec = Numbered(st.platform.audio.inputDevices(), 0);
    lstMM1 = Numbered(st.platform.audio.outputDevices(), 0);
    lstMM2 = lstMM1;
    list1 = Numbered({"1", "2", "3", "4", "5", "6", "7"}, 1);
    List2 = Numbered({"One Day", "One Week", "One Month", "One Year"}, 1);
    List3 = List2;
    List4 = Numbered(
        {"Do Not Log", "1 per hour", "2 per hour", "3 per hour", "4 per hour", "1 per minute"}, 0);

    List4_Click(st.Settings.EbNoLogRate);

    std::string reason, rec;
    RecordFile file = st.platform.files.openRecords(kSettingsPath, 2, &reason);
    auto record = [&](int n) {
        rec.assign(2, '\0');
        if (file.isOpen()) file.read(n, &rec);  // beyond the end: zero bytes
        return Int16At(rec);
    };
    lstMM1_Click(record(1));
    lstMM2_Click(record(2));
    const std::int16_t threshold = record(3);
    txtThreshold = std::to_string(threshold);
    thresholdOnFile_ = threshold;
    st.Settings.RecordThreshold = threshold;
    Check1_Click(record(4) == 1);
    Check3_Click(record(5) == 1);
    for (auto [n, click] :
         {std::pair{6, &SettingsForm::list1_Click}, std::pair{7, &SettingsForm::List2_Click},
          std::pair{8, &SettingsForm::List3_Click}}) {
        const int value = record(n);
        if (value > 0) (this->*click)(value - 1);
    }
    st.Settings.EbNoLogRate = record(9);
    Check2_Click(record(10) == 1);
    Option2_Click(record(11));
    st.Settings.WaveDrive = record(12);
    DeriveSettingValues(st);
    Check4_Click(record(17) == 1);
    lstRec_Click(record(18));
    chkRecord_Click(record(19) == 1);
    chkRecStop_Click(record(20) == 1);
    chkTimeChange_Click(record(21) == 1);
    file.close();

    for (std::size_t i = 0; i < lstDrv.size(); ++i)
        if (lstDrv[i].value == st.Settings.WaveDrive) lstDrv_Click(static_cast<int>(i));
}

void SettingsForm::list1_Click(int index) {
    if (Select(list1, list1Index, index))
        st_.Settings.DaysToSaveWave =
            static_cast<std::int16_t>(list1[static_cast<std::size_t>(index)].value);
}

void SettingsForm::List2_Click(int index) {
    if (Select(List2, List2Index, index))
        st_.Settings.ActivityLogPeriod =
            static_cast<std::int16_t>(List2[static_cast<std::size_t>(index)].value);
}

void SettingsForm::List3_Click(int index) {
    if (Select(List3, List3Index, index))
        st_.Settings.EbNoLogPeriod =
            static_cast<std::int16_t>(List3[static_cast<std::size_t>(index)].value);
}

void SettingsForm::List4_Click(int index) {
    if (Select(List4, List4Index, index))
        st_.Settings.EbNoLogRate = static_cast<std::int16_t>(index);
}

void SettingsForm::lstDrv_Click(int index) {
    if (!Select(lstDrv, lstDrvIndex, index)) return;
    st_.Settings.WaveDrive =
        static_cast<std::int16_t>(lstDrv[static_cast<std::size_t>(index)].value);
    DeriveSettingValues(st_);
    const std::string folder = st_.Settings.WaveDriveLetter + ":\\Satfile";
    std::string error;
    if (!st_.platform.files.folderExists(folder) &&
        !st_.platform.files.createFolder(folder, &error))
        ShowError(st_, "Cannot create " + folder + ": " + error);
}

void SettingsForm::Check1_Click(bool on) {
    Check1 = on;
    st_.Settings.PlayVisible = on ? 1 : 0;
    st_.main.cmdPlayVisible = on;
}

void SettingsForm::Check2_Click(bool on) {
    Check2 = on;
    st_.Settings.ActivityLog = on ? 1 : 0;
}

void SettingsForm::Check3_Click(bool on) {
    Check3 = on;
    st_.Settings.StopVisible = on ? 1 : 0;
    st_.main.cmdStopVisible = on;
}

void SettingsForm::Check4_Click(bool on) {
    Check4 = on;
    st_.Settings.ResetExpansionRelays = on ? 1 : 0;
}

void SettingsForm::chkRecord_Click(bool on) {
    chkRecord = on;
    st_.main.cmdRecordVisible = on;
}

void SettingsForm::chkRecStop_Click(bool on) {
    chkRecStop = on;
    st_.main.cmdRecStopVisible = on;
}

void SettingsForm::chkTimeChange_Click(bool on) {
    chkTimeChange = on;
    if (!on) {
        Label10.clear();
        return;
    }
    // The coming changes: a change day stays "coming" until it is over.
    const Date today = st_.platform.clock.now().date;
    const auto coming = [&today](Date (*change)(int year)) {
        const Date thisYear = change(today.year);
        return thisYear < today ? change(today.year + 1) : thisYear;
    };
    Label10 =
        "DST " + DateTextSlashed(coming(&DstStart)) + "  Std " + DateTextSlashed(coming(&DstEnd));
}

void SettingsForm::Option2_Click(int index) {
    if (index < 0 || index > 2) return;  // a value no option carries selects none
    Option2 = index;
    st_.Settings.RemoteControl = static_cast<std::int16_t>(index);
    if (index == 2) WritePrairieControlWord(st_);
}

bool SettingsForm::ThresholdValue(const std::string& text, int* value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    double number = std::strtod(begin, &end);
    while (*end == ' ') ++end;
    if (end == begin || *end != '\0' || !std::isfinite(number)) return false;
    number = std::nearbyint(number);
    if (number < 0 || number > 32767) return false;
    *value = static_cast<int>(number);
    return true;
}

void SettingsForm::cmdApply_Click() {
    if (list1Index < 0) {
        ShowError(st_, "You must select the number of days to save wave files.");
        return;
    }
    if (lstDrvIndex < 0) {
        ShowError(st_, "You must select a hard drive.");
        return;
    }
    // "abc" must not become 0, which would start a recording on any noise.
    int threshold = 0;
    if (!ThresholdValue(txtThreshold, &threshold)) {
        ShowError(st_, "The Record Audio Threshold must be a number from 0 to 32767.  It stays " +
                           std::to_string(thresholdOnFile_) + ".");
        txtThreshold = std::to_string(thresholdOnFile_);
        return;
    }
    StationSettings& s = st_.Settings;
    auto carried = [](const std::vector<SettingsLine>& list, int index, std::int16_t keep) {
        return index >= 0 ? static_cast<std::int16_t>(list[static_cast<std::size_t>(index)].value)
                          : keep;
    };
    s.ProgramPlayCard = carried(lstMM1, lstMM1Index, s.ProgramPlayCard);
    s.AuditionPlayCard = carried(lstMM2, lstMM2Index, s.AuditionPlayCard);
    s.RecordCard = carried(lstRec, lstRecIndex, s.RecordCard);
    s.PlayVisible = Check1 ? 1 : 0;
    s.StopVisible = Check3 ? 1 : 0;
    s.AdjustForTimeChange = chkTimeChange ? 1 : 0;
    // The threshold and the two Record button choices go to the file only; memory takes them
    // at the next opening of this window or the next start.
    const StationSettings inMemory = s;
    s.RecordThreshold = static_cast<std::int16_t>(threshold);
    thresholdOnFile_ = s.RecordThreshold;
    s.RecordVisible = chkRecord ? 1 : 0;
    s.RecStopVisible = chkRecStop ? 1 : 0;
    SaveStationSettings(st_);  // failures are ignored record by record
    s = inMemory;
}

}  // namespace quillmar
