#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "logs/LogViewer.h"
#include "platform/BackgroundWork.h"

namespace quillmar {

class Station;

// The log viewer: pick a day of one log kind ("AL", "EB", "ER"), read it by time or by event.
// A day is read off the loop; the window waits (Ok disabled) until its lines arrive.
class frmActivityLog : public QWidget {
    Q_OBJECT
  public:
    frmActivityLog(Station& station, const std::string& kind, QWidget* parent = nullptr);

    QListWidget *lstDate, *lstActivityLog;
    QRadioButton *Option1, *Option2;
    QPushButton *cmdOk, *cmdClose;

    const LogViewerModel& model() const { return model_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ok();
    void render();

    Station& station_;
    LogViewerModel model_;
    CompletionGuard guard_;  // a day read after the window closed is not shown
};

}  // namespace quillmar
