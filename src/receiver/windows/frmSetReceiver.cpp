#include "receiver/windows/frmSetReceiver.h"

#include <QGridLayout>
#include <QLabel>

#include "core/ReceiverSequences.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "receiver/ReceiverCommands.h"
#include "receiver/ReceiverLink.h"
#include "receiver/windows/frmDisplayReceiver.h"
#include "schedule/SourceCodes.h"

namespace quillmar {

namespace {
QListWidget* List(QWidget* parent, const char* name, const QStringList& entries) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->addItems(entries);
    if (list->count() > 0) list->setCurrentRow(0);
    return list;
}
}  // namespace

frmSetReceiver::frmSetReceiver(Station& station, QWidget* parent)
    : QWidget(parent), station_(station) {
    setObjectName("frmSetReceiver");
    setWindowTitle("Set Receiver");
    QStringList attenuations, sources;
    for (int i = 0; i <= 14; ++i) attenuations << QString(" %1").arg(i);
    std::vector<std::string> codes;
    ReadSourceCodes(station_.platform.files, &codes);
    for (const auto& code : codes) sources << Text(code);
    lstPort = List(this, "lstPort", {"Port 1", "Port 2", "Port 3", "Port 4"});
    lstRoute = List(this, "lstRoute", {"Left", "Right", "Stereo", "Reverse"});
    lstAtt = List(this, "lstAtt", attenuations);
    lstLang = List(this, "lstLang", sources);
    cmdSet = new QPushButton("&Set", this);
    cmdSet->setObjectName("cmdSet");
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");

    auto* layout = new QGridLayout(this);
    const char* titles[] = {"Port", "Route", "Source", "Attenuation"};
    QListWidget* lists[] = {lstPort, lstRoute, lstLang, lstAtt};
    for (int i = 0; i < 4; ++i) {
        layout->addWidget(new QLabel(titles[i], this), 0, i);
        layout->addWidget(lists[i], 1, i);
    }
    layout->addWidget(cmdSet, 2, 2);
    layout->addWidget(cmdClose, 2, 3);

    connect(cmdSet, &QPushButton::clicked, this, [this] { cmdSet_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
}

void frmSetReceiver::cmdSet_Click() {
    const int port = std::max(0, lstPort->currentRow());
    const auto text = [](QListWidget* list) {
        QListWidgetItem* item = list->currentItem();
        return item ? Bytes(item->text()) : std::string();
    };
    SendReceiverCommand(station_, SetReceiverCommand(port, std::max(0, lstRoute->currentRow()),
                                                     text(lstLang), text(lstAtt)));
    ResetExpansionRelays(station_, std::to_string(port + 1), false);
    frmDisplayReceiver::showFor(station_, "R M");
}

}  // namespace quillmar
