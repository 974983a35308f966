#include "audio/Audition.h"

#include "audio/AudioState.h"
#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "core/ClockTick.h"
#include "core/Station.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

Audition::Audition(Station& st) : st_(st) {
    cmdPauseColour = colour::PaleYellow;
    player_ = st_.platform.audio.createPlayer();
    player_->onFinished = [this] {
        PlayerFinished();
        if (onChanged) onChanged();
    };
    Timer1 = st_.platform.loop.createTimer(100, false, [this] {
        Timer1_Timer();
        if (onChanged) onChanged();
    });
    Timer1->setEnabled(true);
    const int count = ScheduleRecordCount(st_.schedule);
    for (int n = 1; n <= count && n <= kMaxSchedules; ++n) {
        const std::optional<ScheduleFields> f = ReadSchedule(st_.schedule, n);
        if (!f || f->InUse != ScheduleSlot::InUse) continue;
        lstSchedule.push_back({f->ProgramName, n});
    }
}

Audition::~Audition() {
    Timer1->setEnabled(false);
    player_->onFinished = nullptr;
    player_->stop();
    st_.playout.AuditionPlaying = false;
}

const std::vector<std::string>& Audition::lstDay() {
    static const std::vector<std::string> days{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};
    return days;
}

bool Audition::playing() const {
    return st_.playout.AuditionPlaying;
}

void Audition::lstDay_Click(int index) {
    if (index < 0 || index >= 7) return;
    dayIndex = index;
    lblWave = std::string(15, ' ');
}

void Audition::lstSchedule_Click(int index) {
    if (index < 0 || index >= static_cast<int>(lstSchedule.size())) return;
    programmeIndex = index;
    lblWave = std::string(11, ' ');
    AuditionRecordNo = lstSchedule[static_cast<std::size_t>(index)].recordNo;
    lblNumber = std::to_string(AuditionRecordNo);
}

// The selection and the file of Play and Export; false after the message.
bool Audition::CheckSelection() {
    if (programmeIndex < 0) {
        ShowError(st_, "Select a Program");
        return false;
    }
    if (dayIndex < 0) {
        ShowError(st_, "Select a Day");
        return false;
    }
    AuditionFile = SoundFileName(st_, dayIndex + 1, AuditionRecordNo, false);
    AuditionMarksFile = MarksFileName(AuditionFile);
    auto& files = st_.platform.files;
    const std::int64_t length = files.fileLength(AuditionFile);
    if (length <= 0) {
        if (length == 0) files.deleteMatching(AuditionFile);
        ShowError(st_, "File does not exist");
        return false;
    }
    return true;
}

void Audition::cmdPlay_Click() {
    if (st_.Settings.ProgramPlayCard == st_.Settings.AuditionPlayCard && ProgrammePlaying(st_)) {
        ShowError(st_, kAlreadyPlaying);
        return;
    }
    if (!CheckSelection()) return;
    if (AuditionPaused) {
        player_->resume();
        AuditionPaused = false;
        cmdPauseColour = colour::PaleYellow;
    } else {
        player_->stop();
        std::string error;
        const std::string host = st_.platform.files.hostPath(AuditionFile);
        if (!player_->open(host, st_.Settings.AuditionPlayCard, &error)) {
            ShowError(st_, "Cannot play " + AuditionFile + ": " + error);
            return;
        }
        fileLengthMs = player_->lengthMs();
        const SoundMarks marks = ReadSoundMarks(st_, AuditionMarksFile);
        AuditionEom = marks.EomMark;
        AuditionTrim = marks.TrimMark;
        if (AuditionEom == 0) AuditionEom = static_cast<float>(fileLengthMs) / 1000.0f;
        player_->setEndMs(AuditionTrim != 0 ? static_cast<std::int64_t>(AuditionTrim * 1000.0 + 0.5)
                                            : 0);
        TrackBarMax = fileLengthMs;
        if (!player_->play(&error)) {
            ShowError(st_, "Cannot play " + AuditionFile + ": " + error);
            return;
        }
    }
    cmdPlayColour = colour::LightGreen;
    st_.playout.AuditionPlaying = true;
    focus = Focus::Stop;
}

void Audition::cmdPause_Click() {
    if (!playing() || AuditionPaused) return;
    AuditionPaused = true;
    player_->pause();
    cmdPauseColour = colour::Yellow;
    cmdPlayColour = colour::Green;
}

void Audition::StopAudPlay() {
    player_->stop();
    AuditionPaused = false;
    SliderHeld = false;
    cmdPlayColour = colour::Green;
    cmdPauseColour = colour::PaleYellow;
    lblDown = std::string(5, ' ');
    st_.playout.AuditionPlaying = false;
    lblTime = std::string(4, ' ');
    focus = Focus::Play;
}

void Audition::WriteMark(int record, float seconds) {
    std::string error;
    if (!WriteSoundMark(st_, AuditionMarksFile, record, seconds, &error))
        ShowError(st_, "Cannot write the marks file " + AuditionMarksFile + ": " + error);
}

void Audition::cmdEOM_Click() {
    if (!playing()) return;
    AuditionEom = static_cast<float>(player_->positionMs()) / 1000.0f;
    WriteMark(1, AuditionEom);
}

// The length of the file the marks belong to, read afresh: the selection may have moved to
// another programme or day (Files, Export) since the last Play. False after the message.
bool Audition::ReadFileLength() {
    std::string error;
    if (!player_->open(st_.platform.files.hostPath(AuditionFile), st_.Settings.AuditionPlayCard,
                       &error)) {
        ShowError(st_, "Cannot read " + AuditionFile + ": " + error);
        return false;
    }
    fileLengthMs = player_->lengthMs();
    return true;
}

void Audition::cmdEOM_RightRelease() {
    if (playing() || AuditionMarksFile.empty() || !ReadFileLength()) return;
    AuditionEom = static_cast<float>(fileLengthMs) / 1000.0f;
    WriteMark(1, AuditionEom);
}

void Audition::cmdTrim_Click() {
    if (AuditionMarksFile.empty()) return;
    const bool wasPlaying = playing();
    if (wasPlaying) {
        AuditionTrim = static_cast<float>(player_->positionMs()) / 1000.0f;
    } else {
        if (!ReadFileLength()) return;
        AuditionTrim = static_cast<float>(fileLengthMs) / 1000.0f;
        AuditionEom = AuditionTrim;
    }
    if (AuditionEom > AuditionTrim) AuditionEom = AuditionTrim;
    if (wasPlaying) StopAudPlay();
    WriteMark(1, AuditionEom);
    WriteMark(2, AuditionTrim);
}

void Audition::Timer1_Timer() {
    if (!playing()) return;
    const std::int64_t position = player_->positionMs();
    lblTime = FormatElapsed(static_cast<std::int32_t>(position / 1000));
    const double remaining =
        (static_cast<double>(AuditionEom) * 1000.0 - static_cast<double>(position)) / 1000.0;
    if (remaining > 0)
        lblDown = FormatElapsed(WholeSeconds(remaining));
    else
        cmdEOMColour = colour::Cyan;
    if (!SliderHeld) TrackBarValue = position;
}

void Audition::TrackBar_Released(std::int64_t positionMs) {
    TrackBarValue = positionMs;
    player_->seekMs(positionMs);
    SliderHeld = false;
    cmdEOMColour = colour::Blue;
}

void Audition::PlayerFinished() {
    TrackBarValue = player_->positionMs();
    StopAudPlay();
    cmdEOMColour = colour::Blue;
}

std::string Audition::ExportFile() {
    return CheckSelection() ? AuditionFile : std::string();
}

std::int16_t Audition::levelLeft() const {
    return playing() ? player_->peakLeft() : 0;
}
std::int16_t Audition::levelRight() const {
    return playing() ? player_->peakRight() : 0;
}

}  // namespace quillmar
