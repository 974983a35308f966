#include "core/SettingsSequences.h"

#include "core/ClockTick.h"
#include "core/RemoteSequences.h"
#include "core/Station.h"
#include "settings/StationSettings.h"

namespace quillmar {

void LoadStationSettings(Station& st) {
    NoteSoundCardsChosen(st, ReadStationSettings(st.Settings, st.platform.files));
    st.recorder.RecordDevice =
        st.Settings.RecordCard;  // a changed record card acts at the next start
    st.main.cmdRecordVisible = IsOn(st.Settings.RecordVisible);
    st.main.cmdRecStopVisible = IsOn(st.Settings.RecStopVisible);
}

bool SaveStationSettings(Station& st, std::string* error) {
    const bool ok = SaveStationSettings(st.Settings, st.platform.files, error);
    if (ok) NoteSoundCardsChosen(st, true);
    return ok;
}

SettingsFormLinks SettingsFormLinksOf(Station& st) {
    const auto shown = [&st](MainButton button, bool on) {
        switch (button) {
            case MainButton::Play:
                st.main.cmdPlayVisible = on;
                break;
            case MainButton::Stop:
                st.main.cmdStopVisible = on;
                break;
            case MainButton::Record:
                st.main.cmdRecordVisible = on;
                break;
            case MainButton::RecStop:
                st.main.cmdRecStopVisible = on;
                break;
        }
    };
    return SettingsFormLinks{st.Settings,
                             st.platform.files,
                             st.platform.audio,
                             st.platform.clock,
                             st.platform.errors,
                             shown,
                             [&st] { WritePrairieControlWord(st); },
                             [&st] { NoteSoundCardsChosen(st, true); },
                             &DstStart,
                             &DstEnd};
}

void NoteSoundCardsChosen(Station& st, bool chosen) {
    st.main.lblStartHere = StartHereLine(chosen);
}

}  // namespace quillmar
