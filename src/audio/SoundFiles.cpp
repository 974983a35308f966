#include "audio/SoundFiles.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "logs/ActivityLog.h"
#include "platform/DateTime.h"
#include "platform/RecordFile.h"

namespace quillmar {

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string EncodeFloat(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<char>(bits >> (8 * i) & 0xFF);
    return out;
}

float DecodeMark(const std::string& rec) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4 && static_cast<std::size_t>(i) < rec.size(); ++i)
        bits |=
            static_cast<std::uint32_t>(static_cast<std::uint8_t>(rec[static_cast<std::size_t>(i)]))
            << (8 * i);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    // A damaged file must not steer a playout: only a time within a day is a mark.
    if (!std::isfinite(value) || value < 0 || value > 86400) return 0;
    return value;
}

}  // namespace

std::string SoundFileName(const StationSettings& settings, int weekday, int recordNo,
                          bool upperCase) {
    std::string day;
    if (weekday >= 1 && weekday <= 7) {
        day = DayName(weekday);
    }
    char number[16];
    std::snprintf(number, sizeof number, "%03d", recordNo % 1000);
    std::string name =
        settings.WaveDriveLetter + ":\\satfile\\SF" + day.substr(0, 3) + number + ".wav";
    return upperCase ? Upper(name) : name;
}

std::string MarksFileName(const std::string& waveFile) {
    const auto dot = waveFile.find_last_of('.');
    const std::string base = dot == std::string::npos ? waveFile : waveFile.substr(0, dot);
    const bool upper = dot != std::string::npos && waveFile.compare(dot, 4, ".WAV") == 0;
    return base + (upper ? ".DAT" : ".dat");
}

SoundMarks ReadSoundMarks(FileSystem& files, const std::string& marksFile) {
    SoundMarks marks;
    std::string error, rec;
    RecordFile file = files.openRecords(marksFile, 4, &error);
    if (!file.isOpen()) return marks;
    file.read(1, &rec);
    marks.EomMark = DecodeMark(rec);
    file.read(2, &rec);
    marks.TrimMark = DecodeMark(rec);
    return marks;
}

bool WriteSoundMark(FileSystem& files, const std::string& marksFile, int n, float seconds,
                    std::string* error) {
    if (DrivePathKey(marksFile).empty()) {
        if (error) *error = "no such drive";
        return false;
    }
    RecordFile file = files.openRecords(marksFile, 4, error);
    if (!file.isOpen()) return false;
    return file.write(n, EncodeFloat(seconds), error);
}

int LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1'000'000'000L) break;
    }
    return static_cast<int>(negative ? -value : value);
}

std::int32_t ProgramLengthSeconds(std::string_view length) {
    const std::string_view minutes = length.substr(0, 2);
    const std::string_view seconds = length.size() >= 2 ? length.substr(length.size() - 2) : length;
    return LeadingNumber(minutes) * 60 + LeadingNumber(seconds);
}

std::string TrimmedName(std::string name) {
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

void ReportAudioError(Logs& logs, const std::string& message) {
    logs.errors.showError(message);
    WriteErrorLog(logs, TimeText(logs.clock.now()), message);
}

void LogAudioActivity(Logs& logs, const std::string& message) {
    WriteActivityLog(logs, message);
}

}  // namespace quillmar
