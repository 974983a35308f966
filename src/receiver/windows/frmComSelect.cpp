#include "receiver/windows/frmComSelect.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/Station.h"

namespace quillmar {

frmComSelect::frmComSelect(Station& station, QWidget* parent) : QWidget(parent), station_(station) {
    setObjectName("frmComSelect");
    setWindowTitle("Communications");
    auto* label = new QLabel("Port and Baud Rate to connect with Unity 4K", this);
    auto* portFrame = new QGroupBox("Select Port", this);
    auto* baudFrame = new QGroupBox("Select Baud", this);
    auto* portLayout = new QVBoxLayout(portFrame);
    auto* baudLayout = new QVBoxLayout(baudFrame);
    auto* ports = new QButtonGroup(this);
    auto* bauds = new QButtonGroup(this);
    QRadioButton** portOptions[] = {&optSP1, &optSP2, &optSP3, &optSP4};
    for (int i = 0; i < 4; ++i) {
        auto* opt = new QRadioButton(QString("Serial Port %1").arg(i + 1), portFrame);
        opt->setObjectName(QString("optSP%1").arg(i + 1));
        portLayout->addWidget(opt);
        ports->addButton(opt, i + 1);
        *portOptions[i] = opt;
    }
    optBaud1 = new QRadioButton("9600", baudFrame);
    optBaud1->setObjectName("optBaud1");
    optBaud2 = new QRadioButton("19200", baudFrame);
    optBaud2->setObjectName("optBaud2");
    baudLayout->addWidget(optBaud1);
    baudLayout->addWidget(optBaud2);
    bauds->addButton(optBaud1, 1);
    bauds->addButton(optBaud2, 2);
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");

    auto* frames = new QHBoxLayout;
    frames->addWidget(portFrame);
    frames->addWidget(baudFrame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(frames);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);

    const int port = station_.Settings.SerialPort;
    const int baud = station_.Settings.BaudSelect;
    // Values outside the choices select nothing and are kept unless the operator chooses.
    port_ = port;
    baud_ = baud;
    if (auto* b = ports->button(port)) b->setChecked(true);
    if (auto* b = bauds->button(baud)) b->setChecked(true);
    connect(ports, &QButtonGroup::idClicked, this, [this](int id) { port_ = id; });
    connect(bauds, &QButtonGroup::idClicked, this, [this](int id) { baud_ = id; });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
}

void frmComSelect::closeEvent(QCloseEvent* event) {
    station_.Settings.SerialPort = static_cast<std::int16_t>(port_);
    station_.Settings.BaudSelect = static_cast<std::int16_t>(baud_);
    std::string error;
    if (!SaveSerialSettings(station_.Settings, station_.platform.files, &error))
        ShowError(station_, "Cannot save the serial port settings: " + error);
    event->accept();
}

}  // namespace quillmar
