#include "schedule/windows/frmWeeklySchedule.h"

#include <QFontDatabase>
#include <QVBoxLayout>

#include "core/Station.h"
#include "core/windows/WindowText.h"

namespace quillmar {

frmWeeklySchedule::frmWeeklySchedule(Station& station, QWidget* parent)
    : QWidget(parent), station_(station) {
    setObjectName("frmWeeklySchedule");
    lstWeeklySchedule = new QListWidget(this);
    lstWeeklySchedule->setObjectName("lstWeeklySchedule");
    QFont courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    courier.setFamilies({"Courier New", "Courier", courier.family()});
    courier.setStyleHint(QFont::TypeWriter);
    lstWeeklySchedule->setFont(courier);
    lstSort = new QListWidget(this);
    lstSort->setObjectName("lstSort");
    lstSort->setVisible(false);
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstWeeklySchedule, 1);
    layout->addWidget(lstSort);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);
    resize(560, 420);

    QPointer<frmWeeklySchedule> self(this);
    station_.onChanged([self] {
        if (!self) return false;
        self->render();
        return true;
    });
    render();
}

frmWeeklySchedule* frmWeeklySchedule::showView(Station& station,
                                               QPointer<frmWeeklySchedule>& window,
                                               void (*build)(Station&)) {
    build(station);
    if (!window) {
        window = new frmWeeklySchedule(station);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->render();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void frmWeeklySchedule::render() {
    const WeeklyScheduleModel& weekly = station_.schedule.Weekly;
    setWindowTitle(Text(weekly.caption));
    if (weekly.revision == shownRevision_) return;
    shownRevision_ = weekly.revision;
    lstSort->clear();
    for (const auto& entry : weekly.lstSort.entries()) lstSort->addItem(Text(entry.text));
    lstWeeklySchedule->clear();
    for (const auto& line : weekly.lstWeeklySchedule) lstWeeklySchedule->addItem(Text(line));
}

}  // namespace quillmar
