#include "audio/Playout.h"

#include <cmath>

#include "audio/SoundFiles.h"

namespace quillmar {

bool PlayoutAllowed(const PlayoutState& play, const StationSettings& settings,
                    ErrorDisplay& errors) {
    if (play.PlayState != PlayState::Idle) return false;
    if (settings.ProgramPlayCard == settings.AuditionPlayCard && play.AuditionPlaying) {
        errors.showError(kAlreadyPlaying);
        return false;
    }
    return true;
}

bool StartPlayout(PlayoutState& play, AudioChains& chains, AudioDisplay& display, AudioServices& sv,
                  const std::string& waveFile, const std::string& marksFile,
                  const std::function<void()>& onFinished) {
    if (!chains.WavePlayer) {
        chains.WavePlayer = sv.audio.createPlayer();
        chains.WavePlayer->onFinished = onFinished;
    }
    AudioPlayer& player = *chains.WavePlayer;
    display.PlayMetersVisible = true;
    std::string error;
    if (!player.open(waveFile, sv.settings.ProgramPlayCard, &error)) {
        display.PlayMetersVisible = false;
        ReportAudioError(sv.logs, "Cannot play " + waveFile + ": " + error);
        return false;
    }
    const SoundMarks marks = ReadSoundMarks(sv.files, marksFile);
    play.EomMark = marks.EomMark;
    play.TrimMark = marks.TrimMark;
    if (play.TrimMark != 0)
        player.setEndMs(static_cast<std::int64_t>(std::nearbyint(play.TrimMark * 1000.0)));
    else
        player.setEndMs(0);
    const double eomAfter = play.EomMark != 0 ? static_cast<double>(play.EomMark)
                                              : static_cast<double>(player.lengthMs()) / 1000.0;
    play.EomTime = eomAfter + sv.clock.now().secondsOfDay();
    if (!player.play(&error)) {
        player.stop();
        display.PlayMetersVisible = false;
        ReportAudioError(sv.logs, "Cannot play " + waveFile + ": " + error);
        return false;
    }
    if (IsOn(sv.settings.PlayVisible)) display.cmdPlayColour = ButtonColour::LightGreen;
    return true;
}

void EndPlayout(PlayoutState& play, AudioDisplay& display) {
    // Green means "on air"; once the player stops the button looks as it did before.
    display.cmdPlayColour = ButtonColour::AsLaidOut;
    display.PlayMetersVisible = false;
    play.PlayState = PlayState::Idle;
    play.PlayingEntryText.clear();
    play.PlayingEntryRecordNo = 0;
}

PlayLevels ProgrammeLevels(const AudioChains& chains) {
    const auto& player = chains.WavePlayer;
    if (!player || !player->isPlaying()) return {};
    return {player->peakLeft(), player->peakRight()};
}

bool ProgrammePlaying(const PlayoutState& play) {
    return play.PlayState != PlayState::Idle;
}

}  // namespace quillmar
