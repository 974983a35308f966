#include "core/ExportSequences.h"

#include "core/Station.h"

namespace quillmar {

ExportServices ExportServicesOf(Station& st) {
    Platform& p = st.platform;
    Timer& progress = *st.timers.tmrExport;
    return {st.Export, st.logs,  p.files,  p.audio,
            p.clock,   p.errors, progress, [&st] { st.notifyChanged(); }};
}

MailOut MailOutOf(Station& st) {
    Platform& p = st.platform;
    return {p.mail, st.logs, p.clock, p.errors, [&st] { st.notifyChanged(); }};
}

std::optional<ExportJob> CheckExport(Station& st, const FinishedRecording& recording) {
    st.noteAction("CheckExport");
    if (!ExportSelected(st.Export, recording)) return std::nullopt;
    st.noteAction("ExportRecording");
    return ExportRecording(ExportServicesOf(st), recording);
}

void CheckExport(Station& st) {
    const std::optional<RecordProgramme>& last = st.recorder.LastRecording;
    if (!last) return;
    const FinishedRecording recording{last->recordNo, last->weekday, last->file,
                                      st.recorder.RecordedSeconds, last->channels};
    if (const auto job = CheckExport(st, recording))
        st.recorder.RecordedSeconds = static_cast<float>(job->ExportLengthMs) / 1000.0f;
}

void SendMailToAddressBook(Station& st, const std::string& subject, const std::string& note) {
    st.noteAction("SendMailToAddressBook");
    SendMailToAddressBook(MailOutOf(st), st.Export, MailMessage{{}, subject, note});
}

bool SendTestMessage(Station& st, int recordNo) {
    return SendTestMessage(MailOutOf(st), st.Export, st.Export.Account, recordNo);
}

}  // namespace quillmar
