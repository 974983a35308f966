#include "receiver/windows/frmDisplayReceiver.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QMenuBar>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/ReceiverSequences.h"
#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "receiver/ReceiverStatus.h"

namespace quillmar {

frmDisplayReceiver::frmDisplayReceiver(Station& station, const std::string& command,
                                       QWidget* parent)
    : QWidget(parent),
      station_(station),
      command_(command),
      port_(station.platform.serial.create()) {
    setObjectName("frmDisplayReceiver");
    setWindowTitle("Receiver Data");
    auto* menuBar = new QMenuBar(this);
    QMenu* files = menuBar->addMenu("&Files");
    files->setObjectName("mnuFiles");
    mnuPrint = files->addAction("Print to Printer");
    mnuPrint->setObjectName("mnuPrint");
    mnuPrintToFile = files->addAction("Print to File");
    mnuPrintToFile->setObjectName("mnuPrintToFile");
    mnuExit = files->addAction("Exit");
    mnuExit->setObjectName("mnuExit");

    lblDisplayReceiver = new QLabel(this);
    lblDisplayReceiver->setObjectName("lblDisplayReceiver");
    lblDisplayReceiver->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lblDisplayReceiver->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisplayReceiver->setTextFormat(Qt::PlainText);
    lblDisplayReceiver->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(lblDisplayReceiver);
    scroll->setWidgetResizable(true);
    cmdDisplayReceiverRefresh = new QPushButton("&Refresh", this);
    cmdDisplayReceiverRefresh->setObjectName("cmdDisplayReceiverRefresh");
    cmdDisplayReceiverExit = new QPushButton("E&xit", this);
    cmdDisplayReceiverExit->setObjectName("cmdDisplayReceiverExit");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDisplayReceiverRefresh);
    buttons->addStretch();
    buttons->addWidget(cmdDisplayReceiverExit);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(scroll);
    layout->addLayout(buttons);
    resize(560, 520);

    connect(cmdDisplayReceiverRefresh, &QPushButton::clicked, this, [this] {
        FetchReceiverStatus(ReceiverLinkOf(station_), port_, command_, true,
                            [this](const std::string& report) { display(report); });
    });
    connect(cmdDisplayReceiverExit, &QPushButton::clicked, this, [this] { close(); });
    connect(mnuExit, &QAction::triggered, this, [this] { close(); });
    connect(mnuPrint, &QAction::triggered, this, [this] {
        PrintReceiverReport(station_.platform.printer, station_.platform.errors, report_);
    });
    connect(mnuPrintToFile, &QAction::triggered, this, [this] {
        std::string error;
        if (!SaveReceiverReport(station_.platform.files, report_, &error))
            ShowError(station_, std::string("Cannot write ") + kReceiverReportPath + ": " + error);
    });

    FetchReceiverStatus(ReceiverLinkOf(station_), port_, command_, false,
                        [this](const std::string& report) { display(report); });
}

frmDisplayReceiver::~frmDisplayReceiver() {
    CancelReceiverExchanges(ReceiverLinkOf(station_), *port_);
}

void frmDisplayReceiver::closeEvent(QCloseEvent* event) {
    CancelReceiverExchanges(ReceiverLinkOf(station_), *port_);
    QWidget::closeEvent(event);
}

void frmDisplayReceiver::display(const std::string& report) {
    report_ = report;
    // The receiver's lines end in CR LF; the label wants line feeds only.
    QString text = Text(report);
    text.remove(QChar('\r'));
    lblDisplayReceiver->setText(text);
}

void frmDisplayReceiver::closeAll() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* view = qobject_cast<frmDisplayReceiver*>(w); view && view->isVisible())
            view->close();
}

frmDisplayReceiver* frmDisplayReceiver::showFor(Station& station, const std::string& command) {
    closeAll();
    auto* view = new frmDisplayReceiver(station, command);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->show();
    return view;
}

}  // namespace quillmar
