#include "schedule/windows/frmDialog1.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quillmar {

frmDialog1::frmDialog1(const QString& caption, std::function<void()> onOk, QWidget* parent)
    : QWidget(parent, Qt::Dialog) {
    setObjectName("frmDialog1");
    setWindowTitle(caption);
    lblDialog1 = new QLabel("Are You Sure?", this);
    lblDialog1->setObjectName("lblDialog1");
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    connect(OKButton, &QPushButton::clicked, this, [this, onOk] {
        close();
        if (onOk) onOk();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDialog1);
    layout->addLayout(buttons);
}

}  // namespace quillmar
