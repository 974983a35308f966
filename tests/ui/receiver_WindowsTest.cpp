// The receiver windows offscreen, each against the scripted receiver line.
#include "Windows.h"
#include "receiver/ReceiverStatus.h"
#include "receiver/windows/frmComSelect.h"
#include "receiver/windows/frmDisplayReceiver.h"
#include "receiver/windows/frmProgramSourceCodes.h"
#include "receiver/windows/frmRelay.h"
#include "receiver/windows/frmSetReceiver.h"
#include "schedule/SourceCodes.h"

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

TEST_F(ReceiverWindows, CommunicationsStoresPortAndRateWhenItCloses) {
    s.st().Settings.BaudSelect = 1;
    frmComSelect w(s.st());
    w.show();
    EXPECT_TRUE(w.optSP1->isChecked() && w.optBaud1->isChecked());
    QTest::mouseClick(w.optSP4, Qt::LeftButton);
    QTest::mouseClick(w.optBaud2, Qt::LeftButton);
    QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    EXPECT_EQ(s.st().Settings.SerialPort * 10 + s.st().Settings.BaudSelect, 42);
}

TEST_F(ReceiverWindows, SourceCodesAreEditedAndSetReceiverSendsTheRoutingWithThem) {
    s.write(kSourceCodesPath, "ENG\r\nSPA\r\n");
    frmProgramSourceCodes codes(s.st());
    QTest::mouseClick(codes.cmdNew, Qt::LeftButton);
    QTest::keyClicks(codes.text1, "frex");
    QTest::keyClick(codes.text1, Qt::Key_Return);
    QTest::mouseClick(codes.cmdNew, Qt::LeftButton);
    QTest::mouseClick(codes.cmdApply, Qt::LeftButton);  // an empty box adds nothing
    codes.list1->setCurrentRow(0);
    QTest::mouseClick(codes.cmdDelete, Qt::LeftButton);
    EXPECT_EQ(s.read(kSourceCodesPath), "SPA\r\nFRE\r\n");
    s.serial.answer("R M", "\r\nMPEG STATUS\r\n>", 100);
    frmSetReceiver w(s.st());
    w.lstPort->setCurrentRow(1);
    w.lstRoute->setCurrentRow(2);
    w.lstLang->setCurrentRow(1);
    w.lstAtt->setCurrentRow(3);
    QTest::mouseClick(w.cmdSet, Qt::LeftButton);
    EXPECT_EQ(s.serial.wire, "SETAUDIO 2 S FRE 3\rER D 4\rER D 7\rR M\r");
    s.loop.advance(100);
    EXPECT_EQ(Shown<frmDisplayReceiver>().size(), 1u);
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
    w.mnuPrint->trigger();
    EXPECT_TRUE(s.exists(kReceiverReportPath) && s.printer.jobs.size() == 1);
}

TEST_F(ReceiverWindows, RelayEntriesShareOnePanelWhoseButtonsReachTheReceiver) {
    mnuMenu menu(s.st());
    RegisterWindows(menu, s.st());
    s.serial.answer("R ER", "\r\nRelay  3 : De-energized\r\n>", 80);
    menu.findChild<QAction*>("mnuRelays")->trigger();
    menu.findChild<QAction*>("mnuRelays")->trigger();  // brought forward, not asked again
    menu.findChild<QAction*>("mnuCarrier")->trigger();
    menu.findChild<QAction*>("mnuExtendedRelays")->trigger();
    QApplication::processEvents();
    ASSERT_EQ(Shown<frmRelay>().size(), 1u);
    frmRelay& r = *Shown<frmRelay>()[0];
    EXPECT_TRUE(r.cmdR[27]->isVisible());  // the expansion relays
    s.loop.advance(5000);
    s.serial.answer("ER E 3", "\r\n>", 10);
    s.serial.answer("R ER", "\r\nRelay  3 : Energized\r\n>", 80);
    QTest::mouseClick(r.cmdR[5], Qt::LeftButton);
    s.loop.advance(1100);
    EXPECT_EQ(s.serial.commands, (std::vector<std::string>{"R R", "R ER", "ER E 3", "R ER"}))
        << "the view closed while it waited for the line never asked";
    EXPECT_EQ(r.lblRelayLine[2]->text(), "Relay  3 : Energized");
    r.close();
}

}  // namespace
