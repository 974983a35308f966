#pragma once

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>

namespace quillmar {

class Station;

// The address book: one person per line, each with a sending mode and a weekly window.
// Control arrays keep their indices in the object names: opt1_0 (Never), opt1_1 (Always),
// opt1_2 (Sometimes); Check1_1 (Sun) .. Check1_7 (Sat) with txtStart_d and txtStop_d.
class frmAddressBook : public QWidget {
    Q_OBJECT
  public:
    explicit frmAddressBook(Station& station, QWidget* parent = nullptr);

    QListWidget* list1;
    QLineEdit *txtName, *txtNumber;
    std::array<QRadioButton*, 3> opt1{};
    std::array<QCheckBox*, 8> Check1{};  // 1 to 7
    std::array<QLineEdit*, 8> txtStart{};
    std::array<QLineEdit*, 8> txtStop{};
    QLabel* Label3;
    QPushButton *cmdSendTest, *cmdNew, *cmdDelete, *cmdApply, *cmdClose;
    QAction* mnuExit;

    // The record the controls edit (0: none yet).
    int recordNo() const { return recordNo_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LoadAddressBook();
    void showEntry(int recordNo);
    void setRecordNo(int recordNo);
    void modeChosen(int mode);
    void cmdNew_Click();
    void cmdDelete_Click();
    void cmdApply_Click();
    void cmdSendTest_Click();
    int selectedRecordNo() const;

    Station& station_;
    int recordNo_ = 0;
};

}  // namespace quillmar
