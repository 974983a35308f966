#pragma once

#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace quillmar {

class Station;

// One week of plays, recordings or switches (st.schedule.Weekly), in a fixed-width font.
class frmWeeklySchedule : public QWidget {
    Q_OBJECT
  public:
    explicit frmWeeklySchedule(Station& station, QWidget* parent = nullptr);

    // Builds a view and shows it in the window held by `window`, opening one when needed.
    static frmWeeklySchedule* showView(Station& station, QPointer<frmWeeklySchedule>& window,
                                       void (*build)(Station&));
    void render();

    QListWidget* lstWeeklySchedule;
    QListWidget* lstSort;
    QPushButton* cmdClose;

  private:
    Station& station_;
    int shownRevision_ = -1;
};

}  // namespace quillmar
