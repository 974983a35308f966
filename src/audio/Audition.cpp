#include "audio/Audition.h"

#include "audio/Playout.h"
#include "audio/SoundFiles.h"
#include "platform/DateTime.h"

namespace quillmar {

Audition::Audition(AudioServices services, PlayoutState& playout, EventLoop& loop,
                   std::vector<Programme> programmes)
    : lstSchedule(std::move(programmes)), sv_(services), playout_(playout) {
    cmdPauseColour = ButtonColour::PaleYellow;
    player_ = sv_.audio.createPlayer();
    player_->onFinished = [this] {
        PlayerFinished();
        if (onChanged) onChanged();
    };
    Timer1 = loop.createTimer(100, false, [this] {
        Timer1_Timer();
        if (onChanged) onChanged();
    });
    Timer1->setEnabled(true);
}

Audition::~Audition() {
    Timer1->setEnabled(false);
    player_->onFinished = nullptr;
    player_->stop();
    playout_.AuditionPlaying = false;
}

const std::vector<std::string>& Audition::lstDay() {
    static const std::vector<std::string> days{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};
    return days;
}

bool Audition::playing() const {
    return playout_.AuditionPlaying;
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
        sv_.errors.showError("Select a Program");
        return false;
    }
    if (dayIndex < 0) {
        sv_.errors.showError("Select a Day");
        return false;
    }
    AuditionFile = SoundFileName(sv_.settings, dayIndex + 1, AuditionRecordNo, false);
    AuditionMarksFile = MarksFileName(AuditionFile);
    auto& files = sv_.files;
    const std::int64_t length = files.fileLength(AuditionFile);
    if (length <= 0) {
        if (length == 0) files.deleteMatching(AuditionFile);
        sv_.errors.showError("File does not exist");
        return false;
    }
    return true;
}

void Audition::cmdPlay_Click() {
    if (sv_.settings.ProgramPlayCard == sv_.settings.AuditionPlayCard &&
        ProgrammePlaying(playout_)) {
        sv_.errors.showError(kAlreadyPlaying);
        return;
    }
    if (!CheckSelection()) return;
    if (AuditionPaused) {
        player_->resume();
        AuditionPaused = false;
        cmdPauseColour = ButtonColour::PaleYellow;
    } else {
        player_->stop();
        std::string error;
        if (!player_->open(AuditionFile, sv_.settings.AuditionPlayCard, &error)) {
            sv_.errors.showError("Cannot play " + AuditionFile + ": " + error);
            return;
        }
        fileLengthMs = player_->lengthMs();
        const SoundMarks marks = ReadSoundMarks(sv_.files, AuditionMarksFile);
        AuditionEom = marks.EomMark;
        AuditionTrim = marks.TrimMark;
        if (AuditionEom == 0) AuditionEom = static_cast<float>(fileLengthMs) / 1000.0f;
        player_->setEndMs(AuditionTrim != 0 ? static_cast<std::int64_t>(AuditionTrim * 1000.0 + 0.5)
                                            : 0);
        TrackBarMax = fileLengthMs;
        if (!player_->play(&error)) {
            sv_.errors.showError("Cannot play " + AuditionFile + ": " + error);
            return;
        }
    }
    cmdPlayColour = ButtonColour::LightGreen;
    playout_.AuditionPlaying = true;
    focus = Focus::Stop;
}

void Audition::cmdPause_Click() {
    if (!playing() || AuditionPaused) return;
    AuditionPaused = true;
    player_->pause();
    cmdPauseColour = ButtonColour::Yellow;
    cmdPlayColour = ButtonColour::Green;
}

void Audition::StopAudPlay() {
    player_->stop();
    AuditionPaused = false;
    SliderHeld = false;
    cmdPlayColour = ButtonColour::Green;
    cmdPauseColour = ButtonColour::PaleYellow;
    lblDown = std::string(5, ' ');
    playout_.AuditionPlaying = false;
    lblTime = std::string(4, ' ');
    focus = Focus::Play;
}

void Audition::WriteMark(int record, float seconds) {
    std::string error;
    if (!WriteSoundMark(sv_.files, AuditionMarksFile, record, seconds, &error))
        sv_.errors.showError("Cannot write the marks file " + AuditionMarksFile + ": " + error);
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
    if (!player_->open(AuditionFile, sv_.settings.AuditionPlayCard, &error)) {
        sv_.errors.showError("Cannot read " + AuditionFile + ": " + error);
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
        cmdEOMColour = ButtonColour::Cyan;
    if (!SliderHeld) TrackBarValue = position;
}

void Audition::TrackBar_Released(std::int64_t positionMs) {
    TrackBarValue = positionMs;
    player_->seekMs(positionMs);
    SliderHeld = false;
    cmdEOMColour = ButtonColour::Blue;
}

void Audition::PlayerFinished() {
    TrackBarValue = player_->positionMs();
    StopAudPlay();
    cmdEOMColour = ButtonColour::Blue;
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
