#include "export/windows/frmAddressBook.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "core/ExportSequences.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "export/AddressBook.h"
#include "export/MailOut.h"

namespace quillmar {

namespace {

// Option indices are the stored SendMode values; they are shown Never, Sometimes, Always.
constexpr int kNever = 0, kAlways = 1, kSometimes = 2;
// Day boxes are shown Monday first; box 1 is Sunday.
constexpr int kDayOrder[] = {2, 3, 4, 5, 6, 7, 1};
const char* const kDayCaptions[] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

}  // namespace

frmAddressBook::frmAddressBook(Station& station, QWidget* parent)
    : QWidget(parent), station_(station) {
    setObjectName("frmAddressBook");
    setWindowTitle("Address Book");

    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    QMenu* files = menuBar->addMenu("Files");
    files->setObjectName("mnuFiles");
    mnuExit = files->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    layout->setMenuBar(menuBar);

    list1 = new QListWidget(this);
    list1->setObjectName("list1");
    list1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list1->setMinimumWidth(520);
    layout->addWidget(list1);

    auto* fields = new QGridLayout;
    txtName = new QLineEdit(this);
    txtName->setObjectName("txtName");
    txtNumber = new QLineEdit(this);
    txtNumber->setObjectName("txtNumber");
    fields->addWidget(new QLabel("Name", this), 0, 0);
    fields->addWidget(txtName, 0, 1);
    fields->addWidget(new QLabel("Address", this), 1, 0);
    fields->addWidget(txtNumber, 1, 1);
    Label3 = new QLabel(this);
    Label3->setObjectName("Label3");
    fields->addWidget(Label3, 0, 2);
    layout->addLayout(fields);

    auto* modes = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const std::pair<int, const char*> shown[] = {
        {kNever, "Never"}, {kSometimes, "Sometimes"}, {kAlways, "Always"}};
    for (auto [index, caption] : shown) {
        opt1[index] = new QRadioButton(caption, this);
        opt1[index]->setObjectName(QString("opt1_%1").arg(index));
        group->addButton(opt1[index], index);
        modes->addWidget(opt1[index]);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { modeChosen(id); });
    layout->addLayout(modes);

    auto* days = new QGridLayout;
    // The heading is one line of text: in a fixed-pitch font, with each time box as wide as
    // the text before "Stop", its two words sit over their columns.
    const QString headingText = " Start                       Stop";
    auto* heading = new QLabel(headingText, this);
    heading->setObjectName("lblStartStop");
    heading->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    days->addWidget(heading, 0, 1, 1, 2, Qt::AlignLeft);
    const int toStop = heading->fontMetrics().horizontalAdvance(headingText.left(29));
    const int spacing = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    days->setHorizontalSpacing(spacing > 0 ? spacing : 6);
    const int boxWidth = toStop - days->horizontalSpacing();
    int row = 1;
    for (int d : kDayOrder) {
        Check1[d] = new QCheckBox(kDayCaptions[d], this);
        Check1[d]->setObjectName(QString("Check1_%1").arg(d));
        txtStart[d] = new QLineEdit(this);
        txtStart[d]->setObjectName(QString("txtStart_%1").arg(d));
        txtStop[d] = new QLineEdit(this);
        txtStop[d]->setObjectName(QString("txtStop_%1").arg(d));
        for (QLineEdit* box : {txtStart[d], txtStop[d]}) {
            box->installEventFilter(this);
            box->setFixedWidth(boxWidth);
        }
        days->addWidget(Check1[d], row, 0);
        days->addWidget(txtStart[d], row, 1);
        days->addWidget(txtStop[d], row, 2);
        ++row;
    }
    layout->addLayout(days);

    auto* buttons = new QHBoxLayout;
    const std::pair<QPushButton**, std::pair<const char*, const char*>> made[] = {
        {&cmdSendTest, {"cmdSendTest", "Send Test"}},
        {&cmdNew, {"cmdNew", "New"}},
        {&cmdDelete, {"cmdDelete", "Delete"}},
        {&cmdApply, {"cmdApply", "Apply"}},
        {&cmdClose, {"cmdClose", "Close"}}};
    for (auto [button, names] : made) {
        *button = new QPushButton(names.second, this);
        (*button)->setObjectName(names.first);
        buttons->addWidget(*button);
    }
    layout->addLayout(buttons);

    connect(list1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) showEntry(list1->item(row)->data(Qt::UserRole).toInt());
    });
    connect(txtName, &QLineEdit::returnPressed, txtNumber, [this] { txtNumber->setFocus(); });
    connect(txtNumber, &QLineEdit::returnPressed, cmdApply, [this] { cmdApply->setFocus(); });
    connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdSendTest, &QPushButton::clicked, this, [this] { cmdSendTest_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    opt1[kNever]->setChecked(true);
    modeChosen(kNever);
    LoadAddressBook();
}

bool frmAddressBook::eventFilter(QObject* watched, QEvent* event) {
    // Double-clicking a time empties it, so that Apply stores midnight.
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            box->clear();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmAddressBook::LoadAddressBook() {
    list1->blockSignals(true);
    list1->clear();
    for (const auto& line : quillmar::LoadAddressBook(station_.Export)) {
        auto* item = new QListWidgetItem(Text(line.text), list1);
        item->setData(Qt::UserRole, line.recordNo);
    }
    list1->blockSignals(false);
    if (list1->count() > 0) {
        list1->setCurrentRow(0);
        showEntry(list1->item(0)->data(Qt::UserRole).toInt());
    }
}

void frmAddressBook::setRecordNo(int recordNo) {
    recordNo_ = recordNo;
    Label3->setText(QString::number(recordNo));
}

void frmAddressBook::showEntry(int recordNo) {
    const AddressEntry e = ReadAddressEntry(station_.Export, recordNo);
    setRecordNo(recordNo);
    txtName->setText(Text(e.Name));
    txtNumber->setText(Text(e.Address));
    const int mode = e.SendMode == kSendAlways      ? kAlways
                     : e.SendMode == kSendSometimes ? kSometimes
                                                    : kNever;
    opt1[mode]->setChecked(true);
    modeChosen(mode);
    for (int d = 1; d <= 7; ++d) {
        Check1[d]->setChecked(e.DayOn[d - 1] == kDayTicked);
        txtStart[d]->setText(QString::fromStdString(TimeOfDayText(e.StartSec[d - 1])));
        txtStop[d]->setText(QString::fromStdString(TimeOfDayText(e.StopSec[d - 1])));
    }
}

void frmAddressBook::modeChosen(int mode) {
    const bool sometimes = mode == kSometimes;
    for (int d = 1; d <= 7; ++d)
        for (QWidget* w : {static_cast<QWidget*>(Check1[d]), static_cast<QWidget*>(txtStart[d]),
                           static_cast<QWidget*>(txtStop[d])})
            w->setEnabled(sometimes);
}

int frmAddressBook::selectedRecordNo() const {
    const QListWidgetItem* item = list1->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toInt() : 0;
}

void frmAddressBook::cmdNew_Click() {
    txtName->clear();
    txtNumber->clear();
    for (int d = 1; d <= 7; ++d) {
        Check1[d]->setChecked(false);
        txtStart[d]->clear();
        txtStop[d]->clear();
    }
    setRecordNo(NewAddressRecordNo(station_.Export));
}

void frmAddressBook::cmdDelete_Click() {
    const int n = selectedRecordNo();
    if (n < 1) return;
    std::string error;
    if (!DeleteAddressEntry(station_.Export, n, &error))
        ShowError(station_, "Cannot delete the address: " + error);
    LoadAddressBook();
}

void frmAddressBook::cmdApply_Click() {
    AddressEntry e;
    e.InUse = kEntryInUse;
    e.SendMode = opt1[kAlways]->isChecked()      ? kSendAlways
                 : opt1[kSometimes]->isChecked() ? kSendSometimes
                                                 : kSendNever;
    e.Name = Bytes(txtName->text());
    e.Address = Bytes(txtNumber->text());
    for (int d = 1; d <= 7; ++d) {
        e.DayOn[d - 1] = Check1[d]->isChecked() ? kDayTicked : kDayNotTicked;
        // An empty box counts as 00:00:00; it is shown so only once the whole entry is good.
        if (!ParseTimeOfDay(txtStart[d]->text().toStdString(), &e.StartSec[d - 1]) ||
            !ParseTimeOfDay(txtStop[d]->text().toStdString(), &e.StopSec[d - 1])) {
            ShowError(station_, "Enter the times as hh:mm:ss");
            return;
        }
    }
    for (int d = 1; d <= 7; ++d)
        for (QLineEdit* box : {txtStart[d], txtStop[d]})
            if (box->text().trimmed().isEmpty()) box->setText("00:00:00");
    // With no record chosen yet the entry goes to the slot New would give.
    if (recordNo_ < 1) setRecordNo(NewAddressRecordNo(station_.Export));
    std::string error;
    if (!WriteAddressEntry(station_.Export, recordNo_, e, &error)) {
        ShowError(station_, "Cannot write the address book: " + error);
        return;
    }
    LoadAddressBook();
}

void frmAddressBook::cmdSendTest_Click() {
    const int n = selectedRecordNo();
    if (n >= 1) SendTestMessage(station_, n);
}

}  // namespace quillmar
