#pragma once

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>

#include "export/AutoExportSetup.h"

namespace quillmar {

class Station;

// "Export SetUp": how each recorded programme is exported. Control arrays keep their indices
// in the object names: Option1_0 (Inactive), Option1_1 (User Defined), Option1_2 (Winjock);
// chkDay_1 (Sunday) .. chkDay_7 (Saturday) with txtPath_1 .. txtPath_7.
class frmAutoExport : public QWidget {
    Q_OBJECT
  public:
    explicit frmAutoExport(Station& station, QWidget* parent = nullptr);

    QListWidget* lstName;
    std::array<QRadioButton*, 3> Option1{};
    std::array<QCheckBox*, 8> chkDay{};   // 1 to 7
    std::array<QLineEdit*, 8> txtPath{};  // 1 to 7
    QLineEdit *txtLength, *txtNumber;
    QCheckBox* chkFade;
    QLabel *Label1, *Label2, *Label3, *Label4;
    QPushButton *cmdApply, *cmdClose;
    QAction *mnuExit, *mnuNames, *mnuNumber;

    AutoExportSetup& setup() { return setup_; }
    void render();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The operator's edits into the model before an action reads them.
    void collect();

    Station& station_;
    AutoExportSetup setup_;
    QButtonGroup* naming_;
};

}  // namespace quillmar
