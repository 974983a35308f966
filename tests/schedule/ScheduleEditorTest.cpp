#include "ScheduleFixture.h"
#include "core/ScheduleSequences.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

class ScheduleEditorTest : public ScheduleStoreTest {
  protected:
    ScheduleEditorTest() { sim.write("c:\\satfile\\Source.dat", "ENG\r\nSP\r\n"); }

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

    sim.files.deleteMatching("c:\\satfile\\Source.dat");
    OpenScheduleEditor(st(), ed);
    EXPECT_TRUE(ed.cboSatLangItems.empty());
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0].rfind("The file source.dat was not installed.  It must be installed", 0),
              0u);
}

TEST_F(ScheduleEditorTest, ApplyChecksInOrderAndWritesNothingOnFailure) {
    startNew("News");
    ed.txtSatLen = "";
    ed.cboSatLang = " ";
    ed.cboSatPort = -1;
    ed.cboSatRoute = -1;
    const std::vector<std::string> expected = {
        "You must enter a Length",
        "You must select a Source",
        "You must select a Port",
        "You must select a Route",
        "Time Error in length must be corrected before saving.  Format is HH:MM",
        "Time Error in play schedule must be corrected before saving.  Format is HH:MM:SS",
        "Time Error in record schedule must be corrected before saving. Format is HH:MM:SS"};
    EXPECT_FALSE(ApplySchedule(st(), ed));
    ed.txtSatLen = "3000";
    EXPECT_FALSE(ApplySchedule(st(), ed));
    ed.cboSatLang = "ENG";
    EXPECT_FALSE(ApplySchedule(st(), ed));
    ed.cboSatPort = 1;
    EXPECT_FALSE(ApplySchedule(st(), ed));
    ed.cboSatRoute = 2;
    EXPECT_FALSE(ApplySchedule(st(), ed));
    ed.txtSatLen = "30:00";
    ed.txtPlay[5] = "1:00:00";  // one-digit hour: colons 2nd and 5th
    EXPECT_FALSE(ApplySchedule(st(), ed));
    ed.txtPlay[5] = "10:00";  // hours and minutes pass
    ed.txtRec[1] = "10-00-00";
    EXPECT_FALSE(ApplySchedule(st(), ed));
    EXPECT_EQ(errors(), expected);
    EXPECT_EQ(ScheduleRecordCount(st().schedule), 0);

    ed.txtRec[1] = "   ";
    ed.cboRec[0] = 2;
    ed.txtRec[0] = "09:30:00";
    ASSERT_TRUE(ApplySchedule(st(), ed));
    const auto f = record(1);
    EXPECT_EQ(StoredText(f.InUse) + f.ProgramName, "1News                     ");
    EXPECT_EQ(f.SourceCode + f.UnityPort + StoredText(f.Route) + f.Attenuation +
                  StoredText(f.PlayStart) + StoredText(f.RecordStart) + StoredText(f.Action),
              "ENG2S0 MT1");
    EXPECT_EQ(f.PlayTimes[5], "10:00   ");
    EXPECT_EQ(f.RecordDays[0], 2);
    EXPECT_EQ(st().next.record->recordNo, 1);  // the finders ran
    EXPECT_EQ(ed.lblScheduleNo, "1");
}

TEST_F(ScheduleEditorTest, SwitchOnlyNeedsNoLengthAndChoosingItSwitchesTheLayout) {
    startNew("Router");
    ed.optAction = ScheduleAction::SwitchOnly;
    ed.txtSatLen = "";
    ASSERT_TRUE(ApplySchedule(st(), ed));
    EXPECT_EQ(record(1).Action, ScheduleAction::SwitchOnly);

    startNew("Recorder");
    ed.cboSatPort = 3;
    ed.cboSatRoute = 3;
    ASSERT_TRUE(ApplySchedule(st(), ed));
    OpenScheduleEditor(st(), ed);
    ASSERT_EQ(listed(),
              (std::vector<std::string>{"Recorder                 ", "Router                   "}));
    ChooseSchedule(st().schedule, ed, 1);
    EXPECT_TRUE(ed.switchLayout);
    EXPECT_EQ(ed.Label2, "Switch Time HH:MM:SS");
    EXPECT_EQ(ed.optAction, ScheduleAction::SwitchOnly);
    EXPECT_TRUE(ed.cmdApplyEnabled);
    ChooseSchedule(st().schedule, ed, 0);
    EXPECT_FALSE(ed.switchLayout);
    EXPECT_EQ(ed.Label2, "Record Time HH:MM:SS");
    EXPECT_EQ(ed.lblScheduleNo, "2");
    EXPECT_EQ(ed.txtSatName, "Recorder                 ");
    EXPECT_EQ(ed.cboSatPort, 3);
    EXPECT_EQ(ed.cboSatRoute, 3);
}

TEST_F(ScheduleEditorTest, ByNumberPutsTenBeforeTwo) {
    for (int n = 1; n <= 10; ++n) put(n, Schedule("Show " + std::to_string(n)));
    ed.order = ScheduleEditor::Order::ByNumber;
    OpenScheduleEditor(st(), ed);
    const auto texts = listed();
    ASSERT_EQ(texts.size(), 10u);
    EXPECT_EQ(texts[0], "1   Show 1                   ");
    EXPECT_EQ(texts[1], "10  Show 10                  ");
    EXPECT_EQ(texts[2], "2   Show 2                   ");
}

TEST_F(ScheduleEditorTest, DeleteMarksTheSlotAndNewReusesIt) {
    put(1, Schedule("One"));
    put(2, Schedule("Two"));
    put(3, Schedule("Three"));
    OpenScheduleEditor(st(), ed);
    EXPECT_EQ(ScheduleToDelete(st().schedule, st().platform.errors, ed, true),
              0);  // nothing selected
    EXPECT_EQ(errors().back(), "Select a schedule");

    ed.selectedIndex = 2;  // "Two" in name order
    const int n = ScheduleToDelete(st().schedule, st().platform.errors, ed, true);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(DeleteCaption(st().schedule, n), "Delete Two Schedule?");
    DeleteSchedule(st(), ed, n);
    EXPECT_EQ(record(2).InUse, ScheduleSlot::Deleted);
    EXPECT_EQ(ed.lstDisplaySchedule.size(), 2u);
    EXPECT_FALSE(ed.cmdApplyEnabled);

    ASSERT_TRUE(NewSchedule(st().schedule, st().platform.errors, ed));
    EXPECT_EQ(ed.lblScheduleNo, "2");
    EXPECT_EQ(ed.cboSatLang, "ENG");
    EXPECT_EQ(ed.cboSatPort, 0);

    // A reopened editor shows nothing, so the Delete key must not offer the last one edited.
    ChooseSchedule(st().schedule, ed, 0);
    OpenScheduleEditor(st(), ed);
    EXPECT_EQ(ScheduleToDelete(st().schedule, st().platform.errors, ed, false), 0);
}

TEST_F(ScheduleEditorTest, NewIsRefusedPast999) {
    for (int n = 1; n <= 999; ++n) put(n, Schedule("Full"));
    OpenScheduleEditor(st(), ed);
    EXPECT_FALSE(NewSchedule(st().schedule, st().platform.errors, ed));
    EXPECT_EQ(errors().back(), "999 Schedules is maximum.  No new schedules are allowed.");
    EXPECT_FALSE(ed.cmdApplyEnabled);
}

}  // namespace
