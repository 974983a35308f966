#include "schedule/windows/frmSchedule.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "core/ScheduleSequences.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "schedule/windows/frmDialog1.h"
#include "schedule/windows/frmScheduleConflicts.h"

namespace quillmar {

namespace {

QString Indexed(const char* name, int i) {
    return QString("%1(%2)").arg(name).arg(i);
}

template <typename Widget>
Widget* Named(Widget* w, const QString& name, const QString& tip = {}) {
    w->setObjectName(name);
    if (!tip.isEmpty()) w->setToolTip(tip);
    return w;
}

QComboBox* List(QWidget* parent, const QString& name, const QStringList& items,
                const QString& tip = {}) {
    auto* box = Named(new QComboBox(parent), name, tip);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

QStringList Items(const char* const* items, int count) {
    QStringList list;
    for (int i = 0; i < count; ++i) list << items[i];
    return list;
}

void SetText(QLineEdit* box, const std::string& cp1252) {
    const QString t = Text(cp1252);
    if (box->text() != t) box->setText(t);
}

// However small the window, a time box shows a whole "00:00:00" (with room for its frame).
void FitTime(QLineEdit* box) {
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance("00:00:00") + 16);
}

}  // namespace

frmSchedule::frmSchedule(Station& station, QWidget* parent)
    : QMainWindow(parent), station_(station) {
    setObjectName("frmSchedule");
    setWindowTitle("Schedule");
    buildControls();
    buildMenus();
    askDelete = [this](const QString& caption, std::function<void()> onOk) {
        if (dialog_) dialog_->close();
        dialog_ = new frmDialog1(caption, std::move(onOk), this);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->show();
    };
    OpenScheduleEditor(station_, ed_);
    render();
}

void frmSchedule::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    lstDisplaySchedule = Named(new QListWidget(central), "lstDisplaySchedule", "Select one");
    lstDisplaySchedule->setContextMenuPolicy(Qt::CustomContextMenu);
    lstDisplaySchedule->installEventFilter(this);
    connect(lstDisplaySchedule, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!rendering_) onChoose(row);
    });
    auto* popup = new QMenu(this);
    popup->setObjectName("mnuHiddenPopupMenu");
    QAction* popupDelete = popup->addAction("Delete");
    popupDelete->setObjectName("mnuHiddenPopupDelete");
    connect(popupDelete, &QAction::triggered, this, [this] { onDelete(true); });
    connect(lstDisplaySchedule, &QListWidget::customContextMenuRequested, this,
            [this, popup](const QPoint& at) { popup->popup(lstDisplaySchedule->mapToGlobal(at)); });

    cmdNew = Named(new QPushButton("&New", central), "cmdNew");
    cmdDelete = Named(new QPushButton("&Delete", central), "cmdDelete");
    cmdApply = Named(new QPushButton("&Apply", central), "cmdApply");
    cmdScheduleClose = Named(new QPushButton("&Close", central), "cmdScheduleClose");
    connect(cmdNew, &QPushButton::clicked, this, [this] { onNew(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { onDelete(true); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { onApply(); });
    connect(cmdScheduleClose, &QPushButton::clicked, this, &QWidget::close);

    lblScheduleNo = Named(new QLabel(central), "lblScheduleNo");
    Label3 = Named(new QLabel("Action", central), "Label3");
    auto* actions = new QButtonGroup(this);
    optAction[0] = Named(new QRadioButton("Record", central), "optAction(0)");
    optAction[1] = Named(new QRadioButton("Switch only", central), "optAction(1)");
    actions->addButton(optAction[0], 0);
    actions->addButton(optAction[1], 1);

    lblPgmName = Named(new QLabel("Program Name", central), "lblPgmName");
    txtSatName = Named(new QLineEdit(central), "txtSatName", "Enter the name of the program");
    txtSatName->setMaxLength(25);
    lblPgmLen = Named(new QLabel("Length  MM:SS", central), "lblPgmLen");
    txtSatLen = Named(new QLineEdit(central), "txtSatLen",
                      "Enter the length of the record window in minutes and seconds");
    txtSatLen->setMaxLength(5);
    lblPgmLang = Named(new QLabel("Source", central), "lblPgmLang");
    cboSatLang = List(central, "cboSatLang", {}, "Select a Source Code");
    cboSatLang->setEditable(true);
    cboSatLang->setInsertPolicy(QComboBox::NoInsert);
    lblPgmPort = Named(new QLabel("Unity Port", central), "lblPgmPort");
    cboSatPort =
        List(central, "cboSatPort", Items(kPortItems, 4), "Select the Unity 4K audio port");
    lblPgmRoute = Named(new QLabel("Route", central), "lblPgmRoute");
    cboSatRoute =
        List(central, "cboSatRoute", Items(kRouteItems, 4), "Configure the Unity 4 K audio");
    lblPgmAtt = Named(new QLabel("Att", central), "lblPgmAtt");
    QStringList att;
    for (int i = 0; i <= 14; ++i) att << QString::number(i);
    cboSatAtt =
        List(central, "cboSatAtt", att,
             "Insert audio  attenuation in the Unity 4K receiver output for selected  port");
    lblPgmPlayStart = Named(new QLabel("Play Start", central), "lblPgmPlayStart");
    cboSatPlayStart = List(central, "cboSatPlayStart", Items(kPlayStartItems, 2));
    lblPgmRecordStart = Named(new QLabel("Record Start", central), "lblPgmRecordStart");
    cboSatRecordStart = List(central, "cboSatRecordStart", Items(kPlayStartItems, 2));
    lblListDrive = Named(new QLabel("Hard Drive", central), "lblListDrive");
    cboSatHardDrive = List(central, "cboSatHardDrive", {});
    // Present in the layout of old but not offered to the operator.
    for (QWidget* w : std::initializer_list<QWidget*>{lblPgmRecordStart, cboSatRecordStart,
                                                      lblListDrive, cboSatHardDrive})
        w->setVisible(false);

    Label1 = Named(new QLabel("Play Times HH:MM:SS  ", central), "Label1");
    Label2 = Named(new QLabel(central), "Label2");
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 1, 1, 4);
    grid->addWidget(Label2, 0, 5, 1, 2);
    for (int r = 0; r < 7; ++r) {
        lblDay[r] = Named(new QLabel(kDays[r], central), Indexed("lblDay", r));
        grid->addWidget(lblDay[r], r + 1, 0);
        for (int s = 0; s < 4; ++s) {
            const int k = 4 * r + s;
            txtPlay[k] = Named(new QLineEdit(central), Indexed("txtPlay", k));
            txtPlay[k]->setMaxLength(8);
            FitTime(txtPlay[k]);
            txtPlay[k]->installEventFilter(this);
            grid->addWidget(txtPlay[k], r + 1, 1 + s);
        }
        cboRec[r] = List(central, Indexed("cboRec", r), Items(kRecordDayItems, 8));
        cboRec[r]->installEventFilter(this);
        txtRec[r] = Named(new QLineEdit(central), Indexed("txtRec", r));
        txtRec[r]->setMaxLength(8);
        FitTime(txtRec[r]);
        txtRec[r]->installEventFilter(this);
        grid->addWidget(cboRec[r], r + 1, 5);
        grid->addWidget(txtRec[r], r + 1, 6);
    }
    txtSatName->installEventFilter(this);
    txtSatLen->installEventFilter(this);
    cboSatLang->lineEdit()->installEventFilter(this);

    auto* fields = new QGridLayout;
    int row = 0;
    fields->addWidget(lblScheduleNo, row++, 1);
    fields->addWidget(Label3, row, 0);
    fields->addWidget(optAction[0], row, 1);
    fields->addWidget(optAction[1], row++, 2);
    const std::pair<QLabel*, QWidget*> pairs[] = {
        {lblPgmName, txtSatName},           {lblPgmLen, txtSatLen},
        {lblPgmLang, cboSatLang},           {lblPgmPort, cboSatPort},
        {lblPgmRoute, cboSatRoute},         {lblPgmAtt, cboSatAtt},
        {lblPgmPlayStart, cboSatPlayStart}, {lblPgmRecordStart, cboSatRecordStart},
        {lblListDrive, cboSatHardDrive}};
    for (auto [label, box] : pairs) {
        fields->addWidget(label, row, 0);
        fields->addWidget(box, row++, 1, 1, 2);
    }
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdNew, cmdDelete, cmdApply, cmdScheduleClose}) buttons->addWidget(b);
    auto* left = new QVBoxLayout;
    left->addWidget(lstDisplaySchedule, 1);
    left->addLayout(buttons);
    auto* right = new QVBoxLayout;
    right->addLayout(fields);
    right->addLayout(grid);
    right->addStretch();
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(left, 2);
    layout->addLayout(right, 5);
    resize(1000, 560);
}

void frmSchedule::buildMenus() {
    QMenu* files = menuBar()->addMenu("Files");
    files->setObjectName("mnuFiles");
    QAction* exit = files->addAction("Exit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &QWidget::close);
    QMenu* view = menuBar()->addMenu("View");
    view->setObjectName("mnuView");
    QAction* byName = view->addAction("Name");
    byName->setObjectName("mnuViewName");
    QAction* byNumber = view->addAction("Number");
    byNumber->setObjectName("mnuViewNumber");
    connect(byName, &QAction::triggered, this, [this] { setOrder(ScheduleEditor::Order::ByName); });
    connect(byNumber, &QAction::triggered, this,
            [this] { setOrder(ScheduleEditor::Order::ByNumber); });
}

void frmSchedule::render() {
    rendering_ = true;
    const auto& entries = ed_.lstDisplaySchedule.entries();
    bool same = lstDisplaySchedule->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < lstDisplaySchedule->count(); ++i)
        same =
            lstDisplaySchedule->item(i)->text() == Text(entries[static_cast<std::size_t>(i)].text);
    if (!same) {
        lstDisplaySchedule->clear();
        for (const auto& e : entries) lstDisplaySchedule->addItem(Text(e.text));
    }
    if (ed_.topIndex >= 0 && ed_.topIndex < lstDisplaySchedule->count())
        lstDisplaySchedule->scrollToItem(lstDisplaySchedule->item(ed_.topIndex),
                                         QAbstractItemView::PositionAtTop);
    lstDisplaySchedule->setCurrentRow(ed_.selectedIndex);
    cmdApply->setEnabled(ed_.cmdApplyEnabled);
    lblScheduleNo->setText(Text(ed_.lblScheduleNo));
    optAction[ed_.optAction == ScheduleAction::SwitchOnly ? 1 : 0]->setChecked(true);

    for (QWidget* w : std::initializer_list<QWidget*>{txtSatLen, lblPgmLen, lblPgmPlayStart,
                                                      cboSatPlayStart, Label1})
        w->setVisible(!ed_.switchLayout);
    for (auto* box : txtPlay) box->setVisible(!ed_.switchLayout);
    for (auto* label : lblDay) label->setVisible(!ed_.switchLayout);
    Label2->setText(Text(ed_.Label2));

    SetText(txtSatName, ed_.txtSatName);
    SetText(txtSatLen, ed_.txtSatLen);
    QStringList codes;
    for (const auto& code : ed_.cboSatLangItems) codes << Text(code);
    QStringList shown;
    for (int i = 0; i < cboSatLang->count(); ++i) shown << cboSatLang->itemText(i);
    if (shown != codes) {
        cboSatLang->clear();
        cboSatLang->addItems(codes);
    }
    cboSatLang->setEditText(Text(ed_.cboSatLang));
    cboSatPort->setCurrentIndex(ed_.cboSatPort);
    cboSatRoute->setCurrentIndex(ed_.cboSatRoute);
    cboSatAtt->setCurrentIndex(ed_.cboSatAtt);
    cboSatPlayStart->setCurrentIndex(ed_.cboSatPlayStart);
    cboSatRecordStart->setCurrentIndex(ed_.cboSatRecordStart);
    for (std::size_t k = 0; k < 28; ++k) SetText(txtPlay[k], ed_.txtPlay[k]);
    for (std::size_t r = 0; r < 7; ++r) {
        cboRec[r]->setCurrentIndex(ed_.cboRec[r]);
        SetText(txtRec[r], ed_.txtRec[r]);
    }
    rendering_ = false;
}

void frmSchedule::readControls() {
    ed_.optAction = optAction[1]->isChecked() ? ScheduleAction::SwitchOnly : ScheduleAction::Record;
    ed_.txtSatName = Bytes(txtSatName->text());
    ed_.txtSatLen = Bytes(txtSatLen->text());
    ed_.cboSatLang = Bytes(cboSatLang->currentText());
    ed_.cboSatPort = cboSatPort->currentIndex();
    ed_.cboSatRoute = cboSatRoute->currentIndex();
    ed_.cboSatAtt = cboSatAtt->currentIndex();
    ed_.cboSatPlayStart = cboSatPlayStart->currentIndex();
    ed_.cboSatRecordStart = cboSatRecordStart->currentIndex();
    for (std::size_t k = 0; k < 28; ++k) ed_.txtPlay[k] = Bytes(txtPlay[k]->text());
    for (std::size_t r = 0; r < 7; ++r) {
        ed_.cboRec[r] = cboRec[r]->currentIndex();
        ed_.txtRec[r] = Bytes(txtRec[r]->text());
    }
    ed_.selectedIndex = lstDisplaySchedule->currentRow();
}

void frmSchedule::onChoose(int row) {
    if (row < 0) return;
    readControls();
    ChooseSchedule(station_.schedule, ed_, row);
    render();
}

void frmSchedule::onNew() {
    readControls();
    NewSchedule(station_.schedule, station_.platform.errors, ed_);
    render();
    txtSatName->setFocus();
}

void frmSchedule::onApply() {
    readControls();
    const bool written = ApplySchedule(station_, ed_);
    render();
    if (!written || station_.schedule.ScheduleConflicts.empty()) {
        if (conflicts_) conflicts_->render();
        return;
    }
    if (!conflicts_) {
        conflicts_ = new frmScheduleConflicts(station_);
        conflicts_->setAttribute(Qt::WA_DeleteOnClose);
    }
    conflicts_->render();
    conflicts_->show();
    conflicts_->raise();
}

void frmSchedule::onDelete(bool needSelection) {
    readControls();
    const int recordNo =
        ScheduleToDelete(station_.schedule, station_.platform.errors, ed_, needSelection);
    if (recordNo == 0) return;
    QPointer<frmSchedule> self(this);
    askDelete(Text(DeleteCaption(station_.schedule, recordNo)), [self, recordNo] {
        if (!self) return;
        // The editor starts afresh, as closed and opened again.
        if (self->conflicts_) self->conflicts_->close();
        DeleteSchedule(self->station_, self->ed_, recordNo);
        self->render();
    });
}

void frmSchedule::setOrder(ScheduleEditor::Order order) {
    readControls();
    ed_.order = order;
    LoadSchedules(station_.schedule, ed_);
    render();
}

bool frmSchedule::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const int code = key->key();
    const bool enter = code == Qt::Key_Return || code == Qt::Key_Enter;

    if (watched == lstDisplaySchedule && code == Qt::Key_Delete) {
        onDelete(false);
        return true;
    }
    if (watched == txtSatName && enter) {
        txtSatLen->setFocus();
        return true;
    }
    if (watched == txtSatLen && enter) {
        cboSatLang->setFocus();
        return true;
    }
    if (watched == cboSatLang->lineEdit()) {
        const bool typing =
            code == Qt::Key_Backspace || (!key->text().isEmpty() && key->text().at(0).isPrint());
        return typing && cboSatLang->currentText().size() >= 3;
    }
    for (int k = 0; k < 28; ++k) {
        if (watched != txtPlay[static_cast<std::size_t>(k)]) continue;
        auto focus = [this](int i) {
            txtPlay[static_cast<std::size_t>((i + 28) % 28)]->setFocus();
        };
        if (enter) focus(k + 1);
        if (code == Qt::Key_Down) focus(k + 4);
        if (code == Qt::Key_Up) focus(k - 4);
        if (code == Qt::Key_Backspace) {
            focus(k - 1);
            return false;  // the key still acts in the box it was typed in
        }
        return enter || code == Qt::Key_Down || code == Qt::Key_Up;
    }
    for (int r = 0; r < 7; ++r) {
        const auto row = static_cast<std::size_t>(r);
        if (watched == cboRec[row] && code == Qt::Key_Backspace) {
            txtPlay[row * 4 + 3]->setFocus();
            return true;
        }
        if (watched == txtRec[row] && (code == Qt::Key_Up || code == Qt::Key_Down)) {
            const int next = code == Qt::Key_Up ? r - 1 : r + 1;
            txtRec[static_cast<std::size_t>((next + 7) % 7)]->setFocus();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmSchedule::closeEvent(QCloseEvent* event) {
    if (conflicts_) conflicts_->close();
    if (dialog_) dialog_->close();
    CloseScheduleEditor(station_);
    event->accept();
}

void frmSchedule::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        station_.platform.errors.bringForward();
}

}  // namespace quillmar
