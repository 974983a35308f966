// The receiver windows offscreen: source codes, Communications, Set Receiver, the status view
// and the relay panel, each against the scripted receiver line.
#include <gtest/gtest.h>

#include "Windows.h"
#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "receiver/ReceiverStatus.h"
#include "receiver/windows/frmComSelect.h"
#include "receiver/windows/frmDisplayReceiver.h"
#include "receiver/windows/frmProgramSourceCodes.h"
#include "receiver/windows/frmRelay.h"
#include "receiver/windows/frmSetReceiver.h"
#include "schedule/SourceCodes.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

struct ReceiverWindows : ::testing::Test {
    ReceiverWindows() {
        s.start();
        s.st().Settings.SerialPort = 1;
    }
    ~ReceiverWindows() override {
        frmDisplayReceiver::closeAll();
        QApplication::processEvents();
    }
    SimStation s;
};

TEST_F(ReceiverWindows, SourceCodesAreListedAddedAndDeleted) {
    s.write(kSourceCodesPath, "ENG\r\nSPA\r\n");
    frmProgramSourceCodes w(s.st());
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    QTest::keyClicks(w.text1, "frex");
    QTest::keyClick(w.text1, Qt::Key_Return);
    EXPECT_EQ(w.list1->currentItem()->text(), "FRE");
    EXPECT_TRUE(!w.text1->isVisibleTo(&w) && w.text1->text().isEmpty());
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);  // an empty box adds nothing
    w.list1->setCurrentRow(0);
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    EXPECT_EQ(s.read(kSourceCodesPath), "SPA\r\nFRE\r\n");
}

TEST_F(ReceiverWindows, CommunicationsStoresPortAndRateWhenItCloses) {
    s.st().Settings.SerialPort = 2;
    s.st().Settings.BaudSelect = 1;
    frmComSelect w(s.st());
    w.show();
    EXPECT_TRUE(w.optSP2->isChecked() && w.optBaud1->isChecked());
    QTest::mouseClick(w.optSP4, Qt::LeftButton);
    QTest::mouseClick(w.optBaud2, Qt::LeftButton);
    EXPECT_EQ(s.st().Settings.SerialPort, 2) << "choosing only remembers";
    QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    EXPECT_EQ(s.st().Settings.SerialPort * 10 + s.st().Settings.BaudSelect, 42);
}

TEST_F(ReceiverWindows, SetReceiverSendsTheRoutingResetsThePortsRelaysAndShowsMpegStatus) {
    s.write(kSourceCodesPath, "ENG\r\nABC\r\n");
    s.serial.answer("R M", "\r\nMPEG STATUS\r\n>", 100);
    frmSetReceiver w(s.st());
    w.lstPort->setCurrentRow(1);
    w.lstRoute->setCurrentRow(2);
    w.lstLang->setCurrentRow(1);
    w.lstAtt->setCurrentRow(3);
    QTest::mouseClick(w.cmdSet, Qt::LeftButton);
    EXPECT_EQ(s.serial.wire, "SETAUDIO 2 S ABC 3\rER D 4\rER D 7\rR M\r");
    s.loop.advance(100);
    const auto views = Shown<frmDisplayReceiver>();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0]->lblDisplayReceiver->text(), "\nMPEG STATUS\n>");
}

TEST_F(ReceiverWindows, MenuEntriesOpenOneStatusViewThatRefreshesPrintsAndSaves) {
    mnuMenu menu(s.st());
    RegisterWindows(menu, s.st());
    menu.findChild<QAction*>("mnuCarrier")->trigger();
    menu.findChild<QAction*>("mnuReceiverSerialPort")->trigger();
    QApplication::processEvents();
    ASSERT_EQ(Shown<frmDisplayReceiver>().size(), 1u) << "a view already open is closed first";
    EXPECT_EQ(s.serial.commands, (std::vector<std::string>{"RT C", "R SP"}));
    frmDisplayReceiver& w = *Shown<frmDisplayReceiver>()[0];
    s.loop.advance(10'000);
    s.serial.answer("R SP", "\r\nPORT TWO\r\n>", 50);
    QTest::mouseClick(w.cmdDisplayReceiverRefresh, Qt::LeftButton);
    s.loop.advance(3600);
    EXPECT_EQ(w.lblDisplayReceiver->text(), "\nPORT TWO\n>");
    w.mnuPrintToFile->trigger();
    EXPECT_EQ(s.read(kReceiverReportPath), "\r\nPORT TWO\r\n>\r\n");
    w.mnuPrint->trigger();
    EXPECT_EQ(s.printer.jobs, std::vector<std::string>{"\r\nPORT TWO\r\n>"});
}

TEST_F(ReceiverWindows, RelayEntriesShareOnePanelWhoseButtonsReachTheReceiver) {
    mnuMenu menu(s.st());
    RegisterWindows(menu, s.st());
    s.serial.answer("R ER", "\r\nRelay  3 : De-energized\r\n>", 80);
    menu.findChild<QAction*>("mnuRelays")->trigger();
    menu.findChild<QAction*>("mnuRelays")->trigger();  // brought forward, not asked again
    ASSERT_EQ(Shown<frmRelay>().size(), 1u);
    EXPECT_TRUE(Shown<frmRelay>()[0]->cmdR[3]->isVisible() &&
                !Shown<frmRelay>()[0]->cmdR[4]->isVisible());
    menu.findChild<QAction*>("mnuCarrier")->trigger();
    menu.findChild<QAction*>("mnuExtendedRelays")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Shown<frmDisplayReceiver>().empty());
    ASSERT_EQ(Shown<frmRelay>().size(), 1u);
    frmRelay& w = *Shown<frmRelay>()[0];
    EXPECT_TRUE(w.cmdR[27]->isVisible());  // the expansion relays
    s.loop.advance(5000);
    EXPECT_EQ(w.lblRelayLine[2]->text(), "Relay  3 : De-energized");
    s.serial.answer("ER E 3", "\r\n>", 10);
    s.serial.answer("R ER", "\r\nRelay  3 : Energized\r\n>", 80);
    QTest::mouseClick(w.cmdR[5], Qt::LeftButton);
    s.loop.advance(1100);
    EXPECT_EQ(s.serial.commands, (std::vector<std::string>{"R R", "R ER", "ER E 3", "R ER"}))
        << "the view closed while it waited for the line never asked";
    EXPECT_EQ(w.lblRelayLine[2]->text(), "Relay  3 : Energized");
    w.close();
}

}  // namespace
