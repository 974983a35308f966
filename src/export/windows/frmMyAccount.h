#pragma once

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace quillmar {

class Station;

// The station's mail identity: facility name, user name and password (User.dat).
class frmMyAccount : public QWidget {
    Q_OBJECT
  public:
    explicit frmMyAccount(Station& station, QWidget* parent = nullptr);

    QLineEdit *txtUserName, *txtPassword, *txtFacility;
    QPushButton *cmdApply, *cmdClose;
    QAction* mnuExit;

  private:
    void cmdApply_Click();

    Station& station_;
};

}  // namespace quillmar
