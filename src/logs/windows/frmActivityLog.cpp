#include "logs/windows/frmActivityLog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/Station.h"
#include "core/windows/WindowText.h"

namespace quillmar {

frmActivityLog::frmActivityLog(Station& station, const std::string& kind, QWidget* parent)
    : QWidget(parent), station_(station) {
    setObjectName("frmActivityLog");
    lstDate = new QListWidget(this);
    lstDate->setObjectName("lstDate");
    lstActivityLog = new QListWidget(this);
    lstActivityLog->setObjectName("lstActivityLog");
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    lstActivityLog->setFont(mono);
    Option1 = new QRadioButton("By Time", this);
    Option1->setObjectName("Option1");
    Option2 = new QRadioButton("By Event", this);
    Option2->setObjectName("Option2");
    cmdOk = new QPushButton("&Ok", this);
    cmdOk->setObjectName("cmdOk");
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");

    auto* options = new QHBoxLayout;
    options->addWidget(Option1);
    options->addWidget(Option2);
    options->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstDate, 1);
    layout->addWidget(lstActivityLog, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);

    connect(cmdOk, &QPushButton::clicked, this, [this] { ok(); });
    connect(lstDate, &QListWidget::itemDoubleClicked, this, [this] { ok(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });

    LoadLogViewer(station_.platform.files, model_, kind);
    for (const auto& day : model_.lstDate) lstDate->addItem(Text(day));
    lstDate->scrollToTop();
    lstDate->setCurrentRow(model_.lstDateIndex);
    Option1->setChecked(true);
    resize(560, 420);
    render();
}

void frmActivityLog::ok() {
    model_.lstDateIndex = lstDate->currentRow();
    model_.byEvent = Option2->isChecked();
    LogViewerOk(station_.platform.files, station_.platform.background, guard_, model_,
                [this] { render(); });
    render();
}

void frmActivityLog::closeEvent(QCloseEvent* event) {
    // A day still being read is not shown; the window opens again ready for another.
    guard_.drop();
    model_.reading = false;
    render();
    QWidget::closeEvent(event);
}

void frmActivityLog::render() {
    setWindowTitle(Text(model_.caption));
    lstActivityLog->clear();
    for (const auto& line : model_.lstActivityLog) lstActivityLog->addItem(Text(line));
    lstActivityLog->setVisible(model_.showingDay);
    lstDate->setVisible(!model_.showingDay);
    Option1->setVisible(!model_.showingDay);
    Option2->setVisible(!model_.showingDay);
    cmdOk->setEnabled(!model_.reading);
    if (model_.reading)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

}  // namespace quillmar
