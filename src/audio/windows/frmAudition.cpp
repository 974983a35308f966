#include "audio/windows/frmAudition.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/PlayoutSequences.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"

namespace quillmar {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption,
                        const char* hint = nullptr) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (hint) button->setToolTip(hint);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

void SetText(QLabel* label, const std::string& text) {
    const QString t = Text(text);
    if (label->text() != t) label->setText(t);
}

// The selected row, -1 when none.
int SelectedRow(QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.front());
}

}  // namespace

QString ColourStyle(ButtonColour colour) {
    if (colour == ButtonColour::AsLaidOut) return {};
    const auto value = static_cast<std::int32_t>(colour);
    return QString("background-color: rgb(%1, %2, %3);")
        .arg(value & 0xFF)
        .arg(value >> 8 & 0xFF)
        .arg(value >> 16 & 0xFF);
}

frmAudition::frmAudition(Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), station_(station) {
    setObjectName("frmAudition");
    setWindowTitle("Audition");
    audition_ = OpenAudition(station_);

    lstSchedule = new QListWidget(this);
    lstSchedule->setObjectName("lstSchedule");
    for (const auto& p : audition_->lstSchedule) lstSchedule->addItem(Text(p.name));
    lstDay = new QListWidget(this);
    lstDay->setObjectName("lstDay");
    for (const auto& day : Audition::lstDay()) lstDay->addItem(Text(day));
    cmdPlay = MakeButton(this, "cmdPlay", "&Play");
    cmdStopPlay = MakeButton(this, "cmdStopPlay", "&Stop");
    cmdPause = MakeButton(this, "cmdPause", "Pause");
    cmdTrim = MakeButton(this, "cmdTrim", "Trim", "Set the End of File");
    cmdEOM = MakeButton(this, "cmdEOM", "&EOM", "Set the EOM");
    cmdClose = MakeButton(this, "cmdClose", "&Close");
    TrackBar = new QSlider(Qt::Horizontal, this);
    TrackBar->setObjectName("TrackBar");
    TrackBar->setRange(0, 0);
    Level1 = new LevelMeter(this, LevelMeter::Kind::Bar);
    Level1->setObjectName("Level1");
    Level2 = new LevelMeter(this, LevelMeter::Kind::Bar);
    Level2->setObjectName("Level2");
    auto* scale = new LevelMeter(this, LevelMeter::Kind::Scale);
    lblTime = MakeLabel(this, "lblTime");
    lblDown = MakeLabel(this, "lblDown");
    lblNumber = MakeLabel(this, "lblNumber");
    lblWave = MakeLabel(this, "lblWave");

    auto* menu = new QMenuBar(this);
    QMenu* files = menu->addMenu("Files");
    QAction* exportFile = files->addAction("Export");
    exportFile->setObjectName("mnuExport");
    QAction* exit = files->addAction("Exit");
    exit->setObjectName("mnuExit");

    auto* lists = new QHBoxLayout;
    lists->addWidget(lstSchedule, 2);
    lists->addWidget(lstDay, 1);
    auto* labels = new QHBoxLayout;
    for (QLabel* l : {lblNumber, lblWave, lblTime, lblDown}) labels->addWidget(l);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdPlay, cmdPause, cmdStopPlay, cmdEOM, cmdTrim, cmdClose})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addLayout(lists, 1);
    layout->addLayout(labels);
    layout->addWidget(TrackBar);
    auto* meters = new QVBoxLayout;
    meters->setSpacing(1);
    for (LevelMeter* m : {Level1, Level2, scale}) meters->addWidget(m);
    layout->addLayout(meters);
    layout->addLayout(buttons);

    Audition& a = *audition_;
    auto act = [this](auto action) {
        return [this, action] {
            action(*audition_);
            render();
            station_.notifyChanged();
        };
    };
    // A choice is a selection: the current row a list takes on focus alone chooses nothing.
    connect(lstDay, &QListWidget::itemSelectionChanged, this, [this] {
        audition_->lstDay_Click(SelectedRow(lstDay));
        render();
    });
    connect(lstSchedule, &QListWidget::itemSelectionChanged, this, [this] {
        audition_->lstSchedule_Click(SelectedRow(lstSchedule));
        render();
    });
    connect(cmdPlay, &QPushButton::clicked, this, act([](Audition& x) { x.cmdPlay_Click(); }));
    connect(cmdPause, &QPushButton::clicked, this, act([](Audition& x) { x.cmdPause_Click(); }));
    connect(cmdStopPlay, &QPushButton::clicked, this,
            act([](Audition& x) { x.cmdStopPlay_Click(); }));
    connect(cmdEOM, &QPushButton::clicked, this, act([](Audition& x) { x.cmdEOM_Click(); }));
    connect(cmdTrim, &QPushButton::clicked, this, act([](Audition& x) { x.cmdTrim_Click(); }));
    connect(TrackBar, &QSlider::sliderPressed, this, [this] { audition_->TrackBar_Pressed(); });
    connect(TrackBar, &QSlider::sliderReleased, this, [this] {
        audition_->TrackBar_Released(TrackBar->value());
        render();
    });
    connect(exportFile, &QAction::triggered, this, [this] {
        const std::string file = audition_->ExportFile();
        if (!file.empty() && openSendToFile) openSendToFile(file);
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    cmdEOM->installEventFilter(this);
    a.onChanged = [this] { render(); };
    lstSchedule->setFocus();  // choosing a programme comes first, by mouse or by keys
    render();
}

frmAudition::~frmAudition() {
    audition_->onChanged = nullptr;
    audition_.reset();  // stops the player; AuditionPlaying clears
    station_.notifyChanged();
}

bool frmAudition::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmdEOM && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        audition_->cmdEOM_RightRelease();
        render();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmAudition::render() {
    const Audition& a = *audition_;
    SetText(lblTime, a.lblTime);
    SetText(lblDown, a.lblDown);
    SetText(lblNumber, a.lblNumber);
    SetText(lblWave, a.lblWave);
    cmdPlay->setStyleSheet(ColourStyle(a.cmdPlayColour));
    cmdPause->setStyleSheet(ColourStyle(a.cmdPauseColour));
    cmdEOM->setStyleSheet(ColourStyle(a.cmdEOMColour));
    const int max = static_cast<int>(a.TrackBarMax);
    if (TrackBar->maximum() != max) TrackBar->setRange(0, max);
    if (!a.SliderHeld && TrackBar->value() != a.TrackBarValue)
        TrackBar->setValue(static_cast<int>(a.TrackBarValue));
    Level1->setLevel(a.levelLeft());
    Level2->setLevel(a.levelRight());
    // The focus moves once, where the last action sent it.
    if (a.focus == Audition::Focus::Stop) cmdStopPlay->setFocus();
    if (a.focus == Audition::Focus::Play) cmdPlay->setFocus();
    audition_->focus = Audition::Focus::None;
}

}  // namespace quillmar
