#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QWidget>

namespace quillmar {

class Station;

// "Set Receiver": routes one audio port at once, resets its expansion relays and shows the
// receiver's MPEG status.
class frmSetReceiver : public QWidget {
    Q_OBJECT
  public:
    explicit frmSetReceiver(Station& station, QWidget* parent = nullptr);

    QListWidget *lstPort, *lstRoute, *lstAtt, *lstLang;
    QPushButton *cmdSet, *cmdClose;

  private:
    void cmdSet_Click();

    Station& station_;
};

}  // namespace quillmar
