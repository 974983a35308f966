#pragma once

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <memory>

#include "settings/SettingsForm.h"

namespace quillmar {

class Station;

// "My Computer": the station settings (all but the receiver's serial port and speed).
class frmMyComputer : public QWidget {
    Q_OBJECT
  public:
    explicit frmMyComputer(Station& station, QWidget* parent = nullptr);

    QListWidget *lstMM1, *lstMM2, *lstRec, *list1, *lstDrv, *List2, *List3, *List4;
    QLineEdit* txtThreshold;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *chkRecord, *chkRecStop, *chkTimeChange;
    QGroupBox* Frame3;
    QRadioButton* Option2[3];
    QLabel *lblMM1, *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
        *Label10;
    QPushButton *cmdApply, *cmdClose;

    SettingsForm& form() { return *form_; }

  private:
    void render();

    Station& station_;
    std::unique_ptr<SettingsForm> form_;
    bool rendering_ = false;
};

}  // namespace quillmar
