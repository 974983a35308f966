#include "core/ClockTick.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "core/NextEvent.h"
#include "core/NightlyPurge.h"
#include "core/Playlist.h"
#include "core/PlayoutSequences.h"
#include "core/ReceiverSequences.h"
#include "core/RecordingSequences.h"
#include "core/RemoteSequences.h"
#include "core/Station.h"
#include "logs/ActivityLog.h"
#include "receiver/RemoteControl.h"

namespace quillmar {

namespace {

constexpr std::int64_t kDayMs = 86'400'000;
constexpr double kHalfDay = 43'200;
constexpr std::int64_t kTickMs = 50;
// A timed play later than this is reported as missed rather than started.
constexpr std::int64_t kLatestPlayMs = 60'000;

Date FirstSundayFrom(Date d) {
    while (d.weekday() != 1) d = d.addDays(1);
    return d;
}

const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

int Digits2(std::string_view text, std::size_t at) {
    const char a = text[at], b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

// The numbers of a time field by position, as the countdowns read them: non-digits count 0.
int TimeFieldSeconds(std::string_view text) {
    auto number = [&](std::size_t at) {
        int value = 0;
        for (std::size_t i = at; i < at + 2 && i < text.size(); ++i)
            if (text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i] - '0');
        return value;
    };
    return number(0) * 3600 + number(3) * 60 + number(6);
}

// The latest moment at or before `at` that falls on a given second of the day.
std::int64_t LatestDaily(std::int64_t at, int secondOfDay) {
    std::int64_t moment = at - at % kDayMs + secondOfDay * 1000LL;
    if (moment > at) moment -= kDayMs;
    return moment;
}

// The latest Eb/No poll moment (second 12 of a listed minute) at or before `at`.
std::int64_t LatestEbNoMoment(std::int64_t at, int rate) {
    static const int kEvery[] = {0, 60, 30, 20, 15, 1};  // minutes between polls, by rate
    const std::int64_t second = at / 1000;
    std::int64_t moment = second - second % 60 + 12;
    if (moment > second) moment -= 60;
    while (moment / 60 % 60 % kEvery[rate] != 0) moment -= 60;
    return moment * 1000;
}

// Seconds of day of `now` on the day a value of the recording or playout refers to. Such
// values are set at most a few hours before they fall due, so one lying more than half a day
// ahead was set yesterday: now counts from yesterday's midnight.
double NowAgainst(double value, double now) {
    return value - now > kHalfDay ? now + 86400 : now;
}

std::int32_t CountTo(std::int64_t moment, std::int64_t at) {
    return WholeSeconds(static_cast<double>(moment - at) / 1000.0);
}

// The exact-second actions that fall due on one tick; more than one only on a late tick.
enum class Exact { TimedPlay, MissedPlay, Switch, Refresh, EbNo, Purge };
struct Due {
    std::int64_t moment;
    Exact what;
};

struct Tick {
    Station& st;
    DateTime now;
    std::int64_t at = 0;    // MomentOf(now)
    std::int64_t prev = 0;  // the previous tick
    std::array<Due, 8> due{};
    std::size_t dueCount = 0;

    double seconds() const { return now.secondsOfDay(); }
    void add(std::int64_t moment, Exact what) {
        if (dueCount < due.size()) due[dueCount++] = {moment, what};
    }
    // Reached since the previous tick and not yet run: mark it and say so.
    bool take(std::int64_t moment, std::int64_t& doneFor) const {
        if (moment <= prev || moment > at || moment <= doneFor) return false;
        doneFor = moment;
        return true;
    }
};

void DaylightSavingTrigger(Station& st, const DateTime& now, std::int64_t prev) {
    if (!IsOn(st.Settings.AdjustForTimeChange)) return;
    if (now.date != st.schedule.DstStartDate && now.date != st.schedule.DstEndDate) return;
    const double s = now.secondsOfDay();
    const bool inside = s > 7194 && s < 7196;
    // A late tick that jumped the whole window still arms the shift.
    const bool jumped =
        prev <= MomentOf(now.date, 7194) && MomentOf(now) >= MomentOf(now.date, 7196);
    if (inside || jumped) st.timers.tmrTimeChange->setEnabled(true);
}

void PlayoutCountdown(Station& st, double now) {
    if (st.playout.PlayState == PlayState::Idle) return;
    // A playout started before midnight: its EOM time moves into the new day.
    if (st.playout.EomTime - now > kHalfDay) st.playout.EomTime -= 86400;
    const std::int32_t remaining = WholeSeconds(st.playout.EomTime - now);
    if (remaining < 0 && !st.playout.EomSent) {
        st.remote.RemoteOutputBits |= 1;
        WriteRemoteOutputs(st);
        st.timers.TimerEOM->setEnabled(true);
        st.playout.EomSent = true;
    }
    st.main.lblPlayTime = FormatElapsed(remaining);
}

void ReportMissedPlay(Station& st) {
    std::string name;
    if (!st.next.play) return;
    const NextPlay& play = *st.next.play;
    if (const auto f = ReadSchedule(st.schedule, play.recordNo)) {
        name = f->ProgramName;
        while (!name.empty() && name.back() == ' ') name.pop_back();
    }
    WriteErrorLog(st.logs, TimeText(st.platform.clock.now()),
                  "Missed timed play " + name + " due " + play.dateText + " " + play.time);
}

void CollectTimedPlay(Tick& t) {
    Station& st = t.st;
    // A play the finder no longer holds (its schedule was deleted) is not started.
    if (!st.next.play) return;
    const int second = ParseTimeText(st.next.play->time);
    if (second < 0 || !st.next.play->date.isValid()) return;
    const std::int64_t moment = MomentOf(st.next.play->date, second);
    if (moment > t.at || moment <= st.tick.TimedPlayDoneFor) return;
    if (t.at - moment > kLatestPlayMs)
        t.add(moment, Exact::MissedPlay);
    else if (st.playout.PlayState ==
             PlayState::Idle)  // else it waits for the playout on air, up to the limit
        t.add(moment, Exact::TimedPlay);
}

// The moment the switch countdown reaches k (rounded) lies half a second before the
// nominal one; each runs on the tick that reaches it, or the first late tick after.
std::int64_t SwitchTarget(const Tick& t) {
    const Station& st = t.st;
    if (!st.next.toSwitch) return -1;
    const NextSwitch& next = *st.next.toSwitch;
    if (next.time.size() < 3 || next.time[2] != ':') return -1;
    int days = next.day - t.now.date.weekday();
    if (days < 0) days += 7;
    return MomentOf(t.now.date.addDays(days), TimeFieldSeconds(next.time));
}

void CollectSwitch(Tick& t, std::int64_t target) {
    if (target < 0) return;
    const std::int32_t before = CountTo(target, t.prev);
    const std::int32_t count = CountTo(target, t.at);
    for (const int k : {1, 0}) {
        const std::int64_t moment = target - k * 1000;
        if (before > k && count <= k && moment > t.st.tick.SwitchDoneFor)
            t.add(moment, Exact::Switch);
    }
}

void CollectDaily(Tick& t) {
    Station& st = t.st;
    const std::int64_t refresh = LatestDaily(t.at, 86395);
    if (t.take(refresh, st.tick.RefreshDoneFor)) t.add(refresh, Exact::Refresh);

    if (st.tick.EbNoPolledFlag && t.now.second() > 13) st.tick.EbNoPolledFlag = false;
    const int rate = st.Settings.EbNoLogRate;
    if (rate >= 1 && rate <= 5) {
        const std::int64_t poll = LatestEbNoMoment(t.at, rate);
        // A poll made just before the moment (the receiver alarm polls too) stands for it.
        if (t.take(poll, st.tick.EbNoDoneFor) && !(st.tick.EbNoPolledFlag && t.at - t.prev < 1000))
            t.add(poll, Exact::EbNo);
    }

    const std::int64_t purge = LatestDaily(t.at, 30);
    if (t.take(purge, st.tick.PurgeDoneFor)) t.add(purge, Exact::Purge);
}

void RefreshPlaylist(Tick& t, std::int64_t moment) {
    Station& st = t.st;
    // Run late after midnight, the day the list is for has already begun.
    st.tick.PlaylistRefreshed = moment / kDayMs == t.at / kDayMs;
    st.main.PlayList.clear();
    st.main.PlayListIndex = -1;
    st.tick.PlaylistUpcomingOnly = false;
    LoadManualPlaylist(st);
}

void Run(Tick& t, const Due& d) {
    Station& st = t.st;
    switch (d.what) {
        case Exact::TimedPlay:
            st.tick.TimedPlayDoneFor = d.moment;
            PlayScheduled(st);
            FindNextPlay(st);
            break;
        case Exact::MissedPlay:
            st.tick.TimedPlayDoneFor = d.moment;
            ReportMissedPlay(st);
            FindNextPlay(st);
            break;
        case Exact::Switch:
            st.tick.SwitchDoneFor = d.moment;
            RunSwitchOnly(st);
            st.timers.TimerCueSwitch->setEnabled(true);
            break;
        case Exact::Refresh:
            RefreshPlaylist(t, d.moment);
            break;
        case Exact::EbNo:
            PollReceiverEbNo(st);
            break;
        case Exact::Purge:
            PurgeOldFiles(st);
            break;
    }
}

// Runs what fell due, in time order; actions of the same moment keep the order of the tick.
void RunExactActions(Tick& t) {
    CollectTimedPlay(t);
    CollectSwitch(t, SwitchTarget(t));
    CollectDaily(t);
    auto* first = t.due.data();
    std::stable_sort(first, first + t.dueCount,
                     [](const Due& a, const Due& b) { return a.moment < b.moment; });
    for (std::size_t i = 0; i < t.dueCount; ++i) Run(t, t.due[i]);
}

void PlayCountdown(Tick& t) {
    Station& st = t.st;
    if (!st.next.play) {
        st.main.lblNextPlayTime.clear();
        return;
    }
    const double count = static_cast<double>(DaysBetween(t.now.date, st.next.play->date)) * 86400 +
                         st.next.play->seconds - t.seconds();
    st.main.lblNextPlayTime = FormatCountdown(WholeSeconds(count));
}

void SwitchCountdown(Tick& t) {
    Station& st = t.st;
    const std::int64_t target = SwitchTarget(t);
    if (target < 0) {
        // A slot time that cannot be read counts down to nothing: no earlier count may stay.
        st.main.lblSwitchTimer.clear();
        return;
    }
    std::int32_t count = CountTo(target, t.at);
    if (count < 0) {
        // One look-up per passed switch: the finder may name the same slot for next week.
        if (st.tick.SwitchRefindFor != target) {
            st.tick.SwitchRefindFor = target;
            st.timers.TimerGetNextSwitch->setEnabled(true);
        }
        count += 604800;
    }
    st.main.lblSwitchTimer = FormatCountdown(count);
}

void RecordingSteps(Tick& t) {
    Station& st = t.st;
    const double now = t.seconds();
    Date day;
    const bool scheduled = st.next.record && ParseDateText(st.next.record->dateText, &day);
    std::int32_t count = 0;
    if (scheduled) {
        const std::int64_t target = MomentOf(day, 0) + st.next.record->seconds * 1000LL;
        const std::int32_t before = CountTo(target, t.prev);
        count = CountTo(target, t.at);
        // The cue runs 3 s after 17 and after 7; a late tick still cues while time is left.
        for (const int k : {17, 7})
            if (before > k && count <= k && count > 0) st.timers.TimerCue->setEnabled(true);
        const auto& cued = st.recorder.Cued;
        if (cued && cued->start == ScheduleStart::Timed && count <= 0 &&
            st.recorder.RecordState == RecordState::Idle)
            ArmRecording(st);
        if (count < 0) PassFailedArm(st);
    }
    // Stop and dump do not depend on a next slot being found: a recording under way ends.
    const auto& armed = st.recorder.Armed;
    if (armed && armed->start == ScheduleStart::Timed &&
        st.recorder.RecordState == RecordState::Recording &&
        NowAgainst(st.recorder.RecordStopTime, now) > st.recorder.RecordStopTime)
        StopRecording(st);
    if (st.recorder.RecordState == RecordState::WaitingForAudio &&
        NowAgainst(st.recorder.ArmDeadline, now) > st.recorder.ArmDeadline)
        DumpRecording(st);
    // A day or more away, the whole count shows, as the play countdown does, not its wrap.
    if (scheduled)
        st.main.lblRecTime = count >= 86400 ? FormatCountdown(count) : FormatElapsed(count);
    if (st.recorder.RecordState == RecordState::Recording)
        st.main.lblRecordTimer =
            FormatElapsed(WholeSeconds(SecondsSince(st.recorder.RecordStartTime, now)));
}

// The once-only flags go down a little after their moment.
void LowerFlags(Tick& t) {
    Station& st = t.st;
    const double s = t.seconds();
    // Outside 23:59:55-23:59:57 the list is built for today again.
    if (st.tick.PlaylistRefreshed && (s > 86397 || s < 86395)) st.tick.PlaylistRefreshed = false;
    if (s > 31 && st.tick.PurgeDone) st.tick.PurgeDone = false;
}

}  // namespace

Date DstStart(int year) {
    return FirstSundayFrom(year == 2006 ? Date{year, 4, 1} : Date{year, 3, 8});
}
Date DstEnd(int year) {
    return FirstSundayFrom(year == 2006 ? Date{year, 10, 25} : Date{year, 11, 1});
}

void ComputeDstDates(Station& st) {
    const int year = st.platform.clock.now().date.year;
    st.schedule.DstStartDate = DstStart(year);
    st.schedule.DstEndDate = DstEnd(year);
}

std::string ClockLine(const DateTime& t) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s  %s  Day  %d  %s", kWeekdays[t.date.weekday() - 1],
                  DateTextSlashed(t.date).c_str(), t.date.dayOfYear(), TimeText(t).c_str());
    return buf;
}

bool ParseDateText(std::string_view text, Date* date) {
    if (text.size() != 10 || text[2] != text[5] || (text[2] != '/' && text[2] != '-')) return false;
    const int m = Digits2(text, 0), d = Digits2(text, 3), y1 = Digits2(text, 6),
              y2 = Digits2(text, 8);
    if (m < 0 || d < 0 || y1 < 0 || y2 < 0) return false;
    const Date parsed{y1 * 100 + y2, m, d};
    if (!parsed.isValid()) return false;
    *date = parsed;
    return true;
}

int ParseTimeText(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return -1;
    const int h = Digits2(text, 0), m = Digits2(text, 3), s = Digits2(text, 6);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return -1;
    return h * 3600 + m * 60 + s;
}

int ParsePlayTime(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return -1;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() == 5) return ParseTimeText(std::string(text) + ":00");
    return ParseTimeText(text);
}

bool TickFollowsClosely(const Station& st) {
    return st.recorder.RecordState != RecordState::Idle ||
           st.playout.PlayState != PlayState::Idle ||
           RemoteControlModeOf(st.Settings.RemoteControl) != RemoteControlMode::Off ||
           st.receiver.running || !st.receiver.waiting.empty();
}

int NextTickDelayMs(const Station& st, const DateTime& now) {
    const int ms = static_cast<int>(now.msOfDay % 1000);
    if (TickFollowsClosely(st)) return static_cast<int>(kTickMs) - ms % static_cast<int>(kTickMs);
    int next = 1000;  // the next second's .000
    for (const int mark : {550, 500, 50})
        if (mark > ms) next = mark;
    return next - ms;
}

void ArmClockTick(Station& st) {
    Timer& clock = *st.timers.tmrClock;
    clock.setEnabled(false);
    const DateTime now = st.platform.clock.now();
    const int delay = NextTickDelayMs(st, now);
    clock.setInterval(delay);
    clock.setEnabled(true);
    st.timers.clockDue = now.addMs(delay);
}

void KeepTickPace(Station& st) {
    const Timer& clock = *st.timers.tmrClock;
    if (clock.isEnabled() && clock.interval() > kTickMs && TickFollowsClosely(st)) ArmClockTick(st);
}

void ClockTick(Station& st) {
    const DateTime first = st.platform.clock.now();
    const auto due = std::exchange(st.timers.clockDue, std::nullopt);
    if (st.platform.watchdog)
        st.platform.watchdog->alive(
            due ? std::max<std::int64_t>(0, MomentOf(first) - MomentOf(*due)) : 0);
    const std::int64_t prev = st.tick.TickStarted ? st.tick.LastTickAt : MomentOf(first) - kTickMs;

    DaylightSavingTrigger(st, first, prev);
    PlayoutCountdown(st, first.secondsOfDay());
    ReadRemoteInputs(st);

    // The remote inputs may have set the clock: the rest works from the time as it is now.
    Tick t{st, st.platform.clock.now()};
    t.at = MomentOf(t.now);
    t.prev = prev;

    RunExactActions(t);  // the timed play, the switch, the refresh, the poll and the purge
    PlayCountdown(t);
    // The line shows whole seconds; formatting it twenty times a second is idle cost.
    if (!st.tick.TickStarted || t.at / 1000 != prev / 1000) st.main.lblClock = ClockLine(t.now);
    SwitchCountdown(t);
    RecordingSteps(t);
    LowerFlags(t);

    st.tick.TickStarted = true;
    st.tick.LastTickAt = t.at;
}

}  // namespace quillmar
