#include "schedule/windows/frmScheduleConflicts.h"

#include <QVBoxLayout>

#include "core/Station.h"
#include "core/windows/WindowText.h"

namespace quillmar {

frmScheduleConflicts::frmScheduleConflicts(Station& station, QWidget* parent)
    : QWidget(parent), station_(station) {
    setObjectName("frmScheduleConflicts");
    setWindowTitle("Schedule Conflicts");
    lstConflicts = new QListWidget(this);
    lstConflicts->setObjectName("lstConflicts");
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstConflicts, 1);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);
    resize(520, 260);
    render();
}

void frmScheduleConflicts::render() {
    lstConflicts->clear();
    for (const auto& line : station_.schedule.ScheduleConflicts) lstConflicts->addItem(Text(line));
}

}  // namespace quillmar
