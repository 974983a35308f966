#include "receiver/windows/frmRelay.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>

#include "core/Cp1252.h"
#include "core/Station.h"
#include "receiver/ReceiverStatus.h"

namespace quillmar {

frmRelay::frmRelay(Station& station, QWidget* parent)
    : QWidget(parent),
      station_(station),
      mode_(station.ReceiverStatusCommand),
      port_(station.platform.serial.create()) {
    setObjectName("frmRelay");
    setWindowTitle("Unity 4K Receiver Relay Status");
    lblRelay = new QLabel(this);
    lblRelay->setObjectName("lblRelay");
    lblRelay->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lblRelay->setTextFormat(Qt::PlainText);
    lblRelay->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblRelay->setMinimumWidth(320);

    auto* grid = new QGridLayout;
    for (int i = 0; i < 28; ++i) {
        auto* b = new QPushButton(i % 2 == 0 ? "Open" : "Close", this);
        b->setObjectName(QString("cmdR_%1").arg(i));
        b->setToolTip(QString("Relay %1").arg(i / 2 + 1));
        // The standard relays are only 1 and 2.
        if (mode_ == "R R" && i >= 4) b->setVisible(false);
        grid->addWidget(b, i / 2, i % 2);
        connect(b, &QPushButton::clicked, this,
                [this, i] { display(PressRelayButton(station_, *port_, mode_, i)); });
        cmdR[static_cast<std::size_t>(i)] = b;
    }
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    grid->addWidget(cmdClose, 14, 0, 1, 2);
    grid->setRowStretch(15, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lblRelay, 1);
    layout->addLayout(grid);
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });

    display(FetchRelayStatus(station_, *port_, mode_));
}

void frmRelay::display(const std::string& status) {
    QString text = QString::fromStdString(Cp1252ToUtf8(status));
    text.remove(QChar('\r'));
    lblRelay->setText(text);
}

}  // namespace quillmar
