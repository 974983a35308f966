#pragma once
// Sound-file names and the marks file beside each wave file.

#include <cstdint>
#include <string>
#include <string_view>

#include "logs/LogState.h"
#include "platform/FileSystem.h"
#include "settings/StationSettings.h"

namespace quillmar {

// <drive>:\satfile\SF<DDD><nnn>.wav: DDD the first three letters of the weekday's name
// (1 = Sunday .. 7 = Saturday), nnn the schedule's record number in three digits. Upper case
// unless told otherwise (the audition keeps the case; names match without regard to it).
std::string SoundFileName(const StationSettings& settings, int weekday, int recordNo,
                          bool upperCase = true);
// The same name with ".dat": the marks file.
std::string MarksFileName(const std::string& waveFile);

// The marks file: two 4-byte single floats, little-endian; record 1 the EOM mark, record 2 the
// trim mark, in seconds from the start (0: the end of the file).
struct SoundMarks {
    float EomMark = 0;
    float TrimMark = 0;
};
// Reads both marks; a missing file is created empty (as an open for reading and writing does)
// and reads as 0. A mark that is not a number, negative or beyond a day reads as 0.
SoundMarks ReadSoundMarks(FileSystem& files, const std::string& marksFile);
// Writes record `n` (1 or 2). False with the reason on failure.
bool WriteSoundMark(FileSystem& files, const std::string& marksFile, int n, float seconds,
                    std::string* error);

// The leading number of a text as the runtime's Val reads it ("05" 5, " 7x" 7, "ab" 0).
int LeadingNumber(std::string_view text);
// Seconds of a programme length "MM:SS": the first two characters as minutes, the last two as
// seconds.
std::int32_t ProgramLengthSeconds(std::string_view length);
// The name without its trailing blanks.
std::string TrimmedName(std::string name);

// Reports an audio failure: error window, and an error-log line stamped now.
void ReportAudioError(Logs& logs, const std::string& message);
// Activity-log line of the audio engine.
void LogAudioActivity(Logs& logs, const std::string& message);

}  // namespace quillmar
