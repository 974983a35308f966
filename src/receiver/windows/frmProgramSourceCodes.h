#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

namespace quillmar {

class Station;

// "Program Source Codes": the source-code table of Source.dat.
class frmProgramSourceCodes : public QWidget {
    Q_OBJECT
  public:
    explicit frmProgramSourceCodes(Station& station, QWidget* parent = nullptr);

    QListWidget* list1;
    QLineEdit* text1;
    QPushButton *cmdNew, *cmdApply, *cmdDelete, *cmdClose;

  private:
    void cmdNew_Click();
    void cmdApply_Click();
    void cmdDelete_Click();
    void save();

    Station& station_;
};

}  // namespace quillmar
