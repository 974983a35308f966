#include <gtest/gtest.h>

#include <cerrno>

#include "core/ScheduleSequences.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// Monday 09:00, the data files open, two source codes.
class ScheduleEditorTest : public ::testing::Test, public SimStation {
  protected:
    ScheduleEditorTest() : SimStation(Monday(9)) {
        initialize();
        write("c:\\satfile\\Source.dat", "ENG\r\nSP\r\n");
    }
    const std::vector<std::string>& shown() const { return errors.messages; }

    // A new schedule filled in as the operator would before Apply.
    void startNew(const std::string& name) {
        OpenScheduleEditor(st(), ed);
        ASSERT_TRUE(NewSchedule(st().schedule, st().platform.errors, ed));
        ed.txtSatName = name;
        ed.txtSatLen = "30:00";
    }
    std::vector<std::string> listed() const {
        std::vector<std::string> texts;
        for (const auto& e : ed.lstDisplaySchedule.entries()) texts.push_back(e.text);
        return texts;
    }

    ScheduleEditor ed;
};

TEST_F(ScheduleEditorTest, LoadBoxesPadsCodesAndReportsAMissingFile) {
    OpenScheduleEditor(st(), ed);
    EXPECT_EQ(ed.cboSatLangItems, (std::vector<std::string>{"ENG", "SP "}));
    EXPECT_FALSE(ed.cmdApplyEnabled);
    files.deleteMatching("c:\\satfile\\Source.dat");
    OpenScheduleEditor(st(), ed);
    EXPECT_TRUE(ed.cboSatLangItems.empty());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].rfind("The file source.dat was not installed.  It must be installed", 0),
              0u);
}

TEST_F(ScheduleEditorTest, ApplyChecksInOrderAndWritesNothingOnFailure) {
    startNew("News");
    ed.txtSatLen = "";
    ed.cboSatLang = " ";
    ed.cboSatPort = -1;
    ed.cboSatRoute = -1;
    const std::vector<std::string> expected = {
        "You must enter a Length", "You must select a Source", "You must select a Port",
        "You must select a Route",
        "Time Error in length must be corrected before saving.  Format is HH:MM"};
    for (const auto& fix : std::vector<std::function<void()>>{
             [&] { ed.txtSatLen = "3000"; }, [&] { ed.cboSatLang = "ENG"; },
             [&] { ed.cboSatPort = 1; }, [&] { ed.cboSatRoute = 2; }, [] {}}) {
        EXPECT_FALSE(ApplySchedule(st(), ed));
        fix();
    }
    EXPECT_EQ(shown(), expected);
    EXPECT_EQ(ScheduleRecordCount(st().schedule), 0);
    ed.txtSatLen = "30:00";
    ed.txtPlay[5] = "10:00";
    ed.cboRec[0] = 2;
    ed.txtRec[0] = "09:30:00";
    ASSERT_TRUE(ApplySchedule(st(), ed));
    EXPECT_EQ(read(kScheduleFilePath).substr(0, 41 + 48),
              "1News                     30:00ENG2S0 MT1" + std::string(40, ' ') + "10:00   ");
    EXPECT_EQ(record(1).RecordDays[0], 2);
    EXPECT_EQ(st().next.record->recordNo, 1);  // the finders ran
    EXPECT_EQ(ed.lblScheduleNo, "1");
}

TEST_F(ScheduleEditorTest, ApplyRefusesAnUnreadableTimeAndWritesNothing) {
    const char* play =
        "Time Error in play schedule must be corrected before saving.  Format is HH:MM:SS";
    const char* record =
        "Time Error in record schedule must be corrected before saving. Format is HH:MM:SS";
    const struct {
        bool inRecordRow;  // else in play slot 9
        const char* text;
        const char* message;  // none: accepted
    } cases[] = {
        {false, "09:OO:xx", play}, {false, "24:00:00", play}, {false, "12:60", play},
        {false, "12:00:6", play},  {false, "10:00:60", play}, {true, "10-00-00", record},
        {false, "06:45", ""},      {true, "23:59:59", ""},
    };
    int written = 0;
    for (const auto& c : cases) {
        errors.messages.clear();
        startNew("Bad");
        ed.cboRec[1] = 3;
        ed.txtRec[1] = "10:00:00";
        ed.txtPlay[9] = "12:00:00";
        (c.inRecordRow ? ed.txtRec[1] : ed.txtPlay[9]) = c.text;
        const bool accepted = !*c.message;
        EXPECT_EQ(ApplySchedule(st(), ed), accepted) << c.text;
        EXPECT_EQ(shown(), std::vector<std::string>(accepted ? 0 : 1, c.message)) << c.text;
        EXPECT_EQ(ScheduleRecordCount(st().schedule), written += accepted) << c.text;
    }
}

TEST_F(ScheduleEditorTest, ChoosingASwitchOnlyScheduleSwitchesTheLayout) {
    put(1, Schedule("Router", "3"));
    startNew("Recorder");
    ed.cboSatPort = 3;
    ed.cboSatRoute = 3;
    ASSERT_TRUE(ApplySchedule(st(), ed));
    OpenScheduleEditor(st(), ed);
    ChooseSchedule(st().schedule, ed, 1);  // in name order
    EXPECT_TRUE(ed.switchLayout && ed.cmdApplyEnabled &&
                ed.optAction == ScheduleAction::SwitchOnly);
    EXPECT_EQ(ed.Label2, "Switch Time HH:MM:SS");
    ChooseSchedule(st().schedule, ed, 0);
    EXPECT_FALSE(ed.switchLayout);
    EXPECT_EQ(ed.Label2, "Record Time HH:MM:SS");
    EXPECT_EQ(ed.lblScheduleNo + " " + ed.txtSatName + std::to_string(ed.cboSatPort) +
                  std::to_string(ed.cboSatRoute),
              "2 Recorder                 33");
}

TEST_F(ScheduleEditorTest, ByNumberPutsTenBeforeTwo) {
    for (int n = 1; n <= 10; ++n) put(n, Schedule("Show " + std::to_string(n)));
    ed.order = ScheduleEditor::Order::ByNumber;
    OpenScheduleEditor(st(), ed);
    EXPECT_EQ(
        listed()[0] + listed()[1] + listed()[2],
        "1   Show 1                   10  Show 10                  2   Show 2                   ");
}

TEST_F(ScheduleEditorTest, DeleteMarksTheSlotAndNewReusesIt) {
    for (int n = 1; const char* name : {"One", "Two", "Three"}) put(n++, Schedule(name));
    OpenScheduleEditor(st(), ed);
    EXPECT_EQ(ScheduleToDelete(st().schedule, st().platform.errors, ed, true), 0);
    EXPECT_EQ(shown().back(), "Select a schedule");
    ed.selectedIndex = 2;  // "Two" in name order
    const int n = ScheduleToDelete(st().schedule, st().platform.errors, ed, true);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(DeleteCaption(st().schedule, n), "Delete Two Schedule?");
    DeleteSchedule(st(), ed, n);
    EXPECT_EQ(listed().size(), 2u);
    EXPECT_FALSE(ed.cmdApplyEnabled);
    ASSERT_TRUE(NewSchedule(st().schedule, st().platform.errors, ed));
    EXPECT_EQ(ed.lblScheduleNo + ed.cboSatLang + std::to_string(ed.cboSatPort), "2ENG0");
    // A reopened editor shows nothing, so the Delete key must not offer the last one edited.
    ChooseSchedule(st().schedule, ed, 0);
    OpenScheduleEditor(st(), ed);
    EXPECT_EQ(ScheduleToDelete(st().schedule, st().platform.errors, ed, false), 0);
}

TEST_F(ScheduleEditorTest, ADeleteThatCannotBeWrittenSaysSoAndKeepsTheSchedule) {
    put(1, Schedule("One"));
    OpenScheduleEditor(st(), ed);
    files.fail(kScheduleFilePath, EACCES);
    EXPECT_FALSE(MarkScheduleDeleted(st().schedule, st().platform.errors, 1));
    EXPECT_EQ(shown(), std::vector<std::string>{"The schedule was not deleted: Permission denied"});
    files.fail(kScheduleFilePath, 0);
    EXPECT_EQ(record(1).InUse, ScheduleSlot::InUse);
}

TEST_F(ScheduleEditorTest, NewIsRefusedPast999) {
    for (int n = 1; n <= 999; ++n) put(n, Schedule("Full"));
    OpenScheduleEditor(st(), ed);
    EXPECT_FALSE(NewSchedule(st().schedule, st().platform.errors, ed));
    EXPECT_EQ(shown().back(), "999 Schedules is maximum.  No new schedules are allowed.");
    EXPECT_FALSE(ed.cmdApplyEnabled);
}

}  // namespace
