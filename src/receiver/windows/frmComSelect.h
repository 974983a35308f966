#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace quillmar {

class Station;

// "Communications": the receiver's serial port and rate, stored when the form closes.
class frmComSelect : public QWidget {
    Q_OBJECT
  public:
    explicit frmComSelect(Station& station, QWidget* parent = nullptr);

    QRadioButton *optSP1, *optSP2, *optSP3, *optSP4, *optBaud1, *optBaud2;
    QPushButton* cmdClose;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Station& station_;
    int port_ = 1;
    int baud_ = 1;
};

}  // namespace quillmar
