#include "core/ManualControls.h"

#include "core/Playlist.h"
#include "core/PlayoutSequences.h"
#include "core/RecordingSequences.h"
#include "core/Station.h"

namespace quillmar {

void cmdPlay_Click(Station& st) {
    PlayFromPlaylist(st);
    st.notifyChanged();
}

void cmdStop_Click(Station& st) {
    StopPlayout(st);
    st.notifyChanged();
}

void cmdRecord_Click(Station& st) {
    if (!st.next.record) {
        ShowError(st, "No Schedule has been set up for recording");
        return;
    }
    CueRecording(st);
    // The button follows the recorder: "Ready" once the capture runs, back after a failed arm.
    ArmRecording(st);
    st.notifyChanged();
}

void cmdRecStop_Click(Station& st) {
    StopRecording(st);
    st.notifyChanged();
}

void PlayList_KeyDown(Station& st, int keyCode) {
    auto& main = st.main;
    if (keyCode != kDeleteKey) return;
    const int index = main.PlayListIndex;
    if (index < 0 || index >= static_cast<int>(main.PlayList.size())) return;
    main.PlayList.erase(main.PlayList.begin() + index);
    main.PlayListIndex = -1;
    if (main.PlayList.empty()) {
        main.Label1Visible = false;
        main.lblPlayDay = kNoSchedulesToPlay;
        main.cmdPlayVisible = false;
    }
    st.notifyChanged();
}

void mnuLoadPlayList_Click(Station& st) {
    st.main.PlayList.clear();
    st.main.PlayListIndex = -1;
    st.tick.PlaylistUpcomingOnly = false;
    LoadManualPlaylist(st);
    st.notifyChanged();
}

}  // namespace quillmar
