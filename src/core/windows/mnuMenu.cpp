#include "core/windows/mnuMenu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <tuple>

#include "audio/Playout.h"
#include "audio/windows/LevelMeter.h"
#include "audio/windows/frmAudition.h"
#include "core/ManualControls.h"
#include "core/Startup.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"

namespace quillmar {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumHeight(40);
    return button;
}

const char* Colour(MainWindowModel::ButtonColour c) {
    switch (c) {
        case MainWindowModel::ButtonColour::Yellow:
            return "background-color: yellow;";
        case MainWindowModel::ButtonColour::Red:
            return "background-color: red;";
        case MainWindowModel::ButtonColour::Green:
            return "background-color: lime;";
        case MainWindowModel::ButtonColour::Maroon:
            return "background-color: rgb(128, 0, 0); color: white;";
        default:
            return "";
    }
}

// Setting a style sheet re-polishes and repaints the widget even when it is the same one.
void SetStyle(QWidget* widget, const QString& style) {
    if (widget->styleSheet() != style) widget->setStyleSheet(style);
}

// Showing a shown widget still walks its children and the layout; a tick must not.
void Show(QWidget* widget, bool visible) {
    if (widget->isHidden() == visible) widget->setVisible(visible);
}

// Hands the key presses of a widget to a station procedure.
class KeyForwarder : public QObject {
  public:
    KeyForwarder(QObject* parent, std::function<void(int)> onKey)
        : QObject(parent), onKey_(std::move(onKey)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) onKey_(static_cast<QKeyEvent*>(event)->key());
        return false;
    }

  private:
    std::function<void(int)> onKey_;
};

}  // namespace

mnuMenu::mnuMenu(Station& station, QWidget* parent) : QMainWindow(parent), station_(station) {
    setObjectName("mnuMenu");
    setWindowTitle("Quillmar");
    auto* central = new QWidget(this);
    setCentralWidget(central);

    lblClock = MakeLabel(central, "lblClock");
    QFont big = lblClock->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    lblClock->setFont(big);
    Label3 = MakeLabel(central, "Label3", "Record");
    Label2 = MakeLabel(central, "Label2", "Play");
    Label1 = MakeLabel(central, "Label1", "Playlist");
    for (QLabel* heading : {Label1, Label2, Label3}) {
        QFont f = heading->font();
        f.setBold(true);
        heading->setFont(f);
    }
    lblStartHere = MakeLabel(central, "lblStartHere");
    lblStartHere->setWordWrap(true);
    lblStartHere->setStyleSheet("QLabel { background: #fff3c4; color: black; padding: 6px; }");
    lblNextToRecord = MakeLabel(central, "lblNextToRecord");
    lblRecTime = MakeLabel(central, "lblRecTime");
    lblRecordTimer = MakeLabel(central, "lblRecordTimer");
    lblRecordName = MakeLabel(central, "lblRecordName");
    lblRecordRelay = MakeLabel(central, "lblRecordRelay");
    lblNextTimedPlay = MakeLabel(central, "lblNextTimedPlay");
    lblNextPlayTime = MakeLabel(central, "lblNextPlayTime");
    lblPlayTime = MakeLabel(central, "lblPlayTime");
    lblPlayDay = MakeLabel(central, "lblPlayDay");
    lblPlayRelay = MakeLabel(central, "lblPlayRelay");
    lblNextSwitch = MakeLabel(central, "lblNextSwitch");
    lblSwitchTimer = MakeLabel(central, "lblSwitchTimer");
    lblPort = MakeLabel(central, "lblPort");
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    for (QLabel* count : {lblRecTime, lblRecordTimer, lblNextPlayTime, lblPlayTime, lblSwitchTimer})
        count->setFont(mono);

    cmdRecord = MakeButton(central, "cmdRecord", "Record");
    cmdRecStop = MakeButton(central, "cmdRecStop", "Rec Stop");
    cmdPlay = MakeButton(central, "cmdPlay", "Play");
    cmdPlay->setToolTip("Plays the first item in the playlist");
    cmdStop = MakeButton(central, "cmdStop", "Play Stop");
    PlayList = new QListWidget(central);
    PlayList->setObjectName("PlayList");
    PlayList->setFont(mono);
    PlayList->setMinimumWidth(320);

    auto* status = new QGridLayout;
    int row = 0;
    status->addWidget(Label3, row++, 0, 1, 2);
    status->addWidget(lblNextToRecord, row++, 0, 1, 2);
    status->addWidget(lblRecTime, row, 0);
    status->addWidget(lblRecordTimer, row++, 1);
    status->addWidget(lblRecordName, row, 0);
    status->addWidget(lblRecordRelay, row++, 1);
    status->addWidget(Label2, row++, 0, 1, 2);
    status->addWidget(lblNextTimedPlay, row++, 0, 1, 2);
    status->addWidget(lblNextPlayTime, row, 0);
    status->addWidget(lblPlayTime, row++, 1);
    status->addWidget(lblPlayDay, row, 0);
    status->addWidget(lblPlayRelay, row++, 1);
    status->addWidget(lblNextSwitch, row++, 0, 1, 2);
    status->addWidget(lblSwitchTimer, row, 0);
    status->addWidget(lblPort, row++, 1);
    status->setRowStretch(row, 1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdRecord, cmdRecStop, cmdPlay, cmdStop}) buttons->addWidget(b);

    auto* playlist = new QVBoxLayout;
    playlist->addWidget(Label1);
    playlist->addWidget(PlayList, 1);

    auto* middle = new QHBoxLayout;
    middle->addLayout(status, 1);
    middle->addLayout(playlist, 1);

    auto* layout = new QVBoxLayout(central);
    layout->addWidget(lblClock);
    layout->addWidget(lblStartHere);
    layout->addLayout(middle, 1);
    auto* meters = new QHBoxLayout;
    for (auto [meter, name, kind] :
         {std::tuple{&MMLevelX3, "MMLevelX3", LevelMeter::Kind::Bar},
          std::tuple{&MMLevelX4, "MMLevelX4", LevelMeter::Kind::Bar},
          std::tuple{&MMLevelScaleX2, "MMLevelScaleX2", LevelMeter::Kind::Scale},
          std::tuple{&MMLevelX1, "MMLevelX1", LevelMeter::Kind::Bar},
          std::tuple{&MMLevelX2, "MMLevelX2", LevelMeter::Kind::Bar},
          std::tuple{&MMLevelScaleX1, "MMLevelScaleX1", LevelMeter::Kind::Scale}}) {
        *meter = new LevelMeter(central, kind);
        (*meter)->setObjectName(name);
    }
    for (const auto& group : {std::array{MMLevelX3, MMLevelX4, MMLevelScaleX2},
                              std::array{MMLevelX1, MMLevelX2, MMLevelScaleX1}}) {
        auto* column = new QVBoxLayout;
        column->setSpacing(1);
        for (LevelMeter* m : group) column->addWidget(m);
        meters->addLayout(column);
    }
    Gauge = new QProgressBar(central);
    Gauge->setObjectName("Gauge");
    Gauge->setRange(0, 100);
    Gauge->hide();
    MMLevelX5 = new LevelMeter(central);
    MMLevelX5->setObjectName("MMLevelX5");
    MMLevelX5->hide();
    meters->addWidget(Gauge);
    meters->addWidget(MMLevelX5);
    ProgressBar1 = new QProgressBar(central);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->hide();
    meters->addWidget(ProgressBar1);
    layout->addLayout(meters);
    layout->addLayout(buttons);

    buildMenus();
    askExit = [this] {
        return QMessageBox::question(this, "Quillmar", "Exit Quillmar?",
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    // The station outlives the window (and windows opened from it may notify after it closed).
    station_.onChanged([self = QPointer<mnuMenu>(this)] {
        if (!self) return false;
        self->render();
        return true;
    });
    connect(cmdPlay, &QPushButton::clicked, this, [this] { cmdPlay_Click(station_); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(station_); });
    connect(cmdRecord, &QPushButton::clicked, this, [this] { cmdRecord_Click(station_); });
    connect(cmdRecStop, &QPushButton::clicked, this, [this] { cmdRecStop_Click(station_); });
    connect(PlayList, &QListWidget::currentRowChanged, this,
            [this](int row) { station_.main.PlayListIndex = row; });
    PlayList->installEventFilter(new KeyForwarder(PlayList, [this](int key) {
        if (key == Qt::Key_Delete) PlayList_KeyDown(station_, kDeleteKey);
    }));
    resize(820, 460);
    render();
}

void mnuMenu::buildMenus() {
    struct Entry {
        const char* name;
        const char* caption;
    };
    auto addMenu = [this](QMenu* menu, std::initializer_list<Entry> entries) {
        for (const Entry& e : entries) {
            QAction* action = menu->addAction(e.caption);
            action->setObjectName(e.name);
            action->setEnabled(false);
        }
    };
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("File");
    file->setObjectName("mnuFile");
    addMenu(file, {{"mnuSaveToFloppy", "Save Source Codes, Schedule,Setup Files  to Floppy"},
                   {"mnuLoadAutoExportFromFloppy", "Load AutoExport File from floppy"},
                   {"mnuLoadSourceCodesFromFloppy", "Load Source Codes from Floppy"},
                   {"mnuLoadScheduleFromFloppy", "Load Schedule from Floppy"},
                   {"mnuLoadSetupFromFloppy", "Load Setup Files from Floppy"},
                   {"mnuExit", "Exit"}});
    QMenu* setup = bar->addMenu("SetUp");
    setup->setObjectName("mnuSetUp");
    addMenu(setup, {{"mnuAddressBook", "Address Book"},
                    {"mnuMyEmailAccount", "My Email Account"},
                    {"mnuMyComputer", "My Computer"},
                    {"mnuProgramSourceCodes", "Program Source Codes"},
                    {"mnuCommunications", "Communications"}});
    for (Entry e : {Entry{"mnuLoadPlayList", "Load Play List"}, Entry{"mnuAudition", "Audition"},
                    Entry{"mnuAutoExport", "AutoExport"}, Entry{"mnuSchedule", "Schedule"},
                    Entry{"mnuSetReceiver", "Set &Receiver"}}) {
        QAction* action = bar->addAction(e.caption);
        action->setObjectName(e.name);
        action->setEnabled(false);
    }
    QMenu* view = bar->addMenu("View");
    view->setObjectName("mnuView");
    addMenu(view, {{"mnuPlaySchedule", "Play Schedule"},
                   {"mnuRecordSchedule", "Record Schedule"},
                   {"mnuSwitchSchedule", "Switch Schedule"}});
    QMenu* status = view->addMenu("Receiver &Status");
    status->setObjectName("mnuReceiverStatus");
    addMenu(status, {{"mnuCarrier", "Carrier"},
                     {"mnuMPEG", "MPEG"},
                     {"mnuRelays", "Relays"},
                     {"mnuExtendedRelays", "Extended Relays"},
                     {"mnuReceiverSerialPort", "Receiver Serial  &Port"},
                     {"mnuSettings", "Settings"}});
    QMenu* history = bar->addMenu("History");
    history->setObjectName("mnuHistory");
    addMenu(history, {{"mnuEbNo", "Eb/No"},
                      {"mnuActivityLog", "Activity Log"},
                      {"mnuErrorLog", "Error Log"},
                      {"mnuSignal", "Signal"}});
    for (Entry e : {Entry{"mnuHelp", "Help"}, Entry{"mnuAbout", "About"}}) {
        QAction* action = bar->addAction(e.caption);
        action->setObjectName(e.name);
        action->setEnabled(false);
    }
    setMenuAction("mnuExit", [this] { close(); });
}

QAction* mnuMenu::entry(const QString& name) const {
    return findChild<QAction*>(name);
}

void mnuMenu::setMenuAction(const QString& name, std::function<void()> action) {
    QAction* a = entry(name);
    if (!a) return;
    a->disconnect(this);
    a->setEnabled(true);
    wired_.insert(name);
    connect(a, &QAction::triggered, this, [action] { action(); });
}

void mnuMenu::setWindowOpener(const QString& name, std::function<QWidget*()> factory) {
    setMenuAction(name, [this, name, factory] {
        QPointer<QWidget>& open = openWindows_[name];
        if (!open) {
            open = factory();
            if (!open) return;
            open->setAttribute(Qt::WA_DeleteOnClose);
        }
        open->show();
        open->raise();
        open->activateWindow();
    });
}

void mnuMenu::render() {
    const MainWindowModel& m = station_.main;
    const std::pair<QLabel*, const std::string*> labels[] = {
        {lblClock, &m.lblClock},
        {lblNextToRecord, &m.lblNextToRecord},
        {lblNextTimedPlay, &m.lblNextTimedPlay},
        {lblNextSwitch, &m.lblNextSwitch},
        {lblRecTime, &m.lblRecTime},
        {lblRecordTimer, &m.lblRecordTimer},
        {lblNextPlayTime, &m.lblNextPlayTime},
        {lblPlayTime, &m.lblPlayTime},
        {lblSwitchTimer, &m.lblSwitchTimer},
        {lblRecordName, &m.lblRecordName},
        {lblRecordRelay, &m.lblRecordRelay},
        {lblPlayRelay, &m.lblPlayRelay},
        {lblPort, &m.lblPort},
        {lblPlayDay, &m.lblPlayDay},
        {lblStartHere, &m.lblStartHere}};
    for (std::size_t i = 0; i < std::size(labels); ++i) {
        const auto [label, text] = labels[i];
        if (shownLabels_[i] == *text) continue;
        shownLabels_[i] = *text;
        const QString t = Text(*text);
        if (label->text() != t) label->setText(t);
    }
    const AudioDisplay& audio = station_.Audio;
    const ExportDisplay& exporting = station_.Export.Display;
    const ProgressBarModel& bar = station_.schedule.ProgressBar1;
    // Asking twenty widgets whether they are hidden, twenty times a second, is most of an idle
    // render: only when a visibility changed.
    const bool recording = audio.RecordMetersVisible, playing = audio.PlayMetersVisible;
    const std::pair<QWidget*, bool> visibility[] = {
        {lblStartHere, !m.lblStartHere.empty()},
        {cmdRecord, m.cmdRecordVisible},
        {cmdRecStop, m.cmdRecStopVisible},
        {cmdPlay, m.cmdPlayVisible},
        {cmdStop, m.cmdStopVisible},
        {Label3, recording},
        {MMLevelX3, recording},
        {MMLevelX4, recording},
        {MMLevelScaleX2, recording},
        {Label2, playing},
        {MMLevelX1, playing},
        {MMLevelX2, playing},
        {MMLevelScaleX1, playing},
        {Gauge, exporting.GaugeVisible},
        {MMLevelX5, exporting.MeterVisible},
        {ProgressBar1, bar.visible},
        {Label1, m.Label1Visible},
        {PlayList, m.Label1Visible}};  // the list and its heading show together
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < std::size(visibility); ++i)
        if (visibility[i].second) mask |= 1u << i;
    if (shownVisibility_ != mask) {
        shownVisibility_ = mask;
        for (const auto& [widget, visible] : visibility) Show(widget, visible);
    }
    if (shownCaption_ != m.cmdRecordCaption) {
        shownCaption_ = m.cmdRecordCaption;
        cmdRecord->setText(Text(m.cmdRecordCaption));
    }
    if (shownRecordColour_ != m.cmdRecordColour) {
        shownRecordColour_ = m.cmdRecordColour;
        SetStyle(cmdRecord, Colour(m.cmdRecordColour));
    }
    // The meters and the bars, compared here so that an idle tick touches none of them.
    const PlayLevels play = ProgrammeLevels(station_.recorder.Chains);
    const std::array<int, 9> numbers{audio.RecordPeakLeft,
                                     audio.RecordPeakRight,
                                     play.left,
                                     play.right,
                                     exporting.MeterVisible ? exporting.MeterLeft : 0,
                                     exporting.MeterVisible ? exporting.MeterRight : 0,
                                     exporting.GaugeValue,
                                     std::max(bar.max, 1),
                                     bar.value};
    if (shownNumbers_ != numbers) {
        shownNumbers_ = numbers;
        MMLevelX3->setLevel(static_cast<std::int16_t>(numbers[0]));
        MMLevelX4->setLevel(static_cast<std::int16_t>(numbers[1]));
        MMLevelX1->setLevel(static_cast<std::int16_t>(numbers[2]));
        MMLevelX2->setLevel(static_cast<std::int16_t>(numbers[3]));
        MMLevelX5->setLevels(static_cast<std::int16_t>(numbers[4]),
                             static_cast<std::int16_t>(numbers[5]));
        if (Gauge->value() != numbers[6]) Gauge->setValue(numbers[6]);
        if (ProgressBar1->maximum() != numbers[7]) ProgressBar1->setRange(0, numbers[7]);
        if (ProgressBar1->value() != numbers[8]) ProgressBar1->setValue(numbers[8]);
    }
    if (shownPlayColour_ != audio.cmdPlayColour) {
        shownPlayColour_ = audio.cmdPlayColour;
        SetStyle(cmdPlay, ColourStyle(audio.cmdPlayColour));
    }
    // One floppy copy at a time: the entries wait while one runs.
    if (shownFloppyBusy_ != station_.schedule.FloppyCopyRunning) {
        shownFloppyBusy_ = station_.schedule.FloppyCopyRunning;
        for (const char* name :
             {"mnuSaveToFloppy", "mnuLoadAutoExportFromFloppy", "mnuLoadSourceCodesFromFloppy",
              "mnuLoadScheduleFromFloppy", "mnuLoadSetupFromFloppy"})
            if (wired_.count(name)) entry(name)->setEnabled(!*shownFloppyBusy_);
    }

    const QSignalBlocker quiet(PlayList);  // rendering is not the operator selecting
    const bool rebuilt = m.PlayList != shownPlayList_;
    if (rebuilt) {
        PlayList->clear();
        for (const auto& entry : m.PlayList) PlayList->addItem(Text(entry.text));
        shownPlayList_ = m.PlayList;
    }
    // Asking the list for its row builds a model index: only when the row or the list changed.
    if (rebuilt || shownPlayListIndex_ != m.PlayListIndex) {
        shownPlayListIndex_ = m.PlayListIndex;
        if (PlayList->currentRow() != m.PlayListIndex) PlayList->setCurrentRow(m.PlayListIndex);
    }
}

void mnuMenu::showEvent(QShowEvent* event) {
    // A label of fixed size changes its text without laying the window out again, which the
    // clock line does every second. Measured here, not at construction, so that loading the
    // fonts does not hold up the station's start.
    if (lblClock->minimumWidth() != lblClock->maximumWidth()) {
        const QFontMetrics metrics(lblClock->font());
        lblClock->setFixedSize(
            metrics.horizontalAdvance("Wednesday  88/88/8888  Day  888  88:88:88") + 16,
            metrics.height() + 4);
    }
    QMainWindow::showEvent(event);
}

void mnuMenu::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        MainWindowActivated(station_);
}

void mnuMenu::closeEvent(QCloseEvent* event) {
    if (!AnswerExitQuestion(station_, askExit())) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

}  // namespace quillmar
