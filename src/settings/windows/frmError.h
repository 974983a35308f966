#pragma once

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "platform/ErrorDisplay.h"

namespace quillmar {

// "Error Message": one message, shown without blocking; OK unloads the window.
class frmError : public QWidget {
    Q_OBJECT
  public:
    explicit frmError(QWidget* parent = nullptr);
    QLabel* lblMessage;
    QPushButton* OKButton;
};

// Keeps the single error window: a new message replaces the text of the one on screen.
class ErrorWindowPresenter : public ErrorDisplay {
  public:
    void showError(const std::string& message) override;
    void bringForward() override;
    frmError* window() const { return window_.data(); }

  private:
    QPointer<frmError> window_;
};

}  // namespace quillmar
