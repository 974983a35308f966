// The export windows offscreen: Export SetUp, the address book, My Account and Send To.
#include <gtest/gtest.h>

#include "Windows.h"
#include "export/AddressBook.h"
#include "export/ExportEntry.h"
#include "export/windows/frmAddressBook.h"
#include "export/windows/frmAutoExport.h"
#include "export/windows/frmMyAccount.h"
#include "export/windows/frmSend.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

TEST(AutoExportWindow, AProgrammeIsChosenFilledInThroughTheFilterAndApplied) {
    SimStation s(DateTime::from(2026, 1, 28, 12));
    s.start();
    s.put(1, Schedule("MORNING SHOW"));
    s.put(5, Schedule("EVENING NEWS"));
    frmAutoExport w(s.st());
    w.mnuNumber->trigger();
    EXPECT_TRUE(w.lstName->item(1)->text().startsWith("  5 "));
    w.mnuNames->trigger();
    w.lstName->setCurrentRow(1);
    QTest::mouseClick(w.Option1[2], Qt::LeftButton);
    QTest::mouseClick(w.chkDay[2], Qt::LeftButton);
    EXPECT_EQ(w.txtPath[2]->text(), "H:\\programs\\SF8005NNN.wav");
    EXPECT_TRUE(!w.txtPath[2]->isEnabled() && w.txtPath[2]->styleSheet().contains("#C0C0C0"));
    QTest::mouseClick(w.Option1[1], Qt::LeftButton);
    EXPECT_TRUE(w.txtNumber->isHidden() && w.txtPath[2]->styleSheet().isEmpty());
    // Typed and pasted text pass the same filter; a paste keeps the text around it.
    w.txtPath[2]->clear();
    QTest::keyClicks(w.txtPath[2], "c:\\a.b");
    QTest::keyClick(w.txtPath[2], Qt::Key_Backspace);
    w.txtPath[2]->setCursorPosition(3);
    QApplication::clipboard()->setText("x y");
    QTest::keyClick(w.txtPath[2], Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.txtPath[2]->text(), "c:\\xya");
    EXPECT_EQ(w.txtPath[2]->cursorPosition(), 5);
    EXPECT_EQ(s.errors.messages.size(), 2u);
    w.txtLength->setText("12:34");
    w.chkFade->setChecked(true);
    w.txtNumber->setText("7");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    const ExportEntry e = ReadExportEntry(s.st().Export, 5);
    EXPECT_EQ(e.Days, (std::array<std::int16_t, 7>{0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(TrimmedExportText(e.Paths[1]) + "|" + e.Length, "c:\\xya|12:34");
    EXPECT_TRUE(e.Fade == ExportFade::On && e.WinjockNumber == 7);
}

// Ann (Sometimes, Mondays 08:00-17:00) in record 1, Bob (Always) in 2.
TEST(AddressBookWindow, ShowsSendsTestsDeletesAndAppliesANewEntryInTheFreedSlot) {
    SimStation s{DateTime::from(2026, 3, 10, 12)};
    s.start();
    const auto person = [](const std::string& name, char mode) {
        AddressEntry e;
        e.InUse = '1';
        e.SendMode = mode;
        e.Name = name;
        e.Address = name + "@example.org";
        return e;
    };
    AddressEntry ann = person("Ann", kSendSometimes);
    ann.DayOn[1] = '1';
    ann.StartSec[1] = 8 * 3600;
    ann.StopSec[1] = 17 * 3600;
    std::string error;
    ASSERT_TRUE(WriteAddressEntry(s.st().Export, 1, ann, &error) &&
                WriteAddressEntry(s.st().Export, 2, person("Bob", kSendAlways), &error));
    frmAddressBook w(s.st());
    w.show();
    EXPECT_TRUE(w.opt1[2]->isChecked() && w.Check1[2]->isChecked());  // Ann, Monday
    EXPECT_EQ(w.txtStart[2]->text() + w.txtStop[2]->text(), "08:00:0017:00:00");
    QTest::mouseClick(w.cmdSendTest, Qt::LeftButton);
    s.loop.runPending();
    ASSERT_EQ(s.mail.outbox.size(), 1u);
    EXPECT_EQ(s.mail.outbox[0].recipients, (std::vector<std::string>{"Ann@example.org"}));
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    ASSERT_EQ(w.list1->count(), 1);
    w.list1->setCurrentRow(0);  // Bob: "Always" disables the days
    EXPECT_EQ(w.txtNumber->text(), "Bob@example.org");
    EXPECT_FALSE(w.Check1[2]->isEnabled() || w.txtStart[2]->isEnabled());

    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    EXPECT_EQ(w.Label3->text(), "1");
    QTest::keyClicks(w.txtName, "Cy");
    QTest::keyClick(w.txtName, Qt::Key_Return);
    QTest::keyClicks(w.txtNumber, "cy@example.org");
    QTest::keyClick(w.txtNumber, Qt::Key_Return);
    EXPECT_EQ(w.focusWidget(), w.cmdApply);
    QTest::mouseClick(w.opt1[2], Qt::LeftButton);
    w.Check1[3]->setChecked(true);  // Tuesday
    w.txtStart[3]->setText("08:00:00");
    w.txtStop[3]->setText("1O:OO:OO");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(s.errors.messages, (std::vector<std::string>{"Enter the times as hh:mm:ss"}));
    EXPECT_EQ(w.txtStart[1]->text(), "");              // the empty boxes are left as they were
    QTest::mouseDClick(w.txtStop[3], Qt::LeftButton);  // a double click empties a time
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    const AddressEntry e = ReadAddressEntry(s.st().Export, 1);
    EXPECT_EQ(e.Name + "|" + e.Address + "|" + e.SendMode,
              "Cy|cy@example.org|" + std::string(1, kSendSometimes));
    EXPECT_EQ(e.StartSec[2] + e.StopSec[2], 8 * 3600);  // an emptied box is midnight
    EXPECT_EQ(w.txtStop[3]->text(), "00:00:00");
    EXPECT_EQ(w.list1->count(), 2);
    w.mnuExit->trigger();
    EXPECT_FALSE(w.isVisible());
}

TEST(MyAccountWindow, ShowsTheAccountAndApplyRewritesTheFile) {
    SimStation s;
    s.start();
    s.st().Export.Account = {"KQMR", "station", "secret"};
    frmMyAccount w(s.st());
    EXPECT_EQ(w.txtFacility->text() + w.txtUserName->text() + w.txtPassword->text(),
              "KQMRstationsecret");
    w.txtFacility->setText("KQMR Caf\u00e9, North");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(s.read("c:\\Satfile\\User.dat"), "KQMR Caf\xE9, North\r\nstation\r\nsecret\r\n");
    w.show();
    QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}

TEST(SendWindow, EnterAsksBeforeReplacingAndSendCopiesWithTheGaugeAtTheEnd) {
    SimStation s(DateTime::from(2026, 1, 28, 12));
    s.settings({{Rec::ActivityLog, 1}, {Rec::WaveDrive, 3}});
    s.start();
    s.put(2, Schedule("MORNING SHOW"));
    s.wave("C:\\SATFILE\\SFTUE002.WAV", 2, 8820,
           [](std::int64_t, int) -> std::int16_t { return 500; });
    s.write("c:\\promo.wav", "old");
    frmSend w(s.st(), 2, "C:\\SATFILE\\SFTUE002.WAV", "C:\\SATFILE\\SFTUE002.DAT");
    EXPECT_EQ(w.Dir1->currentRow(), -1);  // no folder until one is clicked
    emit w.Dir1->itemClicked(w.Dir1->item(0));
    w.send().ChooseFormat = [](const std::vector<WaveFormat>&, WaveFormat*) { return true; };
    QTest::keyClicks(w.txtFileName, "promo");
    QTest::keyClick(w.txtFileName, Qt::Key_Return);
    EXPECT_EQ(w.Label1->text(), "promo already exists.  Overwrite?");
    QTest::mouseClick(w.cmdNo, Qt::LeftButton);
    EXPECT_TRUE(w.txtFileName->text().isEmpty() && w.Label1->isHidden());
    QTest::keyClicks(w.txtFileName, "promo");
    w.mnuHiddenPopupSend->trigger();
    QTest::mouseClick(w.cmdSend, Qt::LeftButton);
    s.loop.advance(1000);
    EXPECT_EQ(w.Gauge->value(), 100);
    EXPECT_EQ(s.readWave("c:\\promo.wav").frames(), 8820);
}
