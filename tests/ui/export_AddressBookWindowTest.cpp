#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "Fonts.h"
#include "export/AddressBook.h"
#include "export/windows/frmAddressBook.h"
#include "export/windows/frmMyAccount.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

AddressEntry Person(const std::string& name, const std::string& address, char mode) {
    AddressEntry e;
    e.InUse = '1';
    e.SendMode = mode;
    e.Name = name;
    e.Address = address;
    return e;
}

template <typename T>
T* Child(QWidget& w, const QString& name) {
    T* found = w.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// Tuesday 2026-03-10, 12:00:00.
struct Book {
    Book() : s(DateTime::from(2026, 3, 10, 12, 0, 0)) {
        s.start();
        s.st().Export.Account.Facility = "KQMR";
    }
    void put(int n, const AddressEntry& e) {
        std::string error;
        ASSERT_TRUE(WriteAddressEntry(s.st().Export, n, e, &error)) << error;
    }
    SimStation s;
};

}  // namespace

TEST(AddressBookWindow, ShowsItsControlsInTheirDisplayOrder) {
    Book b;
    frmAddressBook w(b.s.st());
    EXPECT_EQ(w.windowTitle(), "Address Book");
    // Options appear Never, Sometimes, Always, with the stored mode as index.
    QStringList shown;
    for (QRadioButton* o : w.findChildren<QRadioButton*>())
        shown << o->objectName() + "=" + o->text();
    EXPECT_EQ(shown, (QStringList{"opt1_0=Never", "opt1_2=Sometimes", "opt1_1=Always"}));
    QStringList days;
    for (QCheckBox* c : w.findChildren<QCheckBox*>()) days << c->objectName() + "=" + c->text();
    EXPECT_EQ(days, (QStringList{"Check1_2=Mon", "Check1_3=Tue", "Check1_4=Wed", "Check1_5=Thu",
                                 "Check1_6=Fri", "Check1_7=Sat", "Check1_1=Sun"}));
    for (const char* name : {"cmdSendTest", "cmdNew", "cmdDelete", "cmdApply", "cmdClose",
                             "txtName", "txtNumber", "list1", "Label3", "txtStart_1", "txtStop_7"})
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
    QMenu* files = w.findChild<QMenu*>("mnuFiles");
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->title(), "Files");
    EXPECT_EQ(files->actions().value(0)->text(), "Exit");
    EXPECT_TRUE(LinesUpColumns(w.list1->font()));
    // The heading's "Stop" stands over the Stop boxes, not over the Start ones.
    w.show();
    auto* heading = Child<QLabel>(w, "lblStartStop");
    const int stop =
        heading
            ->mapTo(&w,
                    QPoint(heading->fontMetrics().horizontalAdvance(heading->text().left(29)), 0))
            .x();
    EXPECT_NEAR(stop, w.txtStop[1]->mapTo(&w, QPoint(0, 0)).x(), 4);
}

TEST(AddressBookWindow, ListsEntriesAndShowsTheSelectedOne) {
    Book b;
    AddressEntry ann = Person("Ann", "ann@example.org", kSendSometimes);
    ann.DayOn[1] = '1';
    ann.StartSec[1] = 8 * 3600;
    ann.StopSec[1] = 17 * 3600;
    b.put(1, Person("Old", "old@example.org", kSendAlways));
    b.put(2, ann);
    b.put(3, Person("Bob", "bob@example.org", kSendAlways));
    std::string error;
    ASSERT_TRUE(DeleteAddressEntry(b.s.st().Export, 1, &error));
    frmAddressBook w(b.s.st());
    ASSERT_EQ(w.list1->count(), 2);
    EXPECT_TRUE(w.list1->item(0)->text().startsWith("Ann              ann@example.org"));
    EXPECT_TRUE(w.list1->item(0)->text().endsWith(" Sometimes"));
    // The first line is selected and shown.
    EXPECT_EQ(w.Label3->text(), "2");
    EXPECT_EQ(w.txtName->text(), "Ann");
    EXPECT_TRUE(w.opt1[2]->isChecked());
    EXPECT_TRUE(w.Check1[2]->isChecked());  // Monday
    EXPECT_TRUE(w.Check1[2]->isEnabled());
    EXPECT_EQ(w.txtStart[2]->text(), "08:00:00");
    EXPECT_EQ(w.txtStop[2]->text(), "17:00:00");
    // Selecting Bob shows him, and "Always" disables the day boxes.
    w.list1->setCurrentRow(1);
    EXPECT_EQ(w.Label3->text(), "3");
    EXPECT_EQ(w.txtNumber->text(), "bob@example.org");
    EXPECT_TRUE(w.opt1[1]->isChecked());
    EXPECT_FALSE(w.Check1[2]->isEnabled());
    EXPECT_FALSE(w.txtStart[2]->isEnabled());
}

TEST(AddressBookWindow, NewThenApplyFillsAFreedSlotAndDoubleClickEmptiesATime) {
    Book b;
    b.put(1, Person("Ann", "ann@example.org", kSendAlways));
    b.put(2, Person("Bob", "bob@example.org", kSendAlways));
    std::string error;
    ASSERT_TRUE(DeleteAddressEntry(b.s.st().Export, 1, &error));
    frmAddressBook w(b.s.st());
    w.show();
    // When New is clicked the freed record 1 is offered and the controls are empty
    QTest::mouseClick(w.cmdNew, Qt::LeftButton);
    EXPECT_EQ(w.Label3->text(), "1");
    EXPECT_EQ(w.txtName->text(), "");
    // and a Sometimes entry is typed in
    QTest::keyClicks(w.txtName, "Cy");
    QTest::keyClick(w.txtName, Qt::Key_Return);
    EXPECT_EQ(w.focusWidget(), w.txtNumber);
    QTest::keyClicks(w.txtNumber, "cy@example.org" + QString(40, 'z'));
    QTest::keyClick(w.txtNumber, Qt::Key_Return);
    EXPECT_EQ(w.focusWidget(), w.cmdApply);
    QTest::mouseClick(w.opt1[2], Qt::LeftButton);
    EXPECT_TRUE(w.Check1[3]->isEnabled());
    w.Check1[3]->setChecked(true);  // Tuesday
    w.txtStart[3]->setText("08:00:00");
    w.txtStop[3]->setText("09:30:00");
    QTest::mouseDClick(w.txtStop[3], Qt::LeftButton);
    EXPECT_EQ(w.txtStop[3]->text(), "");
    w.txtStop[3]->setText("17:00");
    w.txtStart[5]->setText("07:00:00");
    QTest::mouseDClick(w.txtStart[5], Qt::LeftButton);
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    // then record 1 holds it, cut to the field widths, an emptied box stored as midnight
    const AddressEntry e = ReadAddressEntry(b.s.st().Export, 1);
    EXPECT_TRUE(e.inUse());
    EXPECT_EQ(e.SendMode, kSendSometimes);
    EXPECT_EQ(e.Name, "Cy");
    EXPECT_EQ(e.Address.size(), 39u);
    EXPECT_EQ(e.DayOn[2], '1');
    EXPECT_EQ(e.StartSec[2], 8 * 3600);
    EXPECT_EQ(e.StopSec[2], 17 * 3600);
    EXPECT_EQ(e.StartSec[4], 0);
    EXPECT_EQ(w.txtStart[5]->text(), "00:00:00");
    EXPECT_EQ(w.list1->count(), 2);
    EXPECT_EQ(b.s.st().Export.AddressBookFile.recordCount(), 2);
}

TEST(AddressBookWindow, ATimeThatIsNoTimeIsRefusedAndNothingWrittenOrFilledIn) {
    for (const char* bad : {"noon", "1O:OO:OO", "24:00:00", "12:60:00", "12:00:60", "12"}) {
        Book b;
        frmAddressBook w(b.s.st());
        QTest::mouseClick(w.cmdNew, Qt::LeftButton);
        w.txtName->setText("Dee");
        w.opt1[2]->setChecked(true);
        w.txtStart[4]->setText(bad);
        QTest::mouseClick(w.cmdApply, Qt::LeftButton);
        EXPECT_EQ(b.s.errors.messages, (std::vector<std::string>{"Enter the times as hh:mm:ss"}))
            << bad;
        EXPECT_EQ(b.s.st().Export.AddressBookFile.recordCount(), 0) << bad;
        // the empty boxes before the bad one are left as the operator had them
        EXPECT_EQ(w.txtStart[1]->text(), "") << bad;
        EXPECT_EQ(w.txtStop[3]->text(), "") << bad;
    }
}

TEST(AddressBookWindow, DeleteAndSendTestActOnTheSelectedLineOnly) {
    Book b;
    b.put(1, Person("Ann", "ann@example.org", kSendNever));
    b.put(2, Person("Bob", "bob@example.org", kSendAlways));
    frmAddressBook w(b.s.st());
    // Send Test goes to Ann although her mode is Never
    QTest::mouseClick(w.cmdSendTest, Qt::LeftButton);
    b.s.loop.runPending();
    ASSERT_EQ(b.s.mail.outbox.size(), 1u);
    EXPECT_EQ(b.s.mail.outbox[0].recipients, (std::vector<std::string>{"ann@example.org"}));
    EXPECT_EQ(b.s.mail.outbox[0].subject, "KQMR Test Message");
    // Delete removes her line and keeps her record
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    ASSERT_EQ(w.list1->count(), 1);
    EXPECT_EQ(ReadAddressEntry(b.s.st().Export, 1).InUse, '0');
    // With nothing selected, neither does anything
    w.list1->clearSelection();
    QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
    QTest::mouseClick(w.cmdSendTest, Qt::LeftButton);
    b.s.loop.runPending();
    EXPECT_EQ(w.list1->count(), 1);
    EXPECT_EQ(b.s.mail.outbox.size(), 1u);
}

TEST(MyAccountWindow, ShowsTheAccountAndApplyRewritesTheFile) {
    Book b;
    b.s.st().Export.Account = {"KQMR", "station", "secret"};
    frmMyAccount w(b.s.st());
    EXPECT_EQ(w.windowTitle(), "MyAccount");
    EXPECT_EQ(w.txtFacility->text(), "KQMR");
    EXPECT_EQ(w.txtUserName->text(), "station");
    EXPECT_EQ(w.txtPassword->text(), "secret");
    EXPECT_EQ(w.findChild<QMenu*>("mnuFiles")->actions().value(0)->text(), "Exit");
    w.txtFacility->setText("KQMR Caf\u00e9, North");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    EXPECT_EQ(b.s.st().Export.Account.Facility, "KQMR Caf\xE9, North");
    EXPECT_EQ(b.s.read("c:\\Satfile\\User.dat"), "KQMR Caf\xE9, North\r\nstation\r\nsecret\r\n");
}

TEST(MyAccountWindow, CloseAndExitCloseTheWindow) {
    Book b;
    frmMyAccount w(b.s.st());
    w.show();
    QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    w.show();
    w.mnuExit->trigger();
    EXPECT_FALSE(w.isVisible());
    frmAddressBook book(b.s.st());
    book.show();
    book.mnuExit->trigger();
    EXPECT_FALSE(book.isVisible());
}
