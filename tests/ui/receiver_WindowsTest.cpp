// The receiver windows offscreen: source codes, Communications, Set Receiver, the status view
// and the relay panel, each against the scripted receiver line.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "receiver/ReceiverStatus.h"
#include "receiver/windows/frmComSelect.h"
#include "receiver/windows/frmDisplayReceiver.h"
#include "receiver/windows/frmProgramSourceCodes.h"
#include "receiver/windows/frmRelay.h"
#include "receiver/windows/frmSetReceiver.h"
#include "schedule/SourceCodes.h"
#include "settings/StationSettings.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

std::vector<frmDisplayReceiver*> OpenStatusViews() {
    std::vector<frmDisplayReceiver*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<frmDisplayReceiver*>(w); v && v->isVisible()) out.push_back(v);
    return out;
}

struct ReceiverWindows : ::testing::Test {
    void SetUp() override {
        s.start();
        s.st().Settings.SerialPort = 1;
    }
    void TearDown() override {
        frmDisplayReceiver::closeAll();
        QApplication::processEvents();
    }
    SimStation s;
};

}  // namespace

TEST_F(ReceiverWindows, SourceCodesAreListedAddedInUpperCaseAndDeleted) {
    // Given a source-code file of two codes,
    s.write(kSourceCodesPath, "ENG\r\nSPA\r\n");
    frmProgramSourceCodes w(s.st());
    ASSERT_EQ(w.list1->count(), 2);
    EXPECT_EQ(w.list1->currentRow(), 0);
    EXPECT_FALSE(w.text1->isVisibleTo(&w));

    // when "fre" is typed after New and Enter is pressed,
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    EXPECT_TRUE(w.text1->isVisibleTo(&w));
    QTest::keyClicks(w.text1, "frex");
    QTest::keyClick(w.text1, Qt::Key_Return);

    // then FRE is stored and selected, and the box is hidden and empty.
    EXPECT_EQ(s.read(kSourceCodesPath), "ENG\r\nSPA\r\nFRE\r\n");
    EXPECT_EQ(w.list1->currentItem()->text(), "FRE");
    EXPECT_FALSE(w.text1->isVisibleTo(&w));
    EXPECT_EQ(w.text1->text(), "");

    // Upper case never lengthens a code: a letter without a single capital stays as it is.
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    w.text1->insert(QString::fromUtf8("\xC3\x9F\xC3\xA9q"));
    QTest::keyClick(w.text1, Qt::Key_Return);
    EXPECT_EQ(s.read(kSourceCodesPath), "ENG\r\nSPA\r\nFRE\r\n\xDF\xC9Q\r\n");

    // Apply with an empty box adds nothing.
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(w.list1->count(), 4);

    // Deleting every code leaves an empty file.
    for (int i = 0; i < 4; ++i) {
        w.list1->setCurrentRow(0);
        QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    }
    EXPECT_EQ(w.list1->count(), 0);
    EXPECT_EQ(s.read(kSourceCodesPath), "");
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);  // nothing selected: nothing happens
    EXPECT_TRUE(s.errors.messages.empty());
}

TEST_F(ReceiverWindows, AMissingSourceCodeFileGivesAnEmptyList) {
    frmProgramSourceCodes w(s.st());
    EXPECT_EQ(w.list1->count(), 0);
}

TEST_F(ReceiverWindows, CommunicationsStoresPortAndRateWhenItCloses) {
    s.st().Settings.SerialPort = 2;
    s.st().Settings.BaudSelect = 1;
    auto* w = new frmComSelect(s.st());
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    EXPECT_TRUE(w->optSP2->isChecked());
    EXPECT_TRUE(w->optBaud1->isChecked());
    QTest::mouseClick(w->optSP4, Qt::LeftButton);
    QTest::mouseClick(w->optBaud2, Qt::LeftButton);
    EXPECT_EQ(s.st().Settings.SerialPort, 2) << "choosing only remembers";
    QTest::mouseClick(w->cmdClose, Qt::LeftButton);
    EXPECT_EQ(s.st().Settings.SerialPort, 4);
    EXPECT_EQ(s.st().Settings.BaudSelect, 2);
    const std::string file = s.read(kSettingsPath);
    ASSERT_GE(file.size(), 28u);
    EXPECT_EQ(file.substr(24, 4), std::string("\x04\x00\x02\x00", 4));
}

TEST_F(ReceiverWindows, SetReceiverSendsTheRoutingResetsThePortsRelaysAndShowsMpegStatus) {
    // Given the source codes ENG and ABC and a receiver that reports its MPEG status,
    s.write(kSourceCodesPath, "ENG\r\nABC\r\n");
    s.serial.answer("R M", "\r\nMPEG STATUS\r\n>", 100);
    frmSetReceiver w(s.st());
    ASSERT_EQ(w.lstAtt->count(), 15);
    EXPECT_EQ(w.lstAtt->item(14)->text(), " 14");
    // when Port 2, Stereo, ABC and 3 are set,
    w.lstPort->setCurrentRow(1);
    w.lstRoute->setCurrentRow(2);
    w.lstLang->setCurrentRow(1);
    w.lstAtt->setCurrentRow(3);
    QTest::mouseClick(w.cmdSet, Qt::LeftButton);
    // then the routing goes out, the port's relays are reset, and the MPEG view opens.
    EXPECT_EQ(s.serial.wire, "SETAUDIO 2 S ABC 3\rER D 4\rER D 7\rR M\r");
    s.loop.advance(100);
    const auto views = OpenStatusViews();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0]->lblDisplayReceiver->text(), "\nMPEG STATUS\n>");
    EXPECT_EQ(views[0]->command(), "R M");
}

TEST_F(ReceiverWindows, TheStatusViewRefreshesPrintsAndSavesTheReport) {
    s.serial.answer("R S", "\r\nSETTINGS ONE\r\n>", 50);
    frmDisplayReceiver w(s.st(), "R S");
    EXPECT_EQ(w.windowTitle(), "Receiver Data");
    s.loop.advance(50);
    EXPECT_EQ(w.lblDisplayReceiver->text(), "\nSETTINGS ONE\n>");

    // Refresh waits for a late prompt, so a short report appears after the time-out.
    s.serial.answer("R S", "\r\nSETTINGS TWO\r\n>", 50);
    QTest::mouseClick(w.cmdDisplayReceiverRefresh, Qt::LeftButton);
    s.loop.advance(2400);
    EXPECT_EQ(w.lblDisplayReceiver->text(), "\nSETTINGS ONE\n>");
    s.loop.advance(1200);
    EXPECT_EQ(w.lblDisplayReceiver->text(), "\nSETTINGS TWO\n>");

    w.mnuPrintToFile->trigger();
    s.serial.answer("R S", "\r\nSETTINGS THREE\r\n>", 50);
    QTest::mouseClick(w.cmdDisplayReceiverRefresh, Qt::LeftButton);
    s.loop.advance(3600);
    w.mnuPrintToFile->trigger();
    EXPECT_EQ(s.read(kReceiverReportPath), "\r\nSETTINGS THREE\r\n>\r\n")
        << "only the last one kept";

    w.mnuPrint->trigger();
    ASSERT_EQ(s.printer.jobs.size(), 1u);
    EXPECT_EQ(s.printer.jobs[0], "\r\nSETTINGS THREE\r\n>");
    s.printer.failure = "no default destination";
    w.mnuPrint->trigger();
    ASSERT_EQ(s.errors.messages.size(), 1u);
    EXPECT_NE(s.errors.messages[0].find("no default destination"), std::string::npos);
}

TEST_F(ReceiverWindows, TheStatusViewSaysSoWhenThePortCannotBeOpened) {
    s.serial.failOpen(8002, "Invalid port number");
    frmDisplayReceiver w(s.st(), "RT C");
    EXPECT_EQ(w.lblDisplayReceiver->text(),
              "The receiver port cannot be used: 8002  Invalid port number.  Check serial port "
              "settings in SetUp/Communications.");
}

TEST_F(ReceiverWindows, MenuEntriesOpenOneStatusViewWithTheirCommand) {
    mnuMenu menu(s.st());
    RegisterWindows(menu, s.st());
    menu.findChild<QAction*>("mnuCarrier")->trigger();
    menu.findChild<QAction*>("mnuReceiverSerialPort")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(OpenStatusViews().size(), 1u) << "a view already open is closed first";
    EXPECT_EQ(s.serial.commands, (std::vector<std::string>{"RT C", "R SP"}));
    menu.findChild<QAction*>("mnuSettings")->trigger();
    menu.findChild<QAction*>("mnuMPEG")->trigger();
    EXPECT_EQ(s.serial.commands.back(), "R M");
    EXPECT_TRUE(menu.findChild<QAction*>("mnuRelays")->isEnabled());
    EXPECT_TRUE(menu.findChild<QAction*>("mnuProgramSourceCodes")->isEnabled());
    EXPECT_TRUE(menu.findChild<QAction*>("mnuCommunications")->isEnabled());
    EXPECT_TRUE(menu.findChild<QAction*>("mnuSetReceiver")->isEnabled());
}

TEST_F(ReceiverWindows, RelayEntriesShareOnePanelAndExtendedRelaysClosesTheStatusView) {
    mnuMenu menu(s.st());
    RegisterWindows(menu, s.st());
    const auto panels = [] {
        std::vector<frmRelay*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<frmRelay*>(w); p && p->isVisible()) out.push_back(p);
        return out;
    };
    menu.findChild<QAction*>("mnuRelays")->trigger();
    menu.findChild<QAction*>("mnuRelays")->trigger();  // brought forward, not asked again
    EXPECT_EQ(panels().size(), 1u);
    menu.findChild<QAction*>("mnuCarrier")->trigger();
    menu.findChild<QAction*>("mnuExtendedRelays")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(OpenStatusViews().empty());
    ASSERT_EQ(panels().size(), 1u);
    EXPECT_TRUE(panels()[0]->cmdR[27]->isVisibleTo(panels()[0]));  // the expansion relays
    EXPECT_EQ(s.serial.commands, (std::vector<std::string>{"R R", "R ER"}))
        << "the view closed while it waited for the line never asked";
    panels()[0]->close();
}

TEST_F(ReceiverWindows, TheExpansionRelayPanelEnergisesRelayThreeWithButtonFive) {
    // Given the panel in expansion mode,
    s.serial.answer("R ER", "\r\nRelay  3 : De-energized\r\n>", 80);
    frmRelay w(s.st(), "R ER");
    EXPECT_EQ(w.windowTitle(), "Unity 4K Receiver Relay Status");
    s.loop.advance(1100);
    EXPECT_EQ(w.lblRelay->text(), "\nRelay  3 : De-energized\n>");
    for (auto* b : w.cmdR) EXPECT_TRUE(b->isVisibleTo(&w));
    // Each relay's row carries its number, its two buttons and its own line of the reply.
    w.show();
    const auto middle = [](QWidget* x) { return x->mapToParent(x->rect().center()).y(); };
    for (int k = 0; k < 14; ++k) {
        const auto row = static_cast<std::size_t>(k);
        EXPECT_EQ(w.lblRelayNo[row]->text(), QString("Relay %1").arg(k + 1));
        EXPECT_NEAR(middle(w.lblRelayNo[row]), middle(w.cmdR[2 * row]), 2) << k;
        EXPECT_NEAR(middle(w.lblRelayLine[row]), middle(w.cmdR[2 * row + 1]), 2) << k;
    }
    EXPECT_EQ(w.lblRelayLine[2]->text(), "Relay  3 : De-energized");
    EXPECT_EQ(w.lblRelayLine[3]->text(), "");
    EXPECT_GT(w.cmdClose->y(), w.lblRelay->y());  // the window's Close is apart from the rows
    // when button 5 is pressed,
    s.serial.wire.clear();
    s.serial.answer("ER E 3", "\r\n>", 10);
    s.serial.answer("R ER", "\r\nRelay  3 : Energized\r\n>", 80);
    QTest::mouseClick(w.cmdR[5], Qt::LeftButton);
    s.loop.advance(1100);
    // then relay 3 is energised and the new status shown without the earlier prompt.
    EXPECT_EQ(s.serial.wire, "ER E 3\rR ER\r");
    EXPECT_EQ(w.lblRelay->text(), "\nRelay  3 : Energized\n>");
    EXPECT_EQ(w.lblRelayLine[2]->text(), "Relay  3 : Energized");
    EXPECT_EQ(s.serial.openNow, 0);
}

TEST_F(ReceiverWindows, TheStandardRelayPanelShowsTwoRelaysOnly) {
    frmRelay w(s.st(), "R R");
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(w.cmdR[static_cast<std::size_t>(i)]->isVisibleTo(&w), i < 4) << i;
    EXPECT_TRUE(w.lblRelayNo[1]->isVisibleTo(&w));
    EXPECT_FALSE(w.lblRelayNo[2]->isVisibleTo(&w));
    QTest::mouseClick(w.cmdR[3], Qt::LeftButton);
    EXPECT_EQ(s.serial.wire, "R R\r") << "the press waits for the opening's exchange";
    s.loop.advance(3600);
    EXPECT_EQ(s.serial.wire, "R R\rRE C 2\rR R\r");
}

TEST_F(ReceiverWindows, TheRelayPanelSaysSoWhenThePortCannotBeOpened) {
    s.serial.failOpen(8005, "Port already open");
    frmRelay w(s.st(), "R ER");
    EXPECT_NE(w.lblRelay->text().indexOf("8005  Port already open"), -1);
    QTest::mouseClick(w.cmdR[0], Qt::LeftButton);
    EXPECT_NE(w.lblRelay->text().indexOf("8005  Port already open"), -1);
    EXPECT_TRUE(s.errors.messages.empty());
}
