#include "settings/windows/frmMyComputer.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/SettingsSequences.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"

namespace quillmar {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QListWidget* MakeList(QWidget* parent, const char* name, const char* hint) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setToolTip(hint);
    list->setMaximumHeight(90);
    return list;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, const char* hint) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    return box;
}

void Fill(QListWidget* list, const std::vector<SettingsLine>& lines, int index) {
    if (list->count() != static_cast<int>(lines.size())) {
        list->clear();
        for (const auto& line : lines) list->addItem(Text(line.text));
    }
    if (list->currentRow() != index) list->setCurrentRow(index);
}

}  // namespace

frmMyComputer::frmMyComputer(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), station_(station) {
    setObjectName("frmMyComputer");
    setWindowTitle("My Computer");
    form_ = std::make_unique<SettingsForm>(SettingsFormLinksOf(station_));

    lblMM1 = MakeLabel(this, "lblMM1", "Program Play");
    Label3 = MakeLabel(this, "Label3", "Audition Play");
    Label9 = MakeLabel(this, "Label9", "Record");
    Label1 = MakeLabel(this, "Label1", "Record Audio Threshold");
    Label2 = MakeLabel(this, "Label2", "Days to save wave files");
    Label8 = MakeLabel(this, "Label8", "Save wave files to drive");
    Label5 = MakeLabel(this, "Label5", "Save Activity Logs");
    Label6 = MakeLabel(this, "Label6", "Save EbNo Logs");
    Label7 = MakeLabel(this, "Label7", "Log EbNo");
    Label4 = MakeLabel(this, "Label4", "Select Sound Card");
    Label10 = MakeLabel(this, "Label10", "");
    lstMM1 = MakeList(this, "lstMM1", "Select Program  sound card");
    lstMM2 = MakeList(this, "lstMM2", "Select Audition sound card");
    lstRec = MakeList(this, "lstRec", "Select Program  sound card");
    txtThreshold = new QLineEdit(this);
    txtThreshold->setObjectName("txtThreshold");
    txtThreshold->setToolTip("Set the Audio level for record autostart");
    list1 = MakeList(this, "list1", "Select days to save audio files");
    lstDrv = MakeList(this, "lstDrv", "Save wave files to this drive.");
    List2 = MakeList(this, "List2", "Select period of time to save Activity Logs");
    List3 = MakeList(this, "List3", "Select period of time to save EbNo logs");
    List4 =
        MakeList(this, "List4",
                 "Select number of times per hour/minute to read the Unity 4K EbNo and save it");
    Check2 = MakeCheck(this, "Check2", "Activity Log", "Keep an Activity Log?");
    Check1 = MakeCheck(this, "Check1", "Play Visible", "Makes playlist  \"play\" button visible");
    Check3 = MakeCheck(this, "Check3", "Stop Visible", "Makes playlist  \"stop\" button visible");
    chkRecord = MakeCheck(this, "chkRecord", "Record", "Makes playlist  \"play\" button visible");
    chkRecStop =
        MakeCheck(this, "chkRecStop", "Record Stop", "Makes playlist  \"play\" button visible");
    Check4 = MakeCheck(this, "Check4", "ReSet Expansion Relays",
                       "When Relay Expansion Card is installed, this option will reset relays "
                       "associated with a port");
    chkTimeChange = MakeCheck(
        this, "chkTimeChange", "Adjust Schedules for Time Change",
        "Updates schedules for time change for stations which do not observe Daylight Savings "
        "Time.   Check this box ONLY if your time zone does not observe DST.");
    Frame3 = new QGroupBox("Remote Control", this);
    Frame3->setObjectName("Frame3");
    Frame3->setToolTip("Remote control:  Record, Play, EOM, Time Update, Alarm");
    auto* options = new QButtonGroup(this);
    auto* frameLayout = new QVBoxLayout(Frame3);
    const char* captions[] = {"Off", "Parallel ", "Prairie Digital"};
    const char* hints[] = {"Remote Control is Off", "Use the Parallel Port for Remote Control",
                           "Use the Prairie Digital Model 30 Card for Remote Control"};
    for (int i = 0; i < 3; ++i) {
        Option2[i] = new QRadioButton(captions[i], Frame3);
        Option2[i]->setObjectName(QString("Option2_%1").arg(i));
        Option2[i]->setToolTip(hints[i]);
        options->addButton(Option2[i], i);
        frameLayout->addWidget(Option2[i]);
    }
    cmdApply = new QPushButton("Apply", this);
    cmdApply->setObjectName("cmdApply");
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setToolTip("Exit ");

    auto* menu = new QMenuBar(this);
    QMenu* files = menu->addMenu("Files");
    QAction* exit = files->addAction("Exit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    auto* grid = new QGridLayout;
    grid->addWidget(Label4, 0, 0, 1, 3);
    grid->addWidget(lblMM1, 1, 0);
    grid->addWidget(Label3, 1, 1);
    grid->addWidget(Label9, 1, 2);
    grid->addWidget(lstMM1, 2, 0);
    grid->addWidget(lstMM2, 2, 1);
    grid->addWidget(lstRec, 2, 2);
    grid->addWidget(Label1, 3, 0);
    grid->addWidget(Label2, 3, 1);
    grid->addWidget(Label8, 3, 2);
    grid->addWidget(txtThreshold, 4, 0, Qt::AlignTop);
    grid->addWidget(list1, 4, 1);
    grid->addWidget(lstDrv, 4, 2);
    grid->addWidget(Label5, 5, 0);
    grid->addWidget(Label6, 5, 1);
    grid->addWidget(Label7, 5, 2);
    grid->addWidget(List2, 6, 0);
    grid->addWidget(List3, 6, 1);
    grid->addWidget(List4, 6, 2);
    auto* checks = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Check2), static_cast<QWidget*>(Check1),
                       static_cast<QWidget*>(Check3), static_cast<QWidget*>(chkRecord),
                       static_cast<QWidget*>(chkRecStop), static_cast<QWidget*>(Check4),
                       static_cast<QWidget*>(chkTimeChange), static_cast<QWidget*>(Label10)})
        checks->addWidget(w);
    grid->addLayout(checks, 7, 0, 1, 2);
    grid->addWidget(Frame3, 7, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    // Choices act at once; the main window shows their effect on the buttons.
    auto after = [this] {
        if (rendering_) return;
        station_.notifyChanged();
        render();
    };
    auto onRow = [this, after](QListWidget* list, void (SettingsForm::*click)(int)) {
        connect(list, &QListWidget::currentRowChanged, this, [this, click, after](int row) {
            if (rendering_ || row < 0) return;
            (form_.get()->*click)(row);
            after();
        });
    };
    onRow(lstMM1, &SettingsForm::lstMM1_Click);
    onRow(lstMM2, &SettingsForm::lstMM2_Click);
    onRow(lstRec, &SettingsForm::lstRec_Click);
    onRow(list1, &SettingsForm::list1_Click);
    onRow(lstDrv, &SettingsForm::lstDrv_Click);
    onRow(List2, &SettingsForm::List2_Click);
    onRow(List3, &SettingsForm::List3_Click);
    onRow(List4, &SettingsForm::List4_Click);
    auto onCheck = [this, after](QCheckBox* box, void (SettingsForm::*click)(bool)) {
        connect(box, &QCheckBox::clicked, this, [this, click, after](bool on) {
            (form_.get()->*click)(on);
            after();
        });
    };
    onCheck(Check1, &SettingsForm::Check1_Click);
    onCheck(Check2, &SettingsForm::Check2_Click);
    onCheck(Check3, &SettingsForm::Check3_Click);
    onCheck(Check4, &SettingsForm::Check4_Click);
    onCheck(chkRecord, &SettingsForm::chkRecord_Click);
    onCheck(chkRecStop, &SettingsForm::chkRecStop_Click);
    onCheck(chkTimeChange, &SettingsForm::chkTimeChange_Click);
    connect(options, &QButtonGroup::idClicked, this, [this, after](int id) {
        form_->Option2_Click(id);
        after();
    });
    connect(txtThreshold, &QLineEdit::textEdited, this,
            [this](const QString& text) { form_->txtThreshold_Change(Bytes(text)); });
    connect(cmdApply, &QPushButton::clicked, this, [this, after] {
        form_->cmdApply_Click();
        after();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    render();
    station_.notifyChanged();
}

void frmMyComputer::render() {
    rendering_ = true;
    const SettingsForm& f = *form_;
    Fill(lstMM1, f.lstMM1, f.lstMM1Index);
    Fill(lstMM2, f.lstMM2, f.lstMM2Index);
    Fill(lstRec, f.lstRec, f.lstRecIndex);
    Fill(list1, f.list1, f.list1Index);
    // The seven day counts all show; a scrolled-off "7" reads as a list ending at 6.
    const int rows = list1->sizeHintForRow(0) * list1->count() + 2 * list1->frameWidth();
    list1->setFixedHeight(std::max(rows, 40));
    Fill(lstDrv, f.lstDrv, f.lstDrvIndex);
    Fill(List2, f.List2, f.List2Index);
    Fill(List3, f.List3, f.List3Index);
    Fill(List4, f.List4, f.List4Index);
    if (txtThreshold->text() != Text(f.txtThreshold)) txtThreshold->setText(Text(f.txtThreshold));
    Check1->setChecked(f.Check1);
    Check2->setChecked(f.Check2);
    Check3->setChecked(f.Check3);
    Check4->setChecked(f.Check4);
    chkRecord->setChecked(f.chkRecord);
    chkRecStop->setChecked(f.chkRecStop);
    chkTimeChange->setChecked(f.chkTimeChange);
    Option2[f.Option2]->setChecked(true);
    Label10->setText(Text(f.Label10));
    rendering_ = false;
}

}  // namespace quillmar
