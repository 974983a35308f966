// The export windows offscreen: Export SetUp, the address book, My Account and Send To.
#include "Windows.h"
#include "export/AddressBook.h"
#include "export/ExportEntry.h"
#include "export/windows/frmAddressBook.h"
#include "export/windows/frmAutoExport.h"
#include "export/windows/frmMyAccount.h"
#include "export/windows/frmSend.h"

using namespace quillmar;
using namespace quillmar::testing;

TEST(AutoExportWindow, AProgrammeIsChosenFilledInThroughTheFilterAndApplied) {
    SimStation s(DateTime::from(2026, 1, 28, 12));
    s.start();
    s.put(1, Schedule("MORNING SHOW"));
    s.put(5, Schedule("EVENING NEWS"));
    frmAutoExport w(s.st());
    w.mnuNumber->trigger();
    w.mnuNames->trigger();
    w.lstName->setCurrentRow(1);
    QTest::mouseClick(w.Option1[2], Qt::LeftButton);
    QTest::mouseClick(w.chkDay[2], Qt::LeftButton);
    EXPECT_EQ(w.txtPath[2]->text(), "H:\\programs\\SF8005NNN.wav");
    QTest::mouseClick(w.Option1[1], Qt::LeftButton);
    // Typed and pasted text pass the same filter; a paste keeps the text around it.
    w.txtPath[2]->clear();
    QTest::keyClicks(w.txtPath[2], "c:\\a.b");
    QTest::keyClick(w.txtPath[2], Qt::Key_Backspace);
    w.txtPath[2]->setCursorPosition(3);
    QApplication::clipboard()->setText("x y");
    QTest::keyClick(w.txtPath[2], Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.txtPath[2]->text(), "c:\\xya");
    EXPECT_EQ(w.txtPath[2]->cursorPosition(), 5);
    w.txtLength->setText("12:34");
    w.chkFade->setChecked(true);
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    const ExportEntry e = ReadExportEntry(s.st().Export, 5);
    EXPECT_EQ(e.Days, (std::array<std::int16_t, 7>{0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(TrimmedExportText(e.Paths[1]) + "|" + e.Length, "c:\\xya|12:34");
    EXPECT_EQ(e.Fade, ExportFade::On);
}

TEST(AddressBookWindow, ANewEntryIsTypedInAppliedSentToAndDeleted) {
    SimStation s{DateTime::from(2026, 3, 10, 12)};
    s.start();
    frmAddressBook w(s.st());
    w.show();
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    w.txtName->setText("Cy");
    w.txtNumber->setText("cy@example.org");
    QTest::mouseClick(w.opt1[2], Qt::LeftButton);  // "Sometimes" lets the days be chosen
    w.Check1[3]->setChecked(true);                 // Tuesday
    w.txtStart[3]->setText("08:00:00");
    w.txtStop[3]->setText("1O:OO:OO");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(s.errors.messages, (std::vector<std::string>{"Enter the times as hh:mm:ss"}));
    QTest::mouseDClick(w.txtStop[3], Qt::LeftButton);  // a double click empties a time
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    const AddressEntry e = ReadAddressEntry(s.st().Export, 1);
    EXPECT_EQ(e.Name + "|" + e.Address + "|" + e.SendMode,
              "Cy|cy@example.org|" + std::string(1, kSendSometimes));
    EXPECT_EQ(e.StartSec[2] + e.StopSec[2], 8 * 3600);                // an emptied box is midnight
    EXPECT_TRUE(w.opt1[2]->isChecked() && w.Check1[3]->isChecked());  // shown from the file
    QTest::mouseClick(w.cmdSendTest, Qt::LeftButton);
    s.loop.runPending();
    EXPECT_EQ(s.mail.outbox.size(), 1u);
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    EXPECT_EQ(w.list1->count(), 0);
}

TEST(MyAccountWindow, ShowsTheAccountAndApplyRewritesTheFile) {
    SimStation s;
    s.start();
    s.st().Export.Account = {"KQMR", "station", "secret"};
    frmMyAccount w(s.st());
    w.txtFacility->setText("KQMR Caf\u00e9, North");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(s.read("c:\\Satfile\\User.dat"), "KQMR Caf\xE9, North\r\nstation\r\nsecret\r\n");
}

TEST(SendWindow, EnterAsksBeforeReplacingAndSendCopiesWithTheGaugeAtTheEnd) {
    SimStation s(DateTime::from(2026, 1, 28, 12));
    s.settings({{Rec::WaveDrive, 3}});
    s.start();
    s.makeWave("C:\\SATFILE\\SFTUE002.WAV", 0.2);
    s.write("c:\\promo.wav", "old");
    frmSend w(s.st(), 2, "C:\\SATFILE\\SFTUE002.WAV", "C:\\SATFILE\\SFTUE002.DAT");
    emit w.Dir1->itemClicked(w.Dir1->item(0));
    w.send().ChooseFormat = [](const std::vector<WaveFormat>&, WaveFormat*) { return true; };
    QTest::keyClicks(w.txtFileName, "promo");
    QTest::keyClick(w.txtFileName, Qt::Key_Return);
    EXPECT_EQ(w.Label1->text(), "promo already exists.  Overwrite?");
    w.mnuHiddenPopupSend->trigger();
    QTest::mouseClick(w.cmdSend, Qt::LeftButton);
    s.loop.advance(1000);
    EXPECT_EQ(w.Gauge->value(), 100);
    EXPECT_EQ(s.readWave("c:\\promo.wav").frames(), 8820);
}
