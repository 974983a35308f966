#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <functional>

#include "schedule/ScheduleEditor.h"
#include "schedule/windows/frmDialog1.h"
#include "schedule/windows/frmScheduleConflicts.h"

namespace quillmar {

class Station;

// The schedule editor. Renders a ScheduleEditor and forwards the buttons to its rules; only
// focus moves between the boxes are the window's own. Control arrays are named "txtPlay(5)".
class frmSchedule : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmSchedule(Station& station, QWidget* parent = nullptr);

    // Asks the delete question; runs onOk when the operator confirms. Replaceable for tests.
    std::function<void(const QString& caption, std::function<void()> onOk)> askDelete;

    const ScheduleEditor& editor() const { return ed_; }
    frmScheduleConflicts* conflictsWindow() const { return conflicts_.data(); }
    frmDialog1* deleteDialog() const { return dialog_.data(); }

    QListWidget* lstDisplaySchedule;
    QPushButton *cmdNew, *cmdDelete, *cmdApply, *cmdScheduleClose;
    QLabel *lblScheduleNo, *Label1, *Label2, *Label3, *lblPgmName, *lblPgmLen, *lblPgmLang,
        *lblPgmPort, *lblPgmRoute, *lblPgmAtt, *lblPgmPlayStart, *lblPgmRecordStart, *lblListDrive;
    std::array<QRadioButton*, 2> optAction;
    QLineEdit *txtSatName, *txtSatLen;
    QComboBox *cboSatLang, *cboSatPort, *cboSatRoute, *cboSatAtt, *cboSatPlayStart,
        *cboSatRecordStart, *cboSatHardDrive;
    std::array<QLabel*, 7> lblDay;
    std::array<QLineEdit*, 28> txtPlay;
    std::array<QComboBox*, 7> cboRec;
    std::array<QLineEdit*, 7> txtRec;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void render();
    void readControls();
    void onChoose(int row);
    void onNew();
    void onApply();
    void onDelete(bool needSelection);
    void setOrder(ScheduleEditor::Order order);

    Station& station_;
    ScheduleEditor ed_;
    bool rendering_ = false;
    QPointer<frmScheduleConflicts> conflicts_;
    QPointer<frmDialog1> dialog_;
};

}  // namespace quillmar
