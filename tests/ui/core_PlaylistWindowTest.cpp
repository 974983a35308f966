// The main window's playlist, its Delete key and the transport buttons, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "schedule/ScheduleRecord.h"
#include "settings/StationSettings.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

std::string Manual(const std::string& name, std::initializer_list<const char*> saturdayTimes) {
    ScheduleFields f;
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = name;
    f.PlayStart = ScheduleStart::Manual;
    f.Action = ScheduleAction::Record;
    int slot = 0;
    for (const char* t : saturdayTimes) f.PlayTimes[static_cast<std::size_t>(6 * 4 + slot++)] = t;
    return BuildScheduleRecord(f);
}

// PlayVisible and StopVisible 1.
const std::string kButtonsShown = std::string(6, '\0') + std::string("\x01\x00\x01\x00", 4);

}  // namespace

TEST(MainWindowPlaylist, ListsTheDaysEntriesAndDeletesTheSelectedOneWithTheKey) {
    // Given two manual play times still to come today,
    SimStation s;
    s.write(kSettingsPath, kButtonsShown);
    s.write(kScheduleFilePath, Manual("Swap Shop", {"13:00:00", "15:00:00"}));
    s.start();
    mnuMenu w(s.st());
    w.show();
    ASSERT_EQ(w.PlayList->count(), 2);
    EXPECT_EQ(w.PlayList->item(0)->text(), "13:00:00  Swap Shop                ");
    EXPECT_TRUE(w.PlayList->isVisible());
    EXPECT_TRUE(w.Label1->isVisible());
    EXPECT_TRUE(w.cmdPlay->isVisible());
    // when the operator selects the second and presses Delete, then it goes;
    w.PlayList->setCurrentRow(1);
    EXPECT_EQ(s.st().main.PlayListIndex, 1);
    QTest::keyClick(w.PlayList, Qt::Key_Delete);
    ASSERT_EQ(w.PlayList->count(), 1);
    EXPECT_EQ(w.PlayList->item(0)->text().left(8), "13:00:00");
    // other keys and Delete without a selection do nothing,
    QTest::keyClick(w.PlayList, Qt::Key_A);
    QTest::keyClick(w.PlayList, Qt::Key_Delete);
    ASSERT_EQ(w.PlayList->count(), 1);
    // and deleting the last hides the list, its heading and Play, not Play Stop.
    w.PlayList->setCurrentRow(0);
    QTest::keyClick(w.PlayList, Qt::Key_Delete);
    EXPECT_EQ(w.PlayList->count(), 0);
    EXPECT_FALSE(w.PlayList->isVisible());
    EXPECT_FALSE(w.Label1->isVisible());
    EXPECT_FALSE(w.cmdPlay->isVisible());
    EXPECT_TRUE(w.cmdStop->isVisible());
    EXPECT_EQ(w.lblPlayDay->text(), "  No Schedules to Play");
}

TEST(MainWindowPlaylist, LoadPlayListListsTheWholeDay) {
    SimStation s;
    s.write(kScheduleFilePath, Manual("Swap Shop", {"09:00:00", "15:00:00"}));
    s.start();
    mnuMenu w(s.st());
    RegisterWindows(w, s.st());
    w.show();
    ASSERT_EQ(w.PlayList->count(), 1);  // 12:00 now: only 15:00 is still to come
    QAction* load = w.findChild<QAction*>("mnuLoadPlayList");
    ASSERT_TRUE(load->isEnabled());
    load->trigger();
    ASSERT_EQ(w.PlayList->count(), 2);
    EXPECT_EQ(w.PlayList->item(0)->text().left(8), "09:00:00");
}

TEST(MainWindowPlaylist, ADayWithoutManualSchedulesSaysSo) {
    SimStation s;
    s.write(kSettingsPath, kButtonsShown);
    s.start();
    mnuMenu w(s.st());
    w.show();
    EXPECT_FALSE(w.PlayList->isVisible());
    EXPECT_FALSE(w.Label1->isVisible());
    EXPECT_FALSE(w.cmdPlay->isVisible());
    EXPECT_FALSE(w.cmdStop->isVisible());
    EXPECT_EQ(w.lblPlayDay->text(), "No Manual Start Schedules");
}

TEST(MainWindowButtons, RecordWithoutAScheduleShowsTheMessageAndWithOneShowsReady) {
    SimStation s;
    // Sound files on drive C (record 12); Record and Rec Stop shown (19, 20); one schedule.
    s.write(kSettingsPath, std::string(22, '\0') + std::string("\x03\x00", 2) +
                               std::string(12, '\0') + std::string("\x01\x00\x01\x00", 4));
    s.write("c:\\satfile\\SatList.dat", Manual("Recorded", {}));
    s.start();
    mnuMenu w(s.st());
    w.show();
    QTest::mouseClick(w.cmdRecord, Qt::LeftButton);
    EXPECT_EQ(s.errors.messages,
              (std::vector<std::string>{"No Schedule has been set up for recording"}));
    EXPECT_EQ(w.cmdRecord->text(), "Record");

    s.st().next.record.emplace();
    s.st().next.record->recordNo = 1;
    std::vector<std::string> ran;
    s.st().actionObserver = [&](const std::string& name) { ran.push_back(name); };
    QTest::mouseClick(w.cmdRecord, Qt::LeftButton);
    EXPECT_EQ(w.cmdRecord->text(), "Ready");
    EXPECT_TRUE(w.cmdRecord->styleSheet().contains("yellow"));
    ASSERT_GE(ran.size(), 2u);
    EXPECT_EQ(ran[0], "CueRecording");
    EXPECT_EQ(ran[1], "ArmRecording");

    ran.clear();
    QTest::mouseClick(w.cmdRecStop, Qt::LeftButton);
    ASSERT_FALSE(ran.empty());
    EXPECT_EQ(ran[0], "StopRecording");
}
