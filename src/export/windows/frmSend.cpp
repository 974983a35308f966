#include "export/windows/frmSend.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "audio/SoundFiles.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "export/windows/frmSelectFormat.h"

namespace quillmar {

frmSend::frmSend(Station& station, int recordNo, const std::string& soundFile,
                 const std::string& marksFile, QWidget* parent)
    : QWidget(parent),
      send_({station.platform.files, station.platform.audio, station.platform.errors,
             station.schedule},
            recordNo, soundFile, marksFile) {
    setObjectName("frmSend");
    setWindowTitle("Send To:");

    Drive1 = new QComboBox(this);
    Drive1->setObjectName("Drive1");
    Dir1 = new QListWidget(this);
    Dir1->setObjectName("Dir1");
    txtFileName = new QLineEdit(this);
    txtFileName->setObjectName("txtFileName");
    // The copy starts from the name box; without these a new operator finds no way to start it.
    lblFileName = new QLabel("File Name:", this);
    lblFileName->setObjectName("lblFileName");
    lblFileName->setBuddy(txtFileName);
    lblHint = new QLabel(
        "Press Enter to copy the programme to the chosen folder under this name "
        "(or right-click the window and choose Send).",
        this);
    lblHint->setObjectName("lblHint");
    lblHint->setWordWrap(true);
    Check1 = new QCheckBox("Compress File", this);
    Check1->setObjectName("Check1");
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    cmdSend = new QPushButton("Send", this);
    cmdSend->setObjectName("cmdSend");
    cmdNo = new QPushButton("No", this);
    cmdNo->setObjectName("cmdNo");
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    Gauge = new QProgressBar(this);
    Gauge->setObjectName("Gauge");
    Gauge->setRange(0, 100);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    mnuHiddenPopup = new QMenu("HiddenPopup", this);
    mnuHiddenPopup->setObjectName("mnuHiddenPopup");
    mnuHiddenPopupSend = mnuHiddenPopup->addAction("Send");
    mnuHiddenPopupSend->setObjectName("mnuHiddenPopupSend");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1, 1);
    buttons->addWidget(cmdNo);
    buttons->addWidget(cmdSend);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    auto* name = new QHBoxLayout;
    name->addWidget(lblFileName);
    name->addWidget(txtFileName, 1);
    layout->addLayout(name);
    layout->addWidget(lblHint);
    layout->addWidget(Check1);
    layout->addWidget(Label2);
    layout->addWidget(Gauge);
    layout->addLayout(buttons);
    resize(380, 420);

    send_.ChooseFormat = [this](const std::vector<WaveFormat>& formats, WaveFormat* chosen) {
        return frmSelectFormat::Choose(this, formats, chosen);
    };
    send_.onChanged = [this] { render(); };

    connect(Drive1, &QComboBox::activated, this, [this](int index) {
        const QString letter = Drive1->itemText(index).left(1);
        if (!letter.isEmpty()) send_.Drive1_Change(letter.at(0).toLatin1());
        render();
    });
    connect(Dir1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        send_.Dir1_Click(Dir1->row(item));
        render();
    });
    connect(Dir1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        send_.Dir1_Open(Dir1->row(item));
        render();
    });
    connect(txtFileName, &QLineEdit::returnPressed, this,
            [this] { act(&SendToFile::ConfirmName); });
    connect(mnuHiddenPopupSend, &QAction::triggered, this,
            [this] { act(&SendToFile::ConfirmName); });
    connect(cmdSend, &QPushButton::clicked, this, [this] { act(&SendToFile::cmdSend_Click); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { act(&SendToFile::cmdNo_Click); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, [this] {
        send_.Timer1_Timer();
        render();
    });

    send_.Load();
    render();
}

void frmSend::collect() {
    send_.txtFileName = Bytes(txtFileName->text());
    send_.Check1 = Check1->isChecked();
}

void frmSend::act(void (SendToFile::*action)()) {
    collect();
    (send_.*action)();
    render();
}

void frmSend::render() {
    {
        const QSignalBlocker quiet(Drive1);
        if (Drive1->count() != static_cast<int>(send_.Drive1List.size())) {
            Drive1->clear();
            for (char letter : send_.Drive1List) Drive1->addItem(QString("%1:").arg(letter));
        }
        Drive1->setCurrentText(QString("%1:").arg(send_.Drive1));
    }
    {
        const QSignalBlocker quiet(Dir1);
        QStringList lines;
        for (const auto& line : send_.Dir1) lines << QString(line.depth * 2, ' ') + Text(line.name);
        bool same = Dir1->count() == lines.size();
        for (int i = 0; same && i < Dir1->count(); ++i) same = Dir1->item(i)->text() == lines[i];
        if (!same) {
            Dir1->clear();
            Dir1->addItems(lines);
        }
        Dir1->setCurrentRow(send_.Dir1Index);
    }
    if (Bytes(txtFileName->text()) != send_.txtFileName)
        txtFileName->setText(Text(send_.txtFileName));
    if (send_.FocusFileName) {
        txtFileName->setFocus();
        send_.FocusFileName = false;
    }
    Label1->setText(Text(send_.Label1));
    Label1->setVisible(send_.Label1Visible);
    Label2->setText(Text(send_.Label2));
    cmdNo->setVisible(send_.cmdNoVisible);
    cmdSend->setVisible(send_.cmdSendVisible);
    cmdClose->setVisible(send_.cmdCloseVisible);
    Gauge->setValue(send_.Gauge);
    Gauge->setVisible(send_.GaugeVisible);
    if (send_.Copying != Timer1->isActive()) {
        if (send_.Copying)
            Timer1->start();
        else
            Timer1->stop();
    }
}

void frmSend::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        mnuHiddenPopup->popup(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

frmSend* OpenSendToFile(Station& station, int recordNo, const std::string& soundFile,
                        QWidget* parent) {
    auto* w = new frmSend(station, recordNo, soundFile, MarksFileName(soundFile), parent);
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) w->setWindowFlag(Qt::Window);
    w->show();
    return w;
}

}  // namespace quillmar
