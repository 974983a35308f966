#include "core/Playlist.h"

#include <algorithm>

#include "core/ClockTick.h"
#include "core/Station.h"
#include "schedule/ScheduleState.h"

namespace quillmar {

int AddPlaylistEntry(MainWindowModel& main, PlaylistEntry entry) {
    auto& list = main.PlayList;
    const auto at = std::upper_bound(list.begin(), list.end(), entry,
                                     [](const PlaylistEntry& a, const PlaylistEntry& b) {
                                         return TextLessNoCase(a.text, b.text);
                                     });
    const int position = static_cast<int>(at - list.begin());
    list.insert(at, std::move(entry));
    if (main.PlayListIndex >= position) ++main.PlayListIndex;
    return position;
}

void LoadManualPlaylist(Station& st) {
    const DateTime now = st.platform.clock.now();
    int row = now.date.weekday() - 1;
    if (st.tick.PlaylistRefreshed) row = (row + 1) % 7;
    const std::string nowText = TimeText(now);
    auto& main = st.main;

    const int last = std::min<int>(st.schedule.ScheduleCount, kMaxSchedules);
    for (int i = 1; i <= last; ++i) {
        if (st.schedule.ScheduleActive[static_cast<std::size_t>(i)] == 0) continue;
        const std::optional<ScheduleFields> f = ReadSchedule(st.schedule, i);
        if (!f || f->PlayStart != ScheduleStart::Manual) continue;
        for (int j = 0; j < 4; ++j) {
            // Empty slots are blank; a damaged one is not offered for playing; "HH:MM" is
            // listed as HH:MM:00, so entries sort and compare as whole times.
            const int second = ParsePlayTime(f->PlayTimes[static_cast<std::size_t>(row * 4 + j)]);
            if (second < 0) continue;
            const std::string t = TimeText(second);
            if (!st.tick.PlaylistUpcomingOnly || t > nowText)
                AddPlaylistEntry(main, {t + "  " + f->ProgramName, i});
        }
    }

    // The entry on air has passed its time; it stays listed until its playout ends.
    if (st.tick.PlaylistUpcomingOnly && st.playout.PlayState == PlayState::Playlist &&
        !st.playout.PlayingEntryText.empty() &&
        (main.PlayList.empty() || main.PlayList.front().text != st.playout.PlayingEntryText))
        AddPlaylistEntry(main, {st.playout.PlayingEntryText, st.playout.PlayingEntryRecordNo});

    if (main.PlayList.empty()) {
        main.Label1Visible = false;
        main.lblPlayDay = kNoManualSchedules;
        main.cmdPlayVisible = false;
        main.cmdStopVisible = false;
        return;
    }
    main.Label1Visible = true;
    // An empty-list notice no longer holds once entries are listed.
    if (main.lblPlayDay == kNoManualSchedules || main.lblPlayDay == kNoSchedulesToPlay)
        main.lblPlayDay.clear();
    if (IsOn(st.Settings.PlayVisible)) main.cmdPlayVisible = true;
    if (IsOn(st.Settings.StopVisible)) main.cmdStopVisible = true;
}

}  // namespace quillmar
