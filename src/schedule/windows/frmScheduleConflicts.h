#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QWidget>

namespace quillmar {

class Station;

// "Schedule Conflicts": the lines of the last Apply, in the order found.
class frmScheduleConflicts : public QWidget {
    Q_OBJECT
  public:
    explicit frmScheduleConflicts(Station& station, QWidget* parent = nullptr);
    void render();

    QListWidget* lstConflicts;
    QPushButton* cmdClose;

  private:
    Station& station_;
};

}  // namespace quillmar
