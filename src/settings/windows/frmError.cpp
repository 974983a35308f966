#include "settings/windows/frmError.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cstdio>

#include "core/windows/WindowText.h"

namespace quillmar {

frmError::frmError(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmError");
    setWindowTitle("Error Message");
    setAttribute(Qt::WA_DeleteOnClose);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName("lblMessage");
    lblMessage->setWordWrap(true);
    lblMessage->setMinimumWidth(360);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage, 1);
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &QWidget::close);
}

void ErrorWindowPresenter::showError(const std::string& message) {
    // Unattended stations run without anyone at the screen; the journal keeps what it showed.
    std::fprintf(stderr, "quillmar: %s\n", Cp1252ToUtf8(message).c_str());
    std::fflush(stderr);
    if (!window_) window_ = new frmError;
    window_->lblMessage->setText(Text(message));
    window_->adjustSize();
    window_->show();
    window_->raise();
}

void ErrorWindowPresenter::bringForward() {
    if (window_ && window_->isVisible()) window_->raise();
}

}  // namespace quillmar
