#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <string>

#include "export/SendToFile.h"

namespace quillmar {

class Station;

// "Send To:": a copy of one recorded programme to a file of the operator's choosing.
class frmSend : public QWidget {
    Q_OBJECT
  public:
    // The programme's schedule record, its sound file and its marks file (drive paths).
    frmSend(Station& station, int recordNo, const std::string& soundFile,
            const std::string& marksFile, QWidget* parent = nullptr);

    QComboBox* Drive1;
    QListWidget* Dir1;
    QLineEdit* txtFileName;
    QCheckBox* Check1;
    QPushButton *cmdSend, *cmdNo, *cmdClose;
    QLabel *Label1, *Label2;
    QLabel *lblFileName, *lblHint;  // the name box's label and how to start the copy
    QProgressBar* Gauge;
    QTimer* Timer1;
    QMenu* mnuHiddenPopup;
    QAction* mnuHiddenPopupSend;

    SendToFile& send() { return send_; }
    void render();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // The operator's edits into the model before an action reads them.
    void collect();
    void act(void (SendToFile::*action)());

    SendToFile send_;
};

// Opens "Send To:" for a recorded programme (the audition window's Files → Export); the
// window deletes itself when closed.
frmSend* OpenSendToFile(Station& station, int recordNo, const std::string& soundFile,
                        QWidget* parent = nullptr);

}  // namespace quillmar
