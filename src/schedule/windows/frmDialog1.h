#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

namespace quillmar {

// The delete confirmation: "Are You Sure?" with OK and Cancel. Both close it; OK first runs
// onOk.
class frmDialog1 : public QWidget {
    Q_OBJECT
  public:
    frmDialog1(const QString& caption, std::function<void()> onOk, QWidget* parent = nullptr);

    QLabel* lblDialog1;
    QPushButton* OKButton;
    QPushButton* CancelButton;
};

}  // namespace quillmar
