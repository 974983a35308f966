#include "settings/SettingsForm.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/LittleEndian.h"
#include "platform/RecordFile.h"

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

SettingsForm::SettingsForm(SettingsFormLinks links) : links_(std::move(links)) {
    StationSettings& settings = links_.settings;
    for (char drive : links_.files.drives()) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
        if (letter == 'A' || letter == 'B' || letter < 'A' || letter > 'Z') continue;
        lstDrv.push_back({std::string(1, letter), letter - 64});
    }
    lstRec = Numbered(links_.audio.inputDevices(), 0);
    lstMM1 = Numbered(links_.audio.outputDevices(), 0);
    lstMM2 = lstMM1;
    list1 = Numbered({"1", "2", "3", "4", "5", "6", "7"}, 1);
    List2 = Numbered({"One Day", "One Week", "One Month", "One Year"}, 1);
    List3 = List2;
    List4 = Numbered(
        {"Do Not Log", "1 per hour", "2 per hour", "3 per hour", "4 per hour", "1 per minute"}, 0);

    List4_Click(settings.EbNoLogRate);

    std::string reason, rec;
    RecordFile file = links_.files.openRecords(kSettingsPath, 2, &reason);
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
    settings.RecordThreshold = threshold;
    Check1_Click(IsOn(record(4)));
    Check3_Click(IsOn(record(5)));
    for (auto [n, click] :
         {std::pair{6, &SettingsForm::list1_Click}, std::pair{7, &SettingsForm::List2_Click},
          std::pair{8, &SettingsForm::List3_Click}}) {
        const int value = record(n);
        if (value > 0) (this->*click)(value - 1);
    }
    settings.EbNoLogRate = record(9);
    Check2_Click(IsOn(record(10)));
    Option2_Click(record(11));
    settings.WaveDrive = record(12);
    DeriveSettingValues(settings);
    Check4_Click(IsOn(record(17)));
    lstRec_Click(record(18));
    chkRecord_Click(IsOn(record(19)));
    chkRecStop_Click(IsOn(record(20)));
    chkTimeChange_Click(IsOn(record(21)));
    file.close();

    for (std::size_t i = 0; i < lstDrv.size(); ++i)
        if (lstDrv[i].value == settings.WaveDrive) lstDrv_Click(static_cast<int>(i));
}

void SettingsForm::list1_Click(int index) {
    if (Select(list1, list1Index, index))
        links_.settings.DaysToSaveWave =
            static_cast<std::int16_t>(list1[static_cast<std::size_t>(index)].value);
}

void SettingsForm::List2_Click(int index) {
    if (Select(List2, List2Index, index))
        links_.settings.ActivityLogPeriod =
            static_cast<std::int16_t>(List2[static_cast<std::size_t>(index)].value);
}

void SettingsForm::List3_Click(int index) {
    if (Select(List3, List3Index, index))
        links_.settings.EbNoLogPeriod =
            static_cast<std::int16_t>(List3[static_cast<std::size_t>(index)].value);
}

void SettingsForm::List4_Click(int index) {
    if (Select(List4, List4Index, index))
        links_.settings.EbNoLogRate = static_cast<std::int16_t>(index);
}

void SettingsForm::lstDrv_Click(int index) {
    if (!Select(lstDrv, lstDrvIndex, index)) return;
    links_.settings.WaveDrive =
        static_cast<std::int16_t>(lstDrv[static_cast<std::size_t>(index)].value);
    DeriveSettingValues(links_.settings);
    const std::string folder = links_.settings.WaveDriveLetter + ":\\Satfile";
    std::string error;
    if (!links_.files.folderExists(folder) && !links_.files.createFolder(folder, &error))
        links_.errors.showError("Cannot create " + folder + ": " + error);
}

void SettingsForm::Check1_Click(bool on) {
    Check1 = on;
    links_.settings.PlayVisible = Flag(on);
    links_.showButton(MainButton::Play, on);
}

void SettingsForm::Check2_Click(bool on) {
    Check2 = on;
    links_.settings.ActivityLog = Flag(on);
}

void SettingsForm::Check3_Click(bool on) {
    Check3 = on;
    links_.settings.StopVisible = Flag(on);
    links_.showButton(MainButton::Stop, on);
}

void SettingsForm::Check4_Click(bool on) {
    Check4 = on;
    links_.settings.ResetExpansionRelays = Flag(on);
}

void SettingsForm::chkRecord_Click(bool on) {
    chkRecord = on;
    links_.showButton(MainButton::Record, on);
}

void SettingsForm::chkRecStop_Click(bool on) {
    chkRecStop = on;
    links_.showButton(MainButton::RecStop, on);
}

void SettingsForm::chkTimeChange_Click(bool on) {
    chkTimeChange = on;
    if (!on) {
        Label10.clear();
        return;
    }
    // The coming changes: a change day stays "coming" until it is over.
    const Date today = links_.clock.now().date;
    const auto coming = [&today](const std::function<Date(int year)>& change) {
        const Date thisYear = change(today.year);
        return thisYear < today ? change(today.year + 1) : thisYear;
    };
    Label10 = "DST " + DateTextSlashed(coming(links_.dstStart)) + "  Std " +
              DateTextSlashed(coming(links_.dstEnd));
}

void SettingsForm::Option2_Click(int index) {
    const auto mode = static_cast<RemoteMode>(index);
    // A value no option carries selects none.
    if (mode != RemoteMode::Off && mode != RemoteMode::Parallel &&
        mode != RemoteMode::PrairieDigital)
        return;
    Option2 = index;
    links_.settings.RemoteControl = static_cast<std::int16_t>(index);
    if (mode == RemoteMode::PrairieDigital) links_.prairieChosen();
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
        links_.errors.showError("You must select the number of days to save wave files.");
        return;
    }
    if (lstDrvIndex < 0) {
        links_.errors.showError("You must select a hard drive.");
        return;
    }
    // "abc" must not become 0, which would start a recording on any noise.
    int threshold = 0;
    if (!ThresholdValue(txtThreshold, &threshold)) {
        links_.errors.showError(
            "The Record Audio Threshold must be a number from 0 to 32767.  It stays " +
            std::to_string(thresholdOnFile_) + ".");
        txtThreshold = std::to_string(thresholdOnFile_);
        return;
    }
    StationSettings& s = links_.settings;
    auto carried = [](const std::vector<SettingsLine>& list, int index, std::int16_t keep) {
        return index >= 0 ? static_cast<std::int16_t>(list[static_cast<std::size_t>(index)].value)
                          : keep;
    };
    s.ProgramPlayCard = carried(lstMM1, lstMM1Index, s.ProgramPlayCard);
    s.AuditionPlayCard = carried(lstMM2, lstMM2Index, s.AuditionPlayCard);
    s.RecordCard = carried(lstRec, lstRecIndex, s.RecordCard);
    s.PlayVisible = Flag(Check1);
    s.StopVisible = Flag(Check3);
    s.AdjustForTimeChange = Flag(chkTimeChange);
    // The threshold and the two Record button choices go to the file only; memory takes them
    // at the next opening of this window or the next start.
    const StationSettings inMemory = s;
    s.RecordThreshold = static_cast<std::int16_t>(threshold);
    thresholdOnFile_ = s.RecordThreshold;
    s.RecordVisible = Flag(chkRecord);
    s.RecStopVisible = Flag(chkRecStop);
    // Failures are ignored record by record.
    if (SaveStationSettings(s, links_.files)) links_.saved();
    s = inMemory;
}

}  // namespace quillmar
