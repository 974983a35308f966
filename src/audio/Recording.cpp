#include "audio/Recording.h"

#include "audio/SoundFiles.h"
#include "logs/ActivityLog.h"
#include "platform/DateTime.h"

namespace quillmar {

namespace {

// The start mode as the schedule file stores it.
void EndSilenceAlarm(RecorderState& rec, AudioServices& sv, double now) {
    const std::string& name = rec.Armed->name;
    WriteErrorLog(sv.logs, rec.SilenceAlarmTime,
                  name + " Audio Alarm " + FormatElapsed(rec.SilenceStart));
    WriteErrorLog(sv.logs, TimeText(sv.clock.now()),
                  name + " End Alarm   " +
                      FormatElapsed(WholeSeconds(SecondsSince(rec.RecordStartTime, now))));
    WriteErrorLog(sv.logs, "", "");
    rec.AudioAlarm = false;
    rec.SilenceAlarmTime.clear();
}

}  // namespace

RecordProgramme CuedProgramme(const StationSettings& settings, const ScheduleFields& fields,
                              int weekday, int recordNo) {
    RecordProgramme p;
    p.name = fields.ProgramName;
    p.file = SoundFileName(settings, weekday, recordNo);
    p.marksFile = MarksFileName(p.file);
    p.start = fields.RecordStart;
    p.recordNo = recordNo;
    p.weekday = weekday;
    p.seconds = ProgramLengthSeconds(fields.ProgramLength);
    p.channels = IsMonoRoute(fields.Route) ? 1 : 2;
    return p;
}

ArmResult ArmRecorder(RecorderState& rec, AudioServices& sv, const std::string& slot, double now,
                      CaptureEvents events) {
    // A second arm while writing would restart the wait and lose the recording's stop; one
    // that is ending finishes first.
    if (rec.RecordState == RecordState::Recording || rec.Chains.Ending != RecordEnding::None)
        return ArmResult::Ignored;
    ArmResult result = ArmResult::Rearmed;
    if (rec.RecordState == RecordState::Idle) {
        if (!rec.Cued || rec.Chains.FailedArm == slot)
            return ArmResult::Ignored;  // reported once already
        rec.Armed = std::move(rec.Cued);
        rec.Cued.reset();
        rec.RecordedSeconds = 0;
        rec.LastAudioTime = 0;
        rec.AudioAlarm = false;
        std::string error;
        if (!OpenRecordChain(rec, sv, std::move(events), &error)) {
            ReportAudioError(sv.logs, "Cannot record " + rec.Armed->file + ": " + error);
            rec.Chains.FailedArm = slot;
            rec.RecordState = RecordState::WaitingForAudio;  // the dump ends it
            return ArmResult::Failed;
        }
        result = ArmResult::Opened;
    }
    if (!rec.Armed) return ArmResult::Ignored;
    rec.RecordState = RecordState::WaitingForAudio;
    if (rec.Armed->start == ScheduleStart::Manual) rec.RelayRecordArmed = true;
    rec.ArmDeadline = WholeSeconds(now + rec.Armed->seconds);
    return result;
}

void StartRecorder(RecorderState& rec, double now, std::int64_t nowMoment) {
    rec.Chains.WriterEnabled = true;
    rec.RecordStartTime = static_cast<float>(now);
    rec.RecordStopTime = WholeSeconds(now + rec.Armed->seconds);
    rec.StopAt = nowMoment + rec.Armed->seconds * 1000LL;
    rec.RecordState = RecordState::Recording;
    rec.LastAudioTime = static_cast<std::int32_t>(now);
    rec.LastRecording = rec.Armed;
}

StopResult StopRecorder(RecorderState& rec, AudioServices& sv, const CaptureResult& result) {
    // Nothing armed: there is no file to close and no marks of this run to write.
    if (rec.RecordState == RecordState::Idle) return StopResult::NotArmed;
    if (!result.opened || (rec.RecordState == RecordState::WaitingForAudio && result.fileMs <= 0))
        return StopResult::NothingWritten;
    if (rec.RecordState == RecordState::WaitingForAudio) {
        // A relay recording writes from its Record input, before any buffer was loud.
        rec.RecordedSeconds = static_cast<float>(result.fileMs) / 1000.0f;
    }

    const RecordProgramme& armed = *rec.Armed;
    std::string error;
    if (!WriteSoundMark(sv.files, armed.marksFile, 1, rec.RecordedSeconds, &error) ||
        !WriteSoundMark(sv.files, armed.marksFile, 2, rec.RecordedSeconds, &error))
        ReportAudioError(sv.logs, "Cannot write the marks file " + armed.marksFile + ": " + error);

    LogAudioActivity(
        sv.logs, "Stop   " + armed.name + " " + FormatElapsed(WholeSeconds(rec.RecordedSeconds)));
    rec.AudioAlarm = false;
    // The export is this recording's, whatever an earlier one left behind.
    rec.LastRecording = armed;
    return StopResult::Stopped;
}

void DumpRecorder(RecorderState& rec, AudioServices& sv, const CaptureResult& result) {
    if (rec.RecordState == RecordState::Idle) return;
    RemoveEmptiedWave(rec, sv, result);
    LogAudioActivity(sv.logs, "Dump " + (rec.Armed ? rec.Armed->name : std::string()));
}

void EndRecorder(RecorderState& rec, AudioDisplay& display) {
    display.RecordMetersVisible = false;
    display.RecordPeakLeft = display.RecordPeakRight = 0;
    rec.RecordState = RecordState::Idle;
    rec.AudioAlarm = false;
    rec.SilenceAlarmTime.clear();
    rec.RelayRecordArmed = false;
    rec.Armed.reset();
}

void TakeRecordPeaks(AudioDisplay& display, const CaptureSummary& buffer) {
    display.RecordPeakLeft = buffer.peakLeft;
    display.RecordPeakRight = buffer.peakRight;
}

void TakeRecordSummary(RecorderState& rec, AudioServices& sv, const CaptureSummary& buffer) {
    const double now = sv.clock.now().secondsOfDay();
    if (rec.RecordState == RecordState::Recording && buffer.loud) {
        rec.RecordedSeconds = static_cast<float>(buffer.fileMs) / 1000.0f;
        rec.LastAudioTime = static_cast<std::int32_t>(now);
        if (rec.AudioAlarm) EndSilenceAlarm(rec, sv, now);
    }
    if (rec.RecordState == RecordState::Recording && !rec.AudioAlarm &&
        SecondsSince(rec.LastAudioTime, now) > 5.0) {
        rec.SilenceAlarmTime = TimeText(sv.clock.now());
        rec.AudioAlarm = true;
        rec.SilenceStart = WholeSeconds(SecondsSince(rec.RecordStartTime, rec.LastAudioTime));
    }
    if (rec.Chains.WaveIn && rec.Chains.WaveIn->overruns() > rec.Chains.OverrunsReported)
        ReportCaptureOverruns(rec, sv.logs);
}

void EnableRecordWriter(RecorderState& rec) {
    if (rec.RecordState != RecordState::WaitingForAudio || !rec.RelayRecordArmed ||
        rec.Chains.Ending != RecordEnding::None || rec.Chains.WriterEnabled)
        return;
    rec.Chains.WriterEnabled = true;
    if (rec.Chains.WaveIn) rec.Chains.WaveIn->writeNow();
}

}  // namespace quillmar
