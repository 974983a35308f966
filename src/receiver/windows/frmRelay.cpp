#include "receiver/windows/frmRelay.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "core/ReceiverSequences.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "receiver/ReceiverStatus.h"

namespace quillmar {

frmRelay::frmRelay(Station& station, const std::string& mode, QWidget* parent)
    : QWidget(parent), station_(station), mode_(mode), port_(station.platform.serial.create()) {
    setObjectName("frmRelay");
    setWindowTitle("Unity 4K Receiver Relay Status");
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lblRelay = new QLabel(this);
    lblRelay->setObjectName("lblRelay");
    lblRelay->setFont(fixed);
    lblRelay->setTextFormat(Qt::PlainText);
    lblRelay->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblRelay->setMinimumWidth(320);

    // One row per relay: its number, its two buttons and its own status line side by side.
    auto* grid = new QGridLayout;
    for (int k = 0; k < 14; ++k) {
        const auto row = static_cast<std::size_t>(k);
        lblRelayNo[row] = new QLabel(QString("Relay %1").arg(k + 1), this);
        lblRelayNo[row]->setObjectName(QString("lblRelayNo_%1").arg(k + 1));
        lblRelayLine[row] = new QLabel(this);
        lblRelayLine[row]->setObjectName(QString("lblRelayLine_%1").arg(k + 1));
        lblRelayLine[row]->setFont(fixed);
        lblRelayLine[row]->setTextFormat(Qt::PlainText);
        lblRelayLine[row]->setMinimumWidth(200);
        grid->addWidget(lblRelayNo[row], k, 0);
        grid->addWidget(lblRelayLine[row], k, 3);
    }
    for (int i = 0; i < 28; ++i) {
        auto* b = new QPushButton(i % 2 == 0 ? "Open" : "Close", this);
        b->setObjectName(QString("cmdR_%1").arg(i));
        b->setToolTip(QString("Relay %1").arg(i / 2 + 1));
        grid->addWidget(b, i / 2, 1 + i % 2);
        connect(b, &QPushButton::clicked, this, [this, i] {
            PressRelayButton(ReceiverLinkOf(station_), port_, mode_, i,
                             [this](const std::string& status) { display(status); });
        });
        cmdR[static_cast<std::size_t>(i)] = b;
    }
    // The standard relays are only 1 and 2.
    if (mode_ == "R R")
        for (int k = 2; k < 14; ++k) {
            const auto row = static_cast<std::size_t>(k);
            for (QWidget* w : std::initializer_list<QWidget*>{lblRelayNo[row], cmdR[2 * row],
                                                              cmdR[2 * row + 1], lblRelayLine[row]})
                w->setVisible(false);
        }
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");

    auto* reply = new QLabel("Receiver reply:", this);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(reply);
    layout->addWidget(lblRelay, 1);
    layout->addWidget(line);
    layout->addLayout(closeRow);
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });

    FetchRelayStatus(ReceiverLinkOf(station_), port_, mode_,
                     [this](const std::string& status) { display(status); });
}

frmRelay::~frmRelay() {
    CancelReceiverExchanges(ReceiverLinkOf(station_), *port_);
}

void frmRelay::closeEvent(QCloseEvent* event) {
    CancelReceiverExchanges(ReceiverLinkOf(station_), *port_);
    QWidget::closeEvent(event);
}

void frmRelay::display(const std::string& status) {
    QString text = Text(status);
    text.remove(QChar('\r'));
    lblRelay->setText(text);
    // A line naming "Relay n" goes beside relay n's buttons; a reply without one (a port
    // error) leaves the rows empty and shows in lblRelay alone.
    for (QLabel* l : lblRelayLine) l->clear();
    static const QRegularExpression kRelayLine(R"(^\s*Relay\s+(\d+)\b)");
    for (const QString& l : text.split('\n')) {
        const QRegularExpressionMatch m = kRelayLine.match(l);
        const int n = m.hasMatch() ? m.captured(1).toInt() : 0;
        if (n >= 1 && n <= 14) lblRelayLine[static_cast<std::size_t>(n - 1)]->setText(l.trimmed());
    }
}

}  // namespace quillmar
